// End to end under wine64: the x86-64 LumarestTC.exe with the stand-in
// QuickTime.qts writes the same four files, prints the same messages and
// ends with the same exit status as the native build, on fixture movies and
// ffmpeg-made movies. Windows standard output is in text mode, so each line
// feed of the native output arrives there as a carriage return and line feed.
// Also the start-up failures that only the Windows build can have.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "tests/fixture/ffmpeg_movie.h"
#include "tests/fixture/fixture_writer.h"
#include "tests/win/wine_harness.h"

namespace fs = std::filesystem;

namespace {

constexpr int kFailed = 255;  // exit status -1
constexpr uint32_t kOneHour = 30 * 60 * 60;

std::string WithCarriageReturns(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

// Every file under a folder, by relative path, with its bytes.
std::map<std::string, std::string> FolderContents(const std::string& folder) {
    std::map<std::string, std::string> contents;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        std::string relative = fs::relative(entry.path(), folder).string();
        if (entry.is_directory()) {
            contents[relative + "/"] = "";
            continue;
        }
        std::ifstream in(entry.path(), std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        contents[relative] = bytes.str();
    }
    return contents;
}

FixtureMovie PlainMovie(uint32_t count, uint32_t firstFrame) {
    FixtureMovie movie;
    movie.tracks.push_back(FixtureVideoTrack(30000, count, 1001));
    movie.tracks.push_back(FixtureTimecodeTrack(0, 30000, 1001, 30, 30000, int32_t(firstFrame), 1001 * count));
    return movie;
}

class WineEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        std::string why;
        if (!WineAvailable(&why)) GTEST_SKIP() << why;
        if (!fs::exists(Win64Path("LumarestTC.exe"))) GTEST_SKIP() << "no LumarestTC.exe in the x86-64 build";
        ClearQuickTimeRegistry();
        SetQuickTimeRegistryValue("QTSysDir", WindowsPath(Win64Path("tests/win/standin")));
        root_ = std::string(LUMAREST_WINEPREFIX) + ".e2e/" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(root_);
        fs::create_directories(Native());
        fs::create_directories(Windows());
    }
    void TearDown() override {
        if (root_.empty()) return;
        if (!HasFailure()) fs::remove_all(root_);
    }

    std::string Native() const { return root_ + "/native"; }
    std::string Windows() const { return root_ + "/windows"; }

    // The same movie in both folders.
    void WriteMovie(const std::string& name, const FixtureMovie& movie) {
        std::string bytes = BuildFixtureMovie(movie);
        for (const std::string& folder : {Native(), Windows()}) {
            fs::create_directories(fs::path(folder + "/" + name).parent_path());
            ASSERT_TRUE(WriteFixtureFile(folder + "/" + name, bytes));
        }
    }
    void MakeFolder(const std::string& name) {
        fs::create_directories(Native() + "/" + name);
        fs::create_directories(Windows() + "/" + name);
    }

    // Runs both builds from their folders and compares everything; returns the
    // native run for the case's own expectations.
    WineResult RunBoth(const std::vector<std::string>& args) {
        WineResult native = RunHost("cd " + Quote(Native()) + " && " + Quote(LUMAREST_NATIVE_TOOL) +
                                    ArgumentText(args));
        WineResult windows = RunWine(Win64Path("LumarestTC.exe"), args, Windows());
        EXPECT_EQ(windows.exitStatus, native.exitStatus);
        EXPECT_EQ(windows.out, WithCarriageReturns(native.out));
        std::map<std::string, std::string> nativeFiles = FolderContents(Native());
        std::map<std::string, std::string> windowsFiles = FolderContents(Windows());
        EXPECT_EQ(windowsFiles.size(), nativeFiles.size());
        for (const auto& file : nativeFiles) {
            auto other = windowsFiles.find(file.first);
            if (other == windowsFiles.end())
                ADD_FAILURE() << "the Windows build did not write " << file.first;
            else
                EXPECT_TRUE(other->second == file.second) << file.first << " differs";
        }
        return native;
    }

    static std::string ArgumentText(const std::vector<std::string>& args) {
        std::string text;
        for (const std::string& arg : args) text += " " + Quote(arg);
        return text;
    }

    std::string root_;
};

// ---- Movies that give the four files -----------------------------------------------

