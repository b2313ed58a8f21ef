// The code that the fuzz targets run on each input, shared with the plain
// replay test so that every kept input is replayed without the fuzzer
// runtime. Each function treats the bytes as hostile: it must return, within
// bounded work, whatever they hold. A broken promise of the reader (a walk
// that does not move forward, a timecode text of the wrong form) aborts, so
// that the fuzzer keeps the input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Samples walked per media before a walk is cut short. A valid movie may claim
// billions of samples in a few bytes; the fuzzer only needs the first ones.
constexpr int64_t kFuzzWalkSteps = 2048;

struct WalkSummary {
    int16_t openStatus = 0;    // OpenMovieFile
    int16_t movieStatus = 0;   // NewMovieFromFile
    int32_t tracks = 0;
    int64_t videoSamples = 0;  // walked samples of the first video media
    int64_t timecodes = 0;     // of those, samples whose timecode text was had
    std::string firstTimecode; // text of the first one
    std::string lastTimecode;
};

// Writes the bytes as a movie file (under /dev/shm when it exists) and runs
// the run's Toolbox sequence on it: start-up, file open, movie creation,
// every track's media, handler description, time scale and sample
// descriptions, then the sample walk of the first video media with the
// timecode of every sample and --qc's checks of them, a walk of every other
// media, and shut-down.
// False when the file could not be written.
bool WalkMovieBytes(const uint8_t* data, size_t size, WalkSummary* summary);

// Parses the bytes as the body of a moov atom held in memory and questions
// every track's sample tables and timecode descriptions.
void ParseMovieAtomBytes(const uint8_t* data, size_t size);

// Reads the bytes as an MXF file held in memory and walks the system items
// of its first content packages.
void ReadMxfFuzzBytes(const uint8_t* data, size_t size);

// Prints what broke and aborts.
[[noreturn]] void FuzzInvariantFailed(const char* what);
