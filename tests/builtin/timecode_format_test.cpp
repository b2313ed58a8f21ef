// The hand-written formatting of timecode texts must give exactly the
// bytes of the formatted prints it stands for: "%s%02u:%02u:%02u%c%02u" for a
// timecode record and "%ld" for a counter. Expected texts come from snprintf.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "qtbinding/builtin/timecode_record.h"

namespace {

TimeCodeDef Definition(int32_t flags, uint8_t numFrames) {
    TimeCodeDef def{};
    def.flags = flags;
    def.fTimeScale = 30000;
    def.frameDuration = 1001;
    def.numFrames = numFrames;
    return def;
}

std::string Text(const TimeCodeDef& def, const TimeCodeRecord& rec) {
    unsigned char counted[256] = {};
    EXPECT_EQ(RecordToString(def, rec, counted), 0);
    return std::string(reinterpret_cast<const char*>(counted + 1), counted[0]);
}

std::string Expected(const char* sign, unsigned h, unsigned m, unsigned s, char sep, unsigned f) {
    char text[64];
    std::snprintf(text, sizeof text, "%s%02u:%02u:%02u%c%02u", sign, h, m, s, sep, f);
    return text;
}

}  // namespace

// Every byte value of every field, two- and three-digit, with and without the
// negative flag, under drop frame (';') and non-drop (':').
TEST(TimecodeFormatting, TimecodeRecordsMatchFormattedPrint) {
    const TimeCodeDef drop = Definition(tcDropFrame, 30);
    const TimeCodeDef plain = Definition(0, 25);
    const TimeCodeDef dropIgnored = Definition(tcDropFrame, 25);  // not a multiple of 30
    for (unsigned v = 0; v < 256; ++v) {
        for (unsigned field = 0; field < 4; ++field) {
            TimeCodeRecord rec{};
            rec.t.hours = uint8_t(field == 0 ? v : 1);
            rec.t.minutes = uint8_t(field == 1 ? v : 2);
            rec.t.seconds = uint8_t(field == 2 ? v : 3);
            rec.t.frames = uint8_t(field == 3 ? v : 4);
            const bool negative = (rec.t.minutes & tctNegFlag) != 0;
            const char* sign = negative ? "-" : "";
            const unsigned minutes = rec.t.minutes & 0x7Fu;
            ASSERT_EQ(Text(drop, rec), Expected(sign, rec.t.hours, minutes, rec.t.seconds, ';', rec.t.frames));
            ASSERT_EQ(Text(plain, rec), Expected(sign, rec.t.hours, minutes, rec.t.seconds, ':', rec.t.frames));
            ASSERT_EQ(Text(dropIgnored, rec),
                      Expected(sign, rec.t.hours, minutes, rec.t.seconds, ':', rec.t.frames));
        }
    }
}

TEST(TimecodeFormatting, CountersMatchFormattedPrint) {
    const TimeCodeDef counter = Definition(tcCounter, 30);
    const int32_t values[] = {0, 1, 9, 10, 99, 100, 12345, 999999999, 1000000000, INT32_MAX,
                              -1, -10, -123456, INT32_MIN + 1, INT32_MIN};
    for (int32_t v : values) {
        TimeCodeRecord rec{};
        rec.c = v;
        char expected[32];
        std::snprintf(expected, sizeof expected, "%ld", long(v));
        EXPECT_EQ(Text(counter, rec), expected) << v;
    }
}

// A definition without a frame rate cannot make a timecode text.
TEST(TimecodeFormatting, ZeroFrameRateIsRefused) {
    TimeCodeRecord rec{};
    unsigned char counted[256] = {};
    EXPECT_NE(RecordToString(Definition(0, 0), rec, counted), 0);
}
