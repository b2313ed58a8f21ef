// Decimal integers formatted by hand: the data files carry one or two per
// line, and a printf per line costs more than the rest of the line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "common/byte_order.h"

// Room for any int32_t in decimal with its sign.
constexpr size_t kDecimalMax = 11;
// The bytes a counter's text is copied in (see DecimalCounter).
constexpr size_t kDecimalCopy = 16;

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

// A non-negative counter's decimal text, counted on in place: the walk's
// frame index goes up by one per sample, and adding one to the text is
// cheaper than formatting it anew. The digits start at text[0].
//
// The writers copy the text as whole 8-byte words (PutDecimalCounter).
// Counting on without a carry, nine times in ten, adds one to the last digit
// through the whole 8-byte word that holds it, so that each of those word
// loads reads from one earlier store; a load over a byte just stored on its
// own would wait for the store to reach the cache.
struct DecimalCounter {
    char text[kDecimalCopy] = {};
    size_t length = 0;
    int32_t value = 0;
    bool valid = false;
};

// Makes the counter's text that of value: one digit carried on when value is
// the next one up, a fresh formatting otherwise (first use, jumps, negatives).
inline void SetDecimalCounter(DecimalCounter& c, int32_t value) {
    if (c.valid && c.value >= 0 && value > 0 && uint32_t(value) == uint32_t(c.value) + 1u) {
        const size_t last = c.length - 1;
        if (kLittleEndian && c.text[last] != '9') {
            char* const word = c.text + last / 8 * 8;
            uint64_t w;
            std::memcpy(&w, word, 8);
            w += uint64_t(1) << (8 * (last % 8));
            std::memcpy(word, &w, 8);
        } else {
            size_t i = c.length;
            while (i > 0 && c.text[i - 1] == '9') c.text[--i] = '0';
            if (i > 0) {
                ++c.text[i - 1];
            } else {  // 9...9 + 1: one more digit, a leading 1
                std::memmove(c.text + 1, c.text, c.length);
                c.text[0] = '1';
                ++c.length;
            }
        }
    } else {
        char digits[kDecimalMax];
        char* const end = digits + sizeof digits;
        const char* start = FormatDecimalBackward(end, value);
        c.length = size_t(end - start);
        std::memcpy(c.text, start, c.length);
        c.valid = true;
    }
    c.value = value;
}

// Copies the counter's text to p as one 8-byte word, or two when it is
// longer, and returns p + length: p needs room for 16 bytes, and the ones
// after the digits are for the caller to overwrite or leave unused. (One
// 16-byte load over both words would straddle the counting-on store.)
inline char* PutDecimalCounter(char* p, const DecimalCounter& c) {
    uint64_t head;
    std::memcpy(&head, c.text, 8);
    std::memcpy(p, &head, 8);
    if (c.length > 8) {
        uint64_t tail;
        std::memcpy(&tail, c.text + 8, 8);
        std::memcpy(p + 8, &tail, 8);
    }
    return p + c.length;
}

inline void AppendDecimal(std::string& out, int32_t value) {
    char digits[kDecimalMax];
    char* end = digits + sizeof digits;
    const char* start = FormatDecimalBackward(end, value);
    out.append(start, size_t(end - start));
}
