#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "movie/sample_table.h"

namespace {

struct Run {
    uint64_t count;
    uint32_t duration;
};

// Every sample's start, by adding durations one by one.
std::vector<int64_t> SampleStarts(const std::vector<Run>& runs) {
    std::vector<int64_t> starts;
    int64_t t = 0;
    for (const Run& r : runs) {
        for (uint64_t i = 0; i < r.count; ++i) {
            starts.push_back(t);
            t += r.duration;
        }
    }
    return starts;
}

SampleRuns MakeRuns(const std::vector<Run>& runs) {
    SampleRuns table;
    for (const Run& r : runs) EXPECT_TRUE(AppendRun(&table, r.count, r.duration));
    return table;
}

// The next distinct start after t (or at it), by scanning every sample.
int64_t ScanNext(const std::vector<int64_t>& starts, int64_t t, bool edge) {
    for (int64_t s : starts) {
        if (edge ? s >= t : s > t) return s;
    }
    return -1;
}

const std::vector<Run> kMixed = {{3, 100}, {2, 0}, {4, 50}, {1, 0}, {2, 7}, {1, 0}};

TEST(SampleRuns, NextStartMatchesAScanOverEverySample) {
    size_t hint = 0;  // the walker's cursor, kept across its searches
    SampleRuns table = MakeRuns(kMixed);
    std::vector<int64_t> starts = SampleStarts(kMixed);
    ASSERT_EQ(table.sampleCount, starts.size());
    // Ascending, descending and jumping queries exercise the remembered run
    // and the binary search alike.
    std::vector<int64_t> times;
    for (int64_t t = -3; t <= 560; ++t) times.push_back(t);
    for (int64_t t = 560; t >= -3; t -= 7) times.push_back(t);
    for (int64_t t : {0, 515, 1, 300, 299, 500, 100, 515, 514}) times.push_back(t);
    for (int64_t t : times) {
        for (bool edge : {false, true}) {
            int64_t start = 0, duration = 0;
            int64_t expected = ScanNext(starts, t, edge);
            bool found = FindNextSampleStart(table, t, edge, &hint, &start, &duration);
            ASSERT_EQ(found, expected >= 0) << "t=" << t << " edge=" << edge;
            if (found) {
                EXPECT_EQ(start, expected) << "t=" << t << " edge=" << edge;
            }
        }
    }
}

const std::vector<Run> kSteps = {{5, 1001}, {3, 1}, {4, 1001}, {2, 0}, {3, 30}};

// Asking again from each answer, mixed with edge requests, repeated times
// and jumps, must agree with the scan.
TEST(SampleRuns, NextStartFromThePreviousAnswerMatchesAScan) {
    size_t hint = 0;  // the walker's cursor, kept across its searches
    SampleRuns table = MakeRuns(kSteps);
    std::vector<int64_t> starts = SampleStarts(kSteps);
    int64_t t = 0, d = 0;
    int steps = 0;
    bool edge = true;
    for (int64_t from = 0;; ++steps) {
        ASSERT_LT(steps, 100);
        int64_t expected = ScanNext(starts, from, edge);
        bool found = FindNextSampleStart(table, from, edge, &hint, &t, &d);
        ASSERT_EQ(found, expected >= 0) << from;
        if (!found) break;
        ASSERT_EQ(t, expected) << "from " << from << " edge " << edge;
        // Every third step asks from a time between starts, every fifth with
        // the edge flag (the same answer again), the rest from the answer.
        edge = steps % 5 == 4;
        from = steps % 3 == 2 ? t + 1 : t;
    }
    // The table changed under a remembered answer: trimmed, then asked again.
    ASSERT_TRUE(FindNextSampleStart(table, 0, false, &hint, &t, &d));
    EXPECT_EQ(t, 1001);
    TrimRuns(&table, 2);
    ASSERT_TRUE(FindNextSampleStart(table, 0, false, &hint, &t, &d));
    EXPECT_EQ(t, 1001);
    EXPECT_FALSE(FindNextSampleStart(table, 1001, false, &hint, &t, &d));
}

TEST(SampleRuns, WalkWithZeroDurationsEndsAndVisitsEveryDistinctStart) {
    size_t hint = 0;  // the walker's cursor, kept across its searches
    SampleRuns table = MakeRuns(kMixed);
    std::vector<int64_t> starts = SampleStarts(kMixed);
    std::vector<int64_t> distinct;
    for (int64_t s : starts) {
        if (distinct.empty() || distinct.back() != s) distinct.push_back(s);
    }
    std::vector<int64_t> walked;
    int64_t t = 0, d = 0;
    ASSERT_TRUE(FindNextSampleStart(table, 0, true, &hint, &t, &d));
    do {
        walked.push_back(t);
        ASSERT_LT(walked.size(), starts.size() + 1) << "walk does not end";
    } while (FindNextSampleStart(table, t, false, &hint, &t, &d));
    EXPECT_EQ(walked, distinct);
    // The last run has duration 0: its sample starts where the media ends.
    EXPECT_EQ(walked.back(), 514);
}

TEST(SampleRuns, TimesOf2To32AndMoreKeepFullPrecision) {
    size_t hint = 0;  // the walker's cursor, kept across its searches
    // 3 samples of 2^31 + 1, then 2 of 3.
    SampleRuns table = MakeRuns({{3, 0x80000001u}, {2, 3}});
    int64_t step = int64_t(0x80000001u);
    int64_t t = 0, d = 0;
    ASSERT_TRUE(FindNextSampleStart(table, step, false, &hint, &t, &d));
    EXPECT_EQ(t, 2 * step);  // 4294967298, above 2^32
    ASSERT_TRUE(FindNextSampleStart(table, 2 * step, false, &hint, &t, &d));
    EXPECT_EQ(t, 3 * step);
    EXPECT_EQ(d, 3);
    ASSERT_TRUE(FindNextSampleStart(table, 3 * step, false, &hint, &t, &d));
    EXPECT_EQ(t, 3 * step + 3);
    EXPECT_FALSE(FindNextSampleStart(table, 3 * step + 3, false, &hint, &t, &d));
    EXPECT_EQ(table.endTime, 3 * step + 6);
}

TEST(SampleRuns, EqualDurationsMergeAndOverflowIsRefused) {
    SampleRuns table;
    ASSERT_TRUE(AppendRun(&table, 10, 1001));
    ASSERT_TRUE(AppendRun(&table, 0, 5));  // an empty run adds nothing
    ASSERT_TRUE(AppendRun(&table, 20, 1001));
    EXPECT_EQ(table.runs.size(), 1u);
    EXPECT_EQ(table.sampleCount, 30u);
    EXPECT_EQ(table.endTime, 30 * 1001);
    // 2^32 - 1 samples of 2^32 - 1 each: about 2^64, beyond a 64-bit time.
    EXPECT_FALSE(AppendRun(&table, 0xFFFFFFFFu, 0xFFFFFFFFu));
    SampleRuns big;
    // Runs of about 2^61 each: three fit below 2^63, the fourth does not.
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(AppendRun(&big, 0x80000000u, 0x40000000u - uint32_t(i)));
    EXPECT_FALSE(AppendRun(&big, 0x80000000u, 0x40000010u));
}

TEST(SampleRuns, TrimKeepsTheFirstSamplesOnly) {
    size_t hint = 0;  // the walker's cursor, kept across its searches
    SampleRuns table = MakeRuns({{3, 10}, {2, 7}, {4, 5}});
    TrimRuns(&table, 4);  // 3 of 10, 1 of 7
    EXPECT_EQ(table.sampleCount, 4u);
    EXPECT_EQ(table.endTime, 37);
    int64_t t = 0, d = 0;
    ASSERT_TRUE(FindNextSampleStart(table, 20, false, &hint, &t, &d));
    EXPECT_EQ(t, 30);
    EXPECT_FALSE(FindNextSampleStart(table, 30, false, &hint, &t, &d));
    TrimRuns(&table, 0);
    EXPECT_TRUE(table.runs.empty());
    EXPECT_FALSE(FindNextSampleStart(table, 0, true, &hint, &t, &d));
}

TEST(SampleRuns, SampleInForceIsTheLastStartedOneAndTheLastPastTheEnd) {
    // Timecode samples: 0 lasts 10, 1 lasts 0 (superseded at once), 2 lasts 5.
    SampleRuns table = MakeRuns({{1, 10}, {1, 0}, {1, 5}});
    uint64_t sample = 99;
    int64_t start = -1;
    ASSERT_TRUE(FindSampleAtTime(table, 9, &sample, &start));
    EXPECT_EQ(sample, 0u);
    ASSERT_TRUE(FindSampleAtTime(table, 10, &sample, &start));
    EXPECT_EQ(sample, 2u);
    EXPECT_EQ(start, 10);
    ASSERT_TRUE(FindSampleAtTime(table, 1000, &sample, &start));
    EXPECT_EQ(sample, 2u);
    EXPECT_EQ(start, 10);
    EXPECT_FALSE(FindSampleAtTime(table, -1, &sample, &start));
    EXPECT_FALSE(FindSampleAtTime(SampleRuns(), 0, &sample, &start));
}

TEST(SampleLocations, SpansLocateEachSampleAndRefuseOverflow) {
    SampleLocations table;
    ASSERT_TRUE(AppendSpan(&table, 1000, 3, 4, 1));
    ASSERT_TRUE(AppendSpan(&table, 1012, 2, 4, 1));  // contiguous: merges
    ASSERT_TRUE(AppendSpan(&table, 50, 1, 8, 2));
    EXPECT_EQ(table.spans.size(), 2u);
    uint64_t offset;
    uint32_t size, description;
    ASSERT_TRUE(FindSampleLocation(table, 4, &offset, &size, &description));
    EXPECT_EQ(offset, 1016u);
    ASSERT_TRUE(FindSampleLocation(table, 5, &offset, &size, &description));
    EXPECT_EQ(offset, 50u);
    EXPECT_EQ(size, 8u);
    EXPECT_EQ(description, 2u);
    EXPECT_FALSE(FindSampleLocation(table, 6, &offset, &size, &description));
    EXPECT_FALSE(AppendSpan(&table, UINT64_MAX - 10, 3, 4, 1));
}

}  // namespace
