// The end-to-end table of the Windows executables: each case puts movies and
// folders into a folder, runs the tool there with its arguments, and the
// Windows exe must leave the same files, print the same messages (CR LF on
// the Windows console) and end with the same exit status as the native tool
// in a copy of that folder. Paths typed differently on Windows (backslashes,
// drive letters, UNC, the ANSI code page) come with the text that the Windows
// exe writes for the native tool's.
//
// The Wine test (wine_end_to_end_test.cpp) runs it; any other runner of a
// Windows exe makes the same folders with MaterialiseCase, runs both tools and
// judges with CompareCaseRuns. Nothing here needs GoogleTest.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "tests/fixture/ffmpeg_movie.h"
#include "tests/fixture/fixture_writer.h"

// One thing a case puts into its folder.
struct CaseEntry {
    enum Kind {
        Fixture,           // the fixture movie, its gap before the timecode data left sparse
        CompressedHeader,  // the fixture movie with its moov compressed (cmov)
        Ffmpeg,            // a movie that ffmpeg makes
        Bytes,             // a file of the given bytes
        Folder,            // an empty folder
    };
    Kind kind = Fixture;
    std::string path;  // relative to the case folder, '/' between names
    FixtureMovie fixture;
    FfmpegMovieSpec ffmpeg;
    std::string bytes;
};

// A case folder as each side names it. Arguments and text pairs use these as
// placeholders: {dir} (native path), {win} ("Z:\..."), {rooted} ("\...", the
// same on the current drive), {unc} ("\\server\share").
struct CaseFolder {
    std::string native;
    std::string win;
    std::string rooted;
    std::string unc;
};

struct EndToEndCase {
    std::string name;  // letters, digits and '_'
    std::vector<CaseEntry> entries;
    std::string runIn;                     // where both run, relative to the case folder
    std::vector<std::string> args;         // as the native tool is given them
    std::vector<std::string> windowsArgs;  // as the Windows exe is given them, when they differ
    std::vector<std::string> env;          // "NAME=value" settings for both runs
    // Native text and the Windows exe's text for it, replaced in this order in
    // the native standard output and files to give the Windows expectation.
    std::vector<std::pair<std::string, std::string>> windowsText;
    // What the native run must show, so that a case cannot quietly test less
    // than it says: exit status, start of standard output, files it adds.
    int nativeExit = 0;
    std::string nativeOutStart;
    size_t nativeNewFiles = 4;
    // Windows-only behaviour (a name the ANSI code page cannot hold): the
    // native tool is not run; the Windows exe must print windowsOut (LF form),
    // end with -1 and add nothing.
    bool windowsOnly = false;
    std::string windowsOut;
    std::string windowsJsonMovies;  // when set: each JSON line's "movie" as Python's json reads it, a line each
    // The QuickTime exes refuse what QuickTime cannot serve (--srt): they must
    // print quickTimeOut (LF form), end with -1 and add nothing.
    std::string quickTimeOut;
};

// What one run left: standard output, exit status (0..255) and the folder.
struct CaseRun {
    std::string out;
    int exitStatus = -1;
    std::map<std::string, std::string> files;  // see FolderContents
};

const std::vector<EndToEndCase>& EndToEndCases();

// Makes folder (if missing) and writes the case's entries into it; false
// with the reason.
bool MaterialiseCase(const EndToEndCase& c, const std::string& folder, std::string* why);

// The arguments with the placeholders filled in.
std::vector<std::string> NativeArgs(const EndToEndCase& c, const CaseFolder& folder);
std::vector<std::string> WindowsArgs(const EndToEndCase& c, const CaseFolder& folder);

// Every file and folder under folder by relative path ('/' between names,
// folders ending in '/' with no bytes). Files above kLargestComparedFile (the
// sparse movie) are given as their size only, in LargeFileEntry's form.
std::map<std::string, std::string> FolderContents(const std::string& folder);
constexpr uintmax_t kLargestComparedFile = uintmax_t(64) << 20;
std::string LargeFileEntry(uintmax_t size);

// The differences between the Windows exe's run (quickTime: an exe over
// QuickTime.qts) and what the native run (and the case) make it, one line
// each; none when they agree. Also checks the native run against the case's
// own expectations.
std::vector<std::string> CompareCaseRuns(const EndToEndCase& c, const CaseFolder& folder,
                                         const CaseRun& native, const CaseRun& windows, bool quickTime);

// Text as the Windows console shows it: CR before every LF.
std::string WithCarriageReturns(const std::string& text);

// Start-ups of the QuickTime exe that fail once it has found a QuickTime.qts:
// the stand-in variant (its folder under tests/win of the Windows build),
// settings for the tool's process that steer it, and the tool's standard
// output (CR LF form). The exe runs on one movie, ends with -1 and writes
// nothing.
struct QuickTimeStartupFailure {
    std::string name;  // letters, digits and '_'
    std::string standin;
    std::vector<std::string> env;
    std::string out;
};
const std::vector<QuickTimeStartupFailure>& QuickTimeStartupFailures();
