// The Windows binding under wine64: where QuickTime.qts is looked for and
// loaded from (registry values, the system folder, a copy already loaded), and
// QTML start-up and shut-down against the stand-in QuickTime.qts variants.
// binding_probe.exe makes the calls and prints one line per step.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/fixture/fixture_writer.h"
#include "tests/win/wine_harness.h"

namespace fs = std::filesystem;

namespace {

class WineBinding : public ::testing::Test {
protected:
    void SetUp() override {
        std::string why;
        if (!WineAvailable(&why)) GTEST_SKIP() << why;
        ClearQuickTimeRegistry();
        fs::remove_all(SystemFolder() + "/QuickTime");
        fs::remove(SystemFolder() + "/QuickTime.qts");
        scratch_ = std::string(LUMAREST_WINEPREFIX) + ".scratch";
        fs::remove_all(scratch_);
        fs::create_directories(scratch_);
    }
    void TearDown() override {
        if (!scratch_.empty()) {
            fs::remove_all(SystemFolder() + "/QuickTime");
            fs::remove_all(scratch_);
        }
    }

    static std::string SystemFolder() { return WineDriveC() + "/windows/system32"; }
    static std::string StandIn(const char* variant) { return Win64Path(std::string("tests/win/") + variant); }
    static std::string Win(const char* variant) { return WindowsPath(StandIn(variant)); }

