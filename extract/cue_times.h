// When each video frame is on screen, for the SubRip cues: the k-th frame
// that a player built on ffmpeg shows is taken to be sample k, at sample k's
// decode time less sample 0's plus one offset for the whole movie (see
// TrackPresentationOffset). Cue k runs from the midpoint between frames k-1
// and k to the midpoint between frames k and k+1, so that every frame lies
// well inside its own cue; the first cue starts at 0, the last ends half its
// frame's duration after its frame. Times are microseconds.
#pragma once

#include <cstdint>

#include "qtbinding/toolbox.h"

struct CueTimes {
    TimeValue64 firstSampleTime = 0;  // decode time of sample 0
    TimeScale videoScale = 0;
    TimeValue64 compositionStart = 0;  // video media units
    int64_t emptyEdits = 0;
    int64_t start = 0;  // where the current sample's cue begins
    int64_t shown = 0;  // when the current sample's frame is shown
};

// The cue times of a walk whose first sample starts at firstSampleTime.
CueTimes StartCueTimes(const TrackPresentationOffset& offset, TimeScale videoScale, TimeValue64 firstSampleTime);

// The current sample's cue, [*start, *end), given nextTime: the next sample's
// decode time or, after the last sample, the end of the last one. Then moves
// on to the next sample, whose cue starts at *end.
void NextCue(CueTimes& cues, TimeValue64 nextTime, int64_t* start, int64_t* end);

// The end of a sample: its time plus its duration, held below 2^63.
TimeValue64 SampleEnd(TimeValue64 time, TimeValue64 duration);
