#include "writers/subtitle_cues.h"

#include <cstring>

#include "common/decimal.h"

namespace {

// "HH:MM:SS,mmm" for microseconds >= 0; at most 22 bytes (the cue times stay
// below 2^62 microseconds, so the hours fit 32 bits).
char* PutCueTime(char* p, int64_t microseconds) {
    const int64_t milliseconds = microseconds / 1000;
    const uint32_t hours = uint32_t(milliseconds / 3600000);
    const uint32_t withinHour = uint32_t(milliseconds % 3600000);
    p = PutTwoDigitsOrMore(p, hours);
    *p++ = ':';
    p = PutTwoDigitsOrMore(p, withinHour / 60000);
    *p++ = ':';
    p = PutTwoDigitsOrMore(p, withinHour / 1000 % 60);
    *p++ = ',';
    const uint32_t ms = withinHour % 1000;
    *p++ = char('0' + ms / 100);
    return PutTwoDigitsOrMore(p, ms % 100);
}

}  // namespace

void WriteSubtitleCue(OutputStream& stream, uint32_t number, int64_t start, int64_t end,
                      const std::string& text) {
    char head[kDecimalMax + 2 * 22 + 8];
    char* p = PutUnsignedDecimal(head, number);
    *p++ = '\n';
    p = PutCueTime(p, start);
    std::memcpy(p, " --> ", 5);
    p = PutCueTime(p + 5, end);
    *p++ = '\n';
    Append(stream, head, size_t(p - head));
    Append(stream, text.data(), text.size());
    Append(stream, "\n\n", 2);
}
