// The shipped 32-bit LumarestTC.exe run whole: in the emulated x86-64 machine
// with 32-bit Wine, against the 32-bit stand-in QuickTime.qts, all cases in
// one boot. On every case of the end-to-end table it must do what the native
// tool does (the same files byte for byte, the same messages with CR LF, the
// same exit status), with the stand-in found through the 32-bit registry view
// (Wow6432Node), and on one case through the 32-bit system folder (syswow64).
// The start-up cases show what a 32-bit process finds and does not find.
//
// A machine that cannot be built or booted fails every test here, with the
// reason; nothing is skipped.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <stdexcept>

#include "tests/fixture/fixture_writer.h"
#include "tests/win/end_to_end_cases.h"
#include "tests/win/vm/machine_run.h"

namespace fs = std::filesystem;

namespace {

constexpr int kFailed = 255;  // exit status -1
const char kSystemFolderCase[] = "plain_one_hour";

// A start-up case: the movie alone in its folder, the message, exit status
// 255, and nothing written.
struct StartupCase {
    MachineCase run;
    std::string out;
};

std::vector<StartupCase> StartupCases() {
    const std::string noQuickTime = "Error: (-2093) Unable to Initialize Quicktime - InitializeQTML\r\n";
    std::vector<StartupCase> cases;
    auto add = [&](const std::string& name, QuickTimePlace place, const std::string& standin,
                   const std::vector<std::string>& env, const std::string& out) {
        MachineCase c;
        c.name = name;
        c.args = {"take1.mov"};
        c.place = place;
        c.standin = standin;
        c.env = env;
        cases.push_back({c, out});
    };
    add("no_quicktime", QuickTimePlace::Nowhere, "standin", {}, noQuickTime);
    // A 32-bit process reads the 32-bit view alone.
    add("registry_64_bit_view_only", QuickTimePlace::Registry64, "standin", {}, noQuickTime);
    for (const QuickTimeStartupFailure& f : QuickTimeStartupFailures()) {
        add(f.name, QuickTimePlace::Registry32, f.standin, f.env, f.out);
        add(f.name + "_syswow64", QuickTimePlace::SystemFolder, f.standin, f.env, f.out);
    }
    return cases;
}

bool WriteStartupMovie(const std::string& folder) {
    FixtureMovie movie;
    movie.tracks.push_back(FixtureVideoTrack(30000, 3, 1001));
    movie.tracks.push_back(FixtureTimecodeTrack(0, 30000, 1001, 30, 30000, 0, 3003));
    fs::create_directories(folder);
    return WriteFixtureFile(folder + "/take1.mov", BuildFixtureMovie(movie));
}

MachineCase TableRun(const EndToEndCase& c, std::vector<std::string> args) {
    MachineCase run;
    run.name = c.name;
    run.runIn = c.runIn;
    run.args = std::move(args);
    run.env = c.env;
    return run;
}

// The case's folder as each side names it: on the host, and in the machine
// (its payload disk is mounted on /payload, which Wine's Z: drive shows).
CaseFolder FolderOf(const std::string& work, const std::string& name) {
    CaseFolder folder;
    folder.native = work + "/native/cases/" + name;
    folder.rooted = "\\payload\\cases\\" + name;
    folder.win = "Z:" + folder.rooted;
    folder.unc = "\\\\lumarest\\share";
    return folder;
}

class I386Machine : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        const std::string work = LUMAREST_VM_WORK;
        fs::remove_all(work);
        if (!fs::exists(std::string(LUMAREST_WIN32_DIR) + "/LumarestTC.exe")) {
            failure_ = "no LumarestTC.exe in the 32-bit build " LUMAREST_WIN32_DIR;
            return;
        }
        std::vector<MachineCase> inMachine, natively;
        for (const EndToEndCase& c : EndToEndCases()) {
            const CaseFolder folder = FolderOf(work, c.name);
            std::string why;
            if (!MaterialiseCase(c, work + "/machine/cases/" + c.name, &why) ||
                !MaterialiseCase(c, folder.native, &why)) {
                failure_ = c.name + ": " + why;
                return;
            }
            inMachine.push_back(TableRun(c, WindowsArgs(c, folder)));
            if (!c.windowsOnly) natively.push_back(TableRun(c, NativeArgs(c, folder)));
        }
        // One movie once more, with the stand-in in syswow64 and no registry key.
        MachineCase system = *std::find_if(inMachine.begin(), inMachine.end(),
                                           [](const MachineCase& c) { return c.name == kSystemFolderCase; });
        system.name = kSystemFolderCase + std::string("_syswow64");
        system.place = QuickTimePlace::SystemFolder;
        const EndToEndCase& plain = TableCase(kSystemFolderCase);
        std::string why;
        if (!MaterialiseCase(plain, work + "/machine/cases/" + system.name, &why)) {
            failure_ = why;
            return;
        }
        inMachine.push_back(system);
        for (const StartupCase& c : StartupCases()) {
            if (!WriteStartupMovie(work + "/machine/cases/" + c.run.name)) {
                failure_ = "the movie of " + c.run.name + " could not be written";
                return;
            }
            inMachine.push_back(c.run);
        }

