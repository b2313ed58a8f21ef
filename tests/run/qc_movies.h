// Hand-built movies whose timecode faults are known, for the --qc tests and
// the README's picture of a page.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "tests/fixture/fixture_writer.h"

// 29.97 fps video of `frames` samples under a 29.97 timecode whose samples
// each hold (first count, frames it lasts), a chunk each.
FixtureMovie QcMovie(uint32_t frames, const std::vector<std::pair<uint32_t, uint32_t>>& samples, int32_t flags = 0,
                     uint8_t fps = 30);

// Moves timecode sample `index`'s chunk to two bytes before the end of the
// file, so that its frames have no timecode.
void CutOffTimecodeSample(std::string& bytes, int index);

// Writes into dir: a1_breaks.mov (breaks at 600 and 1200), a2_unlabelled.mov
// (900 to 1199 without timecode, which ends at 1500), a3_gap.mov (a gap at
// 701), a4_dense.mov (breaks at 6001 to 6011), a5_damaged.mov, a6_clean.mov.
bool WriteQcPageMovies(const std::string& dir);
