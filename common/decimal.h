// Decimal integers formatted by hand: the per-sample lines carry several
// each, and a formatted print per number costs more than the rest of a line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

// Room for any int32_t in decimal with its sign.
constexpr size_t kDecimalMax = 11;

// The two digits of 0..99, in text order: numbers are written two digits at
// a time, which halves the divisions.
inline constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Digits of a magnitude in decimal, 1 to 10.
inline size_t DecimalDigits(uint32_t magnitude) {
    size_t n = 1;
    for (uint32_t limit = 10; n < 10 && magnitude >= limit; limit *= 10) ++n;
    return n;
}

// Writes magnitude at p as "%u" does and returns the end; at most 10 bytes.
// The digits go straight to their places, from the last, two at a time.
inline char* PutUnsignedDecimal(char* p, uint32_t magnitude) {
    char* const end = p + DecimalDigits(magnitude);
    char* d = end;
    while (magnitude >= 100) {
        d -= 2;
        std::memcpy(d, kDigitPairs + 2 * (magnitude % 100), 2);
        magnitude /= 100;
    }
    if (magnitude >= 10)
        std::memcpy(d - 2, kDigitPairs + 2 * magnitude, 2);
    else
        d[-1] = char('0' + magnitude);
    return end;
}

// Writes value at p as "%d" does (a leading '-' when negative, no padding)
// and returns the end; at most kDecimalMax bytes.
inline char* PutDecimal(char* p, int32_t value) {
    // The magnitude in unsigned arithmetic also holds INT32_MIN.
    const uint32_t magnitude = value < 0 ? 0u - uint32_t(value) : uint32_t(value);
    if (value < 0) *p++ = '-';
    return PutUnsignedDecimal(p, magnitude);
}

// Writes v as "%02u" does (at least two digits) and returns the end.
inline char* PutTwoDigitsOrMore(char* p, uint32_t v) {
    if (v >= 100) return PutUnsignedDecimal(p, v);
    std::memcpy(p, kDigitPairs + 2 * v, 2);
    return p + 2;
}
