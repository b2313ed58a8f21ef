#include "driver/movie_path.h"

#include <cstdio>
#include <cstring>

MoviePathCheck CheckMoviePath(const char* moviePath) {
    if (std::strlen(moviePath) > kMaxMoviePathLength) return MoviePathCheck::TooLong;
    if (std::strpbrk(moviePath, "\"\r\n")) return MoviePathCheck::NotScriptable;
    return MoviePathCheck::Accepted;
}

void ReportMoviePathRefusal(MoviePathCheck check, const char* moviePath) {
    if (check == MoviePathCheck::TooLong)
        std::printf("Error: Movie path is longer than 255 characters\n %s", moviePath);
    else if (check == MoviePathCheck::NotScriptable)
        std::printf("Error: Movie path cannot be written into an AviSynth script\n %s", moviePath);
}
