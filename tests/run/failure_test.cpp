// End to end: every failure the built-in Toolbox can bring about, with its
// message, its exit status and the files it leaves.
#include <sys/stat.h>

#include <string>
#include <vector>

#include "tests/run/harness.h"

namespace {

constexpr int kFailed = 255;  // exit status -1
constexpr int32_t kOneHour = 30 * 60 * 60;

FixtureMovie PlainMovie(uint32_t count) {
    FixtureMovie movie;
    movie.tracks.push_back(FixtureVideoTrack(30000, count, 1001));
    movie.tracks.push_back(FixtureTimecodeTrack(0, 30000, 1001, 30, 30000, kOneHour, 1001 * count));
    return movie;
}

FixtureTrack SoundTrack() {
    FixtureTrack sound = FixtureVideoTrack(48000, 10, 1024);
    sound.mediaType = FixtureCode("soun");
    return sound;
}

// A folder where a file should go: no open for writing succeeds on it, not
// even as root.
void Block(const std::string& path) { ASSERT_EQ(mkdir(path.c_str(), 0755), 0) << path; }

const std::string kThreeLines = "01:00:00:00\n01:00:00:01\n01:00:00:02\n";

TEST_F(RunTest, NoArgumentPrintsUsage) {
    const ToolRun run = Run({});
    EXPECT_EQ(run.exitStatus, kFailed);
    EXPECT_EQ(run.output, "\nUsage:\n\tLumarestTC.exe \"path_to\\file.mov\"\n\n");
    EXPECT_TRUE(ListFolder(dir_).empty());
}

TEST_F(RunTest, MissingFileCannotBeOpened) {
    const ToolRun run = Run({"no such take.mov"});
    EXPECT_EQ(run.exitStatus, kFailed);
    EXPECT_EQ(run.output, "Error: (-43) Unable to Open Movie\n no such take.mov");
    EXPECT_TRUE(ListFolder(dir_).empty());
}

TEST_F(RunTest, FileWithoutMovieIsNoMovie) {
    // A single 16-byte 'free' atom: a well-formed file with no movie in it.
    WriteBytes(Path("notes.mov"), std::string("\0\0\0\x10" "free" "12345678", 16));
    const ToolRun run = Run({"notes.mov"});
    EXPECT_EQ(run.exitStatus, kFailed);
    EXPECT_EQ(run.output, "Error: (-2048) NewMovieFromFile\n notes.mov");
    EXPECT_EQ(ListFolder(dir_), std::vector<std::string>{"notes.mov"});
}

TEST_F(RunTest, DamagedMovieCannotBeMade) {
    FixtureMovie movie = PlainMovie(3);
    movie.moovFirst = true;
    std::string bytes = BuildFixtureMovie(movie);
    // The stts entry count claims far more entries than the atom holds.
    const size_t stts = FixtureAtomOffset(bytes, "moov/trak[1]/mdia/minf/stbl/stts");
    PutBE32(bytes, stts + 8 + 4, 0x7FFFFFFF);
    WriteBytes(Path("damaged.mov"), bytes);
    const ToolRun run = Run({"damaged.mov"});
    EXPECT_EQ(run.exitStatus, kFailed);
    EXPECT_EQ(run.output, "Error: (-2010) NewMovieFromFile\n damaged.mov");
    EXPECT_EQ(ListFolder(dir_), std::vector<std::string>{"damaged.mov"});
}

TEST_F(RunTest, MissingTracksAreReportedAndWriteNothing) {
    struct Case {
        const char* name;
        std::vector<FixtureTrack> tracks;
        const char* output;
    };
    const FixtureMovie plain = PlainMovie(3);
    const FixtureTrack video = plain.tracks[0];
    const FixtureTrack timecode = plain.tracks[1];
    const char* kNoVideo = "Error: Could not find a Video track\n";
    const char* kNoTimecode = "Error: Could not find a TimeCode track\n";
    const std::string both = std::string(kNoVideo) + kNoTimecode;
    const Case cases[] = {
        {"novideo.mov", {SoundTrack(), timecode}, kNoVideo},
        {"notimecode.mov", {video, SoundTrack()}, kNoTimecode},
        {"soundonly.mov", {SoundTrack()}, both.c_str()},
        {"notracks.mov", {}, both.c_str()},
    };
    for (const Case& c : cases) {
        FixtureMovie movie;
        movie.tracks = c.tracks;
        WriteMovie(c.name, movie);
        const ToolRun run = Run({c.name});
        EXPECT_EQ(run.exitStatus, 0) << c.name;
        EXPECT_EQ(run.output, c.output) << c.name;
    }
    EXPECT_EQ(ListFolder(dir_).size(), 4u);  // the movies only
}

TEST_F(RunTest, FirstTrackOfEachKindIsUsedInAnyOrder) {
    // Timecode first, then two video tracks: the first video (720x480) is
    // the one that is walked and measured.
    FixtureMovie movie = PlainMovie(3);
    FixtureTrack second = FixtureVideoTrack(30000, 7, 1001);
    second.width = 100;
    movie.tracks = {movie.tracks[1], movie.tracks[0], second};
    movie.tracks[1].width = 720;
    movie.tracks[1].height = 480;
    WriteMovie("order.mov", movie);
    const ToolRun run = Run({"order.mov"});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(ReadBytes(Path("order_TimeCode.txt")), kThreeLines);
    EXPECT_EQ(ReadBytes(Path("order_Lumarest_SubTitle.avs")),
              ExpectedScript("order.mov", "order_Lumarest_SubTitle_TimeCode.txt",
                             "order_Lumarest_SubTitle_Range.txt", 364, 482));
}

TEST_F(RunTest, VideoWithoutSamplesWritesOnlyTheScript) {
    WriteMovie("empty.mov", PlainMovie(0));
    // A list left from an earlier run stays as it was.
    WriteBytes(Path("empty_TimeCode.txt"), "earlier\n");
    const ToolRun run = Run({"empty.mov"});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.output, "");
    EXPECT_EQ(ReadBytes(Path("empty_TimeCode.txt")), "earlier\n");
    EXPECT_FALSE(FileExists(Path("empty_Lumarest_SubTitle_TimeCode.txt")));
    EXPECT_FALSE(FileExists(Path("empty_Lumarest_SubTitle_Range.txt")));
    EXPECT_EQ(ReadBytes(Path("empty_Lumarest_SubTitle.avs")),
              ExpectedScript("empty.mov", "empty_Lumarest_SubTitle_TimeCode.txt",
                             "empty_Lumarest_SubTitle_Range.txt", 36, 50));
}

