// Running the 32-bit LumarestTC.exe on a list of cases inside the emulated
// x86-64 machine with 32-bit Wine (build_machine.sh, boot.sh), all in one
// boot, and the same list on the host with the native tool.
//
// Each case has a folder of its own, work/cases/NAME, that the caller has
// filled (movies, folders). The tool runs in it (or in a folder below it)
// with the case's arguments; afterwards the case's standard output, exit
// status and the folder's whole contents are read back. In the machine the
// folder is Z:\payload\cases\NAME, and \\lumarest\share while its case runs.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "tests/win/end_to_end_cases.h"

// Where the 32-bit exe is to find the case's QuickTime.qts in the machine.
enum class QuickTimePlace {
    Registry32,    // QTSysDir in the 32-bit registry view (Wow6432Node) names the stand-in's folder
    Registry64,    // the same value in the 64-bit view only, which a 32-bit process does not read
    SystemFolder,  // the stand-in in C:\windows\syswow64, the 32-bit system folder; no registry key
    Nowhere,       // no registry key and no QuickTime.qts in the system folder
};

struct MachineCase {
    std::string name;               // its folder's name: letters, digits, '-' and '_'
    std::string runIn;              // where the tool runs, relative to the case's folder
    std::vector<std::string> args;  // the tool's arguments
    std::string standin = "standin";  // stand-in variant: its folder under tests/win of the 32-bit build
    QuickTimePlace place = QuickTimePlace::Registry32;
    std::vector<std::string> env;     // "NAME=value" settings for the tool's process
};

struct MachineRun {
    bool booted = false;
    std::string why;      // when it did not boot or run: what went wrong
    std::string log;      // boot.sh's report (accelerator, seconds the machine ran)
    std::string console;  // the machine's serial console
    std::map<std::string, CaseRun> cases;      // by case name; exit status -1 when it did not run
    std::map<std::string, std::string> errors;  // standard error by case name (Wine's complaints)
};

// Runs each case with `tool` on the host.
std::map<std::string, CaseRun> RunCasesNatively(const std::vector<MachineCase>& cases,
                                                const std::string& work, const std::string& tool);

// Runs each case with the 32-bit exe of `win32Build` in the machine of
// `machineDir`, in one boot of at most `seconds`. The boot's files are kept
// in work.boot.
MachineRun RunCasesInMachine(const std::vector<MachineCase>& cases, const std::string& work,
                             const std::string& win32Build, const std::string& machineDir,
                             int seconds);
