// The timecode media handler: timecode-at-time and timecode-to-string through
// the component call, against fixture movies. Expected labels come from the
// SMPTE helper, which counts from first principles.
#include "tests/fixture/fixture_writer.h"
#include "tests/fixture/smpte.h"
#include "tests/toolbox/toolbox_session.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

namespace {

// Opens a movie holding a short video track, `tc` and the tracks of `m`, in
// an open session, and finds the timecode media handler.
struct TimecodeMovie {
    TestFolder dir;
    Movie movie = nullptr;
    MediaHandler handler = nullptr;
    OSErr status = 0;
    explicit TimecodeMovie(const FixtureTrack& tc, FixtureMovie m = FixtureMovie()) {
        // Video, timecode, then any tracks the caller brought.
        m.tracks.insert(m.tracks.begin(), tc);
        m.tracks.insert(m.tracks.begin(), FixtureVideoTrack(tc.timeScale, 1, 1));
        std::string path = dir.File("tc.mov");
        EXPECT_TRUE(WriteFixtureFile(path, BuildFixtureFile(m)));
        status = OpenMoviePath(path, &movie);
        if (status == noErr) handler = GetMediaHandler(NthMediaOfType(movie, TimeCodeMediaType));
    }
    std::string At(TimeValue t) {
        ComponentResult r = 0;
        std::string s = TimecodeTextAt(handler, t, &r);
        return r == 0 ? s : "error " + std::to_string(r);
    }
};

TEST(ToolboxTimecode, DropFrameAt2997CountsAcrossMinutesAndHours) {
    QtSession qt;
    // Starts 2 frames before 01:00:00;00 (107892 frames) and runs 20 minutes.
    const uint32_t start = 107892 - 2, frames = 20 * 1800;
    TimecodeMovie tm(FixtureTimecodeTrack(tcDropFrame, 30000, 1001, 30, 30000, start, frames * 1001));
    ASSERT_EQ(tm.status, noErr);
    EXPECT_EQ(tm.At(0), "00:59:59;28");
    EXPECT_EQ(tm.At(2 * 1001), "01:00:00;00");
    for (uint32_t k = 0; k < frames; k += 7)
        ASSERT_EQ(tm.At(TimeValue(k * 1001)), SmpteLabel(start + k, 30, true)) << k;
    // Within a frame the label does not change.
    EXPECT_EQ(tm.At(3 * 1001 - 1), SmpteLabel(start + 2, 30, true));
    EXPECT_EQ(tm.At(3 * 1001), SmpteLabel(start + 3, 30, true));
}

TEST(ToolboxTimecode, DropFrameAt5994DropsFourLabels) {
    QtSession qt;
    const uint32_t start = 60 * 60 - 3;  // 00:00:59;57
    TimecodeMovie tm(FixtureTimecodeTrack(tcDropFrame, 60000, 1001, 60, 60000, start, 20000 * 1001));
    ASSERT_EQ(tm.status, noErr);
    EXPECT_EQ(tm.At(0), "00:00:59;57");
    EXPECT_EQ(tm.At(3 * 1001), "00:01:00;04");
    for (uint32_t k = 0; k < 20000; k += 3) ASSERT_EQ(tm.At(TimeValue(k * 1001)), SmpteLabel(start + k, 60, true)) << k;
}

TEST(ToolboxTimecode, NonDropRates) {
    QtSession qt;
    struct Case { uint32_t scale, duration; uint8_t fps; };
    for (Case c : {Case{25, 1, 25}, Case{24000, 1001, 24}, Case{30000, 1001, 30}, Case{50, 1, 50},
                   Case{30, 1, 29}}) {
        const uint32_t start = 3600u * c.fps - 5;
        TimecodeMovie tm(FixtureTimecodeTrack(0, c.scale, c.duration, c.fps, c.scale, start, 100000 * c.duration));
        ASSERT_EQ(tm.status, noErr);
        for (uint32_t k = 0; k < 3000; k += 1) ASSERT_EQ(tm.At(TimeValue(k * c.duration)), SmpteLabel(start + k, c.fps, false)) << k;
    }
}

TEST(ToolboxTimecode, TwentyFourHourWrap) {
    QtSession qt;
    const uint32_t day = 24 * 3600 * 25;
    TimecodeMovie tm(FixtureTimecodeTrack(tc24HourMax, 25, 1, 25, 25, day - 2, 100));
    ASSERT_EQ(tm.status, noErr);
    EXPECT_EQ(tm.At(0), "23:59:59:23");
    EXPECT_EQ(tm.At(1), "23:59:59:24");
    EXPECT_EQ(tm.At(2), "00:00:00:00");
    EXPECT_EQ(tm.At(27), "00:00:01:00");
    // A stored frame number beyond a day wraps too.
    TimecodeMovie beyond(FixtureTimecodeTrack(tc24HourMax, 25, 1, 25, 25, 2 * day + 26, 100));
    EXPECT_EQ(beyond.At(0), "00:00:01:01");
    const uint32_t dfDay = 24 * 107892;
    TimecodeMovie df(FixtureTimecodeTrack(tc24HourMax | tcDropFrame, 30000, 1001, 30, 30000, dfDay - 1, 10010));
    EXPECT_EQ(df.At(0), "23:59:59;29");
    EXPECT_EQ(df.At(1001), "00:00:00;00");
}

TEST(ToolboxTimecode, NegativeTimecodes) {
    QtSession qt;
    TimecodeMovie tm(FixtureTimecodeTrack(tcNegTimesOK, 30, 1, 30, 30, -31, 100));
    ASSERT_EQ(tm.status, noErr);
    EXPECT_EQ(tm.At(0), "-00:00:01:01");
    EXPECT_EQ(tm.At(1), "-00:00:01:00");
    EXPECT_EQ(tm.At(16), "-00:00:00:15");
    EXPECT_EQ(tm.At(31), "00:00:00:00");
    EXPECT_EQ(tm.At(32), "00:00:00:01");
}

TEST(ToolboxTimecode, CounterMode) {
    QtSession qt;
    // Counter: the stored count divided by the number of frames per tick.
    TimecodeMovie tm(FixtureTimecodeTrack(tcCounter, 25, 1, 25, 25, 250, 1000));
    ASSERT_EQ(tm.status, noErr);
    EXPECT_EQ(tm.At(0), "10");
    EXPECT_EQ(tm.At(24), "10");
    EXPECT_EQ(tm.At(25), "11");
    EXPECT_EQ(tm.At(25 * 1000), "1010");  // past the sample, counting on
}

TEST(ToolboxTimecode, SeveralSamplesAreTimecodeBreaks) {
    QtSession qt;
    FixtureTrack tc = FixtureTimecodeTrack(0, 25, 1, 25, 25, 0, 0);
    tc.tcSamples = {{1000, 50}, {90000, 25}, {7, 100}};
    for (uint32_t perChunk : {0u, 1u, 2u}) {
        tc.tcSamplesPerChunk = perChunk;
        TimecodeMovie tm(tc);
        ASSERT_EQ(tm.status, noErr);
        EXPECT_EQ(tm.At(0), SmpteLabel(1000, 25, false)) << perChunk;
        EXPECT_EQ(tm.At(49), SmpteLabel(1049, 25, false));
        EXPECT_EQ(tm.At(50), "01:00:00:00");
        EXPECT_EQ(tm.At(74), "01:00:00:24");
        EXPECT_EQ(tm.At(75), SmpteLabel(7, 25, false));
        EXPECT_EQ(tm.At(174), SmpteLabel(106, 25, false));
        // Past the last sample the count goes on from it.
        EXPECT_EQ(tm.At(175), SmpteLabel(107, 25, false));
        EXPECT_EQ(tm.At(75 + 25 * 3600), SmpteLabel(7 + 25 * 3600, 25, false));
    }
}

TEST(ToolboxTimecode, DefinitionAndMediaTimeScalesDiffer) {
    QtSession qt;
    // Media at 600 ticks a second, 23.976 frames counted 24 a second: frame k
    // starts at k x 1001 / 40 ticks, so frame = floor(t x 40 / 1001).
    TimecodeMovie tm(FixtureTimecodeTrack(0, 24000, 1001, 24, 600, 0, 600 * 3600));
    ASSERT_EQ(tm.status, noErr);
    for (TimeValue t : {0, 25, 26, 1001, 1002, 600 * 60, 600 * 3599})
        EXPECT_EQ(tm.At(t), SmpteLabel(int64_t(t) * 40 / 1001, 24, false)) << t;
    // Media at half the definition's scale: 15000 ticks, 29.97 drop frame.
    TimecodeMovie half(FixtureTimecodeTrack(tcDropFrame, 30000, 1001, 30, 15000, 1798, 15000 * 600));
    ASSERT_EQ(half.status, noErr);
    for (TimeValue t : {0, 500, 501, 1001, 1502, 15000 * 60})
        EXPECT_EQ(half.At(t), SmpteLabel(1798 + int64_t(t) * 2 / 1001, 30, true)) << t;
}

TEST(ToolboxTimecode, DescriptionVariantsFromRealFiles) {
    QtSession qt;
    FixtureTrack tc = FixtureTimecodeTrack(tcDropFrame, 30000, 1001, 30, 30000, 1800, 30030);
    tc.tcByteAfterNumFrames = 0xFF;
    tc.tcDescriptionExtra = FixtureNameAtom("Camera A reel 0001");
    tc.disabled = true;
    TimecodeMovie tm(tc);
    ASSERT_EQ(tm.status, noErr);
    EXPECT_EQ(tm.At(0), "00:01:00;02");
    tc.tcDescriptionExtra = std::string("\0\0", 2);  // two trailing bytes, as ffmpeg writes
    TimecodeMovie trailing(tc);
    EXPECT_EQ(trailing.At(1001), "00:01:00;03");
}

TEST(ToolboxTimecode, SampleDataPlacementOffsetsAndSizes) {
    QtSession qt;
    FixtureTrack tc = FixtureTimecodeTrack(0, 25, 1, 25, 25, 90000, 1000);
    for (int variant = 0; variant < 16; ++variant) {
        FixtureMovie m;
        m.moovFirst = variant & 1;
        m.largeSizes = variant & 2;
        tc.co64 = variant & 4;
        m.timecodeData = (variant & 8) ? FixtureTimecodeData::First : FixtureTimecodeData::Last;
        if (variant == 3 || variant == 12) {
            // Between two video tracks' data.
            m.timecodeData = FixtureTimecodeData::InTrackOrder;
            m.tracks.push_back(FixtureVideoTrack(25, 40, 1));
        }
        m.lastAtomSizeZero = variant == 5 || variant == 10;
        TimecodeMovie tm(tc, m);
        ASSERT_EQ(tm.status, noErr) << variant;
        EXPECT_EQ(tm.At(0), "01:00:00:00") << variant;
        EXPECT_EQ(tm.At(26), "01:00:01:01") << variant;
    }
}

TEST(ToolboxTimecode, SampleAbove4GiBThroughCo64) {
    QtSession qt;
    FixtureTrack tc = FixtureTimecodeTrack(0, 25, 1, 25, 25, 90000, 1000);
    tc.co64 = true;
    for (bool moovFirst : {false, true}) {
        FixtureMovie m;
        m.moovFirst = moovFirst;
        m.gapBeforeTimecodeData = (uint64_t(1) << 32) + 12345;  // sparse on disk
        TimecodeMovie tm(tc, m);
        ASSERT_EQ(tm.status, noErr);
        EXPECT_EQ(tm.At(25), "01:00:01:00");
    }
}

TEST(ToolboxTimecode, RequestsThatCannotBeAnswered) {
    QtSession qt;
    TimecodeMovie tm(FixtureTimecodeTrack(0, 25, 1, 25, 25, 0, 100));
    ASSERT_EQ(tm.status, noErr);
    EXPECT_NE(tm.At(-1), "00:00:00:00");
    EXPECT_EQ(tm.At(-1).rfind("error", 0), 0u);
    TimecodeMovie zeroDuration(FixtureTimecodeTrack(0, 25, 0, 25, 25, 0, 100));
    ASSERT_EQ(zeroDuration.status, noErr);
    EXPECT_EQ(zeroDuration.At(0).rfind("error", 0), 0u);
    TimecodeMovie zeroFrames(FixtureTimecodeTrack(0, 25, 1, 0, 25, 0, 100));
    ASSERT_EQ(zeroFrames.status, noErr);
    EXPECT_EQ(zeroFrames.At(0).rfind("error", 0), 0u);
    TimecodeMovie zeroScale(FixtureTimecodeTrack(0, 0, 1, 25, 25, 0, 100));
    ASSERT_EQ(zeroScale.status, noErr);
    EXPECT_EQ(zeroScale.At(10).rfind("error", 0), 0u);
}

TEST(ToolboxTimecode, DefinitionAndRecordAsFilled) {
    QtSession qt;
    TimecodeMovie tm(FixtureTimecodeTrack(tcDropFrame | tc24HourMax, 30000, 1001, 30, 30000, 1800, 30030));
    ASSERT_EQ(tm.status, noErr);
    int32_t frame = 0;
    TimeCodeDef def;
    TimeCodeRecord rec;
    std::memset(&def, 0xAB, sizeof def);
    ASSERT_EQ(TCGetTimeCodeAtTime(tm.handler, 1001, &frame, &def, &rec, nullptr), 0);
    EXPECT_EQ(def.flags, tcDropFrame | tc24HourMax);
    EXPECT_EQ(def.fTimeScale, 30000);
    EXPECT_EQ(def.frameDuration, 1001);
    EXPECT_EQ(def.numFrames, 30);
    // 1801 frames of drop frame: 00:01:00;03.
    EXPECT_EQ(rec.t.hours, 0);
    EXPECT_EQ(rec.t.minutes, 1);
    EXPECT_EQ(rec.t.seconds, 0);
    EXPECT_EQ(rec.t.frames, 3);
    // The string request reads only what it is given: another record, another text.
    rec.t.hours = 12;
    unsigned char counted[256];
    ASSERT_EQ(TCTimeCodeToString(tm.handler, &def, &rec, counted), 0);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(counted + 1), counted[0]), "12:01:00;03");
}

}  // namespace

