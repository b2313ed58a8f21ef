// Movie fragments: each moof adds samples to the tracks of the movie, taken
// in file order, exactly as if the moov's own tables went on.
#pragma once

#include <cstddef>
#include <cstdint>

#include "movie/movie_model.h"

// Adds the samples of one moof (its body in memory; moofOffset is where its
// header starts in the file). Every sample's data must lie inside the file.
// False when the fragment is damaged.
bool AddMovieFragment(const uint8_t* body, size_t size, uint64_t moofOffset, uint64_t fileSize,
                         MovieModel* movie);
