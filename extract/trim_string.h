// Trimming of the timecode text the handler hands back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The part of source from its first to its last byte that is not in set, both
// included; empty when source is empty or made only of set bytes. Bytes of set
// between those two stay. The zero byte is never in set (set is zero-terminated).
std::string TrimString(const std::string& source, const std::string& set);

// The same trim of the bytes [data, data + size) into out, reusing out's
// capacity: the walk calls it once per sample and must not allocate.
void TrimStringInto(const char* data, size_t size, const char* set, std::string& out);

// A trim set's bytes below 64 (" \r\n" has only such) as one bit each, so
// that the few bytes each trim looks at are tested without a scan of the
// set. Made once (constexpr) by a caller that trims with one set throughout.
struct ByteSet {
    uint64_t low = 0;
    bool anyHigh = false;       // bytes of 64 and up go through a scan of set
    const char* set = nullptr;  // zero-terminated
};

constexpr ByteSet MakeByteSet(const char* set) {
    ByteSet b;
    b.set = set;
    for (const char* p = set; *p != '\0'; ++p) {
        const unsigned char u = static_cast<unsigned char>(*p);
        if (u < 64)
            b.low |= uint64_t(1) << u;
        else
            b.anyHigh = true;
    }
    return b;
}

// The same trim with a set made beforehand.
void TrimStringInto(const char* data, size_t size, const ByteSet& set, std::string& out);
