#include "writers/html_text.h"

#include "writers/utf8.h"

void AppendHtmlText(std::string& out, std::string_view bytes) {
    ForEachUtf8Sequence(bytes, [&out](std::string_view sequence) {
        const unsigned char c = static_cast<unsigned char>(sequence[0]);
        if (sequence.size() > 1) {
            out += sequence;
        } else if (c == '&') {
            out += "&amp;";
        } else if (c == '<') {
            out += "&lt;";
        } else if (c == '>') {
            out += "&gt;";
        } else if (c == '"') {
            out += "&quot;";
        } else if (c == '\'') {
            out += "&#39;";
        } else if (c < 0x20 || c == 0x7F) {
            out += "&#" + std::to_string(c) + ";";
        } else {
            out += char(c);
        }
    });
}
