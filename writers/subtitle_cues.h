// The SubRip file: one cue per video sample whose timecode was had, carrying
// the same text as the timecode list, for players, NLEs and ffmpeg's
// subtitles filter.
#pragma once

#include <cstdint>
#include <string>

#include "writers/output_files.h"

// One cue: "<number>\n<start> --> <end>\n<text>\n\n", times in SubRip's
// "HH:MM:SS,mmm" (hours with more digits past 99), from microseconds, cut to
// the millisecond.
void WriteSubtitleCue(OutputStream& stream, uint32_t number, int64_t start, int64_t end,
                      const std::string& text);
