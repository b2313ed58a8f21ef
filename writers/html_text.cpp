#include "writers/html_text.h"

#include <cstring>

#include "writers/utf8.h"

void AppendHtmlText(std::string& out, std::string_view bytes) {
    ForEachUtf8Sequence(bytes, [&out](std::string_view sequence) {
        // Numeric references serve for all of them; c < 0x20 comes first,
        // as strchr would also find the string's terminating zero.
        const unsigned char c = static_cast<unsigned char>(sequence[0]);
        if (sequence.size() == 1 && (c < 0x20 || c == 0x7F || std::strchr("&<>\"'", c)))
            out += "&#" + std::to_string(c) + ";";
        else
            out += sequence;
    });
}
