// The timecode in force at a time of a timecode media: the timecode sample
// covering the time (the last sample when the time lies past the end) gives
// the frame count of its first frame; frames elapsed since the sample's start
// are counted on.
#pragma once

#include <cstdint>

#include "movie/movie_file.h"
#include "movie/movie_model.h"
#include "qtbinding/toolbox.h"

// What the last request learnt, so that a walk that asks for one frame after
// another searches the sample table and reads the file once per timecode
// sample, parses the definition once, and mostly just counts on instead of
// dividing.
struct TimecodeSampleCache {
    bool spanKnown = false;      // the sample in force over [spanStart, spanEnd)
    uint64_t spanSample = 0;
    int64_t spanStart = 0;
    int64_t spanEnd = 0;

    uint32_t elapsedIndex = 0;   // description of the last elapsed-time conversion; 0: none
    int64_t elapsed = 0;         // elapsed x definition scale = frames x divisor + remainder
    int64_t frames = 0;
    int64_t remainder = 0;

    bool valid = false;          // sample, value and description below
    uint64_t sample = 0;
    uint32_t value = 0;
    uint32_t description = 0;    // 1-based sample description index of the sample

    uint32_t definitionIndex = 0;  // description that `definition` was read from; 0: none
    TimeCodeDef definition{};

    bool answered = false;       // count and record of the last successful answer
    uint32_t answerIndex = 0;    // under the definition of this description
    int64_t count = 0;
    TimeCodeRecord record{};

    // Set by a successful answer, whose sample, definition and elapsed-time
    // figures above are then all that answer's: the next request may be
    // answered from these figures alone when StepRecord can step on from
    // it. Cleared by every request that takes the full path.
    bool stepReady = false;
    int64_t divisor = 0;         // media time scale x frame duration
    int64_t stepEnd = 0;         // StepCountEnd of the definition
};

// Fills def, rec and *frameNum (each may be null) for media time `time`.
// Returns noErr or a non-zero status: invalidTime (negative time, or a
// timecode the record cannot hold), timeNotInMedia (no timecode sample),
// invalidMedia (time scale not positive), invalidSampleDescription,
// invalidSampleTable (sample not located, smaller than 4 bytes or outside
// the file), ioErr (the read failed).
ComponentResult TimecodeAtTime(MovieFile* file, const MediaModel& media, TimecodeSampleCache* cache,
                               int32_t time, int32_t* frameNum, TimeCodeDef* def, TimeCodeRecord* rec);
