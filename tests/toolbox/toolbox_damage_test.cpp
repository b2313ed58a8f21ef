// Damaged movies: every one must end in a status (or, for data the walk reads
// later, a failed request), never a crash, a hang or a wrong timecode.
#include "tests/fixture/fixture_writer.h"
#include "tests/toolbox/toolbox_session.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

FixtureMovie TwoTrackMovie(bool moovFirst) {
    FixtureMovie m;
    m.moovFirst = moovFirst;
    m.tracks.push_back(FixtureVideoTrack(25, 50, 1));
    m.tracks.push_back(FixtureTimecodeTrack(0, 25, 1, 25, 25, 90000, 50));
    m.tracks[1].tcSamples.push_back({180000, 50});
    return m;
}

const std::string kStbl2 = "moov/trak[2]/mdia/minf/stbl/";

// Opens the bytes as a movie; when that works, touches every operation the
// tool makes, bounded so that a bogus sample count cannot hang the test.
struct Outcome {
    OSErr status = 0;
    size_t samples = 0;
    size_t timecodes = 0;   // successful requests
    std::string first;      // first timecode text
};
Outcome Exercise(const TestFolder& dir, const std::string& bytes) {
    std::string path = dir.File("damaged.mov");
    EXPECT_TRUE(WriteFixtureFile(path, bytes));
    Outcome o;
    WalkedMovie w = WalkMovie(path, 200);
    o.status = w.status;
    o.samples = w.times.size();
    for (size_t i = 0; i < w.results.size(); ++i)
        if (w.results[i] == 0) {
            if (o.timecodes++ == 0) o.first = w.timecodes[i];
        }
    if (w.status == noErr) {
        // Whatever else the tool could ask of every track.
        Movie movie = nullptr;
        OpenMoviePath(path, &movie);
        int32_t n = GetMovieTrackCount(movie);
        Handle h = NewHandleClear(86);
        for (int32_t i = 1; i <= n && i < 100; ++i) {
            Media media = GetTrackMedia(GetMovieIndTrack(movie, i));
            GetMediaTimeScale(media);
            GetMediaSampleDescription(media, 1, h);
            WalkSampleTimes(media, 200);
        }
    }
    return o;
}

bool IsOpenFailure(OSErr e) { return e == invalidMovie || e == noMovieFound; }

TEST(ToolboxDamage, TruncatedAtEveryLength) {
    QtSession qt;
    TestFolder dir;
    for (bool moovFirst : {false, true}) {
        std::string whole = BuildFixtureMovie(TwoTrackMovie(moovFirst));
        FixtureAtom moov;
        ASSERT_TRUE(FindFixtureAtom(whole, "moov", &moov));
        size_t tcData = size_t(GetBE32(whole, FixtureAtomOffset(whole, kStbl2 + "stco") + 16));
        for (size_t len = 0; len < whole.size(); ++len) {
            Outcome o = Exercise(dir, whole.substr(0, len));
            if (o.status != noErr) {
                EXPECT_TRUE(IsOpenFailure(o.status)) << len << ": " << o.status;
                continue;
            }
            // A movie that opens must hold its whole moov...
            EXPECT_GE(len, moov.offset + moov.size) << len;
            // ...and no timecode is made up from bytes past the end.
            if (len < tcData + 4) {
                EXPECT_EQ(o.timecodes, 0u) << len;
            }
        }
    }
}

