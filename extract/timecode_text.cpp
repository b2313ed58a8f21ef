#include "extract/timecode_text.h"

#include <cstdio>
#include <cstring>

#include "extract/trim_string.h"

namespace {

int32_t Low32(TimeValue64 t) { return int32_t(uint32_t(uint64_t(t))); }

// m x num / den rounded up (or down), for m >= 0 and 0 < num, den < 2^31,
// modulo 2^64. With m = q x den + r the result is
// q x num + (r x num) / den; r x num < 2^62 is exact, and the wrap of q x num
// (unsigned, defined) cannot touch the low 32 bits that the request uses.
uint64_t ScaleMagnitude(uint64_t m, uint64_t num, uint64_t den, bool roundUp) {
    const uint64_t q = m / den;
    const uint64_t r = m % den;
    return q * num + (r * num + (roundUp ? den - 1 : 0)) / den;
}

// The plain text's length: up to its first zero, which p2cstrcpy puts after
// at most 255 characters; the bound keeps a faulty binding from sending the
// trim past the buffer. A plain loop over the dozen bytes of a timecode costs
// less here than a library scan of the buffer.
size_t PlainLength(const char (&plain)[256]) {
    size_t n = 0;
    while (n < sizeof plain && plain[n] != '\0') ++n;
    return n;
}

}  // namespace

TimeValue ToTimecodeMediaTime(TimeValue64 videoTime, const MediaTimeScales& scales) {
    if (scales.video <= 0 || scales.timecode <= 0 || scales.video == scales.timecode)
        return Low32(videoTime);
    const uint64_t num = uint64_t(scales.timecode);
    const uint64_t den = uint64_t(scales.video);
    if (videoTime >= 0) return Low32(TimeValue64(ScaleMagnitude(uint64_t(videoTime), num, den, true)));
    // ceil(-x) = -floor(x); the magnitude is defined for INT64_MIN too.
    const uint64_t magnitude = 0 - uint64_t(videoTime);
    return Low32(TimeValue64(0 - ScaleMagnitude(magnitude, num, den, false)));
}

namespace {

// The text of the record, trimmed. Kept apart from TimecodeRecordText so
// that the walk's per-sample call gets its own inlined copy: with two callers
// the compiler stopped inlining it, which cost the plain walk about 120
// instructions a sample.
inline bool FormatRecord(MediaHandler timecodeHandler, TimeCodeDef* definition, TimeCodeRecord* record,
                         TimecodeScratch& scratch, std::string& text) {
    if (TCTimeCodeToString(timecodeHandler, definition, record, scratch.counted) != 0) return false;
    p2cstrcpy(scratch.plain, scratch.counted);
    const std::string_view trimmed = TrimString({scratch.plain, PlainLength(scratch.plain)}, " \r\n");
    // clear and append reuse the string's capacity, as assign does, without
    // the general replace path that assign takes, which cost as much as the trim.
    text.clear();
    text.append(trimmed.data(), trimmed.size());
    return true;
}

}  // namespace

bool GetTimecodeText(MediaHandler timecodeHandler, const MediaTimeScales& scales,
                     TimeValue64 sampleTime, int32_t frameIndex, TimecodeScratch& scratch,
                     std::string& timecodeText) {
    const TimeValue mediaTime = ToTimecodeMediaTime(sampleTime, scales);
    if (TCGetTimeCodeAtTime(timecodeHandler, mediaTime, &scratch.frameNumber, &scratch.definition,
                            &scratch.record, nullptr) != 0) {
        std::printf("Error: Unable to get TimeCode Value %d for %d\n", frameIndex, Low32(sampleTime));
        return false;
    }
    if (!FormatRecord(timecodeHandler, &scratch.definition, &scratch.record, scratch, timecodeText)) {
        std::printf("Error: Unable to get TimeCode String %d for %d\n", frameIndex, Low32(sampleTime));
        return false;
    }
    return true;
}

bool TimecodeRecordText(MediaHandler timecodeHandler, TimeCodeDef* definition, TimeCodeRecord* record,
                        TimecodeScratch& scratch, std::string& text) {
    return FormatRecord(timecodeHandler, definition, record, scratch, text);
}
