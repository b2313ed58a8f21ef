// Four-character codes (atom types, media types, sample formats): a 32-bit
// value with the first character in the most significant byte, as stored
// big-endian in a movie file.
#pragma once

#include <cstdint>

constexpr uint32_t FourCC(const char (&s)[5]) {
    return (uint32_t(uint8_t(s[0])) << 24) | (uint32_t(uint8_t(s[1])) << 16) |
           (uint32_t(uint8_t(s[2])) << 8) | uint32_t(uint8_t(s[3]));
}
