#include "tests/win/wine_harness.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

namespace {

const char kWine[] = "/usr/lib/wine/wine64";
const char kQuickTimeKey[] = "HKLM\\Software\\Apple Computer, Inc.\\QuickTime";

// A UTF-8 locale, so that Wine reads the arguments' bytes as UTF-8 and hands
// the program their ANSI code page (1252) form.
std::string WineEnvironment() {
    return "WINEPREFIX=" + Quote(LUMAREST_WINEPREFIX) +
           " WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=' LC_ALL=C.UTF-8";
}

void RunRegistryCommand(const std::string& args) {
    RunHost("env " + WineEnvironment() + " " + kWine + " reg " + args + " >/dev/null 2>&1");
}

}  // namespace

std::string Quote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

WineResult RunHost(const std::string& command) {
    WineResult result;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return result;
    char chunk[4096];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, pipe)) > 0) result.out.append(chunk, n);
    int status = pclose(pipe);
    result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

bool WineAvailable(std::string* why) {
    struct stat info;
    if (access(kWine, X_OK) != 0) {
        *why = "wine64 is not installed";
        return false;
    }
    if (stat((std::string(LUMAREST_WINEPREFIX) + "/system.reg").c_str(), &info) != 0) {
        *why = "no Wine prefix at " LUMAREST_WINEPREFIX;
        return false;
    }
    for (const char* file : {"tests/win/binding_probe.exe", "tests/win/standin/QuickTime.qts"}) {
        if (stat(Win64Path(file).c_str(), &info) != 0) {
            *why = std::string(file) + " is missing from the x86-64 build " LUMAREST_WIN64_DIR;
            return false;
        }
    }
    return true;
}

std::string Win64Path(const std::string& relative) {
    return std::string(LUMAREST_WIN64_DIR) + "/" + relative;
}

std::string WineDriveC() { return std::string(LUMAREST_WINEPREFIX) + "/drive_c"; }

std::string WindowsPath(const std::string& hostPath) {
    std::string path = "Z:" + hostPath;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

std::string WineUncFolder(const std::string& hostFolder) {
    // Wine serves \\server\share from the prefix's dosdevices/unc/server/share.
    const std::string server = std::string(LUMAREST_WINEPREFIX) + "/dosdevices/unc/lumarest";
    std::error_code ec;
    std::filesystem::create_directories(server, ec);
    std::filesystem::remove(server + "/share", ec);
    std::filesystem::create_directory_symlink(hostFolder, server + "/share", ec);
    return "\\\\lumarest\\share";
}

WineResult RunWine(const std::string& program, const std::vector<std::string>& args,
                   const std::string& folder, const std::vector<std::string>& env) {
    std::string command = "cd " + Quote(folder) + " && env " + WineEnvironment();
    for (const std::string& setting : env) command += " " + Quote(setting);
    command += std::string(" ") + kWine + " " + Quote(program);
    for (const std::string& arg : args) command += " " + Quote(arg);
    command += " 2>>" + Quote(std::string(LUMAREST_WINEPREFIX) + ".stderr.log");
    return RunHost(command);
}

void ClearQuickTimeRegistry() {
    RunRegistryCommand("delete " + Quote(kQuickTimeKey) + " /f");
}

void SetQuickTimeRegistryValue(const std::string& name, const std::string& data) {
    RunRegistryCommand("add " + Quote(kQuickTimeKey) + " /v " + Quote(name) + " /t REG_SZ /d " +
                       Quote(data) + " /f");
}

void SetQuickTimeRegistryBinary(const std::string& name, const std::string& hex) {
    RunRegistryCommand("add " + Quote(kQuickTimeKey) + " /v " + Quote(name) +
                       " /t REG_BINARY /d " + Quote(hex) + " /f");
}
