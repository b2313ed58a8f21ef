// Sample tables kept in memory. Time is held as runs of samples of equal
// duration (the stts form), each with its start time precomputed, so memory
// grows with the number of runs, not of samples, and a search is a binary
// search over runs. Sample locations (needed only for timecode media) are
// spans of consecutive samples of equal size. Both can be appended to, so
// fragments can add samples after the movie header's own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct TimeRun {
    int64_t start = 0;         // decode time of the run's first sample
    uint64_t firstSample = 0;  // 0-based index of that sample
    uint64_t count = 0;        // samples in the run, at least 1
    uint32_t duration = 0;     // of each sample; 0 puts all of them at start
};

struct SampleRuns {
    std::vector<TimeRun> runs;
    uint64_t sampleCount = 0;
    int64_t endTime = 0;       // where the next appended sample starts
};

// Appends count samples of the given duration at endTime. Consecutive equal
// durations merge into one run. False when the media's time would overflow.
bool AppendRun(SampleRuns* table, uint64_t count, uint32_t duration);
// Keeps only the first count samples (a time table that counts more samples
// than the size table holds names samples without data).
void TrimRuns(SampleRuns* table, uint64_t count);
// Moves endTime forward to time (a fragment's base decode time); false when
// time lies before samples already held.
bool SetRunEndTime(SampleRuns* table, int64_t time);

// Start of the first sample that starts after time (or at it, with edgeOK),
// and that sample's duration. Samples that share a start time (zero
// durations) are one time for the search. False when there is none.
// *runHint is the caller's cursor: the run of its previous answer. A walk
// asks in time order, so the answer mostly lies in that run or the next and
// no binary search is needed; any value is safe.
bool FindNextSampleStart(const SampleRuns& table, int64_t time, bool edgeOK, size_t* runHint, int64_t* start,
                         int64_t* duration);

// The sample in force at time: the last one that starts at or before it
// (past the end, the last sample). False for an empty table or time < 0.
bool FindSampleAtTime(const SampleRuns& table, int64_t time, uint64_t* sample, int64_t* start);

// Decode time of sample (0-based); false past the last sample.
bool SampleStartTime(const SampleRuns& table, uint64_t sample, int64_t* start);

struct SampleSpan {
    uint64_t offset = 0;       // file offset of the span's first sample
    uint64_t firstSample = 0;  // 0-based sample index
    uint64_t count = 0;
    uint32_t size = 0;         // bytes of each sample in the span
    uint32_t description = 0; // 1-based sample description index
};

struct SampleLocations {
    std::vector<SampleSpan> spans;
    uint64_t sampleCount = 0;
};

// Appends count samples of size bytes each, laid out back to back from
// offset. False when the span's end overflows 64 bits.
bool AppendSpan(SampleLocations* table, uint64_t offset, uint64_t count, uint32_t size,
                uint32_t description);
bool FindSampleLocation(const SampleLocations& table, uint64_t sample, uint64_t* offset,
                        uint32_t* size, uint32_t* description);
