// Tracks, media types, time scales, sample descriptions and the sample walk
// of the built-in Toolbox, against movies built by the fixture writer.
#include "tests/fixture/fixture_writer.h"
#include "tests/toolbox/toolbox_session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace {

std::string Write(const TestFolder& dir, const FixtureMovie& m, const std::string& name = "m.mov") {
    std::string path = dir.File(name);
    EXPECT_TRUE(WriteFixtureFile(path, BuildFixtureMovie(m)));
    return path;
}

FixtureTrack TypedTrack(const char (&type)[5], uint32_t scale, uint32_t count, uint32_t duration) {
    FixtureTrack t = FixtureVideoTrack(scale, count, duration);
    t.mediaType = FixtureCode(type);
    return t;
}

TEST(ToolboxMedia, TracksInFileOrderWithTypeAndTimeScale) {
    QtSession qt;
    ASSERT_EQ(qt.initErr, noErr);
    ASSERT_EQ(qt.enterErr, noErr);
    TestFolder dir;
    FixtureMovie m;
    m.tracks.push_back(TypedTrack("soun", 44100, 4, 1024));
    m.tracks.push_back(FixtureTimecodeTrack(0, 25, 1, 25, 600, 0, 600));
    m.tracks.push_back(FixtureVideoTrack(30000, 3, 1001));
    m.tracks.push_back(FixtureVideoTrack(25, 2, 1));
    m.tracks.push_back(TypedTrack("text", 1000, 1, 1000));
    m.tracks[2].disabled = true;      // a disabled track is still a track
    m.tracks[3].trackId = 3;          // two tracks sharing an ID
    for (bool moovFirst : {false, true}) {
        m.moovFirst = moovFirst;
        Movie movie = nullptr;
        ASSERT_EQ(OpenMoviePath(Write(dir, m), &movie), noErr);
        ASSERT_EQ(GetMovieTrackCount(movie), 5);
        const OSType types[5] = {SoundMediaType, TimeCodeMediaType, VideoMediaType, VideoMediaType,
                                 FourCC("text")};
        const TimeScale scales[5] = {44100, 600, 30000, 25, 1000};
        for (int i = 0; i < 5; ++i) {
            Track track = GetMovieIndTrack(movie, i + 1);
            ASSERT_NE(track, nullptr);
            Media media = GetTrackMedia(track);
            ASSERT_NE(media, nullptr);
            OSType type = 0;
            GetMediaHandlerDescription(media, &type, nullptr, nullptr);
            EXPECT_EQ(type, types[i]) << i;
            EXPECT_EQ(GetMediaTimeScale(media), scales[i]) << i;
        }
        EXPECT_NE(GetMediaHandler(NthMediaOfType(movie, TimeCodeMediaType)), nullptr);
        EXPECT_EQ(WalkSampleTimes(NthMediaOfType(movie, VideoMediaType, 2)),
                  (std::vector<TimeValue64>{0, 1}));
    }
}

TEST(ToolboxMedia, MovieWithoutTracks) {
    QtSession qt;
    TestFolder dir;
    Movie movie = nullptr;
    ASSERT_EQ(OpenMoviePath(Write(dir, FixtureMovie()), &movie), noErr);
    EXPECT_EQ(GetMovieTrackCount(movie), 0);
}

int16_t Int16At(Handle h, size_t offset) {
    int16_t v;
    std::memcpy(&v, *h + offset, 2);
    return v;
}

TEST(ToolboxMedia, ImageDescriptionSizesAreSignedInHostOrder) {
    QtSession qt;
    TestFolder dir;
    const FixtureImageSize sizes[] = {{1920, 1080}, {-1, -32768}, {32767, 0}};
    for (const FixtureImageSize& s : sizes) {
        FixtureMovie m;
        m.tracks.push_back(FixtureVideoTrack(25, 1, 1));
        m.tracks[0].width = s.width;
        m.tracks[0].height = s.height;
        Movie movie = nullptr;
        ASSERT_EQ(OpenMoviePath(Write(dir, m), &movie), noErr);
        Handle h = NewHandleClear(86);
        ASSERT_NE(h, nullptr);
        GetMediaSampleDescription(NthMediaOfType(movie, VideoMediaType), 1, h);
        EXPECT_EQ(Int16At(h, 32), s.width);
        EXPECT_EQ(Int16At(h, 34), s.height);
    }
}

