// Compressed movie headers: a moov holding cmov, whose dcom names the
// compressor and whose cmvd holds the inflated size and the compressed
// bytes of a whole moov atom.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "movie/byte_cursor.h"

// Inflates the cmov body into *moov (a complete moov atom, header
// included). False when the compressor is not zlib, zlib is not built in,
// the declared size is more than the compressed bytes can give, or the data
// does not inflate to exactly the declared size.
bool InflateCompressedMovie(ByteCursor cmov, std::string* moov);
