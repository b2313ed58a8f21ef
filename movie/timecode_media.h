// The timecode in force at a time of a timecode media: the timecode sample
// covering the time (the last sample when the time lies past the end) gives
// the frame count of its first frame; frames elapsed since the sample's start
// are counted on.
#pragma once

#include <cstdint>

#include "movie/movie_file.h"
#include "movie/movie_model.h"
#include "qtbinding/toolbox.h"

// The value of the last timecode sample read, so that a walk over one sample
// reads the file once.
struct TimecodeSampleCache {
    bool valid = false;
    uint64_t sample = 0;
    uint32_t value = 0;
};

// Fills def, rec and *frameNum (each may be null) for media time `time`.
// Returns noErr or a non-zero status: invalidTime (negative time, or a
// timecode the record cannot hold), timeNotInMedia (no timecode sample),
// invalidMedia (time scale not positive), invalidSampleDescription,
// invalidSampleTable (sample not located, smaller than 4 bytes or outside
// the file), ioErr (the read failed).
ComponentResult TimecodeAtTime(MovieFile* file, const MediaModel& media, TimecodeSampleCache* cache,
                               int32_t time, int32_t* frameNum, TimeCodeDef* def, TimeCodeRecord* rec);