TEST(ToolboxMedia, SampleDescriptionByIndexAndLongerThanTheHandle) {
    QtSession qt;
    TestFolder dir;
    FixtureMovie m;
    m.tracks.push_back(FixtureVideoTrack(25, 1, 1));
    m.tracks[0].width = 720;
    m.tracks[0].height = 576;
    m.tracks[0].moreDescriptions.push_back({1280, 720});
    // An extension atom after the fixed fields: the handle must grow to hold it.
    std::string colr("\0\0\0\x12" "colrnclx\0\x01\0\x01\0\x01", 18);
    m.tracks[0].videoDescriptionExtra = colr;
    Movie movie = nullptr;
    ASSERT_EQ(OpenMoviePath(Write(dir, m), &movie), noErr);
    Media video = NthMediaOfType(movie, VideoMediaType);
    Handle h = NewHandleClear(86);
    ASSERT_NE(h, nullptr);
    GetMediaSampleDescription(video, 1, h);
    EXPECT_EQ(Int16At(h, 32), 720);
    EXPECT_EQ(Int16At(h, 34), 576);
    EXPECT_EQ(std::string(*h + 86, colr.size()), colr);
    GetMediaSampleDescription(video, 2, h);
    EXPECT_EQ(Int16At(h, 32), 1280);
    EXPECT_EQ(Int16At(h, 34), 720);
    // Indices that name no description leave a usable handle behind.
    for (int32_t bad : {0, 3, -1, 0x7FFFFFFF}) {
        GetMediaSampleDescription(video, bad, h);
        EXPECT_NE(*h, nullptr);
    }
}

TEST(ToolboxMedia, WalkVisitsEverySampleStartAcrossRuns) {
    QtSession qt;
    TestFolder dir;
    FixtureMovie m;
    m.tracks.push_back(FixtureVideoTrack(600, 0, 0));
    m.tracks[0].stts = {{3, 1000}, {2, 500}, {1, 7}, {2, 1}};
    Movie movie = nullptr;
    ASSERT_EQ(OpenMoviePath(Write(dir, m), &movie), noErr);
    Media v = NthMediaOfType(movie, VideoMediaType);
    EXPECT_EQ(WalkSampleTimes(v), (std::vector<TimeValue64>{0, 1000, 2000, 3000, 3500, 4000, 4007, 4008}));
    const int16_t edge = nextTimeMediaSample | nextTimeEdgeOK;
    EXPECT_EQ(NextSampleTime(v, nextTimeMediaSample, 0), 1000);   // strictly after
    EXPECT_EQ(NextSampleTime(v, edge, 1000), 1000);              // exactly at, with the edge flag
    EXPECT_EQ(NextSampleTime(v, edge, 1001), 2000);
    EXPECT_EQ(NextSampleTime(v, nextTimeMediaSample, 3499), 3500);
    EXPECT_EQ(NextSampleTime(v, nextTimeMediaSample, 4007), 4008);
    EXPECT_LT(NextSampleTime(v, nextTimeMediaSample, 4008), 0);    // last sample
    EXPECT_LT(NextSampleTime(v, edge, 4009), 0);                   // inside the last sample
    EXPECT_LT(NextSampleTime(v, edge, TimeValue64(1) << 40), 0);
}

TEST(ToolboxMedia, TimesOf2To32AndMoreStayExact) {
    QtSession qt;
    TestFolder dir;
    FixtureMovie m;
    m.tracks.push_back(FixtureVideoTrack(1000, 0, 0));
    m.tracks[0].stts = {{3, 0x80000000u}, {2, 0xFFFFFFFFu}, {1, 1}};
    Movie movie = nullptr;
    ASSERT_EQ(OpenMoviePath(Write(dir, m), &movie), noErr);
    Media v = NthMediaOfType(movie, VideoMediaType);
    const TimeValue64 k31 = TimeValue64(1) << 31, k32 = TimeValue64(1) << 32;
    EXPECT_EQ(WalkSampleTimes(v), (std::vector<TimeValue64>{0, k31, k32, k32 + k31, k32 + k31 + 0xFFFFFFFF,
                                                            k32 + k31 + 2 * TimeValue64(0xFFFFFFFF)}));
    EXPECT_EQ(NextSampleTime(v, nextTimeMediaSample | nextTimeEdgeOK, k32 + 1), k32 + k31);
}

TEST(ToolboxMedia, MediaWithoutSamplesAnswersNegativeAtOnce) {
    QtSession qt;
    TestFolder dir;
    FixtureMovie m;
    m.tracks.push_back(FixtureVideoTrack(30000, 0, 0));
    m.tracks.push_back(FixtureTimecodeTrack(0, 25, 1, 25, 25, 0, 25));
    m.tracks[1].tcSamples.clear();
    Movie movie = nullptr;
    ASSERT_EQ(OpenMoviePath(Write(dir, m), &movie), noErr);
    TimeValue64 time = 123, duration = 456;
    GetMediaNextInterestingDecodeTime(NthMediaOfType(movie, VideoMediaType),
                                      nextTimeMediaSample | nextTimeEdgeOK, 0, 0x10000, &time, &duration);
    EXPECT_LT(time, 0);
    // Timecode media without a sample: no timecode at any time.
    ComponentResult r = 0;
    TimecodeTextAt(GetMediaHandler(NthMediaOfType(movie, TimeCodeMediaType)), 0, &r);
    EXPECT_NE(r, 0);
}

