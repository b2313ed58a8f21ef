// The process-wide store behind the built-in Toolbox: start-up count, release
// by the last shut-down, and references that the store no longer holds.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "qtbinding/builtin/builtin_status.h"
#include "qtbinding/toolbox.h"
#include "tests/fixture/ffmpeg_movie.h"
#include "tests/fixture/fixture_writer.h"

namespace {

class BuiltinStore : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = MakeTempFolder();
        ASSERT_FALSE(folder_.empty());
        FixtureMovie m;
        m.tracks.push_back(FixtureVideoTrack(25, 4, 1));
        m.tracks.push_back(FixtureTimecodeTrack(0, 25, 1, 25, 25, 90000, 4));
        path_ = folder_ + "/movie.mov";
        ASSERT_TRUE(WriteFixtureFile(path_, BuildFixtureMovie(m)));
    }
    void TearDown() override { RemoveFolder(folder_); }

    OSErr Open(Movie* movie) {
        unsigned char name[256];
        c2pstrcpy(name, path_.c_str());
        FSSpec fileSpec;
        OSErr err = FSMakeFSSpec(0, 0, name, &fileSpec);
        if (err != noErr) return err;
        int16_t ref = 0;
        err = OpenMovieFile(&fileSpec, &ref, 1);
        if (err != noErr) return err;
        return NewMovieFromFile(movie, ref, nullptr, nullptr, 1, nullptr);
    }

    std::string folder_, path_;
};

TEST_F(BuiltinStore, NothingBeforeStartUpAndNothingAfterTheLastShutDown) {
    Movie movie = nullptr;
    EXPECT_EQ(EnterMovies(), kQtmlNotBound);
    EXPECT_EQ(Open(&movie), kQtmlNotBound);
    EXPECT_EQ(NewHandleClear(86), nullptr);

    ASSERT_EQ(InitializeQTML(4), noErr);
    ASSERT_EQ(InitializeQTML(4), noErr);
    ASSERT_EQ(EnterMovies(), noErr);
    ASSERT_EQ(Open(&movie), noErr);
    Track track = GetMovieIndTrack(movie, 2);
    Media media = GetTrackMedia(track);
    MediaHandler handler = GetMediaHandler(media);
    ASSERT_NE(handler, nullptr);
    EXPECT_EQ(GetMediaHandler(media), handler);  // one handler per media
    Handle h = NewHandleClear(86);
    ASSERT_NE(h, nullptr);

    TerminateQTML();  // the first of two: everything stays
    EXPECT_EQ(GetMovieTrackCount(movie), 2);
    TimeCodeDef def;
    TimeCodeRecord rec;
    int32_t frame = 0;
    EXPECT_EQ(TCGetTimeCodeAtTime(handler, 1, &frame, &def, &rec, nullptr), noErr);
    EXPECT_EQ(frame, 90001);

    TerminateQTML();  // the last: everything released, stale references refused
    TerminateQTML();  // an unmatched shut-down does nothing
    EXPECT_EQ(GetMovieTrackCount(movie), 0);
    EXPECT_EQ(GetMovieIndTrack(movie, 1), nullptr);
    EXPECT_EQ(GetTrackMedia(track), nullptr);
    EXPECT_EQ(GetMediaTimeScale(media), 0);
    EXPECT_EQ(GetMediaHandler(media), nullptr);
    EXPECT_EQ(TCGetTimeCodeAtTime(handler, 1, &frame, &def, &rec, nullptr), badComponentInstance);
    TimeValue64 t = 7, d = 7;
    GetMediaNextInterestingDecodeTime(media, 0x4010, 0, 0x10000, &t, &d);
    EXPECT_EQ(t, -1);

    // A new start-up works afresh.
    ASSERT_EQ(InitializeQTML(4), noErr);
    Movie again = nullptr;
    ASSERT_EQ(Open(&again), noErr);
    EXPECT_EQ(GetMovieTrackCount(again), 2);
    TerminateQTML();
}

