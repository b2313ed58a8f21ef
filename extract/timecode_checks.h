// The checks of --qc, fed one video sample at a time in walk order. For
// each sample they ask the timecode handler for its frame count (the
// timecode's frames from zero, drop-frame labels skipped) and note what does
// not follow on from the frame before; labels are formatted only for what
// is reported. Memory stays the same however many frames and findings
// there are: findings beyond those listed are only counted.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "extract/source_comparison.h"
#include "extract/timecode_text.h"
#include "qtbinding/toolbox.h"
#include "writers/qc_report.h"

// How many samples have each duration, for the duration most samples have.
// Real movies have a handful of durations; a movie with more than
// kTalliedDurations different ones has the rest left out of the count.
constexpr size_t kTalliedDurations = 4096;
struct DurationTally {
    struct Entry {
        TimeValue64 duration;
        int64_t samples;
    };
    std::vector<Entry> entries;  // by duration
    size_t last = 0;             // the entry of the sample before: most samples repeat it
};
void TallyDuration(DurationTally& tally, TimeValue64 duration);
// The duration most samples have (the shorter of equals); 0 with none.
TimeValue64 UsualDuration(const DurationTally& tally);

struct TimecodeChecks {
    MovieReport* report = nullptr;
    MediaHandler handler = nullptr;  // null without a timecode track
    MediaTimeScales scales;
    TimeValue timecodeEnd = 0;  // where the timecode track's samples end, in its media's time
    TimecodeOriginInfo origin;  // where the labels come from
    SourceComparison* comparison = nullptr;  // an MXF file's sources, compared on the same walk
    bool expectStart = false;
    std::string expectedStart;

    int64_t frames = 0;  // samples checked so far
    TimeValue64 previousTime = 0;
    TimeValue64 longestStep = 0;  // the longest time from one frame to the next
    DurationTally durations;

    // The last frame whose count was had; previousCounted when that is the
    // frame before.
    bool previousCounted = false;
    TimeValue previousTimecodeTime = 0;
    int32_t previousCount = 0;
    TimeCodeDef previousDefinition{};
    TimeCodeRecord previousRecord{};

    bool anyCounted = false;  // the first counted frame's definition and label are in the report
    TimeCodeDef firstDefinition{};
    int64_t uncountedFrom = -1;  // the first frame of the current run without a count, or -1
    bool endReported = false;

    TimecodeScratch scratch;
    std::string text;
};

// Ready for a movie's first frame. expectedStart: the label the first one
// must show, or null.
void StartTimecodeChecks(TimecodeChecks& checks, MovieReport& report, MediaHandler handler,
                         const MediaTimeScales& scales, TimeValue timecodeEnd, const TimecodeOriginInfo& origin,
                         const std::string* expectedStart);

// The next frame: the video sample at time, lasting duration.
void CheckFrame(TimecodeChecks& checks, TimeValue64 time, TimeValue64 duration);

// After the last frame: the report's frames, frame rate, end label and the
// findings that need the whole walk (start, definition, rate). Returns
// whether some frame came late enough for a frame-gap finding, which
// ListFrameGaps then finds.
bool FinishTimecodeChecks(TimecodeChecks& checks);

// Walks the frames once more, without the timecode, and reports each that
// comes more than one and a half usual frame durations after the one
// before. Needs the usual duration, known only after the first walk.
void ListFrameGaps(Media videoMedia, TimecodeChecks& checks);

// Both walks over a movie's video, filling the report (CompleteReport is
// the caller's, who may add findings of the whole movie first).
// comparison: an MXF file's timecode sources to compare on the same walk, or null.
void CheckMovieTimecode(Media videoMedia, MediaHandler handler, const MediaTimeScales& scales,
                        TimeValue timecodeEnd, const TimecodeOriginInfo& origin, const std::string* expectedStart,
                        SourceComparison* comparison, MovieReport& report);
