// The moov parser and the sample tables over fuzzer bytes held in memory.
#include <cstdio>
#include <cstring>
#include <string>

#include "movie/movie_parse.h"
#include "movie/sample_table.h"
#include "qtbinding/builtin/timecode_record.h"
#include "tests/fuzz/fuzz_harness.h"

namespace {

// Forward through the runs: every answer after the one before, and the
// sample in force at each start must start there.
void QuestionRuns(const SampleRuns& runs) {
    int64_t time = 0, start = 0, duration = 0;
    size_t hint = 0;
    bool edge = true;
    for (int64_t steps = 0; steps < kFuzzWalkSteps; ++steps) {
        if (!FindNextSampleStart(runs, time, edge, &hint, &start, &duration)) break;
        if (edge ? start < time : start <= time) FuzzInvariantFailed("next sample start before the time asked");
        uint64_t sample = 0;
        int64_t at = 0;
        if (!FindSampleAtTime(runs, start, &sample, &at) || at != start)
            FuzzInvariantFailed("sample in force does not start at a sample start");
        if (sample >= runs.sampleCount) FuzzInvariantFailed("sample beyond the table");
        time = start;
        edge = false;
    }
    uint64_t sample;
    int64_t at;
    FindSampleAtTime(runs, runs.endTime, &sample, &at);
    FindSampleAtTime(runs, INT64_MAX, &sample, &at);
}

void QuestionLocations(const SampleLocations& locations) {
    uint64_t offset;
    uint32_t size, description;
    for (uint64_t s = 0; s < locations.sampleCount && s < uint64_t(kFuzzWalkSteps); ++s)
        if (!FindSampleLocation(locations, s, &offset, &size, &description))
            FuzzInvariantFailed("sample within the count has no location");
    if (FindSampleLocation(locations, locations.sampleCount, &offset, &size, &description))
        FuzzInvariantFailed("sample beyond the count has a location");
}

// Each timecode description, with frame counts around the edges of what a
// record holds, turned into text.
void QuestionDescriptions(const MediaModel& media) {
    for (const std::string& entry : media.descriptions) {
        TimeCodeDef def;
        if (ReadTimecodeDefinition(entry, &def) != 0) continue;
        for (int64_t count : {int64_t(0), int64_t(-1), int64_t(INT32_MAX), int64_t(INT32_MIN),
                              int64_t(UINT32_MAX), int64_t(def.numFrames) * 86400 - 1}) {
            TimeCodeRecord rec;
            int32_t shown;
            if (FrameCountToRecord(def, count, &rec, &shown) != 0) continue;
            unsigned char text[256];
            if (RecordToString(def, rec, text) != 0) FuzzInvariantFailed("record from a count cannot be shown");
        }
    }
}

// Any definition and record the caller may hand in, shown as text: the text
// must be what the formatted print gives for the same fields.
void QuestionRecordText(const uint8_t* data, size_t size) {
    TimeCodeDef def;
    TimeCodeRecord rec;
    if (size < sizeof def + sizeof rec) return;
    std::memcpy(&def, data, sizeof def);
    std::memcpy(&rec, data + sizeof def, sizeof rec);
    unsigned char text[256];
    if (RecordToString(def, rec, text) != 0) return;
    char expected[64];
    if (def.flags & tcCounter) {
        std::snprintf(expected, sizeof expected, "%ld", long(rec.c));
    } else {
        std::snprintf(expected, sizeof expected, "%s%02u:%02u:%02u%c%02u", (rec.t.minutes & tctNegFlag) ? "-" : "",
                      unsigned(rec.t.hours), unsigned(rec.t.minutes & 0x7F), unsigned(rec.t.seconds),
                      DropFrameApplies(def) ? ';' : ':', unsigned(rec.t.frames));
    }
    if (std::string(reinterpret_cast<const char*>(text + 1), text[0]) != expected)
        FuzzInvariantFailed("timecode text differs from the formatted print");
}

}  // namespace

void ParseMovieAtomBytes(const uint8_t* data, size_t size) {
    QuestionRecordText(data, size);
    MovieModel movie;
    if (!ParseMovieAtom(data, size, &movie)) return;
    for (const TrackModel& track : movie.tracks) {
        QuestionRuns(track.media.runs);
        QuestionLocations(track.media.locations);
        QuestionDescriptions(track.media);
    }
}