TEST_F(BuiltinStore, NullAndUnknownReferencesAreAnsweredNotFollowed) {
    ASSERT_EQ(InitializeQTML(4), noErr);
    OSType type = 1;
    OSType maker = 1;
    unsigned char name[256];
    name[0] = 9;
    GetMediaHandlerDescription(nullptr, &type, name, &maker);
    EXPECT_EQ(type, 0u);
    EXPECT_EQ(maker, 0u);
    EXPECT_EQ(name[0], 0);
    GetMediaHandlerDescription(nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(GetMovieTrackCount(nullptr), 0);
    EXPECT_EQ(GetTrackMedia(nullptr), nullptr);
    int dummy;
    EXPECT_EQ(GetMovieTrackCount(reinterpret_cast<Movie>(&dummy)), 0);
    EXPECT_EQ(CallComponent(nullptr, nullptr), badComponentInstance);
    EXPECT_EQ(NewMovieFromFile(nullptr, 1, nullptr, nullptr, 1, nullptr), paramErr);
    Movie movie = reinterpret_cast<Movie>(&dummy);
    EXPECT_EQ(NewMovieFromFile(&movie, 12345, nullptr, nullptr, 1, nullptr), rfNumErr);
    EXPECT_EQ(movie, nullptr);
    EXPECT_EQ(OpenMovieFile(nullptr, nullptr, 1), paramErr);
    EXPECT_EQ(NewHandleClear(-1), nullptr);
    GetMediaSampleDescription(nullptr, 1, nullptr);
    TerminateQTML();
}

TEST_F(BuiltinStore, RequestBlocksAreCheckedAndOtherHandlersRefuseEveryRequest) {
    ASSERT_EQ(InitializeQTML(4), noErr);
    Movie movie = nullptr;
    ASSERT_EQ(Open(&movie), noErr);
    MediaHandler video = GetMediaHandler(GetTrackMedia(GetMovieIndTrack(movie, 1)));
    MediaHandler tc = GetMediaHandler(GetTrackMedia(GetMovieIndTrack(movie, 2)));
    TimeCodeDef def;
    TimeCodeRecord rec;
    int32_t frame;
    EXPECT_EQ(TCGetTimeCodeAtTime(video, 0, &frame, &def, &rec, nullptr), badComponentSelector);

    ComponentParameters block;
    std::memset(&block, 0, sizeof block);
    block.what = kTCGetTimeCodeAtTimeSelect;
    block.paramSize = 3 * sizeof(ComponentParamSlot);  // too few for this request
    EXPECT_EQ(CallComponent(tc, &block), paramErr);
    block.what = 0x7777;
    EXPECT_EQ(CallComponent(tc, &block), badComponentSelector);
    block.what = kTCTimeCodeToStringSelect;  // null places
    EXPECT_EQ(CallComponent(tc, &block), paramErr);
    // Every out place of timecode-at-time may be null.
    EXPECT_EQ(TCGetTimeCodeAtTime(tc, 2, nullptr, nullptr, nullptr, nullptr), noErr);
    EXPECT_EQ(TCGetTimeCodeAtTime(tc, -1, &frame, &def, &rec, nullptr), invalidTime);
    ASSERT_EQ(TCGetTimeCodeAtTime(tc, 3, &frame, &def, &rec, nullptr), noErr);
    unsigned char text[256];
    ASSERT_EQ(TCTimeCodeToString(tc, &def, &rec, text), noErr);
    // 90003 frames at 25 a second: 3600 s and 3 frames.
    EXPECT_EQ(std::string(reinterpret_cast<char*>(text + 1), text[0]), "01:00:00:03");
    TerminateQTML();
}

TEST_F(BuiltinStore, SampleDescriptionResizesTheHandleAndConvertsTheImageFields) {
    ASSERT_EQ(InitializeQTML(4), noErr);
    FixtureMovie m;
    m.tracks.push_back(FixtureVideoTrack(25, 1, 1));
    m.tracks[0].width = -1;  // stored 0xFFFF
    m.tracks[0].height = 1080;
    m.tracks[0].moreDescriptions.push_back({720, 576});
    path_ = folder_ + "/sizes.mov";
    ASSERT_TRUE(WriteFixtureFile(path_, BuildFixtureMovie(m)));
    Movie movie = nullptr;
    ASSERT_EQ(Open(&movie), noErr);
    Media media = GetTrackMedia(GetMovieIndTrack(movie, 1));
    Handle h = NewHandleClear(4);
    ASSERT_NE(h, nullptr);
    GetMediaSampleDescription(media, 1, h);
    int16_t width, height;
    int32_t size;
    std::memcpy(&size, *h, 4);
    std::memcpy(&width, *h + 32, 2);
    std::memcpy(&height, *h + 34, 2);
    EXPECT_GE(size, 86);
    EXPECT_EQ(width, -1);
    EXPECT_EQ(height, 1080);
    GetMediaSampleDescription(media, 2, h);
    std::memcpy(&width, *h + 32, 2);
    EXPECT_EQ(width, 720);
    GetMediaSampleDescription(media, 3, h);  // no such entry: the handle keeps the last one
    std::memcpy(&width, *h + 32, 2);
    EXPECT_EQ(width, 720);
    TerminateQTML();
}

TEST_F(BuiltinStore, OpenReportsMissingFilesAndBadNames) {
    ASSERT_EQ(InitializeQTML(4), noErr);
    FSSpec fileSpec;
    unsigned char name[256];
    c2pstrcpy(name, (folder_ + "/missing.mov").c_str());
    FSMakeFSSpec(0, 0, name, &fileSpec);
    int16_t ref = 0;
    EXPECT_EQ(OpenMovieFile(&fileSpec, &ref, 1), fnfErr);
    std::string withZero = path_ + std::string(1, '\0') + "x";
    name[0] = uint8_t(withZero.size());
    std::memcpy(name + 1, withZero.data(), withZero.size());
    FSMakeFSSpec(0, 0, name, &fileSpec);
    EXPECT_EQ(OpenMovieFile(&fileSpec, &ref, 1), bdNamErr);
    c2pstrcpy(name, folder_.c_str());  // a folder is no movie file
    FSMakeFSSpec(0, 0, name, &fileSpec);
    OSErr err = OpenMovieFile(&fileSpec, &ref, 1);
    if (err == noErr) {
        Movie movie = nullptr;
        EXPECT_NE(NewMovieFromFile(&movie, ref, nullptr, nullptr, 1, nullptr), noErr);
    }
    TerminateQTML();
}

TEST(CountedStrings, CopiesCapAt255AndRoundTrip) {
    std::string longText(300, 'a');
    unsigned char counted[256];
    c2pstrcpy(counted, longText.c_str());
    EXPECT_EQ(counted[0], 255);
    char text[256];
    p2cstrcpy(text, counted);
    EXPECT_EQ(std::string(text), std::string(255, 'a'));
    c2pstrcpy(counted, "");
    EXPECT_EQ(counted[0], 0);
    p2cstrcpy(text, counted);
    EXPECT_EQ(text[0], 0);
}

// Every length from 0 to 20, into another buffer and in place (the counted
// string's own bytes become the text).
TEST(CountedStrings, PlainCopyOfEveryShortLengthAlsoInPlace) {
    for (unsigned n = 0; n <= 20; ++n) {
        std::string expected;
        for (unsigned i = 0; i < n; ++i) expected += char('A' + i);
        unsigned char counted[32];
        counted[0] = uint8_t(n);
        std::memcpy(counted + 1, expected.data(), n);
        char text[32];
        std::memset(text, 'x', sizeof text);
        p2cstrcpy(text, counted);
        EXPECT_EQ(std::string(text), expected) << n;
        p2cstrcpy(reinterpret_cast<char*>(counted), counted);
        EXPECT_EQ(std::string(reinterpret_cast<char*>(counted)), expected) << n;
    }
}

}  // namespace
