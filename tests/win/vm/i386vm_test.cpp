// The shipped 32-bit LumarestTC.exe run whole: in the emulated x86-64 machine
// with 32-bit Wine, against the 32-bit stand-in QuickTime.qts, all cases in
// one boot. On the end-to-end cases it writes the native tool's files byte for
// byte, prints its messages with CR LF and ends with its exit status; the
// start-up cases show how a 32-bit process finds QuickTime.qts: through the
// 32-bit registry view and the 32-bit system folder (syswow64).
//
// A machine that cannot be built or booted fails every test here, with the
// reason; nothing is skipped.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "tests/fixture/ffmpeg_movie.h"
#include "tests/fixture/fixture_writer.h"
#include "tests/win/vm/machine_run.h"

namespace fs = std::filesystem;

namespace {

constexpr int kFailed = 255;  // exit status -1
constexpr uint32_t kOneHour = 30 * 60 * 60;

using Files = std::function<bool(const std::string& folder)>;

Files Movie(const std::string& name, const FixtureMovie& movie) {
    return [=](const std::string& folder) {
        fs::create_directories(fs::path(folder + "/" + name).parent_path());
        return WriteFixtureFile(folder + "/" + name, BuildFixtureMovie(movie));
    };
}

Files Raw(const std::string& name, const std::string& bytes) {
    return [=](const std::string& folder) { return WriteFixtureFile(folder + "/" + name, bytes); };
}

Files Ffmpeg(const std::string& name, const std::string& rate, const std::string& timecode) {
    return [=](const std::string& folder) {
        FfmpegMovieSpec spec;
        spec.rate = rate;
        spec.timecode = timecode;
        return !MakeFfmpegMovie(spec, folder, name).empty();
    };
}

Files Nothing() {
    return [](const std::string&) { return true; };
}

Files Together(Files first, Files second) {
    return [=](const std::string& folder) { return first(folder) && second(folder); };
}

FixtureMovie PlainMovie(uint32_t count, uint32_t firstFrame) {
    FixtureMovie movie;
    movie.tracks.push_back(FixtureVideoTrack(30000, count, 1001));
    movie.tracks.push_back(FixtureTimecodeTrack(0, 30000, 1001, 30, 30000, int32_t(firstFrame), 1001 * count));
    return movie;
}

FixtureMovie DropFrameMovie() {
    FixtureMovie movie = PlainMovie(2000, 1790);  // from 00:00:59;20
    movie.tracks[1].tcFlags = 0x1 | 0x2;
    movie.tracks[1].co64 = true;
    movie.tracks[0].co64 = true;
    movie.largeSizes = true;
    movie.moovFirst = true;
    return movie;
}

FixtureMovie OwnTimeScaleMovie() {
    FixtureMovie movie;
    movie.tracks.push_back(FixtureVideoTrack(25000, 120, 1000));  // 25 fps
    FixtureTrack tc = FixtureTimecodeTrack(0, 25, 1, 25, 600, 90000, 24 * 60);
    tc.tcSamples.push_back({180000, 24 * 60});  // a jump after two seconds
    tc.tcSamplesPerChunk = 1;
    movie.tracks.push_back(tc);
    movie.timecodeData = FixtureTimecodeData::First;
    return movie;
}

FixtureMovie WithFlags(FixtureMovie movie, int32_t flags) {
    movie.tracks[1].tcFlags = flags;
    return movie;
}

FixtureMovie EmptyVideoMovie() {
    FixtureMovie movie = PlainMovie(0, 0);
    movie.tracks[1] = FixtureTimecodeTrack(0, 30000, 1001, 30, 30000, 0, 1001);
    return movie;
}

FixtureMovie VideoOnlyMovie() {
    FixtureMovie movie;
    movie.tracks.push_back(FixtureVideoTrack(30000, 3, 1001));
    return movie;
}

MachineCase Case(const std::string& name, std::vector<std::string> args, Files files) {
    MachineCase c;
    c.name = name;
    c.args = std::move(args);
    c.files = std::move(files);
    return c;
}

// Run by the 32-bit exe with the stand-in found through the 32-bit registry
// view, and by the native tool: everything must agree.
std::vector<MachineCase> EndToEndCases() {
    std::vector<MachineCase> cases = {
        Case("take1", {"take1.mov"}, Movie("take1.mov", PlainMovie(3, kOneHour))),
        Case("relative-folder", {"clips/take 2.mov", "ignored.mov"},
             Movie("clips/take 2.mov", PlainMovie(5, 0))),
        Case("drop-frame-co64", {"drop.mov"}, Movie("drop.mov", DropFrameMovie())),
        Case("own-time-scale", {"scales.mov"}, Movie("scales.mov", OwnTimeScaleMovie())),
        Case("counter", {"counter.mov"}, Movie("counter.mov", WithFlags(PlainMovie(40, 100), 0x8))),
        Case("negative", {"negative.mov"},
             Movie("negative.mov", WithFlags(PlainMovie(40, uint32_t(-15)), 0x4))),
        Case("video-without-samples", {"empty.mov"}, Movie("empty.mov", EmptyVideoMovie())),
        Case("usage", {}, Nothing()),
        Case("missing-movie", {"no such take.mov"}, Nothing()),
        Case("no-movie", {"notes.mov"},
             Raw("notes.mov", std::string("\0\0\0\x10" "free" "12345678", 16))),
        Case("video-only", {"video only.mov"}, Movie("video only.mov", VideoOnlyMovie())),
        Case("blocked-data-file", {"blocked.mov"},
             Together(Movie("blocked.mov", PlainMovie(3, 0)), [](const std::string& folder) {
                 return fs::create_directory(folder + "/blocked_Lumarest_SubTitle_TimeCode.txt");
             })),
        Case("ffmpeg-pal", {"pal.mov"}, Ffmpeg("pal.mov", "25", "10:00:00:00")),
        Case("ffmpeg-ntsc-drop", {"ntsc drop.mov"}, Ffmpeg("ntsc drop.mov", "30000/1001", "01:00:00;00")),
        Case("ffmpeg-film", {"film.mov"}, Ffmpeg("film.mov", "24", "23:59:59:12")),
    };
    // The same movie with the stand-in in the 32-bit system folder and no
    // registry key.
    cases.push_back(Case("system-folder", {"take1.mov"}, Movie("take1.mov", PlainMovie(3, kOneHour))));
    cases.back().place = QuickTimePlace::SystemFolder;
    return cases;
}

// Start-up failures: the message, exit status 255, and no file written.
struct StartupRow {
    MachineCase c;
    std::string out;
};

std::vector<StartupRow> StartupRows() {
    const std::string noQuickTime = "Error: (-2093) Unable to Initialize Quicktime - InitializeQTML\r\n";
    std::vector<StartupRow> rows;
    auto add = [&](const std::string& name, QuickTimePlace place, const std::string& standin,
                   std::vector<std::string> env, const std::string& out) {
        MachineCase c = Case(name, {"take1.mov"}, Movie("take1.mov", PlainMovie(3, 0)));
        c.place = place;
        c.standin = standin;
        c.env = std::move(env);
        rows.push_back({c, out});
    };
    add("no-quicktime", QuickTimePlace::Nowhere, "standin", {}, noQuickTime);
    // A 32-bit process reads the 32-bit view (Wow6432Node) alone.
    add("registry-64-bit-view-only", QuickTimePlace::Registry64, "standin", {}, noQuickTime);
    add("no-entry-points", QuickTimePlace::SystemFolder, "standin-no-callcomponent", {},
        "Error: (-2094) Unable to Initialize Quicktime - InitializeQTML\r\n");
    add("startup-status", QuickTimePlace::Registry32, "standin-hooks",
        {"LUMAREST_STANDIN_STARTUP_STATUS=-108"},
        "Error: (-108) Unable to Initialize Quicktime - InitializeQTML\r\n");
    // The stand-in logs into the tool's own standard output; the library is
    // freed by the shut-down, before the message.
    add("entermovies-status", QuickTimePlace::Registry32, "standin-hooks",
        {"LUMAREST_STANDIN_LOG=-", "LUMAREST_STANDIN_ENTERMOVIES_STATUS=-2"},
        "[stand-in] attach\r\n"
        "[stand-in] startup 4\r\n"
        "[stand-in] entermovies\r\n"
        "[stand-in] shutdown\r\n"
        "[stand-in] detach\r\n"
        "Error: (-2) Unable to Initialize Quicktime - EnterMovies\r\n");
    return rows;
}

class I386Machine : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        endToEnd_ = EndToEndCases();
        std::vector<MachineCase> all = endToEnd_;
        for (const StartupRow& row : StartupRows()) all.push_back(row.c);