TEST_F(RunTest, DataFileThatCannotBeCreatedStopsTheRun) {
    struct Case {
        const char* blocked;
        const char* output;
        std::vector<std::string> emptyFiles;
    };
    const Case cases[] = {
        {"take1_TimeCode.txt", "Error: Unable to open TimeCode file for write access\n take1_TimeCode.txt", {}},
        {"take1_Lumarest_SubTitle_TimeCode.txt",
         "Error: Unable to open AviSynth TimeCode file for write access\n take1_Lumarest_SubTitle_TimeCode.txt",
         {"take1_TimeCode.txt"}},
        {"take1_Lumarest_SubTitle_Range.txt",
         "Error: Unable to open AviSynth Range file for write access\n take1_Lumarest_SubTitle_Range.txt",
         {"take1_TimeCode.txt", "take1_Lumarest_SubTitle_TimeCode.txt"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.blocked);
        TearDown();
        SetUp();
        WriteMovie("take1.mov", PlainMovie(3));
        Block(Path(c.blocked));
        const ToolRun run = Run({"take1.mov"});
        EXPECT_EQ(run.exitStatus, kFailed);
        EXPECT_EQ(run.output, c.output);
        std::vector<std::string> expected = c.emptyFiles;
        expected.push_back(c.blocked);
        expected.push_back("take1.mov");
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(ListFolder(dir_), expected);
        for (const std::string& f : c.emptyFiles) EXPECT_EQ(ReadBytes(Path(f)), "") << f;
    }
}

TEST_F(RunTest, ScriptThatCannotBeCreatedLeavesCompleteDataFiles) {
    WriteMovie("take1.mov", PlainMovie(3));
    Block(Path("take1_Lumarest_SubTitle.avs"));
    const ToolRun run = Run({"take1.mov"});
    EXPECT_EQ(run.exitStatus, kFailed);
    EXPECT_EQ(run.output, "Error: Unable to open AviSynth file for write access\n take1_Lumarest_SubTitle.avs");
    EXPECT_EQ(ReadBytes(Path("take1_TimeCode.txt")), kThreeLines);
    EXPECT_EQ(ReadBytes(Path("take1_Lumarest_SubTitle_Range.txt")), "Type int\nDefault 0\n\n1 1\n2 2\n");
}

TEST_F(RunTest, SampleWhoseTimecodeFailsIsReportedAndSkipped) {
    // One timecode sample per video frame, each in its own chunk; the second
    // chunk's offset points past the end of the file.
    FixtureMovie movie;
    movie.moovFirst = true;
    FixtureTrack video = FixtureVideoTrack(30000, 3, 1001);
    video.width = 720;
    video.height = 480;
    FixtureTrack timecode = FixtureTimecodeTrack(0, 30000, 1001, 30, 30000, kOneHour, 1001);
    timecode.tcSamples = {{uint32_t(kOneHour), 1001}, {uint32_t(kOneHour + 1), 1001}, {uint32_t(kOneHour + 2), 1001}};
    timecode.tcSamplesPerChunk = 1;
    movie.tracks = {video, timecode};
    std::string bytes = BuildFixtureMovie(movie);
    const size_t stco = FixtureAtomOffset(bytes, "moov/trak[2]/mdia/minf/stbl/stco");
    PutBE32(bytes, stco + 8 + 8 + 4, 0x7FFFFF00);  // entry 2 of 3
    WriteBytes(Path("take1.mov"), bytes);

    const ToolRun run = Run({"take1.mov"});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.output, "Error: Unable to get TimeCode Value 1 for 1001\n");
    EXPECT_EQ(ReadBytes(Path("take1_TimeCode.txt")), "01:00:00:00\n01:00:00:02\n");
    EXPECT_EQ(ReadBytes(Path("take1_Lumarest_SubTitle_TimeCode.txt")),
              "n0=\"01:00:00:00\"\nn2=\"01:00:00:02\"\n");
    EXPECT_EQ(ReadBytes(Path("take1_Lumarest_SubTitle_Range.txt")), "Type int\nDefault 0\n\n2 2\n");
    EXPECT_TRUE(FileExists(Path("take1_Lumarest_SubTitle.avs")));
}

