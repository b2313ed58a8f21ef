// Parsing the movie header into the model, and timecode samples read back
// through the tables, on movies built by the fixture writer.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "movie/atom.h"
#include "movie/movie_parse.h"
#include "qtbinding/builtin/builtin_status.h"
#include "qtbinding/builtin/timecode_handler.h"
#include "tests/fixture/ffmpeg_movie.h"
#include "tests/fixture/fixture_writer.h"

namespace {

class MovieParse : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = MakeTempFolder();
        ASSERT_FALSE(folder_.empty());
    }
    void TearDown() override {
        CloseMovieFileForReading(&file_);
        RemoveFolder(folder_);
    }

    // Writes the movie, opens it and reads it into model_.
    template <typename Bytes>
    OSErr Read(const Bytes& bytes) {
        CloseMovieFileForReading(&file_);
        model_ = MovieModel();
        std::string path = folder_ + "/m" + std::to_string(++count_) + ".mov";
        EXPECT_TRUE(WriteFixtureFile(path, bytes));
        OSErr err = ToolboxStatus(OpenMovieFileForReading(path, &file_));
        if (err != noErr) return err;
        return ToolboxStatus(ReadMovie(&file_, &model_));
    }

    // The timecode text of the first 'tmcd' track at media time t.
    std::string TimecodeAt(int32_t t) {
        for (const TrackModel& track : model_.tracks) {
            if (track.media.type != TimeCodeMediaType) continue;
            TimeCodeDef def;
            TimeCodeRecord rec;
            int32_t frame;
            ComponentResult r = TimecodeAtTime(&file_, track.media, nullptr, &cache_, t, &frame, &def, &rec);
            if (r != noErr) return "error " + std::to_string(r);
            return std::to_string(frame);
        }
        return "no timecode track";
    }

    std::string folder_;
    int count_ = 0;
    MovieFile file_;
    MovieModel model_;
    TimecodeSampleCache cache_;
};

FixtureMovie VideoAndTimecode() {
    FixtureMovie m;
    FixtureTrack video = FixtureVideoTrack(30000, 10, 1001);
    video.stts.push_back({5, 2002});
    m.tracks.push_back(video);
    m.tracks.push_back(FixtureTimecodeTrack(0, 30000, 1001, 30, 30000, 1000, 20020));
    return m;
}

TEST_F(MovieParse, TracksInMoovOrderWithTypeScaleAndRunsWhereverMoovSits) {
    for (bool moovFirst : {false, true}) {
        for (bool largeSizes : {false, true}) {
            FixtureMovie m = VideoAndTimecode();
            FixtureTrack sound = FixtureVideoTrack(48000, 3, 1024);
            sound.mediaType = SoundMediaType;
            m.tracks.insert(m.tracks.begin(), sound);
            m.moovFirst = moovFirst;
            m.largeSizes = largeSizes;
            m.lastAtomSizeZero = true;
            ASSERT_EQ(Read(BuildFixtureMovie(m)), noErr) << moovFirst << largeSizes;
            ASSERT_EQ(model_.tracks.size(), 3u);
            EXPECT_EQ(model_.tracks[0].media.type, SoundMediaType);
            EXPECT_EQ(model_.tracks[1].media.type, VideoMediaType);
            EXPECT_EQ(model_.tracks[2].media.type, TimeCodeMediaType);
            const MediaModel& video = model_.tracks[1].media;
            EXPECT_EQ(video.timeScale, 30000);
            EXPECT_EQ(video.runs.runs.size(), 2u);
            EXPECT_EQ(video.runs.sampleCount, 15u);
            EXPECT_EQ(video.runs.endTime, 10 * 1001 + 5 * 2002);
            ASSERT_EQ(video.descriptions.size(), 1u);
            // Sample locations are kept for timecode media only.
            EXPECT_TRUE(video.locations.spans.empty());
            EXPECT_EQ(model_.tracks[2].media.locations.sampleCount, 1u);
            EXPECT_EQ(TimecodeAt(0), "1000");
        }
    }
}

// What this process has read from files so far (rchar of /proc/self/io).
uint64_t BytesReadSoFar() {
    std::ifstream io("/proc/self/io");
    std::string key;
    uint64_t value = 0;
    while (io >> key >> value)
        if (key == "rchar:") return value;
    return 0;
}

