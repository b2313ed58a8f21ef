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

constexpr Fixed kNormalRate = 0x10000;  // 1.0: the search looks forward

// The walk's steps, in ascending media time, shared by every walk of the
// video. The first sample: false when the media has none. The edge flag
// makes a sample that starts exactly at 0 the first answer.
inline bool FirstSample(Media media, TimeValue64* time, TimeValue64* duration) {
    *time = 0;
    *duration = 0;
    GetMediaNextInterestingDecodeTime(media, nextTimeMediaSample | nextTimeEdgeOK, 0, kNormalRate, time, duration);
    return *time >= 0;
}

// The sample after the one at *time, whose time and duration replace *time
// and *duration; false at the end. The search answers a time strictly after
// the one asked about; an answer that does not move forward would repeat the
// walk forever, so it ends the walk too.
inline bool NextSample(Media media, TimeValue64* time, TimeValue64* duration) {
    const TimeValue64 previous = *time;
    GetMediaNextInterestingDecodeTime(media, nextTimeMediaSample, previous, kNormalRate, time, duration);
    return *time >= 0 && *time > previous;
}

// One pass in ascending media time. The data files (and with cues the cue
// file, after them) are opened only once a first sample exists; a sample
// whose timecode cannot be had is reported, written nowhere, and still uses
// up its frame index.
WalkResult WalkSamples(Media videoMedia, MediaHandler timecodeHandler, const MediaTimeScales& scales,
                       OutputFiles& files, const std::string& timecodeListPath,
                       const std::string& subtitleTextPath, const std::string& subtitleRangePath,
                       const SubtitleCueRequest* cues);
