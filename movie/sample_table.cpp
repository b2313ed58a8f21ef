#include "movie/sample_table.h"

#include <algorithm>

namespace {

int64_t LastStart(const TimeRun& r) { return r.start + int64_t(r.count - 1) * int64_t(r.duration); }

bool After(int64_t candidate, int64_t time, bool edgeOK) {
    return edgeOK ? candidate >= time : candidate > time;
}

// True when run i is the first whose last sample start qualifies.
bool IsFirstQualifying(const SampleRuns& t, size_t i, int64_t time, bool edgeOK) {
    if (i >= t.runs.size() || !After(LastStart(t.runs[i]), time, edgeOK)) return false;
    return i == 0 || !After(LastStart(t.runs[i - 1]), time, edgeOK);
}

}  // namespace

bool AppendRun(SampleRuns* table, uint64_t count, uint32_t duration) {
    if (count == 0) return true;
    // count x duration < 2^64; the sum must stay below 2^63.
    if (count > uint64_t(INT64_MAX) || count > UINT64_MAX - table->sampleCount) return false;
    uint64_t span = count * uint64_t(duration);
    if (duration != 0 && span / duration != count) return false;
    if (span > uint64_t(INT64_MAX) - uint64_t(table->endTime)) return false;
    if (!table->runs.empty()) {
        TimeRun& last = table->runs.back();
        int64_t lastEnd = last.start + int64_t(last.count * last.duration);
        if (last.duration == duration && lastEnd == table->endTime &&
            last.count <= uint64_t(INT64_MAX) - count) {
            last.count += count;
            table->sampleCount += count;
            table->endTime += int64_t(span);
            return true;
        }
    }
    TimeRun run;
    run.start = table->endTime;
    run.firstSample = table->sampleCount;
    run.count = count;
    run.duration = duration;
    table->runs.push_back(run);
    table->sampleCount += count;
    table->endTime += int64_t(span);
    return true;
}

void TrimRuns(SampleRuns* table, uint64_t count) {
    if (count >= table->sampleCount) return;
    std::vector<TimeRun>& runs = table->runs;
    while (!runs.empty() && runs.back().firstSample >= count) runs.pop_back();
    table->sampleCount = count;
    if (runs.empty()) {
        table->endTime = 0;
        return;
    }
    TimeRun& last = runs.back();
    last.count = count - last.firstSample;
    table->endTime = last.start + int64_t(last.count * last.duration);
}

bool SetRunEndTime(SampleRuns* table, int64_t time) {
    if (time < table->endTime) return false;
    table->endTime = time;
    return true;
}

bool FindNextSampleStart(const SampleRuns& table, int64_t time, bool edgeOK, size_t* runHint, int64_t* start,
                         int64_t* duration) {
    const std::vector<TimeRun>& runs = table.runs;
    size_t i = *runHint;
    if (!IsFirstQualifying(table, i, time, edgeOK)) {
        if (IsFirstQualifying(table, i + 1, time, edgeOK)) {
            ++i;
        } else {
            auto it = std::partition_point(runs.begin(), runs.end(), [&](const TimeRun& r) {
                return !After(LastStart(r), time, edgeOK);
            });
            if (it == runs.end()) return false;
            i = size_t(it - runs.begin());
        }
    }
    *runHint = i;
    const TimeRun& r = runs[i];
    *duration = r.duration;
    if (After(r.start, time, edgeOK)) {
        *start = r.start;
        return true;
    }
    // r.start <= time < LastStart(r), so duration > 0 here.
    const int64_t d = r.duration;
    int64_t k = (time - r.start) / d;
    if (!(edgeOK && (time - r.start) % d == 0)) ++k;
    *start = r.start + k * d;
    return true;
}

bool FindSampleAtTime(const SampleRuns& table, int64_t time, uint64_t* sample, int64_t* start) {
    const std::vector<TimeRun>& runs = table.runs;
    if (time < 0 || runs.empty()) return false;
    auto it = std::partition_point(runs.begin(), runs.end(),
                                   [&](const TimeRun& r) { return r.start <= time; });
    if (it == runs.begin()) return false;
    const TimeRun& r = *(it - 1);
    uint64_t k = r.count - 1;
    if (r.duration != 0) k = std::min<uint64_t>(uint64_t(time - r.start) / r.duration, k);
    *sample = r.firstSample + k;
    *start = r.start + int64_t(k) * int64_t(r.duration);
    return true;
}

bool SampleStartTime(const SampleRuns& table, uint64_t sample, int64_t* start) {
    const std::vector<TimeRun>& runs = table.runs;
    if (sample >= table.sampleCount) return false;
    auto it = std::partition_point(runs.begin(), runs.end(),
                                   [&](const TimeRun& r) { return r.firstSample <= sample; });
    if (it == runs.begin()) return false;
    const TimeRun& r = *(it - 1);
    *start = r.start + int64_t(sample - r.firstSample) * int64_t(r.duration);
    return true;
}

bool AppendSpan(SampleLocations* table, uint64_t offset, uint64_t count, uint32_t size,
                uint32_t description) {
    if (count == 0) return true;
    uint64_t bytes = count * uint64_t(size);
    if (size != 0 && bytes / size != count) return false;
    if (bytes > UINT64_MAX - offset || count > UINT64_MAX - table->sampleCount) return false;
    if (!table->spans.empty()) {
        SampleSpan& last = table->spans.back();
        if (last.size == size && last.description == description &&
            last.offset + last.count * uint64_t(last.size) == offset) {
            last.count += count;
            table->sampleCount += count;
            return true;
        }
    }
    SampleSpan span;
    span.offset = offset;
    span.firstSample = table->sampleCount;
    span.count = count;
    span.size = size;
    span.description = description;
    table->spans.push_back(span);
    table->sampleCount += count;
    return true;
}

bool FindSampleLocation(const SampleLocations& table, uint64_t sample, uint64_t* offset,
                        uint32_t* size, uint32_t* description) {
    const std::vector<SampleSpan>& spans = table.spans;
    auto it = std::partition_point(spans.begin(), spans.end(),
                                   [&](const SampleSpan& s) { return s.firstSample <= sample; });
    if (it == spans.begin()) return false;
    const SampleSpan& s = *(it - 1);
    if (sample - s.firstSample >= s.count) return false;
    *offset = s.offset + (sample - s.firstSample) * uint64_t(s.size);
    *size = s.size;
    *description = s.description;
    return true;
}
