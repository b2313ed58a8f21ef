// Movies whose movie header is stored compressed, made from fixture movies.
#pragma once

#include <string>

// The same movie with its moov compressed: moov holding cmov, which holds
// dcom ('zlib') and cmvd (inflated size, then the zlib stream of the whole
// moov atom). "" when the movie has no moov.
std::string CompressMovieHeader(const std::string& movie);