TEST_F(WineEndToEnd, PlainMovieWithOneHourTimecode) {
    WriteMovie("take1.mov", PlainMovie(3, kOneHour));
    WineResult native = RunBoth({"take1.mov"});
    EXPECT_EQ(native.exitStatus, 0);
    EXPECT_EQ(FolderContents(Native()).size(), 5u);
}

TEST_F(WineEndToEnd, RelativePathWithAFolderAndFurtherArguments) {
    WriteMovie("clips/take 2.mov", PlainMovie(5, 0));
    WineResult native = RunBoth({"clips/take 2.mov", "ignored.mov"});
    EXPECT_EQ(native.exitStatus, 0);
    EXPECT_EQ(FolderContents(Native()).size(), 6u);  // clips/, the movie and four files
}

TEST_F(WineEndToEnd, DropFrameAcrossMinutesWithLargeAtomsAndCo64) {
    FixtureMovie movie = PlainMovie(2000, 1790);  // from 00:00:59;20
    movie.tracks[1].tcFlags = 0x1 | 0x2;
    movie.tracks[1].co64 = true;
    movie.tracks[0].co64 = true;
    movie.largeSizes = true;
    movie.moovFirst = true;
    WriteMovie("drop.mov", movie);
    EXPECT_EQ(RunBoth({"drop.mov"}).exitStatus, 0);
}

TEST_F(WineEndToEnd, TimecodeMediaWithItsOwnTimeScaleAndSeveralSamples) {
    FixtureMovie movie;
    movie.tracks.push_back(FixtureVideoTrack(25000, 120, 1000));  // 25 fps
    FixtureTrack tc = FixtureTimecodeTrack(0, 25, 1, 25, 600, 90000, 24 * 60);
    tc.tcSamples.push_back({180000, 24 * 60});  // a jump after two seconds
    tc.tcSamplesPerChunk = 1;
    movie.tracks.push_back(tc);
    movie.timecodeData = FixtureTimecodeData::First;
    WriteMovie("scales.mov", movie);
    EXPECT_EQ(RunBoth({"scales.mov"}).exitStatus, 0);
}

TEST_F(WineEndToEnd, CounterModeAndNegativeTimes) {
    FixtureMovie counter = PlainMovie(40, 100);
    counter.tracks[1].tcFlags = 0x8;
    WriteMovie("counter.mov", counter);
    EXPECT_EQ(RunBoth({"counter.mov"}).exitStatus, 0);

    FixtureMovie negative = PlainMovie(40, uint32_t(-15));
    negative.tracks[1].tcFlags = 0x4;
    WriteMovie("negative.mov", negative);
    EXPECT_EQ(RunBoth({"negative.mov"}).exitStatus, 0);
}

TEST_F(WineEndToEnd, VideoWithoutSamplesGivesTheScriptOnly) {
    FixtureMovie movie = PlainMovie(0, 0);
    movie.tracks[1] = FixtureTimecodeTrack(0, 30000, 1001, 30, 30000, 0, 1001);
    WriteMovie("empty.mov", movie);
    EXPECT_EQ(RunBoth({"empty.mov"}).exitStatus, 0);
    EXPECT_EQ(FolderContents(Native()).size(), 2u);
}

// ---- Failures --------------------------------------------------------------------

TEST_F(WineEndToEnd, RunFailuresGiveTheSameMessages) {
    EXPECT_EQ(RunBoth({}).exitStatus, kFailed);                  // usage
    EXPECT_EQ(RunBoth({"no such take.mov"}).exitStatus, kFailed);  // cannot be opened

    std::string notes = std::string("\0\0\0\x10" "free" "12345678", 16);
    for (const std::string& folder : {Native(), Windows()}) {
        std::ofstream(folder + "/notes.mov", std::ios::binary) << notes;
    }
    EXPECT_EQ(RunBoth({"notes.mov"}).exitStatus, kFailed);  // no movie in the file

    FixtureMovie videoOnly;
    videoOnly.tracks.push_back(FixtureVideoTrack(30000, 3, 1001));
    WriteMovie("video only.mov", videoOnly);
    WineResult native = RunBoth({"video only.mov"});
    EXPECT_EQ(native.exitStatus, 0);
    EXPECT_NE(native.out, "");
}

