#include "movie/timecode_media.h"

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

}  // namespace

ComponentResult TimecodeAtTime(MovieFile* file, const MediaModel& media, TimecodeSampleCache* cache,
                               int32_t time, int32_t* frameNum, TimeCodeDef* def, TimeCodeRecord* rec) {
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
    if (!FindSampleAtTime(media.runs, time, &sample, &start)) return timeNotInMedia;
    uint32_t description = 0, value = 0;
    ComponentResult result = ReadSampleValue(file, media, cache, sample, &description, &value);
    if (result != noErr) return result;
    if (description == 0 || description > media.descriptions.size()) return invalidSampleDescription;
    result = Definition(media, cache, description, def);
    if (result != noErr) return result;
    int64_t frames = FramesInElapsedTime(time - start, media.timeScale, *def);
    // Counter mode counts upward from an unsigned value; otherwise the value
    // is a signed frame number.
    int64_t count = (def->flags & tcCounter) ? int64_t(value) + frames : int64_t(int32_t(value)) + frames;
    const bool stepped = cache->answered && cache->answerIndex == description &&
                         StepRecord(*def, count, cache->count, cache->record, rec, frameNum);
    if (!stepped) {
        cache->answered = false;
        result = FrameCountToRecord(*def, count, rec, frameNum);
        if (result != noErr) return result;
    }
    cache->answered = true;
    cache->answerIndex = description;
    cache->count = count;
    cache->record = *rec;
    return noErr;
}
