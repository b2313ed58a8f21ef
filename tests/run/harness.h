// Running the real LumarestTC binary in a folder of its own and reading what
// it left there.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/fixture/fixture_writer.h"

struct ToolRun {
    int exitStatus = -1;  // 0..255; the tool's -1 arrives as 255
    std::string output;   // standard output, byte for byte
};

// Runs the binary with args from the folder dir; standard error is left
// alone, or kept in *errors when errors is given.
ToolRun RunTool(const std::string& dir, const std::vector<std::string>& args, std::string* errors = nullptr);

std::string ReadBytes(const std::string& path);
bool FileExists(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);
// Names of the entries of dir (not recursive), sorted.
std::vector<std::string> ListFolder(const std::string& dir);

// The suffixes of the four output files, in closing order.
extern const char* const kListSuffix;
extern const char* const kTextSuffix;
extern const char* const kRangeSuffix;
extern const char* const kScriptSuffix;

// A fresh empty folder per test, removed afterwards.
class RunTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    std::string Path(const std::string& name) const { return dir_ + "/" + name; }
    ToolRun Run(const std::vector<std::string>& args, std::string* errors = nullptr) const {
        return RunTool(dir_, args, errors);
    }
    // Writes the movie described by movie to dir/name.
    void WriteMovie(const std::string& name, const FixtureMovie& movie) const;
    std::string dir_;
};

// Timecode text of frame n for a plain (non-drop) count at fps from frame 0,
// "HH:MM:SS:FF" with 24-hour wrap: the expected values of fixture movies.
std::string NonDropTimecode(int64_t frame, int fps);

// The expected data files for a list of (frame index, text) samples.
std::string ExpectedList(const std::vector<std::pair<int, std::string>>& samples);
std::string ExpectedText(const std::vector<std::pair<int, std::string>>& samples);
std::string ExpectedRange(const std::vector<std::pair<int, std::string>>& samples);

// The script's six lines for the given paths and shadow position, written out
// literally here so that the test does not borrow the writer's format.
std::string ExpectedScript(const std::string& movie, const std::string& text, const std::string& range,
                           int x, int y);
