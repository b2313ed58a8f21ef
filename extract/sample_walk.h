// The walk over every video sample: number it, get its timecode, write its lines.
#pragma once

#include <string>

#include "extract/timecode_text.h"
#include "qtbinding/toolbox.h"
#include "writers/data_files.h"
#include "writers/output_files.h"

enum class WalkResult {
    Finished,  // reached the end of the media (also: a media without samples)
    Stopped,   // a data file failed to open; its message is printed
};

// One pass in ascending media time. The data files are opened only once a
// first sample exists; a sample whose timecode cannot be had is reported,
// written nowhere, and still uses up its frame index.
WalkResult WalkSamples(Media videoMedia, MediaHandler timecodeHandler, const MediaTimeScales& scales,
                       OutputFiles& files, const std::string& timecodeListPath,
                       const std::string& subtitleTextPath, const std::string& subtitleRangePath);
