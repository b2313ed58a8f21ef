// Read-only access to a movie file with 64-bit offsets (stdio only, so the
// reader builds for every platform including mingw-w64).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "movie/movie_status.h"

struct MovieFile {
    std::FILE* fp = nullptr;
    uint64_t size = 0;
    std::string path;  // as opened: files beside the movie are found from it
};

// Opens path read-only and measures it: Ok, FileNotFound, PermissionDenied or
// ReadError.
MovieStatus OpenMovieFileForReading(const std::string& path, MovieFile* file);
void CloseMovieFileForReading(MovieFile* file);

// Reads exactly count bytes at offset; false when the range is outside the
// file or the read fails.
bool ReadMovieFileAt(MovieFile* file, uint64_t offset, void* dst, size_t count);
