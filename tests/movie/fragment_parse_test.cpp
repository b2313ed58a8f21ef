// moof parsing on hand-built fragments: the data-offset rules that ffmpeg's
// files do not exercise, defaults, and damage.
#include <gtest/gtest.h>

#include <string>

#include "movie/fragments.h"

namespace {

std::string BE32(uint32_t v) { return std::string{char(v >> 24), char(v >> 16), char(v >> 8), char(v)}; }
std::string BE64(uint64_t v) { return BE32(uint32_t(v >> 32)) + BE32(uint32_t(v)); }
std::string Atom(const char* type, const std::string& body) { return BE32(uint32_t(8 + body.size())) + type + body; }
std::string Full(uint32_t flags, const std::string& body) { return BE32(flags) + body; }  // version 0

MovieModel TwoTracks() {
    MovieModel m;
    m.fragmented = true;
    m.tracks.resize(2);
    m.tracks[0].trackID = 1;
    m.tracks[0].media.type = 0x76696465;  // 'vide'
    m.tracks[1].trackID = 2;
    m.tracks[1].media.type = 0x746D6364;  // 'tmcd'
    TrackExtends video;
    video.trackID = 1;
    video.duration = 512;
    video.size = 100;
    m.extends.push_back(video);
    return m;
}

bool Add(const std::string& moofBody, uint64_t moofOffset, uint64_t fileSize, MovieModel* m) {
    return AddMovieFragment(reinterpret_cast<const uint8_t*>(moofBody.data()), moofBody.size(), moofOffset,
                            fileSize, m);
}

TEST(FragmentParse, DefaultsFromTrexAndDataFollowingThePreviousTraf) {
    MovieModel m = TwoTracks();
    // traf 1: video, no base offset: its data starts at the moof (1000);
    // trun with a data offset of 200 and no per-sample fields: 3 x 100 bytes.
    std::string traf1 = Atom("traf", Atom("tfhd", Full(0, BE32(1))) +
                                         Atom("tfdt", Full(0, BE32(0))) +
                                         Atom("trun", Full(0x1, BE32(3) + BE32(200))));
    // traf 2: timecode, no base offset: its data follows traf 1's (1500);
    // two samples of 4 bytes, durations given per sample.
    std::string traf2 = Atom("traf", Atom("tfhd", Full(0x10, BE32(2) + BE32(4))) +
                                         Atom("trun", Full(0x100, BE32(2) + BE32(600) + BE32(300))));
    ASSERT_TRUE(Add(Atom("mfhd", Full(0, BE32(1))) + traf1 + traf2, 1000, 5000, &m));
    const MediaModel& video = m.tracks[0].media;
    EXPECT_EQ(video.runs.sampleCount, 3u);
    EXPECT_EQ(video.runs.endTime, 3 * 512);
    const MediaModel& tc = m.tracks[1].media;
    ASSERT_EQ(tc.locations.sampleCount, 2u);
    uint64_t offset;
    uint32_t size, description;
    ASSERT_TRUE(FindSampleLocation(tc.locations, 1, &offset, &size, &description));
    EXPECT_EQ(offset, 1504u);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(description, 1u);
    EXPECT_EQ(tc.runs.endTime, 900);

    // A second fragment whose base decode time continues the first merges.
    std::string next = Atom("traf", Atom("tfhd", Full(0x020000, BE32(1))) +
                                        Atom("tfdt", Full(0, BE32(3 * 512))) +
                                        Atom("trun", Full(0x1, BE32(2) + BE32(8))));
    ASSERT_TRUE(Add(next, 3000, 5000, &m));
    EXPECT_EQ(video.runs.runs.size(), 1u);
    EXPECT_EQ(video.runs.sampleCount, 5u);
}

TEST(FragmentParse, BaseOffsetAndNegativeDataOffset) {
    MovieModel m = TwoTracks();
    // Explicit base 4000, data offset -100, per-sample sizes 4 and 8.
    std::string traf = Atom("traf", Atom("tfhd", Full(0x1, BE32(2) + BE64(4000))) +
                                        Atom("trun", Full(0x201, BE32(2) + BE32(uint32_t(-100)) + BE32(4) + BE32(8))));
    ASSERT_TRUE(Add(traf, 0, 5000, &m));
    uint64_t offset;
    uint32_t size, description;
    ASSERT_TRUE(FindSampleLocation(m.tracks[1].media.locations, 1, &offset, &size, &description));
    EXPECT_EQ(offset, 3904u);
    EXPECT_EQ(size, 8u);
}

TEST(FragmentParse, DamagedFragmentsAreInvalid) {
    struct Case {
        const char* what;
        std::string body;
    } cases[] = {
        {"trun before tfhd", Atom("traf", Atom("trun", Full(0, BE32(0))))},
        {"traf without tfhd", Atom("traf", Atom("free", ""))},
        {"data beyond the file", Atom("traf", Atom("tfhd", Full(0, BE32(1))) + Atom("trun", Full(0x1, BE32(100) + BE32(0))))},
        {"billions of default samples", Atom("traf", Atom("tfhd", Full(0, BE32(1))) + Atom("trun", Full(0, BE32(0xFFFFFFFF))))},
        {"sample entries beyond the trun", Atom("traf", Atom("tfhd", Full(0, BE32(1))) + Atom("trun", Full(0x100, BE32(1000) + BE32(1))))},
        {"negative offset before the file", Atom("traf", Atom("tfhd", Full(0, BE32(1))) + Atom("trun", Full(0x1, BE32(1) + BE32(uint32_t(-5000)))))},
        {"decode time going back", Atom("traf", Atom("tfhd", Full(0, BE32(1))) + Atom("trun", Full(0, BE32(1))) + Atom("tfdt", Full(0, BE32(0))))},
        {"traf larger than moof", BE32(0x1000) + "traf"},
    };
    for (const Case& c : cases) {
        MovieModel m = TwoTracks();
        EXPECT_FALSE(Add(c.body, 0, 5000, &m)) << c.what;
    }
}

}  // namespace