TEST(ToolboxMedia, ManyRunsAnsweredAtAnyTime) {
    QtSession qt;
    TestFolder dir;
    FixtureMovie m;
    m.tracks.push_back(FixtureVideoTrack(30000, 0, 0));
    std::vector<TimeValue64> starts;
    TimeValue64 t = 0;
    for (uint32_t i = 0; i < 20000; ++i) {
        FixtureSttsRun r{1 + i % 3, 1000 + i % 7};
        m.tracks[0].stts.push_back(r);
        for (uint32_t k = 0; k < r.count; ++k, t += r.duration) starts.push_back(t);
    }
    Movie movie = nullptr;
    ASSERT_EQ(OpenMoviePath(Write(dir, m), &movie), noErr);
    Media v = NthMediaOfType(movie, VideoMediaType);
    EXPECT_EQ(WalkSampleTimes(v), starts);
    // Queries from arbitrary times, answered from our own list of starts.
    for (TimeValue64 q = 0; q < t + 5000; q += 997) {
        auto after = std::upper_bound(starts.begin(), starts.end(), q);
        auto atOrAfter = std::lower_bound(starts.begin(), starts.end(), q);
        TimeValue64 strict = NextSampleTime(v, nextTimeMediaSample, q);
        EXPECT_EQ(strict < 0 ? -1 : strict, after == starts.end() ? -1 : *after) << q;
        TimeValue64 edge = NextSampleTime(v, nextTimeMediaSample | nextTimeEdgeOK, q);
        EXPECT_EQ(edge < 0 ? -1 : edge, atOrAfter == starts.end() ? -1 : *atOrAfter) << q;
    }
}

TEST(ToolboxMedia, TenMillionSamplesInOneRun) {
    QtSession qt;
    TestFolder dir;
    FixtureMovie m;
    const uint32_t n = 10000000;
    m.tracks.push_back(FixtureVideoTrack(30000, n, 1001));
    Movie movie = nullptr;
    ASSERT_EQ(OpenMoviePath(Write(dir, m), &movie), noErr);
    Media v = NthMediaOfType(movie, VideoMediaType);
    EXPECT_EQ(NextSampleTime(v, nextTimeMediaSample, TimeValue64(n - 2) * 1001), TimeValue64(n - 1) * 1001);
    EXPECT_LT(NextSampleTime(v, nextTimeMediaSample, TimeValue64(n - 1) * 1001), 0);
    EXPECT_EQ(NextSampleTime(v, nextTimeMediaSample, 5000000LL * 1001 + 3), 5000001LL * 1001);
}

}  // namespace

namespace {

// Media time is decode time: an edit list and composition offsets change
// presentation only.
TEST(ToolboxMedia, EditListsAndCompositionOffsetsDoNotMoveMediaTime) {
    QtSession qt;
    TestFolder dir;
    FixtureMovie m;
    m.tracks.push_back(FixtureVideoTrack(1000, 5, 100));
    m.tracks[0].extraTrakAtoms = FixtureEditList({{50, -1}, {400, 200}});
    // ctts: version 0, 3 entries of (count, offset).
    std::string ctts("\0\0\0\0\0\0\0\x03" "\0\0\0\x01\0\0\0\xC8" "\0\0\0\x02\0\0\0\0" "\0\0\0\x02\0\0\0\x64", 32);
    m.tracks[0].extraStblAtoms = FixtureAtomBytes("ctts", ctts);
    m.tracks.push_back(FixtureTimecodeTrack(0, 10, 1, 10, 1000, 36000, 500));
    m.tracks[1].extraTrakAtoms = FixtureEditList({{500, 250}});
    std::string path = dir.File("edits.mov");
    ASSERT_TRUE(WriteFixtureFile(path, BuildFixtureMovie(m)));
    WalkedMovie w = WalkMovie(path);
    ASSERT_EQ(w.status, noErr);
    EXPECT_EQ(w.times, (std::vector<TimeValue64>{0, 100, 200, 300, 400}));
    EXPECT_EQ(w.timecodes, (std::vector<std::string>{"01:00:00:00", "01:00:00:01", "01:00:00:02",
                                                     "01:00:00:03", "01:00:00:04"}));
}

}  // namespace