TEST(ToolboxDamage, AtomLargerThanItsParent) {
    QtSession qt;
    TestFolder dir;
    std::string good = BuildFixtureMovie(TwoTrackMovie(true));
    for (const char* path : {"moov/trak[2]/mdia/minf/stbl", "moov/trak[2]/mdia/minf/stbl/stts",
                             "moov/trak[1]/mdia/mdhd", "moov/trak[2]/tkhd", "moov/trak[1]/mdia/hdlr",
                             "moov/trak[2]/mdia/minf/stbl/stsd", "moov/trak[1]/mdia/minf/stbl/stts"}) {
        std::string p = path;
        FixtureAtom a, parent;
        ASSERT_TRUE(FindFixtureAtom(good, p, &a));
        ASSERT_TRUE(FindFixtureAtom(good, p.substr(0, p.rfind('/')), &parent));
        size_t parentEnd = parent.offset + size_t(parent.size);
        for (uint32_t size : {uint32_t(parentEnd - a.offset + 1), uint32_t(parentEnd - a.offset + 8),
                              0x7FFFFFFFu, 7u, 1u}) {
            std::string b = good;
            PutBE32(b, a.offset, size);  // 7: smaller than a header; 1: a 64-bit size that is not there
            EXPECT_EQ(Exercise(dir, b).status, invalidMovie) << path << " " << size;
        }
    }
    // moov itself running past the end of the file.
    std::string b = good;
    PutBE32(b, FixtureAtomOffset(b, "moov"), uint32_t(b.size() * 2));
    EXPECT_TRUE(IsOpenFailure(Exercise(dir, b).status));
}

