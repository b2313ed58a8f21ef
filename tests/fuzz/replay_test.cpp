// Replays every kept fuzzer finding through both targets' code, without the
// fuzzer runtime (and under the sanitizers in the sanitizer build): each one
// crashed, hung or leaked once and must now simply be answered. A few checks
// on sound movies show that the walk harness really reaches the timecodes,
// so that a harness that silently stops early cannot pass for robustness.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/fixture/fixture_writer.h"
#include "tests/fuzz/fuzz_harness.h"

namespace {

std::vector<std::string> RegressionFiles() {
    std::vector<std::string> files;
    for (const auto& e : std::filesystem::recursive_directory_iterator(LUMAREST_FUZZ_REGRESSIONS))
        if (e.is_regular_file() && e.path().filename().string()[0] != '.') files.push_back(e.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

std::string Load(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

const uint8_t* Bytes(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

TEST(FuzzReplay, EveryKeptInputThroughEveryTarget) {
    std::vector<std::string> files = RegressionFiles();
    for (const std::string& path : files) {
        SCOPED_TRACE(path);
        std::string bytes = Load(path);
        WalkSummary summary;
        EXPECT_TRUE(WalkMovieBytes(Bytes(bytes), bytes.size(), &summary));
        ParseMovieAtomBytes(Bytes(bytes), bytes.size());
        ReadMxfFuzzBytes(Bytes(bytes), bytes.size());
    }
    std::printf("replayed %zu kept inputs\n", files.size());
}

// "HH:MM:SS:FF" of a non-drop frame count.
std::string NonDrop(int64_t frames, int fps) {
    char s[32];
    std::snprintf(s, sizeof s, "%02d:%02d:%02d:%02d", int(frames / fps / 3600), int(frames / fps / 60 % 60),
                  int(frames / fps % 60), int(frames % fps));
    return s;
}

TEST(FuzzReplay, WalkHarnessReachesEveryTimecodeOfASoundMovie) {
    FixtureMovie m;
    m.tracks.push_back(FixtureVideoTrack(25, 40, 1));
    m.tracks.push_back(FixtureTimecodeTrack(0, 25, 1, 25, 25, 10 * 3600 * 25, 40));
    std::string bytes = BuildFixtureMovie(m);
    WalkSummary s;
    ASSERT_TRUE(WalkMovieBytes(Bytes(bytes), bytes.size(), &s));
    EXPECT_EQ(s.openStatus, 0);
    EXPECT_EQ(s.movieStatus, 0);
    EXPECT_EQ(s.tracks, 2);
    EXPECT_EQ(s.videoSamples, 40);
    EXPECT_EQ(s.timecodes, 40);
    EXPECT_EQ(s.firstTimecode, "10:00:00:00");
    EXPECT_EQ(s.lastTimecode, NonDrop(10 * 3600 * 25 + 39, 25));

    // The same bytes as a moov body held in memory are read without complaint.
    FixtureAtom moov;
    ASSERT_TRUE(FindFixtureAtom(bytes, "moov", &moov));
    ParseMovieAtomBytes(Bytes(bytes) + moov.payload(), size_t(moov.size - moov.headerSize));
}

TEST(FuzzReplay, WalkIsCutShortOnAMovieOfBillionsOfSamples) {
    FixtureMovie m;
    m.tracks.push_back(FixtureVideoTrack(25, 1, 1));
    m.tracks.push_back(FixtureTimecodeTrack(0, 25, 1, 25, 25, 0, 1));
    std::string bytes = BuildFixtureMovie(m);
    // stts: version and flags, entry count, then the first entry's sample count.
    PutBE32(bytes, FixtureAtomOffset(bytes, "moov/trak[1]/mdia/minf/stbl/stts") + 16, 0xFFFFFFFFu);
    // stsz (one size for all samples): the same count, so that every sample has data.
    PutBE32(bytes, FixtureAtomOffset(bytes, "moov/trak[1]/mdia/minf/stbl/stsz") + 16, 0xFFFFFFFFu);
    WalkSummary s;
    ASSERT_TRUE(WalkMovieBytes(Bytes(bytes), bytes.size(), &s));
    EXPECT_EQ(s.videoSamples, kFuzzWalkSteps);
    EXPECT_EQ(s.lastTimecode, NonDrop(kFuzzWalkSteps - 1, 25));
}

}  // namespace
