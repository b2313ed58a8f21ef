// The walk over every video sample: number it, get its timecode, write its lines.
#pragma once

#include <string>

#include "extract/timecode_text.h"
#include "qtbinding/toolbox.h"
#include "writers/data_files.h"
#include "writers/output_files.h"

enum class WalkResult {
    Finished,  // reached the end of the media (also: a media without samples)
    Stopped,   // an output file failed to open; its message is printed
};

// With --srt: where the cue file goes, and when the video's first frame is
// shown (see cue_times.h).
struct SubtitleCueRequest {
    std::string path;
    TrackPresentationOffset offset;
};

// One pass in ascending media time. The data files (and with cues the cue
// file, after them) are opened only once a first sample exists; a sample
// whose timecode cannot be had is reported, written nowhere, and still uses
// up its frame index.
WalkResult WalkSamples(Media videoMedia, MediaHandler timecodeHandler, const MediaTimeScales& scales,
                       OutputFiles& files, const std::string& timecodeListPath,
                       const std::string& subtitleTextPath, const std::string& subtitleRangePath,
                       const SubtitleCueRequest* cues);