        std::string work = LUMAREST_VM_WORK;
        fs::remove_all(work);
        fs::remove_all(work + ".boot");
        std::string why;
        if (!fs::exists(std::string(LUMAREST_WIN32_DIR) + "/LumarestTC.exe")) {
            failure_ = "no LumarestTC.exe in the 32-bit build " LUMAREST_WIN32_DIR;
            return;
        }
        if (!WriteCases(all, work + "/machine", &why)) {
            failure_ = why;
            return;
        }
        fs::create_directories(work + "/native");
        fs::copy(work + "/machine/cases", work + "/native/cases", fs::copy_options::recursive);
        native_ = RunCasesNatively(endToEnd_, work + "/native", LUMAREST_NATIVE_TOOL);

        int seconds = 2400;
        if (const char* limit = std::getenv("LUMAREST_VM_BOOT_SECONDS")) seconds = std::atoi(limit);
        machine_ = RunCasesInMachine(all, work + "/machine", LUMAREST_WIN32_DIR, LUMAREST_VM_DIR,
                                     seconds);
        std::cout << machine_.log;
        if (!machine_.booted) failure_ = machine_.why;
    }

    void SetUp() override {
        if (!failure_.empty()) FAIL() << failure_;
    }

    // The case's run in the machine.
    static const CaseRun& InMachine(const std::string& name) { return machine_.cases[name]; }

    static std::vector<MachineCase> endToEnd_;
    static std::map<std::string, CaseRun> native_;
    static MachineRun machine_;
    static std::string failure_;
};