TEST(ToolboxDamage, TableCountsThatCannotFit) {
    QtSession qt;
    TestFolder dir;
    std::string good = BuildFixtureMovie(TwoTrackMovie(false));
    for (int track : {1, 2})
        for (const char* table : {"stts", "stsc", "stco", "stsd"})
            for (uint32_t count : {0x10000000u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
                std::string b = good;
                std::string path = "moov/trak[" + std::to_string(track) + "]/mdia/minf/stbl/" + table;
                PutBE32(b, FixtureAtomOffset(b, path) + 12, count);
                Outcome o = Exercise(dir, b);
                // The video's chunk tables are never needed (its data is not
                // read), so a reader may leave them unread.
                bool unused = track == 1 && (table == std::string("stsc") || table == std::string("stco"));
                if (unused && o.status == noErr)
                    EXPECT_EQ(o.samples, 50u) << path;
                else
                    EXPECT_EQ(o.status, invalidMovie) << path << " " << count;
            }
    // A sample-size table that claims more samples than it holds.
    std::string b = good;
    size_t stsz = FixtureAtomOffset(b, kStbl2 + "stsz");
    PutBE32(b, stsz + 12, 0);           // per-sample sizes follow...
    PutBE32(b, stsz + 16, 0x40000000);  // ...a billion of them, in no bytes
    EXPECT_EQ(Exercise(dir, b).status, invalidMovie);
}

TEST(ToolboxDamage, TablesThatDisagree) {
    QtSession qt;
    TestFolder dir;
    std::string good = BuildFixtureMovie(TwoTrackMovie(false));
    // stts counts more timecode samples than stsz holds.
    std::string b = good;
    PutBE32(b, FixtureAtomOffset(b, kStbl2 + "stts") + 16, 3);
    Outcome o = Exercise(dir, b);
    EXPECT_TRUE(o.status == invalidMovie || o.status == noErr) << o.status;
    // stsc whose first entry starts at chunk 5: samples of chunks 1-4 unmapped,
    // and there is no chunk 5.
    b = good;
    PutBE32(b, FixtureAtomOffset(b, kStbl2 + "stsc") + 16, 5);
    o = Exercise(dir, b);
    EXPECT_TRUE(o.status == invalidMovie || o.timecodes == 0) << o.status;
}

// A video stts that counts 51 samples beside an stsz of 50: the movie has 50
// frames, and a walk of 51 would give the tool an extra timecode line.
TEST(ToolboxDamage, VideoSttsCountsMoreSamplesThanStsz) {
    QtSession qt;
    TestFolder dir;
    std::string b = BuildFixtureMovie(TwoTrackMovie(false));
    PutBE32(b, FixtureAtomOffset(b, "moov/trak[1]/mdia/minf/stbl/stts") + 16, 51);
    Outcome o = Exercise(dir, b);
    EXPECT_TRUE(o.status == invalidMovie || o.samples <= 50) << o.status << " " << o.samples;
}

TEST(ToolboxDamage, ChunkOffsetBeyondTheFile) {
    QtSession qt;
    TestFolder dir;
    for (bool co64 : {false, true}) {
        FixtureMovie m = TwoTrackMovie(false);
        m.tracks[1].co64 = co64;
        m.tracks[1].tcSamplesPerChunk = 1;
        std::string good = BuildFixtureMovie(m);
        size_t table = FixtureAtomOffset(good, kStbl2 + (co64 ? "co64" : "stco")) + 16;
        for (uint64_t off : {uint64_t(good.size()), uint64_t(good.size() - 2), uint64_t(0xFFFFFFFF),
                             uint64_t(1) << 40, ~uint64_t(0)}) {
            if (!co64 && off > 0xFFFFFFFF) continue;
            std::string b = good;
            if (co64)
                PutBE64(b, table, off);
            else
                PutBE32(b, table, uint32_t(off));
            Outcome o = Exercise(dir, b);
            if (o.status == noErr) {
                // Every video sample falls in the unreadable first timecode sample.
                EXPECT_EQ(o.samples, 50u);
                EXPECT_EQ(o.timecodes, 0u) << off;
            } else {
                EXPECT_EQ(o.status, invalidMovie);
            }
        }
    }
}

TEST(ToolboxDamage, SampleDescriptionIndexThatDoesNotExist) {
    QtSession qt;
    TestFolder dir;
    std::string b = BuildFixtureMovie(TwoTrackMovie(false));
    PutBE32(b, FixtureAtomOffset(b, kStbl2 + "stsc") + 24, 7);
    Outcome o = Exercise(dir, b);
    EXPECT_TRUE(o.status == invalidMovie || o.timecodes == 0) << o.status;
    // No description at all.
    b = BuildFixtureMovie(TwoTrackMovie(false));
    PutBE32(b, FixtureAtomOffset(b, kStbl2 + "stsd") + 12, 0);
    o = Exercise(dir, b);
    EXPECT_TRUE(o.status == invalidMovie || o.timecodes == 0) << o.status;
}

TEST(ToolboxDamage, ShortTimecodeDescription) {
    QtSession qt;
    TestFolder dir;
    // An entry of 30 bytes ends before the number of frames.
    std::string b = BuildFixtureMovie(TwoTrackMovie(false));
    PutBE32(b, FixtureAtomOffset(b, kStbl2 + "stsd") + 16, 30);
    Outcome o = Exercise(dir, b);
    EXPECT_TRUE(o.status == invalidMovie || o.timecodes == 0) << o.status;
}

TEST(ToolboxDamage, EveryMoovWordOverwritten) {
    QtSession qt;
    TestFolder dir;
    FixtureMovie large = TwoTrackMovie(true);
    large.largeSizes = true;
    large.tracks[1].co64 = true;
    large.tracks[1].tcSamplesPerChunk = 1;
    for (const FixtureMovie& m : {TwoTrackMovie(false), large}) {
        std::string good = BuildFixtureMovie(m);
        FixtureAtom moov;
        ASSERT_TRUE(FindFixtureAtom(good, "moov", &moov));
        int opened = 0;
        for (size_t at = moov.offset; at + 4 <= moov.offset + moov.size; at += 4)
            for (uint32_t v : {0u, 1u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu}) {
                std::string b = good;
                PutBE32(b, at, v);
                Outcome o = Exercise(dir, b);
                if (o.status == noErr)
                    ++opened;
                else
                    EXPECT_TRUE(IsOpenFailure(o.status)) << at << " " << v << ": " << o.status;
            }
        EXPECT_GT(opened, 0);  // many words (times, flags, matrices) do not matter
    }
}

}  // namespace
