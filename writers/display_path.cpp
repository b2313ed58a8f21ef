#include "writers/display_path.h"

#ifdef _WIN32

#include <windows.h>

#include "writers/utf8.h"

namespace {

// Appends in UTF-8 the code page's character of `length` bytes; false when
// the code page has none for them.
bool AppendAnsiCharacter(std::string& out, const char* bytes, int length) {
    wchar_t wide[2];
    const int units = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes, length, wide, 2);
    char utf8[8];
    const int size = units ? WideCharToMultiByte(CP_UTF8, 0, wide, units, utf8, sizeof utf8, nullptr, nullptr) : 0;
    out.append(utf8, size > 0 ? size : 0);
    return size > 0;
}

}  // namespace

std::string DisplayPath(std::string_view path) {
    // With UTF-8 as the ANSI code page (an option of Windows 10 and later)
    // the bytes are UTF-8 already.
    if (GetACP() == CP_UTF8) return std::string(path);
    std::string out;
    out.reserve(path.size());
    size_t i = 0;
    while (i < path.size()) {
        const unsigned char c = static_cast<unsigned char>(path[i]);
        // Every ANSI code page keeps ASCII; a byte that follows a lead byte
        // is taken with it below, never here.
        if (c < 0x80) {
            out += char(c);
            ++i;
            continue;
        }
        // One character at a time (two bytes after a lead byte of a
        // double-byte code page), so that a byte the code page cannot map
        // costs only itself.
        const int length = IsDBCSLeadByteEx(CP_ACP, c) && i + 1 < path.size() ? 2 : 1;
        if (AppendAnsiCharacter(out, path.data() + i, length)) {
            i += size_t(length);
        } else {
            out += kReplacementCharacter;
            ++i;
        }
    }
    return out;
}

#else

std::string DisplayPath(std::string_view path) { return std::string(path); }

#endif
