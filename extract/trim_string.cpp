#include "extract/trim_string.h"

namespace {

// The set is a few bytes long; a plain scan beats a library call per byte.
bool InSet(char c, const char* set) {
    for (; *set != '\0'; ++set)
        if (*set == c) return true;
    return false;
}

}  // namespace

void TrimStringInto(const char* data, size_t size, const char* set, std::string& out) {
    size_t last = size;
    while (last > 0 && InSet(data[last - 1], set)) --last;
    if (last == 0) {
        out.clear();
        return;
    }
    size_t first = 0;
    while (InSet(data[first], set)) ++first;
    // clear and append: the same bytes as assign, without its general
    // replace path, which cost as much as the rest of the trim.
    out.clear();
    out.append(data + first, last - first);
}

std::string TrimString(const std::string& source, const std::string& set) {
    std::string result;
    TrimStringInto(source.data(), source.size(), set.c_str(), result);
    return result;
}
