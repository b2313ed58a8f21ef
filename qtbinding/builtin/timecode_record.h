// Timecode arithmetic of the built-in timecode handler: frame counts to
// timecode records and records to text, under a timecode definition (drop
// frame, 24-hour wrap, negative times, counter mode).
#pragma once

#include <cstdint>
#include <string>

#include "qtbinding/timecode_def.h"
#include "qtbinding/toolbox.h"

// Reads the definition from a 'tmcd' sample description entry: flags at byte
// 20, time scale at 24, frame duration at 28, frames per second (8-bit) at 32.
// Returns noErr or invalidSampleDescription (short entry, not 'tmcd', or a
// time scale, frame duration or frame count that is not positive).
ComponentResult ReadTimecodeDefinition(const std::string& entry, TimeCodeDef* def);

// count wrapped into one day (0 up to a day's frames) when the timecode
// wraps at 24 hours and is no counter; count itself otherwise. The record
// of either is the same.
int64_t CountWithinDay(const TimeCodeDef& def, int64_t count);

// The record of a frame count: in counter mode count / numFrames (count must
// be >= 0), otherwise hours, minutes, seconds and frames, with drop-frame
// numbering, wrapped at 24 hours or marked negative as the flags say. *shown
// receives the frame count that the record stands for. Returns noErr,
// invalidTime (a negative count without tcNegTimesOK, hours above 255, a
// counter above 2^31 - 1) or invalidSampleDescription (numFrames 0).
ComponentResult FrameCountToRecord(const TimeCodeDef& def, int64_t count, TimeCodeRecord* rec,
                                   int32_t* shown);

// The frame count that shows hours:minutes:seconds:frames under the
// definition, counted as FrameCountToRecord counts (drop-frame numbering
// where it applies). invalidTime for a label the definition never shows:
// hours from 24, minutes or seconds from 60, frames at or past the count,
// a label that drop frame skips; invalidSampleDescription for counter mode.
ComponentResult LabelToFrameCount(const TimeCodeDef& def, int hours, int minutes, int seconds, int frames,
                                  int64_t* count);

// The record of `count` made from `previous`, the record of `previousCount`
// (both already within their day, see CountWithinDay), when count is the next
// frame within the same second: only the frames field moves, with no
// division. False, with nothing written, for every other step (a carry into
// the seconds, a negative count, counter mode); FrameCountToRecord then makes
// the record.
bool StepRecord(const TimeCodeDef& def, int64_t count, int64_t previousCount, const TimeCodeRecord& previous,
                TimeCodeRecord* rec, int32_t* shown);

// "HH:MM:SS:FF", "HH:MM:SS;FF" for drop frame, a leading '-' when negative,
// or the decimal counter, as a counted string in a 256-byte buffer.
ComponentResult RecordToString(const TimeCodeDef& def, const TimeCodeRecord& rec, unsigned char* str);