TEST_F(RunTest, EverySampleFailingLeavesHeadersAndShowsLow32BitTimes) {
    // Samples at 0, 2^31 and 2^32: the walk goes on in 64 bits, the messages
    // show the low 32 bits as signed numbers.
    FixtureMovie movie;
    movie.moovFirst = true;
    movie.tracks.push_back(FixtureVideoTrack(30000, 3, 0x80000000u));
    movie.tracks.push_back(FixtureTimecodeTrack(0, 30000, 1001, 30, 30000, 0, 0xFFFFFFFFu));
    std::string bytes = BuildFixtureMovie(movie);
    const size_t stco = FixtureAtomOffset(bytes, "moov/trak[2]/mdia/minf/stbl/stco");
    PutBE32(bytes, stco + 8 + 8, 0x7FFFFF00);
    WriteBytes(Path("take1.mov"), bytes);

    const ToolRun run = Run({"take1.mov"});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.output,
              "Error: Unable to get TimeCode Value 0 for 0\n"
              "Error: Unable to get TimeCode Value 1 for -2147483648\n"
              "Error: Unable to get TimeCode Value 2 for 0\n");
    EXPECT_EQ(ReadBytes(Path("take1_TimeCode.txt")), "");
    EXPECT_EQ(ReadBytes(Path("take1_Lumarest_SubTitle_TimeCode.txt")), "");
    EXPECT_EQ(ReadBytes(Path("take1_Lumarest_SubTitle_Range.txt")), "Type int\nDefault 0\n\n");
}

}  // namespace
