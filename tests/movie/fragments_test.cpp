// Fragmented movies (moof) and compressed movie headers (cmov) read through
// the Toolbox operations: the timecode of every video sample must equal that
// of the same movie written plainly.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "movie/movie_parse.h"
#include "qtbinding/builtin/builtin_status.h"
#include "qtbinding/toolbox.h"
#include "tests/fixture/ffmpeg_movie.h"
#include "tests/fixture/fixture_writer.h"

#ifdef LUMAREST_HAVE_ZLIB
#include <zlib.h>
#endif

namespace {

struct Walk {
    OSErr status = noErr;
    std::vector<std::string> timecodes;  // one per video sample, or "error"
    std::vector<int64_t> times;
};

// The run's own sequence: first video and timecode media, then every video
// sample's time and its timecode text.
Walk WalkMovie(const std::string& path) {
    Walk w;
    InitializeQTML(4);
    unsigned char name[256];
    c2pstrcpy(name, path.c_str());
    FSSpec fileSpec;
    FSMakeFSSpec(0, 0, name, &fileSpec);
    int16_t ref = 0;
    Movie movie = nullptr;
    w.status = OpenMovieFile(&fileSpec, &ref, 1);
    if (w.status == noErr) w.status = NewMovieFromFile(&movie, ref, nullptr, nullptr, 1, nullptr);
    if (w.status == noErr) {
        Media video = nullptr, tc = nullptr;
        for (int32_t i = 1; i <= GetMovieTrackCount(movie); ++i) {
            Media m = GetTrackMedia(GetMovieIndTrack(movie, i));
            OSType type = 0;
            GetMediaHandlerDescription(m, &type, nullptr, nullptr);
            if (type == VideoMediaType && !video) video = m;
            if (type == TimeCodeMediaType && !tc) tc = m;
        }
        MediaHandler handler = GetMediaHandler(tc);
        int64_t vScale = GetMediaTimeScale(video), tScale = GetMediaTimeScale(tc);
        TimeValue64 t = 0, d = 0;
        GetMediaNextInterestingDecodeTime(video, 0x4010, 0, 0x10000, &t, &d);
        while (t >= 0 && vScale > 0) {
            w.times.push_back(t);
            TimeCodeDef def;
            TimeCodeRecord rec;
            int32_t frame;
            unsigned char text[256];
            TimeValue tcTime = TimeValue(t * tScale / vScale);
            if (TCGetTimeCodeAtTime(handler, tcTime, &frame, &def, &rec, nullptr) == noErr &&
                TCTimeCodeToString(handler, &def, &rec, text) == noErr) {
                w.timecodes.emplace_back(reinterpret_cast<char*>(text + 1), text[0]);
            } else {
                w.timecodes.push_back("error");
            }
            GetMediaNextInterestingDecodeTime(video, 0x0010, t, 0x10000, &t, &d);
        }
    }
    TerminateQTML();
    return w;
}

class Fragments : public ::testing::Test {
protected:
    void SetUp() override {
        if (!FfmpegAvailable()) GTEST_SKIP() << "ffmpeg not available";
        folder_ = MakeTempFolder();
        ASSERT_FALSE(folder_.empty());
    }
    void TearDown() override {
        if (!folder_.empty()) RemoveFolder(folder_);
    }
    std::string Make(const std::string& rate, const std::string& timecode, const std::string& movflags,
                     const std::string& name) {
        FfmpegMovieSpec options;
        options.rate = rate;
        options.seconds = 3;
        options.timecode = timecode;
        options.extraArgs = "-g 10" + (movflags.empty() ? "" : " -movflags " + movflags);
        return MakeFfmpegMovie(options, folder_, name);
    }
    std::string folder_;
};

TEST_F(Fragments, FragmentedMoviesGiveTheTimecodesOfThePlainMovie) {
    struct Case {
        const char* rate;
        const char* timecode;
    } cases[] = {{"25", "10:00:00:00"}, {"30000/1001", "00:00:59;28"}};
    for (const Case& c : cases) {
        std::string plain = Make(c.rate, c.timecode, "", "plain.mov");
        ASSERT_FALSE(plain.empty());
        Walk expected = WalkMovie(plain);
        ASSERT_EQ(expected.status, noErr);
        ASSERT_EQ(expected.timecodes.size(), c.rate == std::string("25") ? 75u : 90u);
        EXPECT_EQ(expected.timecodes.front(), c.timecode);
        for (const char* flags : {"frag_keyframe+empty_moov", "frag_keyframe+empty_moov+default_base_moof"}) {
            std::string fragmented = Make(c.rate, c.timecode, flags, "frag.mov");
            ASSERT_FALSE(fragmented.empty());
            Walk w = WalkMovie(fragmented);
            ASSERT_EQ(w.status, noErr) << flags;
            EXPECT_EQ(w.times, expected.times) << flags;
            EXPECT_EQ(w.timecodes, expected.timecodes) << c.rate << " " << flags;

            // A constant-rate video keeps one run however many fragments it has.
            MovieFile file;
            ASSERT_EQ(OpenMovieFileForReading(fragmented, &file), MovieStatus::Ok);
            MovieModel model;
            ASSERT_EQ(ReadMovie(&file, &model), MovieStatus::Ok);
            CloseMovieFileForReading(&file);
            EXPECT_TRUE(model.fragmented);
            ASSERT_FALSE(model.tracks.empty());
            EXPECT_EQ(model.tracks[0].media.runs.runs.size(), 1u);
        }
    }
}


std::string Slurp(const std::string& path) {
    std::string bytes;
    FILE* f = fopen(path.c_str(), "rb");
    char buf[65536];
    size_t n;
    while (f && (n = fread(buf, 1, sizeof buf, f)) > 0) bytes.append(buf, n);
    if (f) fclose(f);
    return bytes;
}

TEST_F(Fragments, DamagedFragmentsAreRefusedNotWalkedShort) {
    std::string path = Make("25", "01:00:00:00", "frag_keyframe+empty_moov", "frag.mov");
    ASSERT_FALSE(path.empty());
    std::string good = Slurp(path);
    std::string out = folder_ + "/damaged.mov";

    // Cut inside the last fragment's data.
    ASSERT_TRUE(WriteFixtureFile(out, good.substr(0, good.size() - 100)));
    EXPECT_EQ(WalkMovie(out).status, invalidMovie);

    // Only the moov: fragmented, but nothing to walk.
    FixtureAtom moov;
    ASSERT_TRUE(FindFixtureAtom(good, "moov", &moov));
    ASSERT_TRUE(WriteFixtureFile(out, good.substr(0, size_t(moov.offset + moov.size))));
    EXPECT_EQ(WalkMovie(out).status, invalidMovie);

    // A trun data offset beyond the file, and a tfdt that goes back in time.
    FixtureAtom trun, tfdt;
    ASSERT_TRUE(FindFixtureAtom(good, "moof[2]/traf/trun", &trun));
    std::string bytes = good;
    uint32_t trunFlags = GetBE32(bytes, trun.payload()) & 0xFFFFFF;
    ASSERT_TRUE(trunFlags & 1);  // ffmpeg writes a data offset
    PutBE32(bytes, trun.payload() + 8, 0x7FFFFFF0u);
    ASSERT_TRUE(WriteFixtureFile(out, bytes));
    EXPECT_EQ(WalkMovie(out).status, invalidMovie);
    if (FindFixtureAtom(good, "moof[2]/traf/tfdt", &tfdt)) {
        bytes = good;
        bool v1 = good[tfdt.payload()] == 1;
        if (v1)
            PutBE64(bytes, tfdt.payload() + 4, 0);
        else
            PutBE32(bytes, tfdt.payload() + 4, 0);
        ASSERT_TRUE(WriteFixtureFile(out, bytes));
        EXPECT_EQ(WalkMovie(out).status, invalidMovie);
    }
}

#ifdef LUMAREST_HAVE_ZLIB
// The movie's moov replaced by moov{cmov{dcom 'zlib', cmvd{size, deflated moov}}}.
std::string CompressHeader(const std::string& movie, const char* compressor, int64_t sizeDelta) {
    FixtureAtom moov;
    if (!FindFixtureAtom(movie, "moov", &moov)) return "";
    std::string original = movie.substr(moov.offset, size_t(moov.size));
    uLongf packedSize = compressBound(uLong(original.size()));
    std::string packed(packedSize, '\0');
    compress(reinterpret_cast<Bytef*>(&packed[0]), &packedSize, reinterpret_cast<const Bytef*>(original.data()),
             uLong(original.size()));
    packed.resize(packedSize);
    std::string cmvd(8, '\0');
    cmvd.replace(4, 4, "cmvd");
    cmvd += std::string(4, '\0') + packed;
    PutBE32(cmvd, 0, uint32_t(cmvd.size()));
    PutBE32(cmvd, 8, uint32_t(int64_t(original.size()) + sizeDelta));
    std::string dcom = std::string(8, '\0') + compressor;
    dcom.replace(4, 4, "dcom");
    PutBE32(dcom, 0, 12);
    std::string cmov = std::string(8, '\0') + dcom + cmvd;
    cmov.replace(4, 4, "cmov");
    PutBE32(cmov, 0, uint32_t(cmov.size()));
    std::string wrapper = std::string(8, '\0') + cmov;
    wrapper.replace(4, 4, "moov");
    PutBE32(wrapper, 0, uint32_t(wrapper.size()));
    // mdat comes first in the fixture, so its chunk offsets stay right.
    return movie.substr(0, moov.offset) + wrapper + movie.substr(size_t(moov.offset + moov.size));
}

TEST(CompressedHeader, InflatedMoovReadsLikeThePlainOne) {
    std::string folder = MakeTempFolder();
    ASSERT_FALSE(folder.empty());
    FixtureMovie m;
    m.tracks.push_back(FixtureVideoTrack(25, 30, 1));
    m.tracks.push_back(FixtureTimecodeTrack(tcDropFrame, 30000, 1001, 30, 25, 1798, 30));
    std::string plain = BuildFixtureMovie(m);
    ASSERT_TRUE(WriteFixtureFile(folder + "/plain.mov", plain));
    Walk expected = WalkMovie(folder + "/plain.mov");
    ASSERT_EQ(expected.status, noErr);
    ASSERT_EQ(expected.timecodes.size(), 30u);

    ASSERT_TRUE(WriteFixtureFile(folder + "/c.mov", CompressHeader(plain, "zlib", 0)));
    Walk w = WalkMovie(folder + "/c.mov");
    EXPECT_EQ(w.status, noErr);
    EXPECT_EQ(w.timecodes, expected.timecodes);

    // A declared size that does not match, or another compressor: refused.
    for (int64_t delta : {int64_t(1), int64_t(-1), int64_t(1) << 30}) {
        ASSERT_TRUE(WriteFixtureFile(folder + "/c.mov", CompressHeader(plain, "zlib", delta)));
        EXPECT_EQ(WalkMovie(folder + "/c.mov").status, invalidMovie) << delta;
    }
    ASSERT_TRUE(WriteFixtureFile(folder + "/c.mov", CompressHeader(plain, "lzw ", 0)));
    EXPECT_EQ(WalkMovie(folder + "/c.mov").status, invalidMovie);
    RemoveFolder(folder);
}

// A header that inflates to far more than the first 64 KiB buffer: the buffer
// grows with the stream and the movie reads as the plain one.
TEST(CompressedHeader, LargeHeaderInflatesWhole) {
    std::string folder = MakeTempFolder();
    ASSERT_FALSE(folder.empty());
    FixtureMovie m;
    FixtureTrack video = FixtureVideoTrack(30000, 0, 1001);
    video.stts.clear();
    for (uint32_t i = 0; i < 20000; ++i) video.stts.push_back({1, i % 2 ? 1001u : 1002u});
    m.tracks.push_back(video);
    m.tracks.push_back(FixtureTimecodeTrack(tcDropFrame, 30000, 1001, 30, 30000, 0, 20000 * 1002));
    std::string plain = BuildFixtureMovie(m);
    ASSERT_TRUE(WriteFixtureFile(folder + "/plain.mov", plain));
    Walk expected = WalkMovie(folder + "/plain.mov");
    ASSERT_EQ(expected.status, noErr);
    ASSERT_EQ(expected.timecodes.size(), 20000u);
    const std::string packed = CompressHeader(plain, "zlib", 0);
    ASSERT_LT(packed.size(), plain.size() / 4);
    ASSERT_TRUE(WriteFixtureFile(folder + "/c.mov", packed));
    Walk w = WalkMovie(folder + "/c.mov");
    EXPECT_EQ(w.status, noErr);
    EXPECT_EQ(w.timecodes, expected.timecodes);
    RemoveFolder(folder);
}
#endif

}  // namespace