        native_ = RunCasesNatively(natively, work + "/native", LUMAREST_NATIVE_TOOL);
        int seconds = 2400;
        if (const char* limit = std::getenv("LUMAREST_VM_BOOT_SECONDS")) seconds = std::atoi(limit);
        machine_ = RunCasesInMachine(inMachine, work + "/machine", LUMAREST_WIN32_DIR,
                                     LUMAREST_VM_DIR, seconds);
        std::cout << machine_.log;
        if (!machine_.booted) failure_ = machine_.why;
    }

    void SetUp() override {
        if (!failure_.empty()) FAIL() << failure_;
    }

    static const EndToEndCase& TableCase(const std::string& name) {
        for (const EndToEndCase& c : EndToEndCases())
            if (c.name == name) return c;
        throw std::runtime_error("no case " + name + " in the end-to-end table");
    }

    // Every difference from the native run, with the exe's standard error.
    static void ExpectSameAsNative(const EndToEndCase& c, const std::string& run) {
        SCOPED_TRACE(run);
        const CaseFolder folder = FolderOf(LUMAREST_VM_WORK, c.name);
        CaseRun native = native_[c.name];
        native.files = FolderContents(folder.native);
        for (const std::string& difference : CompareCaseRuns(c, folder, native, machine_.cases[run], true))
            ADD_FAILURE() << difference << "\nstandard error: " << machine_.errors[run];
    }

    static std::map<std::string, CaseRun> native_;
    static MachineRun machine_;
    static std::string failure_;
};

std::map<std::string, CaseRun> I386Machine::native_;
MachineRun I386Machine::machine_;
std::string I386Machine::failure_;

TEST_F(I386Machine, EveryTableCaseAsTheNativeTool) {
    for (const EndToEndCase& c : EndToEndCases()) ExpectSameAsNative(c, c.name);
}

TEST_F(I386Machine, StandInFoundInTheSystemFolder) {
    ExpectSameAsNative(TableCase(kSystemFolderCase), kSystemFolderCase + std::string("_syswow64"));
}

TEST_F(I386Machine, StartupFailuresGiveTheirMessages) {
    for (const StartupCase& c : StartupCases()) {
        SCOPED_TRACE(c.run.name);
        const CaseRun& windows = machine_.cases[c.run.name];
        EXPECT_EQ(windows.exitStatus, kFailed) << machine_.errors[c.run.name];
        EXPECT_EQ(windows.out, c.out) << machine_.errors[c.run.name];
        EXPECT_EQ(windows.files.size(), 1u) << "files were written beside the movie";
    }
}

}  // namespace
