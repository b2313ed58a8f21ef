// End to end: where the files go, what the script names, and the movie paths
// that are refused before anything starts.
#include <sys/stat.h>

#include <string>
#include <vector>

#include "tests/run/harness.h"

namespace {

FixtureMovie PlainMovie() {
    FixtureMovie movie;
    movie.tracks.push_back(FixtureVideoTrack(30000, 3, 1001));
    movie.tracks.push_back(FixtureTimecodeTrack(0, 30000, 1001, 30, 30000, 108000, 3003));
    return movie;
}

std::vector<std::string> FourFiles(const std::string& base) {
    return {base + kListSuffix, base + kTextSuffix, base + kRangeSuffix, base + kScriptSuffix};
}

void MakeFolder(const std::string& path) { ASSERT_EQ(mkdir(path.c_str(), 0755), 0) << path; }

TEST_F(RunTest, OutputPathsAreTheMoviePathBeforeItsLastDot) {
    struct Case {
        const char* folder;  // made below the test folder first, or ""
        const char* movie;   // where the movie is written and what is typed
        const char* base;    // the expected stem, from the test folder
    };
    const Case cases[] = {
        {"", "take1.final.mov", "take1.final"},
        {"clips.old", "clips.old/take1", "clips"},
        {"", "take1", "take1"},
        {"", "take1.", "take1"},
        {"", ".mov", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.movie);
        TearDown();
        SetUp();
        if (*c.folder) MakeFolder(Path(c.folder));
        WriteMovie(c.movie, PlainMovie());
        const ToolRun run = Run({c.movie});
        EXPECT_EQ(run.exitStatus, 0);
        EXPECT_EQ(run.output, "");
        for (const std::string& f : FourFiles(c.base)) EXPECT_TRUE(FileExists(Path(f))) << f;
    }
}

TEST_F(RunTest, MovieInTheParentFolderWithoutExtensionWritesDotFiles) {
    // "../take1": the last '.' is the second of "..", so the stem is ".".
    MakeFolder(Path("work"));
    WriteMovie("take1", PlainMovie());
    const ToolRun run = RunTool(Path("work"), {"../take1"});
    EXPECT_EQ(run.exitStatus, 0);
    for (const std::string& f : FourFiles(".")) EXPECT_TRUE(FileExists(Path("work/" + f))) << f;
}

TEST_F(RunTest, RelativePathWithFolderIsWrittenRelativeToTheScript) {
    MakeFolder(Path("sub"));
    WriteMovie("sub/take1.mov", PlainMovie());
    ASSERT_EQ(Run({"sub/take1.mov"}).exitStatus, 0);
    EXPECT_EQ(ReadBytes(Path("sub/take1_Lumarest_SubTitle.avs")),
              ExpectedScript("take1.mov", "take1_Lumarest_SubTitle_TimeCode.txt",
                             "take1_Lumarest_SubTitle_Range.txt", 36, 50));
    EXPECT_EQ(ReadBytes(Path("sub/take1_TimeCode.txt")), "01:00:00:00\n01:00:00:01\n01:00:00:02\n");
}

TEST_F(RunTest, AbsoluteAndBarePathsAreWrittenAsTyped) {
    WriteMovie("take1.mov", PlainMovie());
    ASSERT_EQ(Run({"take1.mov"}).exitStatus, 0);
    EXPECT_EQ(ReadBytes(Path("take1_Lumarest_SubTitle.avs")),
              ExpectedScript("take1.mov", "take1_Lumarest_SubTitle_TimeCode.txt",
                             "take1_Lumarest_SubTitle_Range.txt", 36, 50));
    const std::string absolute = Path("take1.mov");
    ASSERT_EQ(RunTool("/", {absolute}).exitStatus, 0);
    const std::string base = Path("take1");
    EXPECT_EQ(ReadBytes(base + kScriptSuffix),
              ExpectedScript(absolute, base + kTextSuffix, base + kRangeSuffix, 36, 50));
}

// A path of exactly `length` bytes that names dir/.../take1.mov, made of
// folders short enough for the file system.
std::string PathOfLength(const std::string& dir, size_t length, bool create) {
    std::string relative;
    const std::string leaf = "take1.mov";
    while (relative.size() + leaf.size() < length) {
        const size_t room = length - leaf.size() - relative.size();
        const size_t part = room > 100 ? 99 : room - 1;  // folder name and its '/'
        relative += std::string(part, 'f') + "/";
        if (create) mkdir((dir + "/" + relative).c_str(), 0755);
    }
    return relative + leaf;
}

TEST_F(RunTest, MoviePathOf255BytesIsServedInFull) {
    const std::string movie = PathOfLength(dir_, 255, true);
    ASSERT_EQ(movie.size(), 255u);
    WriteMovie(movie, PlainMovie());
    const ToolRun run = Run({movie});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.output, "");
    // The output paths are longer than 255 bytes and are used whole.
    const std::string base = movie.substr(0, movie.size() - 4);
    for (const std::string& f : FourFiles(base)) EXPECT_TRUE(FileExists(Path(f))) << f;
}

TEST_F(RunTest, MoviePathOver255BytesIsRefusedBeforeAnythingStarts) {
    const std::string movie = PathOfLength(dir_, 256, true);
    ASSERT_EQ(movie.size(), 256u);
    WriteMovie(movie, PlainMovie());
    const std::vector<std::string> before = ListFolder(dir_);
    const ToolRun run = Run({movie});
    EXPECT_EQ(run.exitStatus, 255);
    EXPECT_EQ(run.output, "Error: Movie path is longer than 255 characters\n " + movie);
    EXPECT_EQ(ListFolder(dir_), before);
    EXPECT_EQ(ListFolder(Path(movie.substr(0, movie.rfind('/')))), std::vector<std::string>{"take1.mov"});
}

TEST_F(RunTest, MoviePathTheScriptCannotHoldIsRefused) {
    for (const std::string movie : {"ta\"ke1.mov", "take\n1.mov", "take1\r.mov"}) {
        WriteMovie(movie, PlainMovie());
        const ToolRun run = Run({movie});
        EXPECT_EQ(run.exitStatus, 255);
        EXPECT_EQ(run.output, "Error: Movie path cannot be written into an AviSynth script\n " + movie);
    }
    EXPECT_EQ(ListFolder(dir_).size(), 3u);  // the three movies, nothing else
}

}  // namespace
