// Builds the movie model from a movie file: finds moov at the top level and
// parses it. Returns Ok, NoMovie (no moov), Damaged (a moov or fragment that
// cannot be parsed), ReadError or OutOfMemory.
#pragma once

#include <cstddef>
#include <cstdint>

#include "movie/movie_file.h"
#include "movie/movie_model.h"
#include "movie/movie_status.h"

MovieStatus ReadMovie(MovieFile* file, MovieModel* movie);

// Parses the body of a moov atom held in memory (exposed for tests); false
// when it cannot be parsed.
bool ParseMovieAtom(const uint8_t* body, size_t size, MovieModel* movie);
