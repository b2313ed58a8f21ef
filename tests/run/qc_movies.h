// Hand-built movies whose timecode faults are known, for the --qc tests, the
// page's browser tests and the README's picture of a page.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "tests/fixture/fixture_writer.h"

// 29.97 fps video of `frames` samples under a 29.97 timecode (definition
// flags, nominal frames a second) whose samples each hold (first count,
// frames it lasts), one chunk each.
FixtureMovie QcMovie(uint32_t frames, const std::vector<std::pair<uint32_t, uint32_t>>& samples, int32_t flags = 0,
                     uint8_t fps = 30);

// Moves the chunk of timecode sample `index` (track 2) to two bytes before
// the end of the file, so that its frames have no timecode.
void CutOffTimecodeSample(std::string& bytes, int index);

// Writes into the folder dir (which must exist) the movies of a delivery
// with every kind of mark the page draws:
//   a1_breaks.mov      fail: drop-frame, a jump forward at frame 600, back at 1200
//   a2_unlabelled.mov  fail: frames 900 to 1199 without timecode, the track ending at 1500
//   a3_gap.mov         pass: frame 701 three frame durations after frame 700
//   a4_dense.mov       fail: frames 6001 to 6011 each a break, within a pixel of each other
//   a5_damaged.mov     error: cut off before its movie header
//   a6_clean.mov       pass
// False when a file cannot be written.
bool WriteQcPageMovies(const std::string& dir);
