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
// standard output, standard error and exit status in $results.
std::string RunLine(const MachineCase& c, const std::string& program) {
    std::string folder = "cases/" + c.name + (c.runIn.empty() ? "" : "/" + c.runIn);
    std::string results = "\"$results/" + c.name;
    std::string line = "(cd " + ShellQuote(folder) + " && env";
    for (const std::string& setting : c.env) line += " " + ShellQuote(setting);
    line += " " + program;
    for (const std::string& arg : c.args) line += " " + ShellQuote(arg);
    line += " >" + results + ".out\" 2>" + results + ".err\"; echo $? >" + results + ".status\")\n";
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
// one persistent wineserver for all runs, the exe run by Wine's 32-bit loader
// with the code page of the host's Wine tests (1252, from LC_ALL=C.UTF-8).
// The stand-in is placed anew only when a case wants it elsewhere than the
// case before. Files above kLargestComparedFile (sparse movies, which would
// come back whole) are listed by size and left in the machine.
const char kGuestScriptHead[] = R"(# Runs each case with Wine's 32-bit loader in the case's folder.
export WINEPREFIX=/root/.wine WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=' LC_ALL=C.UTF-8
wine=/usr/lib/wine/wine
key='HKLM\Software\Apple Computer, Inc.\QuickTime'
system=$WINEPREFIX/drive_c/windows/syswow64
share=$WINEPREFIX/dosdevices/unc/lumarest/share
results=$PWD/results
seconds_up() { cut -d' ' -f1 /proc/uptime; }
echo "run.sh: cases start at $(seconds_up) s"
/usr/lib/wine/wineserver -p
mkdir -p "$results" "${share%/*}"
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
        script += "ln -sfn " + ShellQuote("/payload/cases/" + c.name) + " \"$share\"\n";
        script += RunLine(c, "\"$wine\" /payload/LumarestTC.exe");
    }
    const std::string large = "-type f -size +" + std::to_string(kLargestComparedFile / 1024) + "k";
    script += "/usr/lib/wine/wineserver -k\n"
              "find cases " + large + " -printf '%s %p\\n' >\"$results/large-files\"\n"
              "find cases " + large + " -delete\n"
              "echo \"run.sh: cases end at $(seconds_up) s\"\n";
    return script;
}

// Each case's run as left under root; standard error into `errors` when given.
std::map<std::string, CaseRun> ReadCaseRuns(const std::vector<MachineCase>& cases,
                                            const std::string& root,
                                            std::map<std::string, std::string>* errors) {
    std::map<std::string, CaseRun> runs;
    for (const MachineCase& c : cases) {
        CaseRun& run = runs[c.name];
        std::string results = root + "/results/" + c.name;
        std::string status = ReadFile(results + ".status");
        if (!status.empty()) run.exitStatus = std::stoi(status);
        run.out = ReadFile(results + ".out");
        if (errors) (*errors)[c.name] = ReadFile(results + ".err");
        if (fs::is_directory(root + "/cases/" + c.name))
            run.files = FolderContents(root + "/cases/" + c.name);
    }
    // "SIZE cases/NAME/PATH" for each file left behind for its size.
    std::istringstream large(ReadFile(root + "/results/large-files"));
    uintmax_t size;
    std::string path;
    while (large >> size && std::getline(large >> std::ws, path)) {
        size_t name = path.find('/') + 1, rest = path.find('/', name);
        if (name == 0 || rest == std::string::npos) continue;
        auto run = runs.find(path.substr(name, rest - name));
        if (run != runs.end()) run->second.files[path.substr(rest + 1)] = LargeFileEntry(size);
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

std::map<std::string, CaseRun> RunCasesNatively(const std::vector<MachineCase>& cases,
                                                const std::string& work, const std::string& tool) {
    std::string script = "results=$PWD/results\nmkdir -p \"$results\"\n";
    for (const MachineCase& c : cases) script += RunLine(c, ShellQuote(tool));
    WriteFile(work + "/run.sh", script);
    RunCommand("cd " + ShellQuote(work) + " && sh ./run.sh", nullptr);
    return ReadCaseRuns(cases, work, nullptr);
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
    run.cases = ReadCaseRuns(cases, boot + "/payload", &run.errors);
    return run;
}
