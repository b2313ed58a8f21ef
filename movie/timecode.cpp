#include "movie/timecode.h"

#include <algorithm>
#include <cstring>

#include "common/byte_order.h"
#include "movie/byte_cursor.h"
#include "movie/movie_status.h"

namespace {

int64_t FloorMod(int64_t a, int64_t m) {
    int64_t r = a % m;
    return r < 0 ? r + m : r;
}

// Drop-frame numbering skips numFrames/15 frame numbers (2 at 30 fps, 4 at 60)
// at the start of every minute except minutes 0, 10, 20, 30, 40 and 50.
// Returns the non-drop count that shows the same hours, minutes, seconds and
// frames as frame count n.
int64_t DropFrameDisplayCount(int64_t n, int64_t fps) {
    int64_t dropped = fps / 15;
    int64_t perMinute = fps * 60 - dropped;  // a minute that drops
    int64_t perTenMinutes = fps * 600 - 9 * dropped;
    int64_t tens = n / perTenMinutes;
    int64_t rest = n % perTenMinutes;
    int64_t skipped = 9 * dropped * tens;
    if (rest >= dropped) skipped += dropped * ((rest - dropped) / perMinute);
    return n + skipped;
}

// The two digits of 0..99, in text order.
constexpr char kPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// A field of a timecode: at least two digits ("%02u"); a byte has at most three.
char* PutTwoDigitsOrMore(char* p, unsigned v) {
    if (v >= 100) {
        *p++ = char('0' + v / 100);
        v %= 100;
    }
    p[0] = kPairs[2 * v];
    p[1] = kPairs[2 * v + 1];
    return p + 2;
}

// v's two digits as they lie in memory, read as one 16-bit word.
uint64_t PairWord(unsigned v) {
    uint16_t pair;
    std::memcpy(&pair, kPairs + 2 * v, 2);
    return pair;
}

// The usual label "hh:mm:ss;ff" (every field below 100, not negative) made in
// registers and stored in the pieces that the copies downstream read: bytes
// 0-7, 8-9 and 10 of the text (see common/short_text.h). False, with nothing
// written, for any other label or on a big-endian machine.
bool PutUsualLabel(const TimeCodeRecord& rec, char separator, unsigned char* str) {
    const unsigned h = rec.t.hours, m = rec.t.minutes, s = rec.t.seconds, f = rec.t.frames;
    if (!kLittleEndian || h >= 100 || m >= 100 || s >= 100 || f >= 100) return false;  // also the sign bit
    const uint64_t head = PairWord(h) | uint64_t(':') << 16 | PairWord(m) << 24 | uint64_t(':') << 40 |
                          PairWord(s) << 48;
    const uint16_t middle = uint16_t(uint8_t(separator) | uint8_t(kPairs[2 * f]) << 8);
    str[0] = 11;
    std::memcpy(str + 1, &head, 8);
    std::memcpy(str + 9, &middle, 2);
    str[11] = uint8_t(kPairs[2 * f + 1]);
    return true;
}

// "%ld": a leading '-' when negative, no padding; at most 11 bytes.
char* PutDecimal(char* p, int32_t value) {
    char digits[10];
    int n = 0;
    uint32_t magnitude = value < 0 ? 0u - uint32_t(value) : uint32_t(value);
    do {
        digits[n++] = char('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) *p++ = '-';
    while (n > 0) *p++ = digits[--n];
    return p;
}

int64_t FramesPerDay(const TimeCodeDef& def) {
    int64_t fps = def.numFrames;
    if (DropFrameApplies(def)) return 144 * (fps * 600 - 9 * (fps / 15));
    return fps * 86400;
}

}  // namespace

ComponentResult ReadTimecodeDefinition(const std::string& entry, TimeCodeDef* def) {
    std::memset(def, 0, sizeof *def);
    if (entry.size() < 33) return invalidSampleDescription;
    const uint8_t* p = reinterpret_cast<const uint8_t*>(entry.data());
    if (LoadU32(p + 4) != TimeCodeMediaType) return invalidSampleDescription;
    def->flags = int32_t(LoadU32(p + 20));
    def->fTimeScale = int32_t(LoadU32(p + 24));
    def->frameDuration = int32_t(LoadU32(p + 28));
    def->numFrames = p[32];
    if (def->fTimeScale <= 0 || def->frameDuration <= 0 || def->numFrames == 0)
        return invalidSampleDescription;
    return noErr;
}

int64_t FramesInElapsedTime(int64_t elapsed, int32_t mediaScale, const TimeCodeDef& def) {
    // elapsed < 2^32 and the scales below 2^31: both products stay below 2^63.
    return elapsed * int64_t(def.fTimeScale) / (int64_t(mediaScale) * int64_t(def.frameDuration));
}

bool DropFrameApplies(const TimeCodeDef& def) {
    return (def.flags & tcDropFrame) && def.numFrames % 30 == 0;
}

ComponentResult FrameCountToRecord(const TimeCodeDef& def, int64_t count, TimeCodeRecord* rec,
                                   int32_t* shown) {
    if (def.numFrames == 0) return invalidSampleDescription;
    int64_t fps = def.numFrames;
    std::memset(rec, 0, sizeof *rec);
    if (def.flags & tcCounter) {
        if (count < 0 || count / fps > INT32_MAX || count > INT32_MAX) return invalidTime;
        rec->c = int32_t(count / fps);
        *shown = int32_t(count);
        return noErr;
    }
    count = CountWithinDay(def, count);
    bool negative = count < 0;
    if (negative && !(def.flags & tcNegTimesOK)) return invalidTime;
    int64_t magnitude = negative ? -count : count;
    int64_t display = DropFrameApplies(def) ? DropFrameDisplayCount(magnitude, fps) : magnitude;
    int64_t seconds = display / fps;
    int64_t hours = seconds / 3600;
    if (hours > 255 || magnitude > INT32_MAX) return invalidTime;
    rec->t.hours = uint8_t(hours);
    rec->t.minutes = uint8_t((seconds / 60) % 60) | (negative ? tctNegFlag : 0);
    rec->t.seconds = uint8_t(seconds % 60);
    rec->t.frames = uint8_t(display % fps);
    *shown = int32_t(count);
    return noErr;
}

bool StepRecord(const TimeCodeDef& def, int64_t count, int64_t previousCount, const TimeCodeRecord& previous,
                int64_t stepEnd, TimeCodeRecord* rec, int32_t* shown) {
    if (def.flags & tcCounter) return false;
    if (previousCount < 0 || count != previousCount + 1 || count >= stepEnd) return false;
    // Frame labels within one second follow one another; drop frame only
    // skips labels where a new minute starts.
    if ((previous.t.minutes & tctNegFlag) || previous.t.frames + 1 >= def.numFrames) return false;
    TimeCodeRecord next = previous;
    next.t.frames = uint8_t(previous.t.frames + 1);
    *rec = next;
    *shown = int32_t(count);
    return true;
}

int64_t CountWithinDay(const TimeCodeDef& def, int64_t count) {
    if ((def.flags & tcCounter) || !(def.flags & tc24HourMax)) return count;
    const int64_t day = FramesPerDay(def);
    if (day <= 0) return count;  // no frame rate: nothing to wrap at
    return count < 0 || count >= day ? FloorMod(count, day) : count;
}

int64_t StepCountEnd(const TimeCodeDef& def) {
    const int64_t end = int64_t(INT32_MAX) + 1;
    // Within one day a wrapping count is its own remainder.
    if (def.flags & tc24HourMax) return std::min(end, FramesPerDay(def));
    return end;
}

ComponentResult RecordToString(const TimeCodeDef& def, const TimeCodeRecord& rec, unsigned char* str) {
    // Written by hand rather than with snprintf: the walk asks for one text
    // per video sample, and the formatted print cost more than all the rest.
    if (!(def.flags & tcCounter) && def.numFrames != 0 &&
        PutUsualLabel(rec, DropFrameApplies(def) ? ';' : ':', str))
        return noErr;
    char* text = reinterpret_cast<char*>(str + 1);
    char* p = text;
    if (def.flags & tcCounter) {
        p = PutDecimal(p, rec.c);
    } else {
        if (def.numFrames == 0) return invalidSampleDescription;
        if (rec.t.minutes & tctNegFlag) *p++ = '-';
        p = PutTwoDigitsOrMore(p, rec.t.hours);
        *p++ = ':';
        p = PutTwoDigitsOrMore(p, rec.t.minutes & 0x7F);
        *p++ = ':';
        p = PutTwoDigitsOrMore(p, rec.t.seconds);
        *p++ = DropFrameApplies(def) ? ';' : ':';
        p = PutTwoDigitsOrMore(p, rec.t.frames);
    }
    str[0] = uint8_t(p - text);
    return noErr;
}
