#include "tests/run/qc_movies.h"

#include <cstdio>

#include "tests/fixture/smpte.h"

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

namespace {

uint8_t Bcd(int value) { return uint8_t((value / 10) << 4 | value % 10); }

std::string Be32(uint32_t v) { return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)}; }

}  // namespace

FixtureMovie SonyMovie(uint32_t timeScale, uint32_t duration, const std::vector<std::string>& labels,
                       const std::string& xml) {
    FixtureMovie m;
    m.majorBrand = FixtureCode("XAVC");
    FixtureTrack rtmd = FixtureVideoTrack(timeScale, uint32_t(labels.size()), duration);
    rtmd.mediaType = FixtureCode("meta");
    rtmd.sampleFormat = FixtureCode("rtmd");
    rtmd.sampleSize = 64;
    rtmd.extraTrakAtoms = FixtureAtomBytes("tref", FixtureAtomBytes("cdsc", Be32(1)));
    for (const std::string& label : labels) {
        SmpteTime t;
        std::string sample(20, '\0');
        sample[1] = ParseSmpte(label, &t) ? 0x1c : 0x10;  // header length 28, or too short
        sample[13] = char(t.hours);
        sample[14] = char(t.minutes);
        sample[15] = char(t.seconds);
        sample[16] = char(t.frames);
        rtmd.sampleBytes.push_back(sample);
    }
    m.tracks = {FixtureVideoTrack(timeScale, uint32_t(labels.size()), duration), rtmd};
    if (!xml.empty()) {
        const std::string hdlr = FixtureAtomBytes("hdlr", std::string(4, '\0') + Be32(0) + "nrtm" + std::string(13, '\0'));
        m.topLevelAtoms = FixtureAtomBytes("meta", std::string(4, '\0') + hdlr +
                                                       FixtureAtomBytes("xml ", std::string(4, '\0') + xml));
    }
    return m;
}

std::string SonyXml(int tcFps, bool halfStep, const std::string& start) {
    SmpteTime t;
    ParseSmpte(start, &t);
    const uint8_t bytes[4] = {uint8_t(Bcd(t.frames) | (t.dropFrame ? 0x40 : 0)), Bcd(t.seconds), Bcd(t.minutes),
                              Bcd(t.hours)};
    char value[9];
    std::snprintf(value, sizeof value, "%02x%02x%02x%02x", bytes[0], bytes[1], bytes[2], bytes[3]);
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<NonRealTimeMeta xmlns=\"urn:schemas-professionalDisc:nonRealTimeMeta:ver.2.20\">\n"
           "<!-- <LtcChangeTable tcFps=\"99\"> -->\n<LtcChangeTable halfStep=\"" +
           std::string(halfStep ? "true" : "false") + "\" tcFps=\"" + std::to_string(tcFps) +
           "\">\n<LtcChange frameCount=\"0\" value=\"" + value + "\" status=\"increment\"/>\n"
           "</LtcChangeTable>\n</NonRealTimeMeta>\n";
}
