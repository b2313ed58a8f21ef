#include <gtest/gtest.h>

#include <string>

#include "qtbinding/builtin/builtin_status.h"
#include "qtbinding/builtin/timecode_record.h"
#include "tests/fixture/smpte.h"

namespace {

TimeCodeDef Def(int32_t flags, uint8_t fps, int32_t scale = 30000, int32_t duration = 1001) {
    TimeCodeDef d{};
    d.flags = flags;
    d.fTimeScale = scale;
    d.frameDuration = duration;
    d.numFrames = fps;
    return d;
}

// The text for frame count n, or "error <status>".
std::string Text(const TimeCodeDef& def, int64_t n) {
    TimeCodeRecord rec;
    int32_t shown = 0;
    ComponentResult r = FrameCountToRecord(def, n, &rec, &shown);
    if (r != noErr) return "error " + std::to_string(r);
    unsigned char str[256];
    r = RecordToString(def, rec, str);
    if (r != noErr) return "error " + std::to_string(r);
    return std::string(reinterpret_cast<char*>(str + 1), str[0]);
}

std::string Expected(const char* start, int fps, int64_t n) {
    SmpteTime t;
    EXPECT_TRUE(ParseSmpte(start, &t));
    return FormatSmpte(SmpteAdd(t, fps, n));
}

TEST(Timecode, DropFrameAroundMinuteAndTenMinuteBoundaries) {
    for (int fps : {30, 60}) {
        TimeCodeDef def = Def(tcDropFrame | tc24HourMax, uint8_t(fps));  // the reference wraps too
        int64_t perMinute = fps * 60 - fps / 15;
        int64_t perTen = fps * 600 - 9 * (fps / 15);
        for (int64_t centre : {int64_t(0), perMinute, 2 * perMinute, 9 * perMinute, perTen, perTen + perMinute,
                               6 * perTen, 6 * perTen + perMinute, 144 * perTen - 1}) {
            for (int64_t n = centre - 3; n <= centre + 3; ++n) {
                if (n < 0) continue;
                EXPECT_EQ(Text(def, n), Expected("00:00:00;00", fps, n)) << "fps " << fps << " n " << n;
            }
        }
    }
    // The first frame of minute 1 at 29.97 is labelled ;02, at 59.94 ;04.
    EXPECT_EQ(Text(Def(tcDropFrame, 30), 1800), "00:01:00;02");
    EXPECT_EQ(Text(Def(tcDropFrame, 60), 3600), "00:01:00;04");
}

TEST(Timecode, DropFlagIgnoredForRatesNotMultiplesOf30) {
    TimeCodeDef def = Def(tcDropFrame, 25, 25, 1);
    EXPECT_EQ(Text(def, 25 * 60), "00:01:00:00");
    EXPECT_EQ(Text(Def(tcDropFrame, 24, 24000, 1001), 24 * 3600 + 23), "01:00:00:23");
}

TEST(Timecode, NonDropCountsWithTheFrameCountAsWritten) {
    // 29 frames per second (as some cameras write for 29.97 non-drop).
    EXPECT_EQ(Text(Def(0, 29), 28), "00:00:00:28");
    EXPECT_EQ(Text(Def(0, 29), 29), "00:00:01:00");
    EXPECT_EQ(Text(Def(0, 25, 25, 1), (10 * 3600 + 59 * 60 + 59) * 25 + 24), "10:59:59:24");
}

TEST(Timecode, TwentyFourHourWrap) {
    EXPECT_EQ(Text(Def(tc24HourMax, 25, 25, 1), 25 * 86400 + 5), "00:00:00:05");
    EXPECT_EQ(Text(Def(tc24HourMax, 25, 25, 1), -1), "23:59:59:24");
    int64_t dfDay = 144 * (30 * 600 - 18);
    EXPECT_EQ(Text(Def(tc24HourMax | tcDropFrame, 30), dfDay), "00:00:00;00");
    EXPECT_EQ(Text(Def(tc24HourMax | tcDropFrame, 30), dfDay - 1), "23:59:59;29");
    // Without the wrap the hours go on, up to what the record holds.
    EXPECT_EQ(Text(Def(0, 25, 25, 1), int64_t(25) * 86400 + 5), "24:00:00:05");
    EXPECT_EQ(Text(Def(0, 1, 1, 1), int64_t(255) * 3600), "255:00:00:00");
    EXPECT_EQ(Text(Def(0, 1, 1, 1), int64_t(256) * 3600), "error " + std::to_string(invalidTime));
}

TEST(Timecode, NegativeTimesOnlyWhenAllowed) {
    EXPECT_EQ(Text(Def(tcNegTimesOK, 25, 25, 1), -26), "-00:00:01:01");
    EXPECT_EQ(Text(Def(tcNegTimesOK | tcDropFrame, 30), -1800), "-00:01:00;02");
    EXPECT_EQ(Text(Def(0, 25, 25, 1), -1), "error " + std::to_string(invalidTime));
}

TEST(Timecode, CounterModeShowsTheCountDividedByTheFrameCount) {
    EXPECT_EQ(Text(Def(tcCounter, 25, 25, 1), 0), "0");
    EXPECT_EQ(Text(Def(tcCounter, 25, 25, 1), 24), "0");
    EXPECT_EQ(Text(Def(tcCounter, 25, 25, 1), 250), "10");
    EXPECT_EQ(Text(Def(tcCounter | tcDropFrame, 30), 1800), "60");  // no drop frame in counter mode
    EXPECT_EQ(Text(Def(tcCounter, 1, 1, 1), int64_t(1) << 31), "error " + std::to_string(invalidTime));
}

TEST(Timecode, DefinitionFromTheDescriptionEntry) {
    // size, 'tmcd', 6 reserved, data reference index, 4 reserved, flags,
    // time scale, frame duration, number of frames, one more byte.
    std::string entry(34, '\0');
    entry.replace(4, 4, "tmcd");
    entry[23] = 0x07;
    entry[25] = 0x00; entry[26] = 0x75; entry[27] = 0x30;  // 30000
    entry[30] = 0x03; entry[31] = char(0xE9);             // 1001
    entry[32] = 30;
    entry[33] = 0x5A;  // not always zero: ignored
    TimeCodeDef def;
    ASSERT_EQ(ReadTimecodeDefinition(entry, &def), noErr);
    EXPECT_EQ(def.flags, 7);
    EXPECT_EQ(def.fTimeScale, 30000);
    EXPECT_EQ(def.frameDuration, 1001);
    EXPECT_EQ(def.numFrames, 30);
    std::string zeroDuration = entry;
    zeroDuration[30] = zeroDuration[31] = 0;
    EXPECT_EQ(ReadTimecodeDefinition(zeroDuration, &def), invalidSampleDescription);
    std::string zeroFrames = entry;
    zeroFrames[32] = 0;
    EXPECT_EQ(ReadTimecodeDefinition(zeroFrames, &def), invalidSampleDescription);
    EXPECT_EQ(ReadTimecodeDefinition(entry.substr(0, 32), &def), invalidSampleDescription);
}

}  // namespace
