#include "extract/trim_string.h"

#include <cstdint>
#include <cstring>

#include "common/short_text.h"

namespace {

// The set is a few bytes long; a plain scan beats a library call per byte.
bool InSet(char c, const char* set) {
    for (; *set != '\0'; ++set)
        if (*set == c) return true;
    return false;
}

bool InSet(char c, const ByteSet& b) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u < 64) return ((b.low >> u) & 1) != 0;
    return b.anyHigh && InSet(c, b.set);
}

}  // namespace

void TrimStringInto(const char* data, size_t size, const char* set, std::string& out) {
    TrimStringInto(data, size, MakeByteSet(set), out);
}

void TrimStringInto(const char* data, size_t size, const ByteSet& set, std::string& out) {
    size_t last = size;
    while (last > 0 && InSet(data[last - 1], set)) --last;
    if (last == 0) {
        out.clear();
        return;
    }
    size_t first = 0;
    while (InSet(data[first], set)) ++first;
    const size_t length = last - first;
    if (out.size() == length) {
        // The walk's texts keep one length: overwrite in place, no size change.
        CopyShortText(&out[0], data + first, length);
        return;
    }
    // clear and append: the same bytes as assign, without its general
    // replace path, which cost as much as the rest of the trim.
    out.clear();
    out.append(data + first, length);
}

std::string TrimString(const std::string& source, const std::string& set) {
    std::string result;
    TrimStringInto(source.data(), source.size(), set.c_str(), result);
    return result;
}
