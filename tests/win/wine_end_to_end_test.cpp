// End to end under wine64: every case of the end-to-end table, run by the
// native tool and by each x86-64 Windows exe in folders of their own — the
// shipped LumarestTC.exe on the built-in reader (with no QuickTime anywhere)
// and its QuickTime twin over the stand-in QuickTime.qts. Then what only the
// QuickTime exe can show: its start-up failures, and the error mode and x87
// precision it loads and starts QuickTime with.
#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "tests/fixture/fixture_writer.h"
#include "tests/win/end_to_end_cases.h"
#include "tests/win/wine_harness.h"

namespace fs = std::filesystem;

namespace {

constexpr int kFailed = 255;  // exit status -1
const char kBuiltinExe[] = "LumarestTC.exe";
const char kQuickTimeExe[] = "LumarestTC-quicktime.exe";

std::string TestFolder() {
    return std::string(LUMAREST_WINEPREFIX) + ".e2e/" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name();
}

bool SkipWithoutWine(const char* exe, std::string* why) {
    if (!WineAvailable(why)) return true;
    if (fs::exists(Win64Path(exe))) return false;
    *why = std::string("no ") + exe + " in the x86-64 build";
    return true;
}

WineResult RunNative(const std::vector<std::string>& args, const std::string& folder,
                     const std::vector<std::string>& env) {
    std::string command = "cd " + Quote(folder) + " && env";
    for (const std::string& setting : env) command += " " + Quote(setting);
    command += " " + Quote(LUMAREST_NATIVE_TOOL);
    for (const std::string& arg : args) command += " " + Quote(arg);
    return RunHost(command);
}

// ---- The table -----------------------------------------------------------------

class WineEndToEnd : public ::testing::TestWithParam<std::tuple<size_t, const char*>> {
protected:
    void SetUp() override {
        std::string why;
        if (SkipWithoutWine(Exe(), &why)) GTEST_SKIP() << why;
        for (const CaseEntry& e : Case().entries)
            if (e.kind == CaseEntry::Ffmpeg && !FfmpegAvailable()) GTEST_SKIP() << "ffmpeg is not available";
        // The built-in exe must not need QuickTime: none is registered for it.
        ClearQuickTimeRegistry();
        if (std::string(Exe()) == kQuickTimeExe)
            SetQuickTimeRegistryValue("QTSysDir", WindowsPath(Win64Path("tests/win/standin")));
        root_ = TestFolder();
        fs::remove_all(root_);
        for (const std::string& folder : {Native(), Windows()})
            ASSERT_TRUE(MaterialiseCase(Case(), folder, &why)) << why;
    }
    void TearDown() override {
        if (!root_.empty() && !HasFailure()) fs::remove_all(root_);
    }

    const EndToEndCase& Case() const { return EndToEndCases()[std::get<0>(GetParam())]; }
    const char* Exe() const { return std::get<1>(GetParam()); }
    std::string Native() const { return root_ + "/native"; }
    std::string Windows() const { return root_ + "/windows"; }
    static std::string In(const std::string& folder, const std::string& relative) {
        return relative.empty() ? folder : folder + "/" + relative;
    }

