// Running the 32-bit LumarestTC.exe on a list of cases inside the emulated
// x86-64 machine with 32-bit Wine (build_machine.sh, boot.sh), all in one
// boot, and the same cases on the host with the native tool for comparison.
//
// A case is a folder of its own (its movies and folders, written by the
// case's `files`) in which the tool runs with the case's arguments. After the
// run, the case's standard output, exit status and the folder's whole
// contents are read back.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

// Where the 32-bit exe is to find the case's QuickTime.qts in the machine.
enum class QuickTimePlace {
    Registry32,    // QTSysDir in the 32-bit registry view (Wow6432Node) names the stand-in's folder
    Registry64,    // the same value in the 64-bit view only, which a 32-bit process does not read
    SystemFolder,  // the stand-in in C:\windows\syswow64, the 32-bit system folder; no registry key
    Nowhere,       // no registry key and no QuickTime.qts in the system folder
};

struct MachineCase {
    std::string name;               // its folder's name: letters, digits, '-' and '_'
    std::vector<std::string> args;  // the tool's arguments; it runs in the case's folder
    std::function<bool(const std::string& folder)> files;  // writes the case's files into folder
    std::string standin = "standin";  // stand-in variant: its folder under tests/win of the 32-bit build
    QuickTimePlace place = QuickTimePlace::Registry32;
    std::vector<std::string> env;     // "NAME=value" settings for the tool's process
};

struct CaseRun {
    bool ran = false;
    std::string out;      // standard output, byte for byte
    std::string err;      // standard error (Wine's and the stand-in's complaints)
    int exitStatus = -1;
    std::map<std::string, std::string> files;  // the case's folder afterwards: relative path to
                                               // bytes; folders as "path/" with no bytes
};

struct MachineRun {
    bool booted = false;
    std::string why;      // when it did not boot or run: what went wrong
    std::string log;      // boot.sh's report (accelerator, seconds the machine ran)
    std::string console;  // the machine's serial console
    std::map<std::string, CaseRun> cases;  // by case name
};

// Writes each case's files into work/cases/NAME; false (with the reason) when
// one cannot be written.
bool WriteCases(const std::vector<MachineCase>& cases, const std::string& work, std::string* why);

// Runs each case with `tool` in work/cases/NAME on the host.
std::map<std::string, CaseRun> RunCasesNatively(const std::vector<MachineCase>& cases,
                                                const std::string& work, const std::string& tool);

// Runs each case already written under work/cases with the 32-bit exe of
// `win32Build` in the machine of `machineDir`, in one boot of at most
// `seconds`. The boot's files are kept in work.boot.
MachineRun RunCasesInMachine(const std::vector<MachineCase>& cases, const std::string& work,
                             const std::string& win32Build, const std::string& machineDir,
                             int seconds);

// Every file under a folder, by relative path, with its bytes.
std::map<std::string, std::string> FolderContents(const std::string& folder);
// The text as a Windows text-mode stream writes it: each LF as CR LF.
std::string WithCarriageReturns(const std::string& text);
