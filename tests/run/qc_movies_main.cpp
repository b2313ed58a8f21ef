// qc_page_movies DIR: writes the hand-built movies of the QC page's tests
// into DIR, for tools/qc_page_picture.sh.
#include <cstdio>

#include "tests/run/qc_movies.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: qc_page_movies DIR\n");
        return 2;
    }
    return WriteQcPageMovies(argv[1]) ? 0 : 1;
}
