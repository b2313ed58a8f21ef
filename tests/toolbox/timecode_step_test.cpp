// The timecode handler answers a walk frame after frame by counting the
// frames field on from its previous answer. These requests, in walk order and
// out of it, must give the labels counted from first principles (the SMPTE
// helper), across seconds, drop-frame minutes, ten-minute blocks, midnight,
// zero and timecode sample breaks.
#include <gtest/gtest.h>

#include <string>

#include "tests/fixture/fixture_writer.h"
#include "tests/fixture/smpte.h"
#include "tests/toolbox/toolbox_session.h"

namespace {

constexpr uint32_t kScale = 30000;
constexpr uint32_t kFrame = 1001;

// A movie with a short video track and the given timecode track, opened in
// the running session, and that track's handler.
struct StepMovie {
    TestFolder dir;
    Movie movie = nullptr;
    MediaHandler handler = nullptr;
    explicit StepMovie(const FixtureTrack& tc) {
        FixtureMovie m;
        m.tracks.push_back(FixtureVideoTrack(tc.timeScale, 1, 1));
        m.tracks.push_back(tc);
        std::string path = dir.File("step.mov");
        EXPECT_TRUE(WriteFixtureFile(path, BuildFixtureFile(m)));
        EXPECT_EQ(OpenMoviePath(path, &movie), 0);
        handler = GetMediaHandler(NthMediaOfType(movie, TimeCodeMediaType));
        EXPECT_NE(handler, nullptr);
    }
    std::string At(int64_t frame) {
        ComponentResult r = 0;
        std::string s = TimecodeTextAt(handler, TimeValue(frame * kFrame), &r);
        return r == 0 ? s : "error " + std::to_string(r);
    }
};

}  // namespace

TEST(TimecodeStep, DropFrameWalkAcrossMinutesAndMidnight) {
    QtSession qt;
    for (int fps : {30, 60}) {
        const int64_t day = 144 * (fps * 600 - 9 * (fps / 15));
        const int64_t start = day - 12 * 60 * fps;  // about twelve minutes before midnight
        const int64_t frames = 24 * 60 * fps;
        StepMovie m(FixtureTimecodeTrack(tcDropFrame | tc24HourMax, kScale, kFrame, uint8_t(fps), kScale,
                                         int32_t(start), uint32_t(frames * kFrame)));
        for (int64_t k = 0; k < frames; ++k)
            ASSERT_EQ(m.At(k), SmpteLabel(start + k, fps, true)) << fps << " fps, frame " << k;
    }
}

// A sample whose count lies days past midnight: labels wrap to the day and
// go on stepping across the next midnight.
TEST(TimecodeStep, CountsDaysPastMidnightWrapAndStep) {
    QtSession qt;
    const int64_t day = 144 * (30 * 600 - 9 * 2);
    const int64_t start = 3 * day - 45;
    const int64_t frames = 100;
    StepMovie m(FixtureTimecodeTrack(tcDropFrame | tc24HourMax, kScale, kFrame, 30, kScale, int32_t(start),
                                     uint32_t(frames * kFrame)));
    for (int64_t k = 0; k < frames; ++k)
        ASSERT_EQ(m.At(k), SmpteLabel((start + k) % day, 30, true)) << k;
}

TEST(TimecodeStep, NonDropWalkAndRequestsOutOfOrder) {
    QtSession qt;
    const int64_t start = 3 * 3600 * 25 - 40;
    StepMovie m(FixtureTimecodeTrack(0, 25, 1, 25, 25, int32_t(start), 200000));
    // Forward, backward, the same frame twice, and jumps that land one frame
    // after an earlier answer's neighbour.
    const int64_t order[] = {0, 1, 2, 24, 25, 26, 25, 24, 23, 23, 24, 100, 39, 40, 41, 1000, 999, 1000, 1001};
    for (int64_t k : order) {
        // At 25 units a second and one unit per frame: time k is frame k.
        ComponentResult r = 0;
        ASSERT_EQ(TimecodeTextAt(m.handler, TimeValue(k), &r), SmpteLabel(start + k, 25, false)) << k;
        ASSERT_EQ(r, 0);
    }
}

// A refused request between two answers one frame apart: the second must
// still be counted from the first, not from what the refused one looked up.
TEST(TimecodeStep, RefusedRequestBetweenNeighbours) {
    QtSession qt;
    const int64_t start = 25 * 60;
    StepMovie m(FixtureTimecodeTrack(0, 25, 1, 25, 25, int32_t(start), 1000));
    for (int64_t k : {10, 11, 12}) {
        ComponentResult r = 0;
        ASSERT_EQ(TimecodeTextAt(m.handler, TimeValue(k), &r), SmpteLabel(start + k, 25, false)) << k;
        ComponentResult refused = 0;
        TimecodeTextAt(m.handler, TimeValue(-1 - k), &refused);
        ASSERT_NE(refused, 0) << k;
    }
}

TEST(TimecodeStep, NegativeTimecodesCountTowardsZero) {
    QtSession qt;
    // Starts 60 frames before zero; negative labels carry a '-' and count down.
    StepMovie m(FixtureTimecodeTrack(tcNegTimesOK, kScale, kFrame, 30, kScale, -60, 200 * kFrame));
    for (int64_t k = 0; k < 200; ++k) {
        int64_t count = k - 60;
        std::string expected = count < 0 ? "-" + SmpteLabel(-count, 30, false) : SmpteLabel(count, 30, false);
        ASSERT_EQ(m.At(k), expected) << k;
    }
}

TEST(TimecodeStep, SampleBreaksRestartTheCount) {
    QtSession qt;
    // Three timecode samples of 40 frames each, the second jumping back an
    // hour and the third continuing the first.
    FixtureTrack tc = FixtureTimecodeTrack(tcDropFrame, kScale, kFrame, 30, kScale, 0, 0);
    const int32_t values[] = {107892 + 17, 17, 107892 + 97};
    tc.tcSamples.clear();
    for (int32_t v : values) tc.tcSamples.push_back({uint32_t(v), 40 * kFrame});
    StepMovie m(tc);
    for (int64_t k = 0; k < 120; ++k)
        ASSERT_EQ(m.At(k), SmpteLabel(values[k / 40] + k % 40, 30, true)) << k;
}

TEST(TimecodeStep, MediaScaleUnlikeTheDefinitionCountsWholeFrames) {
    QtSession qt;
    // Media in 600ths of a second, definition 30000/1001 drop frame: frame =
    // floor(t x 30000 / (600 x 1001)). Steps of every size up to a few frames,
    // forwards, and now and then backwards.
    const int64_t start = 107892 - 30;
    StepMovie m(FixtureTimecodeTrack(tcDropFrame, 30000, 1001, 30, 600, int32_t(start), 600 * 3600));
    int64_t t = 0;
    for (int i = 0; i < 20000; ++i) {
        t += (i % 97 == 0) ? -(i % 50) : (i * 7) % 61;
        if (t < 0) t = 0;
        ComponentResult r = 0;
        const int64_t frame = t * 30000 / (600 * 1001);
        ASSERT_EQ(TimecodeTextAt(m.handler, TimeValue(t), &r), SmpteLabel(start + frame, 30, true)) << t;
    }
}
