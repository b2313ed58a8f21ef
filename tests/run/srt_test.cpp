// End to end: the options, and the SubRip cue file of --srt.
#include <sys/stat.h>

#include <string>
#include <vector>

#include "tests/run/harness.h"

namespace {

constexpr int kFailed = 255;  // exit status -1
const std::string kUsage = "\nUsage:\n\tLumarestTC.exe \"path_to\\file.mov\"\n\n";
const std::string kSampleOneFails = "Error: Unable to get TimeCode Value 1 for 1001\n";

// Four 29.97 fps samples shown after an empty edit of half a second (300 of
// the movie's 600 units), one timecode sample each: 01:00:00:00, then one
// that cannot be read, then a jump to 01:00:10:00.
std::string FourSamplesWithABreak() {
    FixtureMovie movie;
    movie.moovFirst = true;
    FixtureTrack video = FixtureVideoTrack(30000, 4, 1001);
    video.extraTrakAtoms = FixtureEditList({{300, -1}, {81, 0}});
    FixtureTrack timecode = FixtureTimecodeTrack(0, 30000, 1001, 30, 30000, 0, 1001);
    const uint32_t hour = 30 * 60 * 60;
    timecode.tcSamples = {{hour, 1001}, {hour + 1, 1001}, {hour + 300, 1001}, {hour + 301, 1001}};
    timecode.tcSamplesPerChunk = 1;
    movie.tracks = {video, timecode};
    std::string bytes = BuildFixtureMovie(movie);
    PutBE32(bytes, FixtureAtomOffset(bytes, "moov/trak[2]/mdia/minf/stbl/stco") + 8 + 8 + 4, 0x7FFFFF00);
    return bytes;
}

TEST_F(RunTest, OptionsComeBeforeTheMoviePath) {
    struct Case {
        std::vector<std::string> args;
        int exitStatus;
        std::string output;
        size_t files;  // in the folder afterwards, the movie "--srt" included
    };
    const Case cases[] = {
        {{"--version"}, 0, "LumarestTC " LUMAREST_VERSION "\n", 1},
        {{"--bogus", "--srt"}, kFailed, "Error: unknown option --bogus\n" + kUsage, 1},
        {{"--srt"}, kFailed, kUsage, 1},
        {{"--", "--srt", "ignored.mov"}, 0, kSampleOneFails, 5},
        {{"--srt", "--", "--srt"}, 0, kSampleOneFails, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[0] + " " + c.args[1 % c.args.size()]);
        TearDown();
        SetUp();
        WriteBytes(Path("--srt"), FourSamplesWithABreak());
        const ToolRun run = Run(c.args);
        EXPECT_EQ(run.exitStatus, c.exitStatus);
        EXPECT_EQ(run.output, c.output);
        EXPECT_EQ(ListFolder(dir_).size(), c.files);
    }
    const ToolRun help = Run({"--help", "--srt"});
    EXPECT_EQ(help.exitStatus, 0);
    EXPECT_EQ(help.output.compare(0, kUsage.size(), kUsage), 0);
    EXPECT_NE(help.output.find("\n  --srt "), std::string::npos);
}

TEST_F(RunTest, SrtHasACueForEverySampleWithATimecodeAndLeavesTheFourFilesAsTheyAre) {
    WriteBytes(Path("take1.mov"), FourSamplesWithABreak());
    ASSERT_EQ(Run({"take1.mov"}).exitStatus, 0);
    std::vector<std::string> plain;
    for (const char* suffix : {kListSuffix, kTextSuffix, kRangeSuffix, kScriptSuffix})
        plain.push_back(ReadBytes(Path(std::string("take1") + suffix)));

    const ToolRun run = Run({"--srt", "take1.mov"});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.output, kSampleOneFails);
    size_t i = 0;
    for (const char* suffix : {kListSuffix, kTextSuffix, kRangeSuffix, kScriptSuffix})
        EXPECT_EQ(ReadBytes(Path(std::string("take1") + suffix)), plain[i++]) << suffix;
    // Frame k is shown at 0.5 + k x 1001 / 30000 s; each cue runs between the
    // midpoints to its neighbours, the first from 0. Sample 1 has none.
    EXPECT_EQ(ReadBytes(Path("take1_Lumarest_TimeCode.srt")),
              "1\n00:00:00,000 --> 00:00:00,516\n01:00:00:00\n\n"
              "2\n00:00:00,550 --> 00:00:00,583\n01:00:10:00\n\n"
              "3\n00:00:00,583 --> 00:00:00,616\n01:00:10:01\n\n");
}

TEST_F(RunTest, SrtFileThatCannotBeCreatedStopsTheRunAfterTheDataFiles) {
    WriteBytes(Path("take1.mov"), FourSamplesWithABreak());
    ASSERT_EQ(mkdir(Path("take1_Lumarest_TimeCode.srt").c_str(), 0755), 0);
    const ToolRun run = Run({"--srt", "take1.mov"});
    EXPECT_EQ(run.exitStatus, kFailed);
    EXPECT_EQ(run.output, "Error: Unable to open SRT file for write access\n take1_Lumarest_TimeCode.srt");
    EXPECT_EQ(ListFolder(dir_).size(), 5u);  // no script
    EXPECT_EQ(ReadBytes(Path("take1_TimeCode.txt")), "");
    EXPECT_EQ(ReadBytes(Path("take1_Lumarest_SubTitle_Range.txt")), "");
}

}  // namespace
