// The host's byte order, for code that builds multi-byte words of text in
// registers. Big-endian hosts take the plain byte-by-byte paths.
#pragma once

#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
constexpr bool kLittleEndian = true;
#else
constexpr bool kLittleEndian = false;
#endif