// A long video as encoders write it, a size per sample and a chunk per two
// samples (1.2 MB of tables), before and after its data: the header's walk
// seeks past those tables and reads a few kilobytes.
TEST_F(MovieParse, VideoSizeAndChunkTablesAreSkippedNotRead) {
    for (bool moovFirst : {false, true}) {
        FixtureMovie m = VideoAndTimecode();
        m.tracks[0] = FixtureVideoTrack(30000, 200000, 1001);
        m.tracks[0].sizePerSample = true;
        m.tracks[0].samplesPerChunk = 2;
        m.moovFirst = moovFirst;
        const std::string bytes = BuildFixtureMovie(m);
        const uint64_t before = BytesReadSoFar();
        ASSERT_EQ(Read(bytes), noErr);
        const uint64_t read = BytesReadSoFar() - before;
        EXPECT_EQ(model_.tracks[0].media.runs.sampleCount, 200000u);
        EXPECT_EQ(TimecodeAt(1001 * 7), "1007");
        if (before != 0) {
            EXPECT_LT(read, 32u * 1024) << moovFirst;
        }
    }
}

// The media type (hdlr) may follow the sample tables (minf): the timecode
// tables are still read, once the trak has been walked.
TEST_F(MovieParse, HandlerAfterTheSampleTables) {
    std::string bytes = BuildFixtureMovie(VideoAndTimecode());
    FixtureAtom hdlr, minf;
    ASSERT_TRUE(FindFixtureAtom(bytes, "moov/trak[2]/mdia/hdlr", &hdlr));
    ASSERT_TRUE(FindFixtureAtom(bytes, "moov/trak[2]/mdia/minf", &minf));
    ASSERT_EQ(hdlr.offset + hdlr.size, minf.offset);
    const std::string hdlrBytes = bytes.substr(hdlr.offset, size_t(hdlr.size));
    const std::string minfBytes = bytes.substr(minf.offset, size_t(minf.size));
    bytes.replace(hdlr.offset, hdlrBytes.size() + minfBytes.size(), minfBytes + hdlrBytes);
    ASSERT_EQ(Read(bytes), noErr);
    EXPECT_EQ(model_.tracks[1].media.type, TimeCodeMediaType);
    EXPECT_EQ(TimecodeAt(1001 * 3), "1003");
}

TEST_F(MovieParse, TimecodeBreaksAndCountingOnPastTheLastSample) {
    FixtureMovie m = VideoAndTimecode();
    FixtureTrack& tc = m.tracks[1];
    tc.tcSamples = {{1000, 3003}, {50000, 2002}, {7, 1001}};
    for (uint32_t perChunk : {0u, 1u, 2u}) {
        for (bool co64 : {false, true}) {
            tc.tcSamplesPerChunk = perChunk;
            tc.co64 = co64;
            m.timecodeData = perChunk == 1 ? FixtureTimecodeData::First : FixtureTimecodeData::Last;
            ASSERT_EQ(Read(BuildFixtureMovie(m)), noErr);
            // Frame = the sample's value + whole frames (1001 units) since its start.
            EXPECT_EQ(TimecodeAt(0), "1000");
            EXPECT_EQ(TimecodeAt(3002), "1002");
            EXPECT_EQ(TimecodeAt(3003), "50000");
            EXPECT_EQ(TimecodeAt(5004), "50001");
            EXPECT_EQ(TimecodeAt(5005), "7");
            EXPECT_EQ(TimecodeAt(5005 + 1001 * 100 + 1000), "107");  // past the end: counts on
        }
    }
}

TEST_F(MovieParse, TimecodeSampleAbove4GiB) {
    FixtureMovie m = VideoAndTimecode();
    m.tracks[1].co64 = true;
    m.timecodeData = FixtureTimecodeData::Last;
    m.gapBeforeTimecodeData = (uint64_t(1) << 32) + 4096;
    FixtureFile file = BuildFixtureFile(m);
    ASSERT_EQ(Read(file), noErr);
    EXPECT_GT(file_.size, uint64_t(1) << 32);
    EXPECT_EQ(TimecodeAt(1001 * 5), "1005");
}

TEST_F(MovieParse, NoMoovIsNoMovieAndAnUnreadableMoovIsInvalid) {
    EXPECT_EQ(Read(std::string("\0\0\0\x10" "ftypqt  \0\0\0\0", 16)), noMovieFound);
    EXPECT_EQ(Read(std::string("plain text, not a movie at all\n")), noMovieFound);
    EXPECT_EQ(Read(std::string()), noMovieFound);
    std::string bytes = BuildFixtureMovie(VideoAndTimecode());
    FixtureAtom moov;
    ASSERT_TRUE(FindFixtureAtom(bytes, "moov", &moov));
    // moov is last: cutting the file truncates it.
    EXPECT_EQ(Read(bytes.substr(0, bytes.size() - 10)), invalidMovie);
}

