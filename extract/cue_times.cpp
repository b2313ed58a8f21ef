#include "extract/cue_times.h"

namespace {

// Times beyond about 35,000 years (a damaged movie's) are held there, so that
// sums of two times cannot overflow.
constexpr int64_t kMaxCueSeconds = int64_t(1) << 40;
constexpr int64_t kMicroseconds = 1000000;

// floor(units x 1,000,000 / scale); 0 for units or scale not positive. The
// remainder times a million stays below 2^52.
int64_t ToMicroseconds(int64_t units, int64_t scale) {
    if (units <= 0 || scale <= 0) return 0;
    const int64_t seconds = units / scale;
    if (seconds >= kMaxCueSeconds) return kMaxCueSeconds * kMicroseconds;
    return seconds * kMicroseconds + units % scale * kMicroseconds / scale;
}

// When the frame of the sample at decodeTime is shown. A frame that would be
// shown before the movie starts counts as shown at its start.
int64_t ShownAt(const CueTimes& cues, TimeValue64 decodeTime) {
    const int64_t sinceFirst = decodeTime > cues.firstSampleTime ? decodeTime - cues.firstSampleTime : 0;
    const int64_t c = cues.compositionStart;
    const int64_t units = c > 0 && sinceFirst > INT64_MAX - c ? INT64_MAX : sinceFirst + c;
    return ToMicroseconds(units, cues.videoScale) + cues.emptyEdits;
}

}  // namespace

CueTimes StartCueTimes(const TrackPresentationOffset& offset, TimeScale videoScale, TimeValue64 firstSampleTime) {
    CueTimes cues;
    cues.firstSampleTime = firstSampleTime;
    cues.videoScale = videoScale;
    cues.compositionStart = offset.compositionStart;
    cues.emptyEdits = ToMicroseconds(offset.emptyEdits, offset.movieTimeScale);
    cues.start = 0;
    cues.shown = ShownAt(cues, firstSampleTime);
    return cues;
}

void NextCue(CueTimes& cues, TimeValue64 nextTime, int64_t* start, int64_t* end) {
    // Shown times never go down, as decode times go up; the halfway point is
    // no earlier than this cue's start.
    const int64_t nextShown = ShownAt(cues, nextTime);
    const int64_t middle = cues.shown + (nextShown - cues.shown) / 2;
    *start = cues.start;
    *end = middle;
    cues.start = middle;
    cues.shown = nextShown;
}

TimeValue64 SampleEnd(TimeValue64 time, TimeValue64 duration) {
    if (duration <= 0 || time < 0) return time;
    return duration > INT64_MAX - time ? INT64_MAX : time + duration;
}
