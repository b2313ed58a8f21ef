// End to end on movies that ffmpeg made: the timecode list must be the SMPTE
// count from ffprobe's start timecode, one label per video frame, and --qc
// must find nothing.
#include <string>
#include <vector>

#include "tests/fixture/ffmpeg_movie.h"
#include "tests/fixture/smpte.h"
#include "tests/run/harness.h"

namespace {

struct RateCase {
    const char* rate;      // ffmpeg's frame rate
    int countedFps;        // frames counted per timecode second
    const char* timecode;  // start given to ffmpeg
    double seconds;
};

std::string Lines(const std::vector<std::string>& labels) {
    std::string s;
    for (const std::string& l : labels) s += l + "\n";
    return s;
}

// Runs the tool on an ffmpeg movie and checks the list against ffprobe's
// start and SMPTE counting; returns the list's labels.
void CheckFfmpegMovie(const std::string& dir, const RateCase& c) {
    SCOPED_TRACE(std::string(c.rate) + " " + c.timecode);
    FfmpegMovieSpec options;
    options.rate = c.rate;
    options.seconds = c.seconds;
    options.timecode = c.timecode;
    const std::string movie = MakeFfmpegMovie(options, dir, "take.mov");
    ASSERT_FALSE(movie.empty());
    std::string start;
    int64_t frames = 0;
    ASSERT_TRUE(ProbeStartTimecode(movie, &start));
    ASSERT_TRUE(ProbeFrameCount(movie, &frames));
    ASSERT_GT(frames, 0);

    const ToolRun run = RunTool(dir, {"take.mov"});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.output, "");
    const std::vector<std::string> expected = SmpteSequence(start, c.countedFps, frames);
    ASSERT_EQ(expected.size(), size_t(frames));
    EXPECT_EQ(ReadBytes(dir + "/take_TimeCode.txt"), Lines(expected));
    std::vector<std::pair<int, std::string>> samples;
    for (size_t i = 0; i < expected.size(); ++i) samples.push_back({int(i), expected[i]});
    EXPECT_EQ(ReadBytes(dir + "/take_Lumarest_SubTitle_TimeCode.txt"), ExpectedText(samples));
    EXPECT_EQ(ReadBytes(dir + "/take_Lumarest_SubTitle_Range.txt"), ExpectedRange(samples));

    // --qc finds nothing wrong and writes nothing.
    const ToolRun qc = RunTool(dir, {"--qc", "--json", "take.mov"});
    EXPECT_EQ(qc.exitStatus, 0);
    EXPECT_NE(qc.output.find("\"result\":\"pass\",\"error\":null,\"frames\":" + std::to_string(frames)),
              std::string::npos);
    EXPECT_EQ(qc.output.substr(qc.output.find("\"findings\"")), "\"findings\":[]}\n");
    EXPECT_EQ(ListFolder(dir).size(), 5u);
}

class FfmpegRunTest : public RunTest {
protected:
    void SetUp() override {
        if (!FfmpegAvailable()) GTEST_SKIP() << "ffmpeg/ffprobe not installed";
        RunTest::SetUp();
    }
};

TEST_F(FfmpegRunTest, ListsEqualTheSmpteCountAtEveryRate) {
    const RateCase cases[] = {
        {"25", 25, "10:00:00:00", 3},
        {"30", 30, "00:59:59:20", 2},
        {"50", 50, "12:34:59:40", 2},
        {"24000/1001", 24, "01:00:00:00", 3},
        {"30000/1001", 30, "00:09:59;20", 2},  // crosses a tenth minute: no drop
        {"60000/1001", 60, "00:00:59;50", 2},  // drops four labels at 00:01:00
    };
    for (const RateCase& c : cases) {
        TearDown();
        RunTest::SetUp();
        CheckFfmpegMovie(dir_, c);
    }
}

TEST_F(FfmpegRunTest, DropFrameMovieOfTwoMinutesGivesTheSmpteCountAndTheScript) {
    CheckFfmpegMovie(dir_, {"30000/1001", 30, "00:00:59;28", 120});
    const std::string list = ReadBytes(Path("take_TimeCode.txt"));
    EXPECT_EQ(list.compare(0, 36, "00:00:59;28\n00:00:59;29\n00:01:00;02\n"), 0);
    // 64x48 picture: x = 32 + 4, y = 48 + 2.
    EXPECT_EQ(ReadBytes(Path("take_Lumarest_SubTitle.avs")),
              "Vidorin(\"take.mov\", color=1, quality=100, audio=1, mode=0)\n"
              "\n"
              "import(\"take_Lumarest_SubTitle_TimeCode.txt\")\n"
              "ScriptClip(\"\"\"Subtitle(Eval(\"n\"+string(stringIdx)), font=\"Arial\", text_color=$88000000, "
              "halo_color=$88000000, x=36, y=50, size=50, align=2, interlaced=false)\"\"\")\n"
              "ScriptClip(\"\"\"Subtitle(Eval(\"n\"+string(stringIdx)), font=\"Arial\", text_color=$00FFFFFF, "
              "halo_color=$00000000, size=50, align=2, interlaced=false)\"\"\")\n"
              "ConditionalReader(\"take_Lumarest_SubTitle_Range.txt\", \"stringIdx\")\n");
}

}  // namespace
