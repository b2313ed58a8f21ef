// End to end: the options, and the SubRip cue file of --srt.
#include <sys/stat.h>

#include "tests/run/harness.h"

namespace {

const std::string kUsage = "\nUsage:\n\tLumarestTC.exe \"path_to\\file.mov\"\n\n";
const std::string kSampleOneFails = "Error: Unable to get TimeCode Value 1 for 1001\n";

// Four 29.97 fps samples after an empty edit of half a second (300 of 600
// units), a timecode sample each: 01:00:00:00, one that cannot be read, then
// a jump to 01:00:10:00.
void WriteFourSamplesWithABreak(const std::string& path) {
    FixtureMovie movie;
    movie.moovFirst = true;
    movie.tracks = {FixtureVideoTrack(30000, 4, 1001), FixtureTimecodeTrack(0, 30000, 1001, 30, 30000, 0, 1001)};
    movie.tracks[0].extraTrakAtoms = FixtureEditList({{300, -1}, {81, 0}});
    movie.tracks[1].tcSamples = {{108000, 1001}, {108001, 1001}, {108300, 1001}, {108301, 1001}};
    movie.tracks[1].tcSamplesPerChunk = 1;
    std::string bytes = BuildFixtureMovie(movie);
    PutBE32(bytes, FixtureAtomOffset(bytes, "moov/trak[2]/mdia/minf/stbl/stco") + 20, 0x7FFFFF00);
    WriteBytes(path, bytes);
}

TEST_F(RunTest, OptionsComeBeforeTheMoviePath) {
    struct Case {
        std::vector<std::string> args;
        int exitStatus;
        std::string output;
        size_t files;  // in the folder afterwards, the movie "--srt" included
    };
    const std::string label = "Error: --expect-start takes a label HH:MM:SS:FF or HH:MM:SS;FF, not ";
    const std::string page = "Error: --html takes the name of the page's file, not ";
    for (const Case& c :
         {Case{{"--version"}, 0, "LumarestTC " LUMAREST_VERSION "\n", 1},
          Case{{"--bogus", "--srt"}, 255, "Error: unknown option --bogus\n" + kUsage, 1},
          Case{{"--srt"}, 255, kUsage, 1},
          Case{{"--", "--srt", "x.mov"}, 255,
               "==> --srt <==\n" + kSampleOneFails + "\n==> x.mov <==\nError: (-43) Unable to Open Movie\n x.mov", 5},
          Case{{"--srt", "--", "--srt"}, 0, kSampleOneFails, 6},
          Case{{"--json", "--srt"}, 255, "Error: --json needs --qc\n" + kUsage, 1},
          Case{{"--expect-start=01:00:00:00", "--srt"}, 255, "Error: --expect-start needs --qc\n" + kUsage, 1},
          Case{{"--qc", "--expect-start", "01:00:60:00", "--srt"}, 255, label + "01:00:60:00\n" + kUsage, 1},
          Case{{"--qc", "--expect-start"}, 255, label + "nothing\n" + kUsage, 1},
          Case{{"--qc", "--srt", "--", "--srt"}, 255, "Error: --srt writes a file and --qc writes none\n" + kUsage, 1},
          Case{{"--qc", "--expect-start=01:00:00;01", "--", "--srt"}, 1,
               "--srt: fail\n  4 frames, frame rate 30000/1001\n"
               "  timecode 01:00:00:00 to 01:00:10:01, non-drop, 30 frames a second, rate 30000/1001\n"
               "  fail: starts at 01:00:00:00, 01:00:00;01 expected\n  fail: no timecode for 1 frame at frame 1\n",
               1},
          Case{{"--html", "p.html", "--srt"}, 255, "Error: --html needs --qc\n" + kUsage, 1},
          Case{{"--qc", "--html"}, 255, page + "nothing\n" + kUsage, 1},
          Case{{"--qc", "--html", "--json", "--srt"}, 255, page + "--json\n" + kUsage, 1},
          Case{{"--qc", "--html=b.MOV", "--srt"}, 255,
               "Error: --html would write the page over the movie b.MOV\n" + kUsage, 1}}) {
        SCOPED_TRACE(c.args.back());
        TearDown();
        SetUp();
        WriteFourSamplesWithABreak(Path("--srt"));
        const ToolRun run = Run(c.args);
        EXPECT_EQ(run.exitStatus, c.exitStatus);
        EXPECT_EQ(run.output, c.output);
        EXPECT_EQ(ListFolder(dir_).size(), c.files);
    }
    EXPECT_EQ(Run({"--help", "--srt"}).output.find(kUsage + "  --srt "), 0u);
}

TEST_F(RunTest, SrtHasACueForEverySampleWithATimecodeAndLeavesTheFourFilesAsTheyAre) {
    WriteFourSamplesWithABreak(Path("take1.mov"));
    ASSERT_EQ(Run({"take1.mov"}).exitStatus, 0);
    const char* suffixes[] = {kListSuffix, kTextSuffix, kRangeSuffix, kScriptSuffix};
    std::vector<std::string> plain;
    for (const char* suffix : suffixes) plain.push_back(ReadBytes(Path(std::string("take1") + suffix)));
    EXPECT_EQ(Run({"--srt", "take1.mov"}).output, kSampleOneFails);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(ReadBytes(Path(std::string("take1") + suffixes[i])), plain[i]);
    // Frame k is shown at 0.5 + k x 1001 / 30000 s; each cue runs between the
    // midpoints to its neighbours, the first from 0. Sample 1 has none.
    EXPECT_EQ(ReadBytes(Path("take1_Lumarest_TimeCode.srt")),
              "1\n00:00:00,000 --> 00:00:00,516\n01:00:00:00\n\n"
              "2\n00:00:00,550 --> 00:00:00,583\n01:00:10:00\n\n"
              "3\n00:00:00,583 --> 00:00:00,616\n01:00:10:01\n\n");

    // A cue file that cannot be made stops the run before the data files get a line.
    ASSERT_EQ(mkdir(Path("new_Lumarest_TimeCode.srt").c_str(), 0755), 0);
    std::rename(Path("take1.mov").c_str(), Path("new.mov").c_str());
    const ToolRun run = Run({"--srt", "new.mov"});
    EXPECT_EQ(run.exitStatus, 255);
    EXPECT_EQ(run.output, "Error: Unable to open SRT file for write access\n new_Lumarest_TimeCode.srt");
    EXPECT_EQ(ReadBytes(Path("new_TimeCode.txt")) + ReadBytes(Path("new_Lumarest_SubTitle_Range.txt")), "");
    EXPECT_FALSE(FileExists(Path("new_Lumarest_SubTitle.avs")));
}

}  // namespace
