// The timecode media handler's timecode-at-time request: the timecode sample
// covering the time (the last sample when the time lies past the end) gives
// the frame count of its first frame; frames elapsed since the sample's start
// are counted on.
#pragma once

#include <cstdint>

#include "movie/movie_file.h"
#include "movie/movie_model.h"
#include "mxf/mxf_body.h"
#include "qtbinding/toolbox.h"

// What the handler keeps between requests, so that a walk frame after frame
// searches the tables and reads the file once per timecode sample, and steps
// each label on from the one before.
struct TimecodeSampleCache {
    // The timecode sample in force over [spanStart, spanEnd), with its value,
    // its definition and the definition's divisor (media time scale x frame
    // duration). Only a sample whose value and definition were both had is kept.
    bool sampleKnown = false;
    int64_t spanStart = 0;
    int64_t spanEnd = 0;
    uint32_t value = 0;
    TimeCodeDef definition{};
    int64_t divisor = 0;

    // The last answer under that sample: its frame count and record.
    bool answered = false;
    int64_t count = 0;
    TimeCodeRecord record{};

    MxfBodyCursor body;  // where the walk of an MXF body for system items stands
};

// Fills def, rec and *frameNum (each may be null) for media time `time`.
// Returns noErr or a non-zero status: invalidTime (negative time, or a
// timecode the record cannot hold), timeNotInMedia (no timecode sample),
// invalidMedia (time scale not positive), invalidSampleDescription,
// invalidSampleTable (sample not located, smaller than 4 bytes or outside
// the file), ioErr (the read failed).
// mxf: the MXF file's model, for a media of system items; else null.
ComponentResult TimecodeAtTime(MovieFile* file, const MediaModel& media, const MxfModel* mxf,
                               TimecodeSampleCache* cache, int32_t time, int32_t* frameNum, TimeCodeDef* def,
                               TimeCodeRecord* rec);
