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

namespace short_text {

template <typename Word>
inline void CopyPiece(char* dst, const char* src, size_t at) {
    Word v;
    std::memcpy(&v, src + at, sizeof v);
    std::memcpy(dst + at, &v, sizeof v);
}

// (v - 0x01..01) & ~v & 0x80..80 is non-zero exactly when v holds a zero byte.
template <typename Word>
inline bool PieceHasZero(const char* p, size_t at) {
    Word v;
    std::memcpy(&v, p + at, sizeof v);
    const Word ones = Word(~Word(0)) / 0xFF;
    return ((v - ones) & ~v & Word(ones << 7)) != 0;
}

// The pieces of an N-byte text, fixed at compile time.
template <size_t N>
inline void CopyPieces(char* dst, const char* src) {
    if constexpr (N >= 8) {
        CopyPiece<uint64_t>(dst, src, 0);
        CopyPieces<N - 8>(dst + 8, src + 8);
    } else {
        if constexpr ((N & 4) != 0) CopyPiece<uint32_t>(dst, src, 0);
        if constexpr ((N & 2) != 0) CopyPiece<uint16_t>(dst, src, N & 4);
        if constexpr ((N & 1) != 0) dst[N - 1] = src[N - 1];
    }
}

template <size_t N>
inline bool PiecesHaveZero(const char* p) {
    if constexpr (N >= 8) {
        return PieceHasZero<uint64_t>(p, 0) || PiecesHaveZero<N - 8>(p + 8);
    } else {
        bool zero = false;
        if constexpr ((N & 4) != 0) zero = zero || PieceHasZero<uint32_t>(p, 0);
        if constexpr ((N & 2) != 0) zero = zero || PieceHasZero<uint16_t>(p, N & 4);
        if constexpr ((N & 1) != 0) zero = zero || p[N - 1] == '\0';
        return zero;
    }
}

}  // namespace short_text

// One case per length, so that a copy is one well-predicted jump (the walk's
// texts keep their length) and a few fixed moves.
#define LUMAREST_SHORT_TEXT_CASES(F) \
    F(1) F(2) F(3) F(4) F(5) F(6) F(7) F(8) F(9) F(10) F(11) F(12) F(13) F(14) F(15) F(16)

// Copies n bytes from src to dst in the pieces above. dst may lie before src
// in the same buffer: each piece is loaded before it is stored, and no piece
// stores over bytes that a later piece loads.
inline void CopyShortText(char* dst, const char* src, size_t n) {
    switch (n) {
        case 0:
            return;
#define LUMAREST_COPY_CASE(N) \
    case N:                   \
        return short_text::CopyPieces<N>(dst, src);
            LUMAREST_SHORT_TEXT_CASES(LUMAREST_COPY_CASE)
#undef LUMAREST_COPY_CASE
        default:
            std::memmove(dst, src, n);
    }
}

// Whether any of the n bytes at p is zero, read in the same pieces.
inline bool ShortTextHasZero(const char* p, size_t n) {
    switch (n) {
        case 0:
            return false;
#define LUMAREST_ZERO_CASE(N) \
    case N:                   \
        return short_text::PiecesHaveZero<N>(p);
            LUMAREST_SHORT_TEXT_CASES(LUMAREST_ZERO_CASE)
#undef LUMAREST_ZERO_CASE
        default:
            return std::memchr(p, 0, n) != nullptr;
    }
}

#undef LUMAREST_SHORT_TEXT_CASES
