// qc_page_movies DIR: the movies of WriteQcPageMovies, for tools/qc_page_picture.sh.
#include "tests/run/qc_movies.h"

int main(int argc, char** argv) { return argc == 2 && WriteQcPageMovies(argv[1]) ? 0 : 1; }