namespace {

// 23.976 video (scale 24000) with its timecode media at 600 ticks a second,
// walked as the tool walks it: sample k starts at 1001k / 24000 s and should
// read frame k. Rounding the converted time to the nearest tick puts sample 1
// at tick 25, just before frame 1 starts (25.025 ticks), so it would read
// frame 0 again; the walk rounds up to tick 26.
TEST(ToolboxTimecode, VideoWalkWithTimecodeMediaAt600) {
    QtSession qt;
    TestFolder dir;
    struct Case { uint32_t videoScale, duration; int32_t flags; uint8_t fps; uint32_t tcScale; };
    for (Case c : {Case{24000, 1001, 0, 24, 600}, Case{30000, 1001, tcDropFrame, 30, 600},
                   Case{30000, 1001, tcDropFrame, 30, 15000}, Case{60000, 1001, tcDropFrame, 60, 600},
                   Case{25, 1, 0, 25, 600}}) {
        const uint32_t samples = 2000, start = 1800 * c.fps / 30 - 10;
        FixtureMovie m;
        m.tracks.push_back(FixtureVideoTrack(c.videoScale, samples, c.duration));
        // The timecode sample lasts as long as the video, in its own scale.
        uint32_t tcDuration = uint32_t(uint64_t(samples) * c.duration * c.tcScale / c.videoScale + 1);
        m.tracks.push_back(FixtureTimecodeTrack(c.flags, c.videoScale, c.duration, c.fps, c.tcScale, start,
                                                tcDuration));
        std::string path = dir.File("scales.mov");
        ASSERT_TRUE(WriteFixtureFile(path, BuildFixtureMovie(m)));
        WalkedMovie w = WalkMovie(path);
        ASSERT_EQ(w.status, noErr);
        ASSERT_EQ(w.timecodes.size(), samples);
        int wrong = 0;
        for (size_t k = 0; k < samples; ++k)
            if (w.timecodes[k] != SmpteLabel(start + k, c.fps, c.flags & tcDropFrame) && ++wrong <= 3)
                ADD_FAILURE() << c.videoScale << "/" << c.tcScale << " sample " << k << ": " << w.timecodes[k]
                              << ", expected " << SmpteLabel(start + k, c.fps, c.flags & tcDropFrame);
        EXPECT_EQ(wrong, 0) << c.videoScale << "/" << c.tcScale;
    }
}

}  // namespace
