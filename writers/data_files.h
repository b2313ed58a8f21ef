// The three data files: the timecode list, the AviSynth variable definitions
// and the ConditionalReader range data.
#pragma once

#include <cstdint>
#include <string>

#include "writers/output_files.h"

// Opens the list, text and range files, and the cue file when its path is
// given, in that order with mode "wb", then gives the range file its header
// "Type int\nDefault 0\n\n". On a failed open it prints the message naming
// that file's path and returns false; the files opened before it stay open
// (and empty) for CloseOutputFiles.
bool OpenDataFiles(OutputFiles& files, const std::string& timecodeListPath, const std::string& subtitleTextPath,
                   const std::string& subtitleRangePath, const std::string* subtitleCuesPath);

// One sample's lines: "%s\n" to the list, "n%d=\"%s\"\n" to the text file and,
// from frame index 1 on, "%d %d\n" to the range file (frame 0 takes the range
// file's default, 0).
void WriteSampleLines(OutputFiles& files, int32_t frameIndex, const std::string& timecodeText);
