#include "extract/timecode_checks.h"

#include <algorithm>

#include "extract/sample_walk.h"
#include "qtbinding/timecode_def.h"

namespace {

// a / b rounded toward minus infinity, for b > 0.
int64_t FloorDivide(int64_t a, int64_t b) {
    const int64_t q = a / b;
    return (a % b != 0 && a < 0) ? q - 1 : q;
}

// A label for a record under its definition; empty when the handler gives
// none (the writers show it as null).
std::string Label(TimecodeChecks& c, TimeCodeDef definition, TimeCodeRecord record) {
    if (!TimecodeRecordText(c.handler, &definition, &record, c.scratch, c.text)) return std::string();
    return c.text;
}

// The label that frame count `count` shows under `definition`.
std::string LabelOfCount(TimecodeChecks& c, TimeCodeDef definition, int64_t count) {
    TimeCodeRecord record{};
    if (count < INT32_MIN || count > INT32_MAX ||
        TCFrameNumberToTimeCode(c.handler, int32_t(count), &definition, &record) != 0)
        return std::string();
    return Label(c, definition, record);
}

void AddFrameFinding(TimecodeChecks& c, Check check, int64_t frame) {
    Finding f;
    f.check = check;
    f.frame = frame;
    AddFinding(*c.report, std::move(f));
}

// Ends the current run of frames without a count, if any, before `frame`.
void CloseUncountedRun(TimecodeChecks& c) {
    if (c.uncountedFrom < 0) return;
    Finding f;
    f.check = Check::Unreadable;
    f.frame = c.uncountedFrom;
    f.count = c.frames - c.uncountedFrom;
    AddFinding(*c.report, std::move(f));
    c.uncountedFrom = -1;
}

// Frame k follows on from frame k-1 when its count differs from k-1's count
// plus the time between the two at the timecode's rate by less than one
// frame. The time is taken in the timecode media's units, as the handler
// counted them, so that frames under one timecode sample always follow on,
// whatever the rates (59.94 video under a 29.97 timecode shows each label
// twice). A 24-hour timecode steps from its last label of the day to
// 00:00:00:00 without a break.
void CheckContinuity(TimecodeChecks& c, TimeValue timecodeTime, int32_t count, const TimeCodeDef& definition,
                     const TimeCodeRecord& record) {
    const TimeCodeDef& d = c.previousDefinition;
    // Timecode media units per timecode frame, times the definition's scale.
    const int64_t unit = int64_t(c.scales.timecode) * d.frameDuration;
    if (unit <= 0 || d.fTimeScale <= 0) return;
    // The handler answers times in [0, 2^31) only: the product stays below 2^62.
    const int64_t scaled = (int64_t(timecodeTime) - c.previousTimecodeTime) * d.fTimeScale;
    const int64_t whole = FloorDivide(scaled, unit);
    const int64_t remainder = scaled - whole * unit;
    // count - (previous count + scaled / unit) lies in (off - 1, off].
    int64_t off = int64_t(count) - c.previousCount - whole;
    const int64_t day = FramesPerDay(d);
    if ((d.flags & tc24HourMax) && !(d.flags & tcCounter) && day > 0) {
        off %= day;
        if (off < 0) off += day;
        if (off > day / 2) off -= day;
    }
    const bool follows = remainder == 0 ? off == 0 : (off == 0 || off == 1);
    if (follows || !ListFinding(*c.report, Check::Break)) return;
    Finding f;
    f.check = Check::Break;
    f.frame = c.frames;
    f.before = Label(c, c.previousDefinition, c.previousRecord);
    f.after = Label(c, definition, record);
    f.expected = LabelOfCount(c, d, c.previousCount + whole + (2 * remainder >= unit ? 1 : 0));
    c.report->findings.push_back(std::move(f));
}

// The definition as the report shows it, from the first frame counted.
void DescribeDefinition(TimecodeSummary& t, const TimeCodeDef& d) {
    t.defined = true;
    t.format = (d.flags & tcCounter) ? "counter" : DropFrameApplies(d) ? "drop-frame" : "non-drop";
    t.framesPerSecond = d.numFrames;
    t.rate = ReducedRate(d.fTimeScale, d.frameDuration);
    t.wraps24h = (d.flags & tc24HourMax) != 0;
}

void CheckFrameTimecode(TimecodeChecks& c, TimeValue64 time) {
    const TimeValue timecodeTime = ToTimecodeMediaTime(time, c.scales);
    int32_t count = 0;
    TimeCodeDef definition{};
    TimeCodeRecord record{};
    if (TCGetTimeCodeAtTime(c.handler, timecodeTime, &count, &definition, &record, nullptr) != 0) {
        if (c.uncountedFrom < 0) c.uncountedFrom = c.frames;
        c.previousCounted = false;
        return;
    }
    // Past its last sample the handler counts on from that sample: labels,
    // but nobody wrote them. (A duration held at the 32-bit limit is no end.)
    if (!c.endReported && c.timecodeEnd > 0 && c.timecodeEnd < INT32_MAX && timecodeTime >= c.timecodeEnd) {
        c.endReported = true;
        AddFrameFinding(c, Check::TimecodeEnds, c.frames);
    }
    CloseUncountedRun(c);
    if (!c.anyCounted) {
        c.anyCounted = true;
        c.report->timecode.labelled = true;
        c.report->timecode.start = Label(c, definition, record);
        DescribeDefinition(c.report->timecode, definition);
        c.firstDefinition = definition;
    } else if (c.previousCounted) {
        CheckContinuity(c, timecodeTime, count, definition, record);
    }
    c.previousCounted = true;
    c.previousTimecodeTime = timecodeTime;
    c.previousCount = count;
    c.previousDefinition = definition;
    c.previousRecord = record;
}

// Warnings about the definition itself, and its rate against the video's.
void CheckDefinition(TimecodeChecks& c) {
    MovieReport& r = *c.report;
    const TimeCodeDef& d = c.firstDefinition;
    const Rate rate = r.timecode.rate;
    if (!(d.flags & tcCounter)) {
        if ((d.flags & tcDropFrame) && RatesDiffer(rate, Rate{30000, 1001}) && RatesDiffer(rate, Rate{60000, 1001}))
            AddFrameFinding(c, Check::DropFrameFlag, -1);
        // The nominal count is the rate rounded to the nearest whole number.
        const int64_t rounded = rate.den ? (2 * rate.num + rate.den) / (2 * rate.den) : 0;
        if (rate.den && d.numFrames != rounded) AddFrameFinding(c, Check::NominalRate, -1);
    }
    // A camera that counts 50p or 59.94p in pairs of frames says so in its
    // XML: a timecode at half the video's rate is then as it should be.
    const bool halfByDesign = c.origin.halfStepDeclared && !RatesDiffer(r.frameRate, Rate{2 * rate.num, rate.den});
    if (RatesDiffer(r.frameRate, rate) && !halfByDesign) {
        Finding f;
        f.check = Check::Rate;
        f.video = r.frameRate;
        f.timecode = rate;
        AddFinding(r, std::move(f));
    }
}

// What the reader noticed on finding the labels: a clip XML passed over or
// disagreeing, drop frame decided by the rate alone.
void CheckOrigin(TimecodeChecks& c) {
    const TimecodeOriginInfo& o = c.origin;
    if (o.xmlUnreadable) AddFrameFinding(c, Check::XmlUnreadable, -1);
    if (o.xmlMismatch) {
        Finding f;
        f.check = Check::XmlMismatch;
        f.expected = Label(c, o.definition, o.xmlStart);
        f.after = Label(c, o.definition, o.firstLabel);
        AddFinding(*c.report, std::move(f));
    }
    if (o.dropFrameFromRate) AddFrameFinding(c, Check::DropFrameUnknown, -1);
}

// A frame gap's length in usual durations, in thousandths, rounded.
int64_t Thousandths(TimeValue64 step, TimeValue64 usual) {
    const int64_t whole = std::min<int64_t>(step / usual, INT64_MAX / 1000 - 1);
    const int64_t rest = step % usual;
    // rest < usual < 2^53 keeps rest x 1000 within 64 bits.
    const int64_t part = usual < (int64_t(1) << 53) ? (rest * 1000 + usual / 2) / usual : 0;
    return whole * 1000 + part;
}

// A step longer than one and a half usual durations: 2 x step > 3 x usual,
// without the products.
bool IsFrameGap(TimeValue64 step, TimeValue64 usual) { return usual > 0 && step - usual > usual / 2; }

}  // namespace

