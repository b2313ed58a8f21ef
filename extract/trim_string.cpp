#include "extract/trim_string.h"

#include <cstring>

namespace {

bool InSet(char c, const char* set) {
    // strchr would also find the terminating zero; the zero byte is no member.
    return c != '\0' && std::strchr(set, c) != nullptr;
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
    out.assign(data + first, last - first);
}

std::string TrimString(const std::string& source, const std::string& set) {
    std::string result;
    TrimStringInto(source.data(), source.size(), set.c_str(), result);
    return result;
}
