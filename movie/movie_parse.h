// Builds the movie model from a movie file: finds moov at the top level and
// parses it. Returns noErr, noMovieFound (no moov), invalidMovie (a moov that
// cannot be parsed) or memFullErr.
#pragma once

#include <cstddef>
#include <cstdint>

#include "movie/movie_file.h"
#include "movie/movie_model.h"

int16_t ReadMovie(MovieFile* file, MovieModel* movie);

// Parses the body of a moov atom held in memory (exposed for tests).
int16_t ParseMovieAtom(const uint8_t* body, size_t size, MovieModel* movie);