// Each case patches one field of a sound movie and must be refused as damage,
// without an allocation the file cannot justify.
TEST_F(MovieParse, DamagedTablesAreInvalidMovies) {
    std::string good = BuildFixtureMovie(VideoAndTimecode());
    ASSERT_EQ(Read(good), noErr);
    const std::string video = "moov/trak[1]/mdia/minf/stbl/";
    const std::string tc = "moov/trak[2]/mdia/minf/stbl/";
    struct Patch {
        const char* what;
        std::string path;
        size_t at;  // offset in the atom's body
        uint32_t value;
    } patches[] = {
        {"stts count of 2^31", video + "stts", 4, 0x80000000u},
        {"stts count one too many", video + "stts", 4, 3},
        {"stsd count beyond its entries", video + "stsd", 4, 2},
        {"stsd entry larger than stsd", video + "stsd", 8, 0x10000},
        {"stsd entry below 16 bytes", video + "stsd", 8, 12},
        {"trak larger than moov", "moov/trak[2]", 0, 0x7FFFFFF0u},
        {"mdhd cut short", "moov/trak[1]/mdia/mdhd", 0, 16},
        {"timecode stsc count of 2^30", tc + "stsc", 4, 0x40000000u},
        {"timecode stsc first chunk 0", tc + "stsc", 8, 0},
        {"timecode stco count of 2^30", tc + "stco", 4, 0x40000000u},
        {"timecode stsz table of 2^30 entries", tc + "stsz", 4, 0},
    };
    for (const Patch& p : patches) {
        std::string bytes = good;
        FixtureAtom atom;
        ASSERT_TRUE(FindFixtureAtom(bytes, p.path, &atom)) << p.what;
        if (p.at == 0 && p.path.find("mdhd") != std::string::npos) {
            PutBE32(bytes, atom.offset, p.value);  // atom size: 16 bytes, body 8
            // Keep the parent's size consistent: the hole becomes a padding atom.
            PutBE32(bytes, atom.offset + 16, uint32_t(atom.size - 16));
            bytes.replace(atom.offset + 20, 4, "free");
        } else if (p.at == 0) {
            PutBE32(bytes, atom.offset, p.value);
        } else {
            PutBE32(bytes, atom.payload() + p.at, p.value);
        }
        EXPECT_EQ(Read(bytes), invalidMovie) << p.what;
    }
}

TEST_F(MovieParse, TimecodeSampleOutsideTheFileIsAnErrorNotAValue) {
    std::string bytes = BuildFixtureMovie(VideoAndTimecode());
    FixtureAtom stco;
    ASSERT_TRUE(FindFixtureAtom(bytes, "moov/trak[2]/mdia/minf/stbl/stco", &stco));
    PutBE32(bytes, stco.payload() + 8, uint32_t(bytes.size() - 2));  // 2 bytes left at the offset
    ASSERT_EQ(Read(bytes), noErr);
    EXPECT_EQ(TimecodeAt(0), "error " + std::to_string(invalidSampleTable));
    PutBE32(bytes, stco.payload() + 8, 0xFFFFFFF0u);
    ASSERT_EQ(Read(bytes), noErr);
    cache_ = TimecodeSampleCache();
    EXPECT_EQ(TimecodeAt(0), "error " + std::to_string(invalidSampleTable));
    EXPECT_EQ(TimecodeAt(-1), "error " + std::to_string(invalidTime));
}

TEST_F(MovieParse, TimecodeDescriptionsWithNameAtomAndOddByte) {
    FixtureMovie m = VideoAndTimecode();
    m.tracks[1].tcDescriptionExtra = FixtureNameAtom("Timecode");
    m.tracks[1].tcByteAfterNumFrames = 0x5A;
    m.tracks[1].disabled = true;
    ASSERT_EQ(Read(BuildFixtureMovie(m)), noErr);
    EXPECT_EQ(TimecodeAt(1001 * 3), "1003");
}

TEST_F(MovieParse, EmptyTimecodeMediaAnswersNoTime) {
    FixtureMovie m = VideoAndTimecode();
    m.tracks[1].tcSamples.clear();
    ASSERT_EQ(Read(BuildFixtureMovie(m)), noErr);
    EXPECT_EQ(TimecodeAt(0), "error " + std::to_string(timeNotInMedia));
}

}  // namespace
