// End to end: the four files of a run, byte for byte.
#include <string>
#include <vector>

#include "tests/run/harness.h"

namespace {

// 29.97 fps video (1001 units of 30000) with `count` samples and a 30 fps
// non-drop timecode track starting at frame `firstFrame`.
FixtureMovie PlainMovie(uint32_t count, int32_t firstFrame, int16_t width = 720, int16_t height = 480) {
    FixtureMovie movie;
    FixtureTrack video = FixtureVideoTrack(30000, count, 1001);
    video.width = width;
    video.height = height;
    movie.tracks.push_back(video);
    movie.tracks.push_back(FixtureTimecodeTrack(0, 30000, 1001, 30, 30000, firstFrame, 1001 * count));
    return movie;
}

constexpr int32_t kOneHour = 30 * 60 * 60;  // frames at 30 fps

TEST_F(RunTest, WorkedExampleGivesTheThreeDataFilesAndTheScript) {
    // On this platform C:\clips\take1.mov is a bare file name with backslashes.
    const std::string movie = "C:\\clips\\take1.mov";
    WriteMovie(movie, PlainMovie(3, kOneHour));
    const ToolRun run = Run({movie});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.output, "");

    const std::string list = ReadBytes(Path("C:\\clips\\take1_TimeCode.txt"));
    EXPECT_EQ(list, "01:00:00:00\n01:00:00:01\n01:00:00:02\n");
    EXPECT_EQ(list.size(), 36u);
    const std::string text = ReadBytes(Path("C:\\clips\\take1_Lumarest_SubTitle_TimeCode.txt"));
    EXPECT_EQ(text, "n0=\"01:00:00:00\"\nn1=\"01:00:00:01\"\nn2=\"01:00:00:02\"\n");
    EXPECT_EQ(text.size(), 51u);
    const std::string range = ReadBytes(Path("C:\\clips\\take1_Lumarest_SubTitle_Range.txt"));
    EXPECT_EQ(range, "Type int\nDefault 0\n\n1 1\n2 2\n");
    EXPECT_EQ(range.size(), 28u);

    const std::string script = ReadBytes(Path("C:\\clips\\take1_Lumarest_SubTitle.avs"));
    const std::string expected =
        "Vidorin(\"C:\\clips\\take1.mov\", color=1, quality=100, audio=1, mode=0)\n"
        "\n"
        "import(\"C:\\clips\\take1_Lumarest_SubTitle_TimeCode.txt\")\n"
        "ScriptClip(\"\"\"Subtitle(Eval(\"n\"+string(stringIdx)), font=\"Arial\", text_color=$88000000, "
        "halo_color=$88000000, x=364, y=482, size=50, align=2, interlaced=false)\"\"\")\n"
        "ScriptClip(\"\"\"Subtitle(Eval(\"n\"+string(stringIdx)), font=\"Arial\", text_color=$00FFFFFF, "
        "halo_color=$00000000, size=50, align=2, interlaced=false)\"\"\")\n"
        "ConditionalReader(\"C:\\clips\\take1_Lumarest_SubTitle_Range.txt\", \"stringIdx\")\n";
    EXPECT_EQ(script, expected);
    EXPECT_EQ(script.size(), 517u);
    EXPECT_EQ(ListFolder(dir_).size(), 5u);  // the movie and the four files
}

TEST_F(RunTest, OneSampleGivesOneLineEachAndTheBareRangeHeader) {
    WriteMovie("one.mov", PlainMovie(1, 0));
    const ToolRun run = Run({"one.mov"});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(ReadBytes(Path("one_TimeCode.txt")), "00:00:00:00\n");
    EXPECT_EQ(ReadBytes(Path("one_Lumarest_SubTitle_TimeCode.txt")), "n0=\"00:00:00:00\"\n");
    EXPECT_EQ(ReadBytes(Path("one_Lumarest_SubTitle_Range.txt")), "Type int\nDefault 0\n\n");
}

TEST_F(RunTest, LongerWalkNumbersEverySampleAndWidensTheIndex) {
    const int count = 1234;
    FixtureMovie movie = PlainMovie(count, 23 * kOneHour + 59 * 60 * 30 + 50 * 30);  // 23:59:50:00
    movie.tracks[1].tcFlags = 0x2;  // wraps at 24 hours
    WriteMovie("long.mov", movie);
    const ToolRun run = Run({"long.mov"});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.output, "");
    std::vector<std::pair<int, std::string>> samples;
    const int64_t first = 23 * int64_t(kOneHour) + 59 * 60 * 30 + 50 * 30;
    for (int i = 0; i < count; ++i) samples.push_back({i, NonDropTimecode(first + i, 30)});
    EXPECT_EQ(ReadBytes(Path("long_TimeCode.txt")), ExpectedList(samples));
    EXPECT_EQ(ReadBytes(Path("long_Lumarest_SubTitle_TimeCode.txt")), ExpectedText(samples));
    EXPECT_EQ(ReadBytes(Path("long_Lumarest_SubTitle_Range.txt")), ExpectedRange(samples));
}

