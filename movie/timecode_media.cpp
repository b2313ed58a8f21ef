#include "movie/timecode_media.h"

#include <algorithm>
#include <cstdint>

#include "movie/byte_cursor.h"
#include "movie/movie_status.h"
#include "movie/timecode.h"

namespace {

ComponentResult ReadSampleValue(MovieFile* file, const MediaModel& media, TimecodeSampleCache* cache,
                                uint64_t sample, uint32_t* description, uint32_t* value) {
    if (cache->valid && cache->sample == sample) {
        *description = cache->description;
        *value = cache->value;
        return noErr;
    }
    uint64_t offset;
    uint32_t size;
    if (!FindSampleLocation(media.locations, sample, &offset, &size, description)) return invalidSampleTable;
    if (size < 4 || offset > file->size || file->size - offset < 4) return invalidSampleTable;
    uint8_t raw[4];
    if (!ReadMovieFileAt(file, offset, raw, 4)) return ioErr;
    *value = LoadU32(raw);
    cache->valid = true;
    cache->sample = sample;
    cache->value = *value;
    cache->description = *description;
    return noErr;
}

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

bool SampleAtTime(const MediaModel& media, TimecodeSampleCache* cache, int64_t time, uint64_t* sample,
                  int64_t* start) {
    if (cache->spanKnown && time >= cache->spanStart && time < cache->spanEnd) {
        *sample = cache->spanSample;
        *start = cache->spanStart;
        return true;
    }
    if (!FindSampleAtTime(media.runs, time, sample, start)) return false;
    cache->spanKnown = true;
    cache->spanSample = *sample;
    cache->spanStart = *start;
    cache->spanEnd = SampleSpanEnd(media.runs, *sample, *start);
    return true;
}

// FramesInElapsedTime, counted on from the previous conversion when the time
// moved forward by less than two frames: elapsed x definition scale grows by
// the step, and whole divisors move from the remainder into the frames.
int64_t ElapsedFrames(TimecodeSampleCache* cache, uint32_t description, int64_t elapsed, int32_t mediaScale,
                      const TimeCodeDef& def) {
    const int64_t divisor = int64_t(mediaScale) * int64_t(def.frameDuration);
    const int64_t delta = elapsed - cache->elapsed;
    if (cache->elapsedIndex == description && delta >= 0 && delta <= int64_t(UINT32_MAX)) {
        int64_t remainder = cache->remainder + delta * int64_t(def.fTimeScale);
        int64_t frames = cache->frames;
        for (int i = 0; i < 2 && remainder >= divisor; ++i) {
            remainder -= divisor;
            ++frames;
        }
        if (remainder < divisor) {
            cache->elapsed = elapsed;
            cache->frames = frames;
            cache->remainder = remainder;
            return frames;
        }
    }
    const int64_t frames = FramesInElapsedTime(elapsed, mediaScale, def);
    cache->elapsedIndex = description;
    cache->elapsed = elapsed;
    cache->frames = frames;
    cache->remainder = elapsed * int64_t(def.fTimeScale) - frames * divisor;
    return frames;
}

ComponentResult Definition(const MediaModel& media, TimecodeSampleCache* cache, uint32_t description,
                           TimeCodeDef* def) {
    if (cache->definitionIndex == description) {
        *def = cache->definition;
        return noErr;
    }
    ComponentResult result = ReadTimecodeDefinition(media.descriptions[description - 1], def);
    if (result != noErr) return result;
    cache->definitionIndex = description;
    cache->definition = *def;
    return noErr;
}

// The walk's usual request: a time within the span of the sample answered
// last, exactly one frame on from that answer, whose label moves on within
// its second. Answered from the cache: the same figures as the full path
// below (elapsed frames counted on, then StepRecord), without its look-ups.
// False, with nothing changed, for any other request.
bool StepAnswer(TimecodeSampleCache* cache, int32_t time, int32_t* frameNum, TimeCodeDef* def,
                TimeCodeRecord* rec) {
    if (!cache->stepReady || time >= cache->spanEnd) return false;
    const int64_t elapsed = int64_t(time) - cache->spanStart;
    const int64_t delta = elapsed - cache->elapsed;
    if (delta < 0) return false;
    // time < 2^31 and the scale < 2^31: delta x scale < 2^62, and the
    // remainder before it is below the divisor, itself below 2^62.
    const TimeCodeDef& d = cache->definition;
    const int64_t remainder = cache->remainder + delta * int64_t(d.fTimeScale) - cache->divisor;
    if (remainder < 0 || remainder >= cache->divisor) return false;  // not exactly one frame on
    const int64_t count = cache->count + 1;
    TimeCodeRecord next;
    int32_t shown;
    if (!StepRecord(d, count, cache->count, cache->record, cache->stepEnd, &next, &shown)) return false;
    cache->elapsed = elapsed;
    cache->frames += 1;
    cache->remainder = remainder;
    cache->count = count;
    cache->record = next;
    if (def) *def = d;
    if (rec) *rec = next;
    if (frameNum) *frameNum = shown;
    return true;
}

// Every request but the walk's usual one. Kept out of line, so that the
// usual request, inlined into the component call, needs few registers.
#if defined(__GNUC__)
__attribute__((noinline, cold))
#endif
ComponentResult FullAnswer(MovieFile* file, const MediaModel& media, TimecodeSampleCache* cache, int32_t time,
                           int32_t* frameNum, TimeCodeDef* def, TimeCodeRecord* rec) {
    cache->stepReady = false;
    TimeCodeDef localDef;
    TimeCodeRecord localRec;
    int32_t localFrame;
    if (!def) def = &localDef;
    if (!rec) rec = &localRec;
    if (!frameNum) frameNum = &localFrame;
    if (time < 0) return invalidTime;
    if (media.timeScale <= 0) return invalidMedia;
    uint64_t sample;
    int64_t start;
    if (!SampleAtTime(media, cache, time, &sample, &start)) return timeNotInMedia;
    uint32_t description = 0, value = 0;
    ComponentResult result = ReadSampleValue(file, media, cache, sample, &description, &value);
    if (result != noErr) return result;
    if (description == 0 || description > media.descriptions.size()) return invalidSampleDescription;
    result = Definition(media, cache, description, def);
    if (result != noErr) return result;
    int64_t frames = ElapsedFrames(cache, description, time - start, media.timeScale, *def);
    // Counter mode counts upward from an unsigned value; otherwise the value
    // is a signed frame number.
    // Wrapped at once, so that walks past midnight step from day to day too.
    const int64_t count = CountWithinDay(
        *def, (def->flags & tcCounter) ? int64_t(value) + frames : int64_t(int32_t(value)) + frames);
    // The answer is made in a local and stored once: read back from *rec, a
    // record just written field by field waits for those stores to land.
    TimeCodeRecord answer;
    const int64_t stepEnd = StepCountEnd(*def);
    const bool stepped = cache->answered && cache->answerIndex == description &&
                         StepRecord(*def, count, cache->count, cache->record, stepEnd, &answer, frameNum);
    if (!stepped) {
        cache->answered = false;
        result = FrameCountToRecord(*def, count, &answer, frameNum);
        if (result != noErr) return result;
    }
    *rec = answer;
    cache->answered = true;
    cache->answerIndex = description;
    cache->count = count;
    cache->record = answer;
    // ElapsedFrames and Definition above left this answer's figures in the cache.
    cache->stepReady = true;
    cache->divisor = int64_t(media.timeScale) * int64_t(def->frameDuration);
    cache->stepEnd = stepEnd;
    return noErr;
}

}  // namespace

ComponentResult TimecodeAtTime(MovieFile* file, const MediaModel& media, TimecodeSampleCache* cache,
                               int32_t time, int32_t* frameNum, TimeCodeDef* def, TimeCodeRecord* rec) {
    if (StepAnswer(cache, time, frameNum, def, rec)) return noErr;
    return FullAnswer(file, media, cache, time, frameNum, def, rec);
}
