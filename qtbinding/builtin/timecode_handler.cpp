#include "qtbinding/builtin/timecode_handler.h"

#include <algorithm>

#include "movie/byte_cursor.h"
#include "movie/rtmd_track.h"
#include "movie/smpte12m.h"
#include "qtbinding/builtin/builtin_status.h"
#include "qtbinding/builtin/timecode_record.h"

namespace {

// Where the sample in force from `start` on stops being so: the next sample's
// start, or never for the last sample (later times count on from it).
int64_t SampleSpanEnd(const SampleRuns& table, uint64_t sample, int64_t start) {
    const std::vector<TimeRun>& runs = table.runs;
    auto it = std::partition_point(runs.begin(), runs.end(),
                                   [&](const TimeRun& r) { return r.firstSample <= sample; });
    if (it == runs.begin()) return start;  // not held: an empty span
    const TimeRun& r = *(it - 1);
    if (sample - r.firstSample + 1 < r.count) return start + int64_t(r.duration);
    return it == runs.end() ? INT64_MAX : it->start;
}

// The frame count that an rtmd sample's label shows under the definition.
ComponentResult RtmdCount(MovieFile* file, uint64_t offset, uint32_t size, const TimeCodeDef& definition,
                          int64_t* count) {
    TimecodeLabel label;
    switch (ReadRtmdLabel(file, offset, size, &label)) {
        case RtmdRead::Ok:
            break;
        case RtmdRead::Missing:
            return invalidSampleTable;
        case RtmdRead::ReadError:
            return ioErr;
    }
    return LabelToFrameCount(definition, label.hours, label.minutes, label.seconds, label.frames, count);
}

// The frame count that frame `sample`'s system item stamp shows.
ComponentResult SystemItemCount(MovieFile* file, const MediaModel& media, const MxfModel* mxf, uint64_t sample,
                                TimecodeSampleCache* cache, int64_t* count) {
    if (!mxf || sample > uint64_t(INT64_MAX - media.firstContentPackage)) return invalidSampleTable;
    uint8_t stamp[4];
    bool present = false;
    const MxfStatus status = SystemItemTimecode(file, *mxf, &cache->body,
                                                media.firstContentPackage + int64_t(sample), stamp, &present);
    if (status == MxfStatus::ReadError) return ioErr;
    if (status != MxfStatus::Ok || !present) return invalidSampleTable;
    TimecodeLabel t;
    if (!DecodeSmpte12m(stamp, &t)) return invalidTime;
    return LabelToFrameCount(cache->definition, t.hours, t.minutes, t.seconds, t.frames, count);
}

// The sample's frame count (the label's, for samples that hold labels), and
// its definition into the cache: a frame number read from the file or held
// in the model, an rtmd label or a system item stamp.
ComponentResult SampleCount(MovieFile* file, const MediaModel& media, const MxfModel* mxf, uint64_t sample,
                            TimecodeSampleCache* cache, int64_t* count) {
    uint64_t offset = 0;
    uint32_t size = 0, description = 1;
    const TimecodeSamples kind = media.timecodeSamples;
    if (kind == TimecodeSamples::HeldFrameNumbers) {
        if (sample >= media.held.size()) return invalidSampleTable;
        const HeldTimecodeSample& held = media.held[size_t(sample)];
        if (held.frameNumber == kNoFrameNumber) return invalidSampleTable;  // a Filler
        if (held.frameNumber < INT32_MIN || held.frameNumber > INT32_MAX) return invalidTime;
        description = held.description;
    } else if (kind != TimecodeSamples::SystemItems &&
               !FindSampleLocation(media.locations, sample, &offset, &size, &description)) {
        return invalidSampleTable;
    }
    uint8_t raw[4];
    if (kind == TimecodeSamples::FrameNumbers) {
        if (size < 4 || offset > file->size || file->size - offset < 4) return invalidSampleTable;
        if (!ReadMovieFileAt(file, offset, raw, 4)) return ioErr;
    }
    if (description == 0 || description > media.descriptions.size()) return invalidSampleDescription;
    ComponentResult result = ReadTimecodeDefinition(media.descriptions[description - 1], &cache->definition);
    if (result != noErr) return result;
    switch (kind) {
        case TimecodeSamples::FrameNumbers:
            *count = int32_t(LoadU32(raw));
            return noErr;
        case TimecodeSamples::HeldFrameNumbers:
            *count = media.held[size_t(sample)].frameNumber;
            return noErr;
        case TimecodeSamples::RtmdLabels:
            return RtmdCount(file, offset, size, cache->definition, count);
        case TimecodeSamples::SystemItems:
            return SystemItemCount(file, media, mxf, sample, cache, count);
    }
    return invalidSampleTable;
}

// Finds the timecode sample in force at time, has its frame count and
// definition, and keeps them in the cache with the span it is in force over.
ComponentResult LoadTimecodeSample(MovieFile* file, const MediaModel& media, const MxfModel* mxf, int64_t time,
                                   TimecodeSampleCache* cache) {
    cache->sampleKnown = false;
    cache->answered = false;
    // Samples that hold each frame's own label: past the last there is none
    // to count on from.
    const bool labels = media.timecodeSamples == TimecodeSamples::RtmdLabels ||
                        media.timecodeSamples == TimecodeSamples::SystemItems;
    uint64_t sample;
    int64_t start;
    if (!FindSampleAtTime(media.runs, time, &sample, &start)) return timeNotInMedia;
    if (labels && time >= media.runs.endTime) return timeNotInMedia;
    int64_t count;
    const ComponentResult result = SampleCount(file, media, mxf, sample, cache, &count);
    if (result != noErr) return result;
    cache->value = uint32_t(count);  // a signed 32-bit frame number, or a label's count below a day's frames
    cache->spanStart = start;
    cache->spanEnd = std::min(SampleSpanEnd(media.runs, sample, start), labels ? media.runs.endTime : INT64_MAX);
    cache->divisor = int64_t(media.timeScale) * int64_t(cache->definition.frameDuration);
    cache->sampleKnown = true;
    return noErr;
}

}  // namespace

