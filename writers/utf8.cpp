#include "writers/utf8.h"

size_t Utf8SequenceLength(std::string_view bytes) {
    if (bytes.empty()) return 0;
    const unsigned char b0 = static_cast<unsigned char>(bytes[0]);
    if (b0 < 0x80) return 1;
    // The lead byte gives the length and the range of the second byte, which
    // rules out overlong forms, surrogates and code points past U+10FFFF.
    size_t length;
    unsigned char low = 0x80, high = 0xBF;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3;
        if (b0 == 0xE0) low = 0xA0;
        if (b0 == 0xED) high = 0x9F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4;
        if (b0 == 0xF0) low = 0x90;
        if (b0 == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (bytes.size() < length) return 0;
    for (size_t i = 1; i < length; ++i) {
        const unsigned char b = static_cast<unsigned char>(bytes[i]);
        if (b < (i == 1 ? low : 0x80) || b > (i == 1 ? high : 0xBF)) return 0;
    }
    return length;
}