std::vector<MachineCase> I386Machine::endToEnd_;
std::map<std::string, CaseRun> I386Machine::native_;
MachineRun I386Machine::machine_;
std::string I386Machine::failure_;

TEST_F(I386Machine, EndToEndCasesMatchTheNativeTool) {
    for (const MachineCase& c : endToEnd_) {
        SCOPED_TRACE(c.name);
        const CaseRun& native = native_[c.name];
        const CaseRun& windows = InMachine(c.name);
        ASSERT_TRUE(native.ran);
        ASSERT_TRUE(windows.ran) << "the case did not run in the machine";
        EXPECT_EQ(windows.exitStatus, native.exitStatus) << windows.err;
        EXPECT_EQ(windows.out, WithCarriageReturns(native.out)) << windows.err;
        EXPECT_EQ(windows.files.size(), native.files.size());
        for (const auto& file : native.files) {
            auto other = windows.files.find(file.first);
            if (other == windows.files.end())
                ADD_FAILURE() << "the 32-bit exe did not write " << file.first;
            else
                EXPECT_TRUE(other->second == file.second) << file.first << " differs";
        }
    }
    // The movies gave the four files: the cases are not all failures that agree.
    EXPECT_EQ(native_["take1"].files.size(), 5u);
    EXPECT_EQ(native_["system-folder"].files.size(), 5u);
    EXPECT_EQ(native_["ffmpeg-ntsc-drop"].files.size(), 5u);
}

TEST_F(I386Machine, StartupFailuresGiveTheirMessages) {
    for (const StartupRow& row : StartupRows()) {
        SCOPED_TRACE(row.c.name);
        const CaseRun& windows = InMachine(row.c.name);
        ASSERT_TRUE(windows.ran) << "the case did not run in the machine";
        EXPECT_EQ(windows.exitStatus, kFailed) << windows.err;
        EXPECT_EQ(windows.out, row.out) << windows.err;
        EXPECT_EQ(windows.files.size(), 1u) << "files were written beside the movie";
    }
}

}  // namespace
