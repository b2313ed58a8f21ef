#include "extract/trim_string.h"

namespace {

// The set is a few bytes long; a plain scan beats a library call per byte.
bool InSet(char c, std::string_view set) {
    for (char member : set)
        if (member == c) return true;
    return false;
}

}  // namespace

std::string_view TrimString(std::string_view source, std::string_view set) {
    size_t last = source.size();
    while (last > 0 && InSet(source[last - 1], set)) --last;
    size_t first = 0;
    while (first < last && InSet(source[first], set)) ++first;
    return source.substr(first, last - first);
}
