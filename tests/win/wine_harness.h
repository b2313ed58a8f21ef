// Running Windows programs of the x86-64 build under wine64 for the tests:
// one Wine prefix per test run (made by the CTest fixture), registry values
// set with `wine reg`, standard output and exit status captured.
#pragma once

#include <string>
#include <vector>

struct WineResult {
    std::string out;  // standard output, byte for byte
    int exitStatus = -1;
};

// False (with the reason) when wine64, the prefix or the x86-64 build is missing.
bool WineAvailable(std::string* why);

// A file of the x86-64 build folder, e.g. "tests/win/binding_probe.exe".
std::string Win64Path(const std::string& relative);
// The Wine prefix's C: drive, as a host path.
std::string WineDriveC();
// A host path as Windows sees it under Wine: "Z:" and backslashes.
std::string WindowsPath(const std::string& hostPath);

// A UNC name for a host folder, "\\\\server\\share", that the prefix serves
// until the next call.
std::string WineUncFolder(const std::string& hostFolder);

// Runs `program` (a host path) with arguments in `folder`, with extra
// environment settings "NAME=value".
WineResult RunWine(const std::string& program, const std::vector<std::string>& args,
                   const std::string& folder = ".", const std::vector<std::string>& env = {});

// The QuickTime registry key: removed whole, and one string value added.
void ClearQuickTimeRegistry();
void SetQuickTimeRegistryValue(const std::string& name, const std::string& data);
// A binary value (`hex`: two hex digits a byte), for data without a terminator.
void SetQuickTimeRegistryBinary(const std::string& name, const std::string& hex);

// Runs a host shell command; its standard output and exit status.
WineResult RunHost(const std::string& command);
std::string Quote(const std::string& text);
