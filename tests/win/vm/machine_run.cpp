#include "tests/win/vm/machine_run.h"

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "tests/fixture/ffmpeg_movie.h"

namespace fs = std::filesystem;

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

bool WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    return bool(out.flush());
}

// The shell line that runs `program` for one case in its folder and leaves its
// standard output, standard error and exit status in results/.
std::string RunLine(const MachineCase& c, const std::string& program) {
    std::string results = "../../results/" + c.name;
    std::string line = "(cd " + ShellQuote("cases/" + c.name) + " && env";
    for (const std::string& setting : c.env) line += " " + ShellQuote(setting);
    line += " " + program;
    for (const std::string& arg : c.args) line += " " + ShellQuote(arg);
    line += " >" + ShellQuote(results + ".out") + " 2>" + ShellQuote(results + ".err") +
            "; echo $? >" + ShellQuote(results + ".status") + ")\n";
    return line;
}

const char* PlaceWord(QuickTimePlace place) {
    switch (place) {
        case QuickTimePlace::Registry32: return "registry32";
        case QuickTimePlace::Registry64: return "registry64";
        case QuickTimePlace::SystemFolder: return "system";
        case QuickTimePlace::Nowhere: break;
    }
    return "nowhere";
}

// The machine's part: a 64-bit Wine prefix made when the machine was built,
// one persistent wineserver for all runs, the exe run by Wine's 32-bit loader.
// The stand-in is placed anew only when a case wants it elsewhere than the
// case before.
const char kGuestScriptHead[] = R"(# Runs each case with Wine's 32-bit loader in the case's folder.
export WINEPREFIX=/root/.wine WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml='
wine=/usr/lib/wine/wine
key='HKLM\Software\Apple Computer, Inc.\QuickTime'
system=/root/.wine/drive_c/windows/syswow64
seconds_up() { cut -d' ' -f1 /proc/uptime; }
echo "run.sh: cases start at $(seconds_up) s"
/usr/lib/wine/wineserver -p
mkdir -p results
# place registry32|registry64|system|nowhere STANDIN-FOLDER
place() {
    "$wine" reg delete "$key" /f /reg:32 >/dev/null 2>&1
    "$wine" reg delete "$key" /f /reg:64 >/dev/null 2>&1
    rm -f "$system/QuickTime.qts"
    case $1 in
    registry32|registry64)
        "$wine" reg add "$key" /v QTSysDir /t REG_SZ /d "Z:\\payload\\$2" /f /reg:${1#registry} >/dev/null ;;
    system)
        cp "$2/QuickTime.qts" "$system/" ;;
    esac
}
)";

std::string GuestScript(const std::vector<MachineCase>& cases) {
    std::string script = kGuestScriptHead;
    std::string placed;
    for (const MachineCase& c : cases) {
        script += "echo \"run.sh: " + c.name + " at $(seconds_up) s\"\n";
        std::string place = std::string(PlaceWord(c.place)) + " " + ShellQuote(c.standin);
        if (place != placed) script += "place " + place + "\n";
        placed = place;
        script += RunLine(c, "\"$wine\" /payload/LumarestTC.exe");
    }
    script += "/usr/lib/wine/wineserver -k\n";
    script += "echo \"run.sh: cases end at $(seconds_up) s\"\n";
    return script;
}

std::map<std::string, CaseRun> ReadCaseRuns(const std::vector<MachineCase>& cases,
                                            const std::string& root) {
    std::map<std::string, CaseRun> runs;
    for (const MachineCase& c : cases) {
        CaseRun& run = runs[c.name];
        std::string results = root + "/results/" + c.name;
        std::string status = ReadFile(results + ".status");
        run.ran = !status.empty();
        if (run.ran) run.exitStatus = std::stoi(status);
        run.out = ReadFile(results + ".out");
        run.err = ReadFile(results + ".err");
        if (fs::is_directory(root + "/cases/" + c.name))
            run.files = FolderContents(root + "/cases/" + c.name);
    }
    return runs;
}

std::string Tail(const std::string& text, size_t lines) {
    size_t at = text.size();
    while (lines-- > 0 && at > 0) {
        at = text.rfind('\n', at - 1);
        if (at == std::string::npos) return text;
    }
    return text.substr(at);
}

}  // namespace

bool WriteCases(const std::vector<MachineCase>& cases, const std::string& work, std::string* why) {
    for (const MachineCase& c : cases) {
        std::string folder = work + "/cases/" + c.name;
        std::error_code error;
        fs::create_directories(folder, error);
        if (error || !c.files || !c.files(folder)) {
            *why = "the files of case " + c.name + " could not be written";
            return false;
        }
    }
    return true;
}

std::map<std::string, CaseRun> RunCasesNatively(const std::vector<MachineCase>& cases,
                                                const std::string& work, const std::string& tool) {
    std::string script = "mkdir -p results\n";
    for (const MachineCase& c : cases) script += RunLine(c, ShellQuote(tool));
    WriteFile(work + "/run.sh", script);
    RunCommand("cd " + ShellQuote(work) + " && sh ./run.sh", nullptr);
    return ReadCaseRuns(cases, work);
}

MachineRun RunCasesInMachine(const std::vector<MachineCase>& cases, const std::string& work,
                             const std::string& win32Build, const std::string& machineDir,
                             int seconds) {
    MachineRun run;
    if (!fs::exists(machineDir + "/ready")) {
        run.why = "the machine in " + machineDir +
                  " is not built (test win.i386vm_machine builds it; see its output)";
        return run;
    }
    std::error_code error;
    fs::copy_file(win32Build + "/LumarestTC.exe", work + "/LumarestTC.exe",
                  fs::copy_options::overwrite_existing, error);
    std::set<std::string> standins;
    for (const MachineCase& c : cases) standins.insert(c.standin);
    for (const std::string& standin : standins) {
        if (error) break;
        fs::create_directories(work + "/" + standin, error);
        fs::copy_file(win32Build + "/tests/win/" + standin + "/QuickTime.qts",
                      work + "/" + standin + "/QuickTime.qts",
                      fs::copy_options::overwrite_existing, error);
    }
    if (error || !WriteFile(work + "/run.sh", GuestScript(cases))) {
        run.why = "the payload could not be made from " + win32Build + ": " + error.message();
        return run;
    }
    std::string boot = work + ".boot";
    bool booted = RunCommand(ShellQuote(LUMAREST_VM_BOOT) + " " + ShellQuote(machineDir) + " " +
                                 ShellQuote(work) + " " + ShellQuote(boot) + " " +
                                 std::to_string(seconds) + " 2>&1",
                             &run.log);
    run.console = ReadFile(boot + "/console.log");
    if (!booted) {
        run.why = run.log + "\nconsole (end):" + Tail(run.console, 40);
        return run;
    }
    run.booted = true;
    run.cases = ReadCaseRuns(cases, boot + "/payload");
    return run;
}

std::map<std::string, std::string> FolderContents(const std::string& folder) {
    std::map<std::string, std::string> contents;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        std::string relative = fs::relative(entry.path(), folder).string();
        if (entry.is_directory())
            contents[relative + "/"] = "";
        else
            contents[relative] = ReadFile(entry.path().string());
    }
    return contents;
}

std::string WithCarriageReturns(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}