ComponentResult TimecodeAtTime(MovieFile* file, const MediaModel& media, const MxfModel* mxf,
                               TimecodeSampleCache* cache, int32_t time, int32_t* frameNum, TimeCodeDef* def,
                               TimeCodeRecord* rec) {
    if (time < 0) return invalidTime;
    if (media.timeScale <= 0) return invalidMedia;
    if (!cache->sampleKnown || time < cache->spanStart || time >= cache->spanEnd) {
        ComponentResult result = LoadTimecodeSample(file, media, mxf, time, cache);
        if (result != noErr) return result;
    }
    const TimeCodeDef& d = cache->definition;
    // time - spanStart < 2^31 and the scale < 2^31: the product stays below 2^62.
    const int64_t frames = (time - cache->spanStart) * int64_t(d.fTimeScale) / cache->divisor;
    // Counter mode counts upward from an unsigned value; otherwise the value
    // is a signed frame number. Wrapped at once, so that walks past midnight
    // step from day to day too.
    const int64_t first = (d.flags & tcCounter) ? int64_t(cache->value) : int64_t(int32_t(cache->value));
    const int64_t count = CountWithinDay(d, first + frames);
    TimeCodeRecord answer;
    int32_t shown;
    if (!cache->answered || !StepRecord(d, count, cache->count, cache->record, &answer, &shown)) {
        cache->answered = false;
        ComponentResult result = FrameCountToRecord(d, count, &answer, &shown);
        if (result != noErr) return result;
    }
    cache->answered = true;
    cache->count = count;
    cache->record = answer;
    if (def) *def = d;
    if (rec) *rec = answer;
    if (frameNum) *frameNum = shown;
    return noErr;
}