    WineResult Probe(const std::vector<std::string>& args, const std::vector<std::string>& env = {}) {
        return RunWine(Win64Path("tests/win/binding_probe.exe"), args, scratch_, env);
    }
    std::string LogPath() const { return scratch_ + "/standin.log"; }
    std::vector<std::string> LogTo() const { return {"LUMAREST_STANDIN_LOG=" + WindowsPath(LogPath())}; }
    std::string Log() const {
        std::ifstream in(LogPath(), std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    std::string scratch_;
};

// ---- Library location ------------------------------------------------------------

TEST_F(WineBinding, LoadedCopyIsUsedBeforeRegistryAndSystemFolder) {
    SetQuickTimeRegistryValue("QTSysDir", Win("standin"));
    WineResult r = Probe({"preload", StandIn("standin-hooks") + "/QuickTime.qts", "folder", "load"});
    EXPECT_EQ(r.out, "preload ok\n"
                     "folder 1 " + Win("standin-hooks") + "\\\n"
                     "load " + Win("standin-hooks") + "\\QuickTime.qts\n");
}

TEST_F(WineBinding, RegistryFolderWithoutSeparatorGetsBackslash) {
    SetQuickTimeRegistryValue("QTSysDir", Win("standin"));
    WineResult r = Probe({"folder", "load"});
    EXPECT_EQ(r.out, "folder 1 " + Win("standin") + "\\\n"
                     "load " + Win("standin") + "\\QuickTime.qts\n");
}

TEST_F(WineBinding, MissingFoldersFallThroughToNextSource) {
    SetQuickTimeRegistryValue("QTSysDir", Win("no-such-folder"));
    SetQuickTimeRegistryValue("QuickTime.qts folder", Win("standin") + "\\");
    EXPECT_EQ(Probe({"folder"}).out, "folder 1 " + Win("standin") + "\\\n");

    // Both values name missing folders: the system folder.
    SetQuickTimeRegistryValue("QuickTime.qts folder", Win("also-missing"));
    EXPECT_EQ(Probe({"folder"}).out, "folder 1 C:\\windows\\system32\\\n");
}

TEST_F(WineBinding, TrailingSlashIsKept) {
    std::string withSlash = "Z:" + StandIn("standin") + "/";
    SetQuickTimeRegistryValue("QTSysDir", withSlash);
    WineResult r = Probe({"folder", "load"});
    EXPECT_EQ(r.out.substr(0, r.out.find('\n') + 1), "folder 1 " + withSlash + "\n");
    EXPECT_EQ(r.out.find("load none"), std::string::npos) << r.out;
}

TEST_F(WineBinding, SystemFolderSecondChanceIsItsQuickTimeSubfolder) {
    fs::create_directories(SystemFolder() + "/QuickTime");
    fs::copy_file(StandIn("standin") + "/QuickTime.qts", SystemFolder() + "/QuickTime/QuickTime.qts");
    // The first load, of C:\windows\system32\QuickTime.qts, finds nothing.
    WineResult r = Probe({"folder", "ext", "load"});
    EXPECT_EQ(r.out, "folder 1 C:\\windows\\system32\\\n"
                     "ext 30 C:\\windows\\system32\\QuickTime\\\n"
                     "load C:\\windows\\system32\\QuickTime\\QuickTime.qts\n");
}

TEST_F(WineBinding, ExtensionsFolderValueIsUsedAsRead) {
    // A QuickTime folder without the library, and an extensions folder that
    // is not tested for existence.
    SetQuickTimeRegistryValue("QTSysDir", Win("standin") + "\\..");
    SetQuickTimeRegistryValue("QTExtDir", Win("not-there"));
    EXPECT_EQ(Probe({"ext", "load"}).out, "ext " + std::to_string(Win("not-there").size() + 1) +
                                              " " + Win("not-there") + "\\\nload none\n");

    SetQuickTimeRegistryValue("QTExtDir", Win("standin-hooks"));
    EXPECT_EQ(Probe({"load"}).out, "load " + Win("standin-hooks") + "\\QuickTime.qts\n");
}

TEST_F(WineBinding, SystemFolderComparisonIsCaseSensitive) {
    SetQuickTimeRegistryValue("QTSysDir", "C:\\WINDOWS\\SYSTEM32");
    EXPECT_EQ(Probe({"folder", "ext"}).out, "folder 1 C:\\WINDOWS\\SYSTEM32\\\n"
                                            "ext 20 C:\\WINDOWS\\SYSTEM32\\\n");
}

TEST_F(WineBinding, NothingFoundMeansNothingLoaded) {
    // A destination too small for the system folder and its separator.
    EXPECT_EQ(Probe({"folder", "19", "folder", "20", "folder", "21"}).out,
              "folder 0 \nfolder 0 \nfolder 1 C:\\windows\\system32\\\n");
    // No library in any folder: both loads fail.
    EXPECT_EQ(Probe({"load"}).out, "load none\n");
}

TEST_F(WineBinding, RegistryValueThatFillsTheDestinationIsNotUsed) {
    SetQuickTimeRegistryValue("QTSysDir", "Z:\\abc");  // 6 characters and a terminator
    EXPECT_EQ(Probe({"reg", "QTSysDir", "6", "reg", "QTSysDir", "7", "reg", "QTSysDir", "8"}).out,
              "reg \nreg \nreg Z:\\abc\\\n");
    // Data without a terminator.
    SetQuickTimeRegistryBinary("QTSysDir", "5a3a5c616263");
    EXPECT_EQ(Probe({"reg", "QTSysDir", "6", "reg", "QTSysDir", "7", "reg", "QTSysDir", "8"}).out,
              "reg \nreg \nreg Z:\\abc\\\n");
    EXPECT_EQ(Probe({"reg", "QTExtDir", "8"}).out, "reg \n");
}

// ---- QTML start-up and shut-down -------------------------------------------------

TEST_F(WineBinding, NoLibraryGives2093AndLeavesEverythingUnbound) {
    EXPECT_EQ(Probe({"init", "4", "count", "bound", "op"}).out,
              "init -2093\ncount 0\nbound hook=bind dispatcher=notbound\nop -2095\n");
}

TEST_F(WineBinding, MissingExportGives2094AndFreesTheLibrary) {
    SetQuickTimeRegistryValue("QTSysDir", Win("standin-no-callcomponent"));
    EXPECT_EQ(Probe({"init", "4", "loaded", "count", "bound"}).out,
              "init -2094\nloaded none\ncount 0\nbound hook=bind dispatcher=notbound\n");
}

TEST_F(WineBinding, StartupStatusIsHandedBackUnchanged) {
    SetQuickTimeRegistryValue("QTSysDir", Win("standin-hooks"));
    std::vector<std::string> env = LogTo();
    env.push_back("LUMAREST_STANDIN_STARTUP_STATUS=-12345");
    EXPECT_EQ(Probe({"init", "4", "loaded", "count", "bound"}, env).out,
              "init -12345\nloaded none\ncount 0\nbound hook=bind dispatcher=notbound\n");
    EXPECT_EQ(Log(), "attach\nstartup 4\ndetach\n");
}

TEST_F(WineBinding, SecondStartupOnlyCounts) {
    SetQuickTimeRegistryValue("QTSysDir", Win("standin-hooks"));
    EXPECT_EQ(Probe({"init", "4", "init", "8", "term", "count", "loaded", "bound", "op"}, LogTo()).out,
              "init 0\ninit 0\nterm\ncount 1\nloaded " + Win("standin-hooks") +
                  "\\QuickTime.qts\nbound hook=none dispatcher=export\nop 0\n");
    // One load, one start-up with the first flags, no shut-down.
    EXPECT_EQ(Log(), "attach\nstartup 4\nentermovies\n");
}

TEST_F(WineBinding, ShutdownWhileUnboundDoesNothing) {
    SetQuickTimeRegistryValue("QTSysDir", Win("standin-hooks"));
    EXPECT_EQ(Probe({"term", "count", "bound"}, LogTo()).out,
              "term\ncount 0\nbound hook=bind dispatcher=notbound\n");
    EXPECT_EQ(Log(), "");
}

TEST_F(WineBinding, StartupAfterLastShutdownLoadsAgain) {
    SetQuickTimeRegistryValue("QTSysDir", Win("standin-hooks"));
    EXPECT_EQ(Probe({"init", "4", "term", "loaded", "bound", "init", "16", "count"}, LogTo()).out,
              "init 0\nterm\nloaded none\nbound hook=bind dispatcher=notbound\ninit 0\ncount 1\n");
    EXPECT_EQ(Log(), "attach\nstartup 4\nshutdown\ndetach\nattach\nstartup 16\n");
}

TEST_F(WineBinding, ArgumentsSurviveTheBindHook) {
    // Three video samples of 1001 units: the walk's first two answers are 0
    // and 1001.
    FixtureMovie movie;
    movie.tracks.push_back(FixtureVideoTrack(30000, 3, 1001));
    movie.tracks.push_back(FixtureTimecodeTrack(0, 30000, 1001, 30, 30000, 0, 3003));
    ASSERT_TRUE(WriteFixtureFile(scratch_ + "/hooked.mov", BuildFixtureMovie(movie)));
    SetQuickTimeRegistryValue("QTSysDir", Win("standin"));
    EXPECT_EQ(Probe({"init", "4", "hooked", "hooked.mov"}).out,
              "init 0\nhooked open=0 movie=0 tracks=2 times=0,1001 hooks=10\n");
}

TEST_F(WineBinding, StartupWaitsForTheProcessMutex) {
    SetQuickTimeRegistryValue("QTSysDir", Win("standin"));
    EXPECT_EQ(Probe({"mutex"}).out, "mutex blocked\nmutex init 0\n");
}

}  // namespace
