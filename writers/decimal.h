// Decimal integers appended by hand: the data files carry one or two per line,
// and a printf per line costs more than the rest of the line.
#pragma once

#include <cstdint>
#include <string>

// Appends value in decimal, a leading '-' when negative, no padding.
inline void AppendDecimal(std::string& out, int32_t value) {
    char digits[12];
    char* end = digits + sizeof digits;
    char* p = end;
    // The magnitude in unsigned arithmetic also holds INT32_MIN.
    uint32_t magnitude = value < 0 ? 0u - uint32_t(value) : uint32_t(value);
    do {
        *--p = char('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) *--p = '-';
    out.append(p, size_t(end - p));
}