void TallyDuration(DurationTally& tally, TimeValue64 duration) {
    std::vector<DurationTally::Entry>& e = tally.entries;
    if (tally.last < e.size() && e[tally.last].duration == duration) {
        ++e[tally.last].samples;
        return;
    }
    auto it = std::lower_bound(e.begin(), e.end(), duration,
                               [](const DurationTally::Entry& a, TimeValue64 d) { return a.duration < d; });
    if (it == e.end() || it->duration != duration) {
        if (e.size() >= kTalliedDurations) return;
        it = e.insert(it, DurationTally::Entry{duration, 0});
    }
    ++it->samples;
    tally.last = size_t(it - e.begin());
}

TimeValue64 UsualDuration(const DurationTally& tally) {
    const DurationTally::Entry* usual = nullptr;
    for (const DurationTally::Entry& e : tally.entries)
        if (!usual || e.samples > usual->samples) usual = &e;
    return usual ? usual->duration : 0;
}

void StartTimecodeChecks(TimecodeChecks& checks, MovieReport& report, MediaHandler handler,
                         const MediaTimeScales& scales, TimeValue timecodeEnd, const TimecodeOriginInfo& origin,
                         const std::string* expectedStart) {
    checks.report = &report;
    checks.origin = origin;
    report.timecode.source = origin.source;
    checks.handler = handler;
    checks.scales = scales;
    checks.timecodeEnd = timecodeEnd;
    checks.expectStart = expectedStart != nullptr;
    if (expectedStart) checks.expectedStart = *expectedStart;
    checks.text.reserve(sizeof checks.scratch.plain);
}

