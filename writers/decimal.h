// Decimal integers formatted by hand: the data files carry one or two per
// line, and a printf per line costs more than the rest of the line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Room for any int32_t in decimal with its sign.
constexpr size_t kDecimalMax = 11;

// Writes value in decimal (a leading '-' when negative, no padding) so that it
// ends at end; returns where it starts.
inline char* FormatDecimalBackward(char* end, int32_t value) {
    char* p = end;
    // The magnitude in unsigned arithmetic also holds INT32_MIN.
    uint32_t magnitude = value < 0 ? 0u - uint32_t(value) : uint32_t(value);
    do {
        *--p = char('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) *--p = '-';
    return p;
}

inline void AppendDecimal(std::string& out, int32_t value) {
    char digits[kDecimalMax];
    char* end = digits + sizeof digits;
    const char* start = FormatDecimalBackward(end, value);
    out.append(start, size_t(end - start));
}
