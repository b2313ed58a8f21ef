// Copies of short texts (a timecode, a frame index) that keep every load
// matched to one earlier store.
//
// The per-sample text passes through four buffers: the handler's counted
// string, the plain string, the trimmed string and the output block. When a
// wide load covers bytes that narrower or overlapping stores have just
// written, the processor cannot hand the bytes over from its store queue and
// waits for the stores to reach the cache, a dozen cycles or more each time;
// that wait was a good part of the per-sample cost. So every step moves a text
// of n <= 16 bytes in the same pieces, taken from the front: 8 bytes while at
// least 8 are left, then 4, 2 and 1 as the bits of what is left say (11 bytes:
// 8 + 2 + 1). A step that reads what the previous step wrote then reads each
// piece as it was written. Longer texts go through memcpy.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

constexpr size_t kShortTextMax = 16;

// Copies n bytes from src to dst in the pieces above. dst may lie before src
// in the same buffer: each piece is loaded before it is stored, and no piece
// stores over bytes that a later piece loads.
inline void CopyShortText(char* dst, const char* src, size_t n) {
    if (n > kShortTextMax) {
        std::memmove(dst, src, n);
        return;
    }
    size_t at = 0;
    for (; n - at >= 8; at += 8) {
        uint64_t v;
        std::memcpy(&v, src + at, 8);
        std::memcpy(dst + at, &v, 8);
    }
    if ((n - at) & 4) {
        uint32_t v;
        std::memcpy(&v, src + at, 4);
        std::memcpy(dst + at, &v, 4);
        at += 4;
    }
    if ((n - at) & 2) {
        uint16_t v;
        std::memcpy(&v, src + at, 2);
        std::memcpy(dst + at, &v, 2);
        at += 2;
    }
    if (at < n) dst[at] = src[at];
}

// Whether any of the n bytes at p is zero, read in the same pieces.
// (v - 0x01..01) & ~v & 0x80..80 is non-zero exactly when v holds a zero byte.
inline bool ShortTextHasZero(const char* p, size_t n) {
    if (n > kShortTextMax) return std::memchr(p, 0, n) != nullptr;
    size_t at = 0;
    for (; n - at >= 8; at += 8) {
        uint64_t v;
        std::memcpy(&v, p + at, 8);
        if ((v - 0x0101010101010101u) & ~v & 0x8080808080808080u) return true;
    }
    if ((n - at) & 4) {
        uint32_t v;
        std::memcpy(&v, p + at, 4);
        if ((v - 0x01010101u) & ~v & 0x80808080u) return true;
        at += 4;
    }
    if ((n - at) & 2) {
        uint16_t v;
        std::memcpy(&v, p + at, 2);
        if ((v & 0xFF) == 0 || (v & 0xFF00) == 0) return true;
        at += 2;
    }
    return at < n && p[at] == '\0';
}