    std::string root_;
};

TEST_P(WineEndToEnd, SameAsNative) {
    const EndToEndCase& c = Case();
    CaseFolder folder;
    folder.native = Native();
    folder.win = WindowsPath(Windows());
    folder.rooted = folder.win.substr(2);  // without "Z:"
    folder.unc = WineUncFolder(Windows());

    CaseRun native;
    if (!c.windowsOnly) {
        const WineResult r = RunNative(NativeArgs(c, folder), In(Native(), c.runIn), c.env);
        native.out = r.out;
        native.exitStatus = r.exitStatus;
    }
    native.files = FolderContents(Native());
    const WineResult w = RunWine(Win64Path(Exe()), WindowsArgs(c, folder), In(Windows(), c.runIn), c.env);
    const CaseRun windows{w.out, w.exitStatus, FolderContents(Windows())};
    const bool quickTime = Exe() == std::string(kQuickTimeExe);
    for (const std::string& difference : CompareCaseRuns(c, folder, native, windows, quickTime))
        ADD_FAILURE() << difference;
    if (c.windowsJsonMovies.empty()) return;
    WriteFixtureFile(root_ + "/out.json", w.out);
    EXPECT_EQ(RunHost("PYTHONIOENCODING=utf-8 python3 -c 'import json,sys\nfor l in sys.stdin: "
                      "print(json.loads(l)[\"movie\"])' 2>&1 <" + Quote(root_ + "/out.json")).out,
              c.windowsJsonMovies);
}

std::string CaseName(const ::testing::TestParamInfo<WineEndToEnd::ParamType>& info) {
    const bool builtin = std::string(std::get<1>(info.param)) == kBuiltinExe;
    return EndToEndCases()[std::get<0>(info.param)].name + (builtin ? "_builtin" : "_quicktime");
}

INSTANTIATE_TEST_SUITE_P(Table, WineEndToEnd,
                         ::testing::Combine(::testing::Range(size_t(0), EndToEndCases().size()),
                                            ::testing::Values(kBuiltinExe, kQuickTimeExe)),
                         CaseName);

// ---- What only the QuickTime exe has --------------------------------------------

class WineQuickTimeStartup : public ::testing::Test {
protected:
    void SetUp() override {
        std::string why;
        if (SkipWithoutWine(kQuickTimeExe, &why)) GTEST_SKIP() << why;
        ClearQuickTimeRegistry();
        folder_ = TestFolder();
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        FixtureMovie movie;
        movie.tracks.push_back(FixtureVideoTrack(30000, 3, 1001));
        movie.tracks.push_back(FixtureTimecodeTrack(0, 30000, 1001, 30, 30000, 0, 3003));
        ASSERT_TRUE(WriteFixtureFile(folder_ + "/take1.mov", BuildFixtureMovie(movie)));
    }
    void TearDown() override {
        if (!folder_.empty() && !HasFailure()) fs::remove_all(folder_);
    }

    void UseStandIn(const char* variant) {
        SetQuickTimeRegistryValue("QTSysDir", WindowsPath(Win64Path(std::string("tests/win/") + variant)));
    }
    WineResult Run(const std::vector<std::string>& env = {}) {
        return RunWine(Win64Path(kQuickTimeExe), {"take1.mov"}, folder_, env);
    }
    // Failed start-ups leave the folder as it was: the movie alone.
    void ExpectFailure(const WineResult& r, const std::string& out) {
        EXPECT_EQ(r.exitStatus, kFailed);
        EXPECT_EQ(r.out, out);
        EXPECT_EQ(FolderContents(folder_).size(), 1u);
    }

    std::string folder_;
};

TEST_F(WineQuickTimeStartup, MissingOrBrokenQuickTimeGivesTheInitializeMessage) {
    ExpectFailure(Run(), "Error: (-2093) Unable to Initialize Quicktime - InitializeQTML\r\n");
    // A QuickTime.qts that is no library: the load fails without a message box.
    const std::string broken = folder_ + ".broken";
    fs::create_directories(broken);
    WriteFixtureFile(broken + "/QuickTime.qts", "not a library");
    SetQuickTimeRegistryValue("QTSysDir", WindowsPath(broken));
    ExpectFailure(Run(), "Error: (-2093) Unable to Initialize Quicktime - InitializeQTML\r\n");
    fs::remove_all(broken);
}

TEST_F(WineQuickTimeStartup, StartupFailuresWithAQuickTimeFound) {
    for (const QuickTimeStartupFailure& f : QuickTimeStartupFailures()) {
        SCOPED_TRACE(f.name);
        UseStandIn(f.standin.c_str());
        ExpectFailure(Run(f.env), f.out);
    }
}

TEST_F(WineQuickTimeStartup, LoadedWithoutErrorBoxesAndStartedAt53BitPrecision) {
    // While QuickTime.qts loads, critical-error boxes are off (mode 1); at its
    // start-up the process's own mode (0) is back and the x87 unit rounds to
    // 53 bits (control word 0x027f), as in any Windows program.
    UseStandIn("standin-hooks");
    const WineResult r = Run({"LUMAREST_STANDIN_LOG=-", "LUMAREST_STANDIN_LOG_MODES=1"});
    EXPECT_EQ(r.exitStatus, 0);
    EXPECT_EQ(r.out, "[stand-in] attach errormode 1\r\n"
                     "[stand-in] startup 4 x87 027f errormode 0\r\n"
                     "[stand-in] entermovies\r\n"
                     "[stand-in] shutdown\r\n"
                     "[stand-in] detach\r\n");
}

}  // namespace