TEST_F(WineEndToEnd, DataFileThatCannotBeCreated) {
    WriteMovie("blocked.mov", PlainMovie(3, 0));
    MakeFolder("blocked_Lumarest_SubTitle_TimeCode.txt");
    WineResult native = RunBoth({"blocked.mov"});
    EXPECT_EQ(native.exitStatus, kFailed);
    EXPECT_NE(native.out, "");
}

// ---- ffmpeg-made movies ----------------------------------------------------------

TEST_F(WineEndToEnd, FfmpegMovies) {
    if (!FfmpegAvailable()) GTEST_SKIP() << "ffmpeg is not available";
    struct Case {
        const char* name;
        FfmpegMovieSpec options;
    };
    std::vector<Case> cases(3);
    cases[0] = {"pal.mov", {}};
    cases[0].options.rate = "25";
    cases[0].options.timecode = "10:00:00:00";
    cases[1] = {"ntsc drop.mov", {}};
    cases[1].options.rate = "30000/1001";
    cases[1].options.timecode = "01:00:00;00";
    cases[2] = {"film.mov", {}};
    cases[2].options.rate = "24";
    cases[2].options.timecode = "23:59:59:12";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string made = MakeFfmpegMovie(c.options, Native(), c.name);
        ASSERT_FALSE(made.empty());
        fs::copy_file(made, Windows() + "/" + c.name);
        WineResult native = RunBoth({c.name});
        EXPECT_EQ(native.exitStatus, 0);
    }
    EXPECT_EQ(FolderContents(Native()).size(), 15u);
}

// ---- Start-up failures of the Windows build -------------------------------------

TEST_F(WineEndToEnd, NoQuickTimeGivesTheInitializeMessage) {
    ClearQuickTimeRegistry();
    WriteMovie("take1.mov", PlainMovie(3, 0));
    WineResult r = RunWine(Win64Path("LumarestTC.exe"), {"take1.mov"}, Windows());
    EXPECT_EQ(r.exitStatus, kFailed);
    EXPECT_EQ(r.out, "Error: (-2093) Unable to Initialize Quicktime - InitializeQTML\r\n");
    EXPECT_EQ(FolderContents(Windows()).size(), 1u);
}

TEST_F(WineEndToEnd, QuickTimeStartupStatusIsPrinted) {
    SetQuickTimeRegistryValue("QTSysDir", WindowsPath(Win64Path("tests/win/standin-hooks")));
    WriteMovie("take1.mov", PlainMovie(3, 0));
    WineResult r = RunWine(Win64Path("LumarestTC.exe"), {"take1.mov"}, Windows(),
                           {"LUMAREST_STANDIN_STARTUP_STATUS=-108"});
    EXPECT_EQ(r.exitStatus, kFailed);
    EXPECT_EQ(r.out, "Error: (-108) Unable to Initialize Quicktime - InitializeQTML\r\n");

    SetQuickTimeRegistryValue("QTSysDir", WindowsPath(Win64Path("tests/win/standin-no-callcomponent")));
    r = RunWine(Win64Path("LumarestTC.exe"), {"take1.mov"}, Windows());
    EXPECT_EQ(r.exitStatus, kFailed);
    EXPECT_EQ(r.out, "Error: (-2094) Unable to Initialize Quicktime - InitializeQTML\r\n");
    EXPECT_EQ(FolderContents(Windows()).size(), 1u);
}

TEST_F(WineEndToEnd, EnterMoviesFailureIsReportedAfterTheShutdown) {
    SetQuickTimeRegistryValue("QTSysDir", WindowsPath(Win64Path("tests/win/standin-hooks")));
    WriteMovie("take1.mov", PlainMovie(3, 0));
    // The stand-in writes its events into the tool's own standard output; the
    // library is freed by the shut-down, before the message.
    WineResult r = RunWine(Win64Path("LumarestTC.exe"), {"take1.mov"}, Windows(),
                           {"LUMAREST_STANDIN_LOG=-", "LUMAREST_STANDIN_ENTERMOVIES_STATUS=-2"});
    EXPECT_EQ(r.exitStatus, kFailed);
    EXPECT_EQ(r.out, "[stand-in] attach\r\n"
                     "[stand-in] startup 4\r\n"
                     "[stand-in] entermovies\r\n"
                     "[stand-in] shutdown\r\n"
                     "[stand-in] detach\r\n"
                     "Error: (-2) Unable to Initialize Quicktime - EnterMovies\r\n");
    EXPECT_EQ(FolderContents(Windows()).size(), 1u);
}

}  // namespace
