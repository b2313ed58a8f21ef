// The timecode text of one video sample, asked of the timecode media handler.
#pragma once

#include <cstdint>
#include <string>

#include "qtbinding/toolbox.h"

// Time scales of the two media. A video time is handed to the timecode media
// in the timecode media's own units.
struct MediaTimeScales {
    TimeScale video = 0;
    TimeScale timecode = 0;
};

// The timecode media's time for a video media time: the first whole timecode
// unit at or after the sample's start, ceil(videoTime x timecode / video),
// exact for every 64-bit time; its low 32 bits are what the 32-bit request
// carries. Rounding to nearest would be wrong: a frame that starts between two
// units (25.025 k for 23.976 fps counted in 600ths) would fall back into the
// previous frame whenever the fraction is below one half. Equal scales, or a
// scale that is not positive, leave the time as it is.
TimeValue ToTimecodeMediaTime(TimeValue64 videoTime, const MediaTimeScales& scales);

// What the two requests fill, reused for every sample of the walk.
struct TimecodeScratch {
    int32_t frameNumber = 0;  // filled by the handler, never read
    TimeCodeDef definition{};
    TimeCodeRecord record{};
    Str255 counted{};
    char plain[256] = {};
};

// The handler's text for a record under its definition, trimmed of " \r\n"
// at both ends, into text. False, with text not to be used, when the handler
// refuses.
bool TimecodeRecordText(MediaHandler timecodeHandler, TimeCodeDef* definition, TimeCodeRecord* record,
                        TimecodeScratch& scratch, std::string& text);

// Asks the handler for the timecode at sampleTime and formats it. On success
// timecodeText holds the text trimmed of " \r\n" at both ends and the result
// is true. On failure one message naming frameIndex and the low 32 bits of
// sampleTime is printed and timecodeText is not to be used.
bool GetTimecodeText(MediaHandler timecodeHandler, const MediaTimeScales& scales,
                     TimeValue64 sampleTime, int32_t frameIndex, TimecodeScratch& scratch,
                     std::string& timecodeText);
