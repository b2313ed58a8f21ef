#include "tests/run/qc_movies.h"


FixtureMovie QcMovie(uint32_t frames, const std::vector<std::pair<uint32_t, uint32_t>>& samples, int32_t flags,
                     uint8_t fps) {
    FixtureMovie m;
    m.tracks = {FixtureVideoTrack(30000, frames, 1001), FixtureTimecodeTrack(flags, 30000, 1001, fps, 30000, 0, 0)};
    m.tracks[1].tcSamples.clear();
    for (const auto& [count, length] : samples) m.tracks[1].tcSamples.push_back({count, length * 1001});
    m.tracks[1].tcSamplesPerChunk = 1;
    return m;
}

void CutOffTimecodeSample(std::string& bytes, int index) {
    // Past stco's size, type, version and flags, and entry count.
    PutBE32(bytes, FixtureAtomOffset(bytes, "moov/trak[2]/mdia/minf/stbl/stco") + 16 + 4 * size_t(index),
            uint32_t(bytes.size() - 2));
}

bool WriteQcPageMovies(const std::string& dir) {
    const uint32_t hour = 107892;  // 01:00:00;00 in drop frame
    FixtureMovie gap = QcMovie(1800, {{0, 1802}});
    gap.tracks[0].stts = {{700, 1001}, {1, 3003}, {1099, 1001}};
    std::vector<std::pair<uint32_t, uint32_t>> dense(11, {6000, 1});  // each repeats the label before
    dense.front() = {0, 6001};
    dense.push_back({6011, 5989});
    std::string unlabelled = BuildFixtureMovie(QcMovie(1800, {{0, 900}, {900, 300}, {1200, 300}}));
    CutOffTimecodeSample(unlabelled, 1);
    const std::string clean = BuildFixtureMovie(QcMovie(900, {{216000, 900}}));
    const std::pair<const char*, std::string> movies[] = {
        {"a1_breaks.mov", BuildFixtureMovie(QcMovie(1800, {{hour, 600}, {hour + 900, 600}, {hour + 1000, 600}}, 1))},
        {"a2_unlabelled.mov", unlabelled},           {"a3_gap.mov", BuildFixtureMovie(gap)},
        {"a4_dense.mov", BuildFixtureMovie(QcMovie(12000, dense))},
        {"a5_damaged.mov", clean.substr(0, clean.size() / 2)}, {"a6_clean.mov", clean}};
    for (const auto& [name, bytes] : movies)
        if (!WriteFixtureFile(dir + "/" + name, bytes)) return false;
    return true;
}