TEST_F(RunTest, SecondRunTruncatesAndRewritesAllFour) {
    WriteMovie("take1.mov", PlainMovie(3, kOneHour));
    const std::string junk(100000, 'j');
    for (const char* suffix : {kListSuffix, kTextSuffix, kRangeSuffix, kScriptSuffix})
        WriteBytes(Path(std::string("take1") + suffix), junk);
    ASSERT_EQ(Run({"take1.mov"}).exitStatus, 0);
    const std::string first[] = {ReadBytes(Path("take1_TimeCode.txt")),
                                 ReadBytes(Path("take1_Lumarest_SubTitle_TimeCode.txt")),
                                 ReadBytes(Path("take1_Lumarest_SubTitle_Range.txt")),
                                 ReadBytes(Path("take1_Lumarest_SubTitle.avs"))};
    EXPECT_EQ(first[0], "01:00:00:00\n01:00:00:01\n01:00:00:02\n");
    EXPECT_EQ(first[3], ExpectedScript("take1.mov", "take1_Lumarest_SubTitle_TimeCode.txt",
                                       "take1_Lumarest_SubTitle_Range.txt", 364, 482));
    ASSERT_EQ(Run({"take1.mov"}).exitStatus, 0);
    EXPECT_EQ(ReadBytes(Path("take1_TimeCode.txt")), first[0]);
    EXPECT_EQ(ReadBytes(Path("take1_Lumarest_SubTitle_TimeCode.txt")), first[1]);
    EXPECT_EQ(ReadBytes(Path("take1_Lumarest_SubTitle_Range.txt")), first[2]);
    EXPECT_EQ(ReadBytes(Path("take1_Lumarest_SubTitle.avs")), first[3]);
}

TEST_F(RunTest, PictureSizeIsSigned16Bit) {
    struct Case {
        int16_t width, height;
        int x, y;
    };
    for (const Case& c : {Case{721, 480, 364, 482}, Case{-3, 100, 3, 102}, Case{-1, -1, 4, 1},
                          Case{1920, -32768, 964, -32766}}) {
        WriteMovie("size.mov", PlainMovie(2, 0, c.width, c.height));
        ASSERT_EQ(Run({"size.mov"}).exitStatus, 0);
        EXPECT_EQ(ReadBytes(Path("size_Lumarest_SubTitle.avs")),
                  ExpectedScript("size.mov", "size_Lumarest_SubTitle_TimeCode.txt",
                                 "size_Lumarest_SubTitle_Range.txt", c.x, c.y))
            << c.width << "x" << c.height;
    }
}

TEST_F(RunTest, TimecodeTrackWithAnotherTimeScaleGivesTheVideosTimecodes) {
    // Video at 60000 units per second, the timecode media at half that:
    // handed over unconverted, sample k would read frame 2k.
    FixtureMovie movie;
    movie.tracks.push_back(FixtureVideoTrack(60000, 40, 2002));
    movie.tracks.push_back(FixtureTimecodeTrack(0, 30000, 1001, 30, 30000, kOneHour, 1001 * 40));
    WriteMovie("half.mov", movie);
    ASSERT_EQ(Run({"half.mov"}).exitStatus, 0);
    std::vector<std::pair<int, std::string>> samples;
    for (int i = 0; i < 40; ++i) samples.push_back({i, NonDropTimecode(kOneHour + i, 30)});
    EXPECT_EQ(ReadBytes(Path("half_TimeCode.txt")), ExpectedList(samples));
}

TEST_F(RunTest, TimecodeMediaAt600UnitsGivesEveryFrameOnce) {
    // 23.976 fps video at 24000 units; the timecode media counts in 600ths
    // of a second while its definition says 24000/1001. Frame k starts at
    // 25.025 k in timecode units, between two whole units.
    FixtureMovie movie;
    movie.tracks.push_back(FixtureVideoTrack(24000, 100, 1001));
    movie.tracks.push_back(FixtureTimecodeTrack(0, 24000, 1001, 24, 600, 0, 2503));
    WriteMovie("qt600.mov", movie);
    ASSERT_EQ(Run({"qt600.mov"}).exitStatus, 0);
    std::vector<std::pair<int, std::string>> samples;
    for (int i = 0; i < 100; ++i) samples.push_back({i, NonDropTimecode(i, 24)});
    EXPECT_EQ(ReadBytes(Path("qt600_TimeCode.txt")), ExpectedList(samples));
}

}  // namespace
