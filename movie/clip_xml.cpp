// A tag scanner, not an XML parser: the document is read element by
// element for the two element names that matter, and nothing is ever
// expanded or resolved, so entities, a DOCTYPE or a deep document cost no
// more than their bytes.
#include "movie/clip_xml.h"

#include <string>

namespace {

// The highest tcFps taken: twice it must still fit a timecode's 8-bit count.
constexpr int kMaxTcFps = 120;

struct Tag {
    std::string_view name;   // local name: after any namespace prefix
    std::string_view attributes;
    bool end = false;        // </name>
    bool empty = false;      // <name ... />
};

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view LocalName(std::string_view name) {
    const size_t colon = name.rfind(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

// Moves past `close`, or to the end of the text when it never comes.
void SkipPast(std::string_view text, size_t* pos, std::string_view close) {
    const size_t at = text.find(close, *pos);
    *pos = at == std::string_view::npos ? text.size() : at + close.size();
}

// Where the '>' that closes a tag begun before `from` lies, outside quoted
// values and, for a declaration (<!DOCTYPE ...>), outside its internal
// subset in brackets; npos when the text ends first.
size_t TagEnd(std::string_view text, size_t from, bool brackets) {
    int depth = 0;
    char quote = 0;
    for (size_t i = from; i < text.size(); ++i) {
        const char c = text[i];
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (brackets && (c == '[' || c == ']')) {
            depth += c == '[' ? 1 : -1;
        } else if (c == '>' && depth <= 0) {
            return i;
        }
    }
    return std::string_view::npos;
}

// The next element tag from pos on; false at the end of the text.
bool NextTag(std::string_view text, size_t* pos, Tag* tag) {
    for (;;) {
        const size_t open = text.find('<', *pos);
        if (open == std::string_view::npos) return false;
        *pos = open + 1;
        const std::string_view rest = text.substr(*pos);
        if (rest.substr(0, 3) == "!--") {
            SkipPast(text, pos, "-->");
        } else if (rest.substr(0, 8) == "![CDATA[") {
            SkipPast(text, pos, "]]>");
        } else if (rest.substr(0, 1) == "?") {
            SkipPast(text, pos, "?>");
        } else if (rest.substr(0, 1) == "!") {
            const size_t end = TagEnd(text, *pos, true);
            *pos = end == std::string_view::npos ? text.size() : end + 1;
        } else {
            const size_t i = TagEnd(text, *pos, false);
            if (i == std::string_view::npos) return false;
            std::string_view body = text.substr(*pos, i - *pos);
            *pos = i + 1;
            *tag = Tag();
            if (!body.empty() && body.front() == '/') {
                tag->end = true;
                body.remove_prefix(1);
            } else if (!body.empty() && body.back() == '/') {
                tag->empty = true;
                body.remove_suffix(1);
            }
            size_t n = 0;
            while (n < body.size() && !IsSpace(body[n])) ++n;
            tag->name = LocalName(body.substr(0, n));
            tag->attributes = body.substr(n);
            return true;
        }
    }
}

// The raw value of attribute `name` (local name compared); false when the
// tag has none.
bool Attribute(std::string_view attributes, std::string_view name, std::string_view* value) {
    size_t i = 0;
    for (;;) {
        while (i < attributes.size() && IsSpace(attributes[i])) ++i;
        if (i >= attributes.size()) return false;
        const size_t nameStart = i;
        while (i < attributes.size() && attributes[i] != '=' && !IsSpace(attributes[i])) ++i;
        const std::string_view found = attributes.substr(nameStart, i - nameStart);
        while (i < attributes.size() && IsSpace(attributes[i])) ++i;
        if (i >= attributes.size() || attributes[i] != '=') return false;
        ++i;
        while (i < attributes.size() && IsSpace(attributes[i])) ++i;
        if (i >= attributes.size() || (attributes[i] != '"' && attributes[i] != '\'')) return false;
        const char quote = attributes[i++];
        const size_t close = attributes.find(quote, i);
        if (close == std::string_view::npos) return false;
        if (LocalName(found) == name) {
            *value = attributes.substr(i, close - i);
            return true;
        }
        i = close + 1;
    }
}

bool ParseSmallNumber(std::string_view text, int* number) {
    if (text.empty() || text.size() > 3) return false;
    int n = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        n = n * 10 + (c - '0');
    }
    *number = n;
    return true;
}

bool ParseHexBytes(std::string_view text, uint8_t bytes[4]) {
    if (text.size() != 8) return false;
    for (size_t i = 0; i < 8; ++i) {
        const char c = text[i];
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return false;
        bytes[i / 2] = uint8_t(i % 2 ? (bytes[i / 2] << 4) | digit : digit);
    }
    return true;
}

}  // namespace

bool ParseClipXml(std::string_view text, ClipXml* xml) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    size_t pos = 0;
    Tag tag;
    if (!NextTag(text, &pos, &tag) || tag.end || tag.name != "NonRealTimeMeta") return false;
    bool inTable = false, haveTable = false, haveStart = false;
    ClipXml found;
    while (NextTag(text, &pos, &tag)) {
        if (tag.name == "LtcChangeTable") {
            if (tag.end) {
                if (inTable) break;
                continue;
            }
            if (haveTable) continue;  // only the first table counts
            std::string_view value;
            if (!Attribute(tag.attributes, "tcFps", &value) || !ParseSmallNumber(value, &found.tcFps)) return false;
            if (found.tcFps < 1 || found.tcFps > kMaxTcFps) return false;
            found.halfStep = Attribute(tag.attributes, "halfStep", &value) && (value == "true" || value == "1");
            haveTable = true;
            inTable = !tag.empty;
            if (!inTable) break;
        } else if (inTable && !tag.end && tag.name == "LtcChange" && !haveStart) {
            std::string_view frameCount, value;
            if (!Attribute(tag.attributes, "frameCount", &frameCount) || frameCount != "0") continue;
            uint8_t bytes[4];
            if (!Attribute(tag.attributes, "value", &value) || !ParseHexBytes(value, bytes) ||
                !DecodeSmpte12m(bytes, &found.start))
                return false;
            haveStart = true;
        }
    }
    if (!haveTable || !haveStart) return false;
    *xml = found;
    return true;
}