void CheckFrame(TimecodeChecks& checks, TimeValue64 time, TimeValue64 duration) {
    TallyDuration(checks.durations, duration);
    if (checks.frames > 0) checks.longestStep = std::max(checks.longestStep, time - checks.previousTime);
    checks.previousTime = time;
    if (checks.handler) CheckFrameTimecode(checks, time);
    if (checks.comparison) CompareSourcesAt(*checks.comparison, time);
    ++checks.frames;
}

bool FinishTimecodeChecks(TimecodeChecks& checks) {
    MovieReport& r = *checks.report;
    const TimeValue64 usual = UsualDuration(checks.durations);
    r.walked = true;
    r.frames = checks.frames;
    r.frameRate = ReducedRate(checks.scales.video, usual);
    if (checks.handler) {
        CloseUncountedRun(checks);
        if (checks.anyCounted) {
            r.timecode.end = Label(checks, checks.previousDefinition, checks.previousRecord);
            CheckDefinition(checks);
        }
        CheckOrigin(checks);
        if (checks.comparison) FinishSourceComparison(*checks.comparison, r);
        if (checks.expectStart && (!checks.anyCounted || r.timecode.start != checks.expectedStart)) {
            Finding f;
            f.check = Check::Start;
            f.expected = checks.expectedStart;
            f.after = r.timecode.start;
            AddFinding(r, std::move(f));
        }
    }
    return IsFrameGap(checks.longestStep, usual);
}

void ListFrameGaps(Media videoMedia, TimecodeChecks& checks) {
    const TimeValue64 usual = UsualDuration(checks.durations);
    TimeValue64 time, duration;
    if (!FirstSample(videoMedia, &time, &duration)) return;
    for (int64_t frame = 1; frame < checks.frames; ++frame) {
        const TimeValue64 previous = time;
        if (!NextSample(videoMedia, &time, &duration)) return;
        if (!IsFrameGap(time - previous, usual)) continue;
        Finding f;
        f.check = Check::FrameGap;
        f.frame = frame;
        f.gapThousandths = Thousandths(time - previous, usual);
        AddFinding(*checks.report, std::move(f));
    }
}

void CheckMovieTimecode(Media videoMedia, MediaHandler handler, const MediaTimeScales& scales,
                        TimeValue timecodeEnd, const TimecodeOriginInfo& origin, const std::string* expectedStart,
                        SourceComparison* comparison, MovieReport& report) {
    TimecodeChecks checks;
    StartTimecodeChecks(checks, report, handler, scales, timecodeEnd, origin, expectedStart);
    checks.comparison = comparison;
    TimeValue64 time, duration;
    for (bool more = FirstSample(videoMedia, &time, &duration); more; more = NextSample(videoMedia, &time, &duration))
        CheckFrame(checks, time, duration);
    if (FinishTimecodeChecks(checks)) ListFrameGaps(videoMedia, checks);
}
