// Helpers for tests that drive the Toolbox through qtbinding/toolbox.h alone,
// making the calls in the same order and with the same arguments as the tool.
#pragma once

#include "qtbinding/toolbox.h"

#include <cstdint>
#include <string>
#include <vector>

// QTML and the Movie Toolbox started for the length of a test; the last
// TerminateQTML releases everything.
struct QtSession {
    OSErr initErr = 0;
    OSErr enterErr = 0;
    QtSession();
    ~QtSession();
    QtSession(const QtSession&) = delete;
    QtSession& operator=(const QtSession&) = delete;
};

// FSMakeFSSpec, OpenMovieFile (permission 1), NewMovieFromFile (flags 1).
// Returns the first non-zero status; *openErr gets OpenMovieFile's.
OSErr OpenMoviePath(const std::string& path, Movie* movie, OSErr* openErr = nullptr);

// The n-th (1-based) media of the given type in track order, or null.
Media NthMediaOfType(Movie movie, OSType type, int n = 1);

// Sample start times by the tool's walk: first 0x4010 from 0, then 0x0010
// from the previous answer, until a negative answer or `limit` samples.
std::vector<TimeValue64> WalkSampleTimes(Media media, size_t limit = SIZE_MAX);

// One next-interesting-time answer.
TimeValue64 NextSampleTime(Media media, int16_t flags, TimeValue64 from);

// TCGetTimeCodeAtTime, TCTimeCodeToString and p2cstrcpy, as the tool makes
// them. Returns the text; *result gets the first non-zero result (or 0).
std::string TimecodeTextAt(MediaHandler handler, TimeValue time, ComponentResult* result);

// The tool's time conversion: ceil(t x tcScale / videoScale), the first
// timecode unit at or after the sample's start, when the scales differ and
// both are positive; else t unchanged. (Rounding to nearest would put a frame
// that starts between two units back into the previous frame.)
TimeValue64 ToTimecodeTime(TimeValue64 t, TimeScale videoScale, TimeScale tcScale);

struct WalkedMovie {
    OSErr status = 0;                     // first failing open status
    std::vector<TimeValue64> times;       // video sample times
    std::vector<std::string> timecodes;   // text per sample ("" where a request failed)
    std::vector<ComponentResult> results; // request result per sample
    int16_t width = 0, height = 0;        // from the first video description
};

// Opens the movie and walks every video sample through the timecode track as
// the tool does (within an already started session).
WalkedMovie WalkMovie(const std::string& path, size_t limit = SIZE_MAX);

// A fresh temporary folder for the test, removed with its content at the end.
struct TestFolder {
    std::string path;
    TestFolder();
    ~TestFolder();
    std::string File(const std::string& name) const { return path + "/" + name; }
};
