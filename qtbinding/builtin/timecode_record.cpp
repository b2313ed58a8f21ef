#include "qtbinding/builtin/timecode_record.h"

#include <cstring>

#include "common/decimal.h"
#include "movie/byte_cursor.h"
#include "qtbinding/builtin/builtin_status.h"

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

ComponentResult LabelToFrameCount(const TimeCodeDef& def, int hours, int minutes, int seconds, int frames,
                                  int64_t* count) {
    const int64_t fps = def.numFrames;
    if (fps == 0 || (def.flags & tcCounter)) return invalidSampleDescription;
    if (hours >= 24 || minutes >= 60 || seconds >= 60 || frames >= fps) return invalidTime;
    const int64_t totalMinutes = int64_t(hours) * 60 + minutes;
    int64_t n = (totalMinutes * 60 + seconds) * fps + frames;
    if (DropFrameApplies(def)) {
        const int64_t dropped = fps / 15;
        if (minutes % 10 != 0 && seconds == 0 && frames < dropped) return invalidTime;
        n -= dropped * (totalMinutes - totalMinutes / 10);
    }
    *count = n;
    return noErr;
}

bool StepRecord(const TimeCodeDef& def, int64_t count, int64_t previousCount, const TimeCodeRecord& previous,
                TimeCodeRecord* rec, int32_t* shown) {
    if (def.flags & tcCounter) return false;
    if (previousCount < 0 || count != previousCount + 1 || count > INT32_MAX) return false;
    // Frame labels within one second follow one another; drop frame only
    // skips labels where a new minute starts.
    if ((previous.t.minutes & tctNegFlag) || previous.t.frames + 1 >= def.numFrames) return false;
    *rec = previous;
    rec->t.frames = uint8_t(previous.t.frames + 1);
    *shown = int32_t(count);
    return true;
}

int64_t CountWithinDay(const TimeCodeDef& def, int64_t count) {
    if ((def.flags & tcCounter) || !(def.flags & tc24HourMax)) return count;
    const int64_t day = FramesPerDay(def);
    if (day <= 0) return count;  // no frame rate: nothing to wrap at
    return count < 0 || count >= day ? FloorMod(count, day) : count;
}

ComponentResult RecordToString(const TimeCodeDef& def, const TimeCodeRecord& rec, unsigned char* str) {
    // Written by hand rather than with snprintf: the walk asks for one text
    // per video sample, and the formatted print cost more than all the rest.
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
