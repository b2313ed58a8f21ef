// Movies that ffmpeg makes, walked sample by sample exactly as the tool walks
// them; every label is compared with SMPTE counting from ffprobe's start
// timecode, and the sample count with ffprobe's frame count.
#include "tests/fixture/ffmpeg_movie.h"
#include "tests/fixture/fixture_writer.h"
#include "tests/fixture/smpte.h"
#include "tests/toolbox/toolbox_session.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

struct RateCase {
    const char* rate;      // ffmpeg frame rate
    int fps;               // frames counted per second
    const char* timecode;  // start
    double seconds;
    const char* extraArgs = "";
    bool expectCtts = false;  // the movie must carry composition offsets
};

void WalkAndCompare(const RateCase& c) {
    if (!FfmpegAvailable()) GTEST_SKIP() << "ffmpeg not installed";
    TestFolder dir;
    FfmpegMovieSpec options;
    options.rate = c.rate;
    options.timecode = c.timecode;
    options.seconds = c.seconds;
    options.extraArgs = c.extraArgs;
    std::string path = MakeFfmpegMovie(options, dir.path);
    ASSERT_FALSE(path.empty());
    std::string start;
    int64_t frames = 0;
    ASSERT_TRUE(ProbeStartTimecode(path, &start));
    ASSERT_TRUE(ProbeFrameCount(path, &frames));
    EXPECT_EQ(start, c.timecode);
    if (c.expectCtts) {
        std::ifstream in(path, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        FixtureAtom a;
        ASSERT_TRUE(FindFixtureAtom(bytes, "moov/trak/mdia/minf/stbl/ctts", &a));
        ASSERT_TRUE(FindFixtureAtom(bytes, "moov/trak/edts/elst", &a));
    }

    QtSession qt;
    ASSERT_EQ(qt.initErr, noErr);
    WalkedMovie w = WalkMovie(path);
    ASSERT_EQ(w.status, noErr);
    EXPECT_EQ(w.width, 64);
    EXPECT_EQ(w.height, 48);
    ASSERT_EQ(int64_t(w.times.size()), frames);
    std::vector<std::string> expected = SmpteSequence(start, c.fps, frames);
    ASSERT_EQ(expected.size(), w.timecodes.size());
    int wrong = 0;
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(w.results[i], 0) << "sample " << i;
        if (w.timecodes[i] != expected[i] && ++wrong <= 5)
            ADD_FAILURE() << "sample " << i << " at " << w.times[i] << ": " << w.timecodes[i]
                          << ", expected " << expected[i];
    }
    EXPECT_EQ(wrong, 0);
}

TEST(ToolboxFfmpeg, Rate25) { WalkAndCompare({"25", 25, "00:59:58:00", 4}); }
TEST(ToolboxFfmpeg, Rate30) { WalkAndCompare({"30", 30, "10:00:59:00", 3}); }
TEST(ToolboxFfmpeg, Rate50) { WalkAndCompare({"50", 50, "00:00:59:10", 3}); }
TEST(ToolboxFfmpeg, Rate23976) { WalkAndCompare({"24000/1001", 24, "01:00:59:00", 4}); }
TEST(ToolboxFfmpeg, Rate2997DropFrame) { WalkAndCompare({"30000/1001", 30, "00:09:58;00", 66}); }
TEST(ToolboxFfmpeg, Rate5994DropFrame) { WalkAndCompare({"60000/1001", 60, "00:00:58;00", 4}); }

// B-frames: ffmpeg writes composition offsets (ctts) and an edit list; the
// walk still goes by decode time, one label per sample.
TEST(ToolboxFfmpeg, Rate2997DropFrameWithBFrames) {
    WalkAndCompare({"30000/1001", 30, "00:00:59;00", 4, "-bf 2", true});
}

// Two minutes of 29.97 drop frame from 00:00:59;28: ...;28, ;29, 00:01:00;02,
// and every later label, to the last sample.
TEST(ToolboxFfmpeg, TwoMinutesOfDropFrameFrom005928) {
    if (!FfmpegAvailable()) GTEST_SKIP() << "ffmpeg not installed";
    TestFolder dir;
    FfmpegMovieSpec options;
    options.rate = "30000/1001";
    options.timecode = "00:00:59;28";
    options.seconds = 120;
    std::string path = MakeFfmpegMovie(options, dir.path, "two minutes.mov");
    ASSERT_FALSE(path.empty());
    int64_t frames = 0;
    ASSERT_TRUE(ProbeFrameCount(path, &frames));
    ASSERT_GT(frames, 3500);

    QtSession qt;
    WalkedMovie w = WalkMovie(path);
    ASSERT_EQ(w.status, noErr);
    ASSERT_EQ(int64_t(w.times.size()), frames);
    ASSERT_GE(w.timecodes.size(), 3u);
    EXPECT_EQ(w.timecodes[0], "00:00:59;28");
    EXPECT_EQ(w.timecodes[1], "00:00:59;29");
    EXPECT_EQ(w.timecodes[2], "00:01:00;02");
    EXPECT_EQ(w.timecodes, SmpteSequence("00:00:59;28", 30, frames));
    for (size_t i = 0; i < w.times.size(); ++i) ASSERT_EQ(w.times[i], TimeValue64(i) * 1001) << i;
}

}  // namespace
