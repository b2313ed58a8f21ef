// What a timecode definition means for its frame counts, shared by the
// built-in timecode handler and the run's timecode checks.
#pragma once

#include <cstdint>

#include "qtbinding/toolbox.h"

// True when the definition's drop-frame flag takes effect: only for frame
// counts per second that are multiples of 30 (drop frame skips
// numFrames / 15 labels a minute, nine minutes in ten).
inline bool DropFrameApplies(const TimeCodeDef& def) {
    return (def.flags & tcDropFrame) && def.numFrames % 30 == 0;
}

// The frame counts of one day, after which a 24-hour timecode starts again
// at 00:00:00:00; 0 without a frame count.
inline int64_t FramesPerDay(const TimeCodeDef& def) {
    const int64_t fps = def.numFrames;
    if (DropFrameApplies(def)) return 144 * (fps * 600 - 9 * (fps / 15));
    return fps * 86400;
}
