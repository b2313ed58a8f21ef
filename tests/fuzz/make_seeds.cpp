// Writes the seed corpora of the fuzz targets: whole movies into
// <folder>/walk and their moov bodies into <folder>/moov. Movies come from the
// fixture writer (many layouts and timecode definitions) and, when ffmpeg is
// installed, from ffmpeg.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/fixture/ffmpeg_movie.h"
#include "tests/fuzz/compressed_header.h"
#include "tests/fixture/fixture_writer.h"
#include "tests/fixture/mxf_fixture.h"
#include "tests/fixture/sony_movie.h"

namespace {

std::vector<FixtureMovie> FixtureVariants() {
    std::vector<FixtureMovie> out;
    // Definitions: drop frame, 24-hour wrap, negative, counter, odd rates.
    struct Def { int32_t flags; uint32_t scale, duration; uint8_t fps; int32_t start; };
    const Def defs[] = {{0, 25, 1, 25, 90000},        {1, 30000, 1001, 30, 107892},
                        {2, 24000, 1001, 24, 2073599}, {4, 25, 1, 25, -10},
                        {8, 600, 20, 30, 12345},       {3, 60000, 1001, 60, 5000000},
                        {0, 30000, 1001, 29, 0},       {1, 30000, 1001, 30, -1}};
    for (const Def& d : defs) {
        FixtureMovie m;
        m.tracks.push_back(FixtureVideoTrack(d.scale, 12, d.duration));
        m.tracks.push_back(FixtureTimecodeTrack(d.flags, d.scale, d.duration, d.fps, d.scale, d.start, 12 * d.duration));
        out.push_back(m);
    }
    // Layouts: moov first, 64-bit sizes, size-0 last atom, co64, timecode data first.
    for (int layout = 0; layout < 6; ++layout) {
        FixtureMovie m;
        m.tracks.push_back(FixtureVideoTrack(30000, 8, 1001));
        m.tracks.push_back(FixtureTimecodeTrack(1, 30000, 1001, 30, 30000, 107892, 8008));
        m.moovFirst = layout == 1 || layout == 5;
        m.largeSizes = layout == 2;
        m.lastAtomSizeZero = layout == 3;
        m.tracks[1].co64 = layout == 4;
        m.timecodeData = layout == 5 ? FixtureTimecodeData::First : FixtureTimecodeData::Last;
        out.push_back(m);
    }
    // Several timecode samples in several chunks, differing time scales,
    // several video descriptions and stts runs, a name atom, tracks in odd order.
    {
        FixtureMovie m;
        FixtureTrack tc = FixtureTimecodeTrack(0, 25, 1, 25, 600, 0, 240);
        tc.tcSamples = {{0, 240}, {1000, 240}, {90000, 240}};
        tc.tcSamplesPerChunk = 1;
        tc.tcDescriptionExtra = FixtureNameAtom("Cam A");
        tc.disabled = true;
        m.tracks.push_back(tc);
        FixtureTrack v = FixtureVideoTrack(25, 0, 0);
        v.stts = {{5, 1}, {3, 2}, {1, 0}, {4, 1}};
        v.moreDescriptions = {{320, 240}};
        m.tracks.push_back(v);
        FixtureTrack s = FixtureVideoTrack(48000, 4, 1024);
        s.mediaType = FixtureCode("soun");
        m.tracks.push_back(s);
        out.push_back(m);
    }
    {
        FixtureMovie m;  // video without samples, timecode present
        m.tracks.push_back(FixtureVideoTrack(30000, 0, 0));
        m.tracks.push_back(FixtureTimecodeTrack(0, 30000, 1001, 30, 30000, 0, 1001));
        out.push_back(m);
    }
    {
        FixtureMovie m;  // timecode track much longer than the video, gap before its data
        m.tracks.push_back(FixtureVideoTrack(24000, 6, 1001));
        m.tracks.push_back(FixtureTimecodeTrack(0, 24000, 1001, 24, 12000, 86400, 500000));
        m.gapBeforeTimecodeData = 64;
        out.push_back(m);
    }
    // Sony's rtmd labels: with the clip's XML (halfStep, drop frame), and
    // without it, where the labels and the rate decide.
    const std::vector<std::string> drop = {"00:00:59;28", "00:00:59;29", "00:01:00;02", "00:01:00;02"};
    out.push_back(SonyMovie(60000, 1001, drop, SonyXml(30, true, "00:00:59;28")));
    out.push_back(SonyMovie(30000, 1001, drop));
    out.push_back(SonyMovie(25, 1, {"10:00:00:00", "", "10:00:00:02"}, SonyXml(25, false, "09:00:00:00")));
    return out;
}

bool Save(const std::string& path, const std::string& bytes) {
    std::ofstream f(path, std::ios::binary);
    f.write(bytes.data(), std::streamsize(bytes.size()));
    return bool(f);
}

std::string Load(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

int written = 0;

void Add(const std::string& folder, const std::string& name, const std::string& movie) {
    Save(folder + "/walk/" + name + ".mov", movie);
    FixtureAtom moov;
    if (FindFixtureAtom(movie, "moov", &moov) && moov.size >= moov.headerSize &&
        moov.offset + moov.size <= movie.size())
        Save(folder + "/moov/" + name + ".bin",
             movie.substr(moov.payload(), size_t(moov.size - moov.headerSize)));
    ++written;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    std::string folder = argv[1];
    std::filesystem::create_directories(folder + "/walk");
    std::filesystem::create_directories(folder + "/moov");
    std::filesystem::create_directories(folder + "/mxf");
    for (int k = 0; k < 6; ++k) {
        MxfFixture f;
        f.frames = 3;
        f.materialTimecode = {MxfFixtureTimecode()};
        f.clipWrapped = k == 1;
        f.indexTable = k == 1 || k == 2;
        f.openHeader = k == 3;
        f.lowerTimecode = {MxfFixtureTimecode()};
        f.dynamicTags = k == 4;
        f.sound = f.multipleDescriptor = k == 5;
        Save(folder + "/mxf/fixture-" + std::to_string(k) + ".mxf", BuildMxfFixture(f));
        // The whole run reaches the MXF reader through the movie open too.
        Save(folder + "/walk/mxf-" + std::to_string(k) + ".mxf", BuildMxfFixture(f));
    }
    int n = 0;
    for (const FixtureMovie& m : FixtureVariants()) {
        std::string movie = BuildFixtureMovie(m);
        if (n < 3) Add(folder, "fixture-cmov-" + std::to_string(n), CompressMovieHeader(movie));
        Add(folder, "fixture-" + std::to_string(n++), movie);
    }

    if (FfmpegAvailable()) {
        std::string tmp = MakeTempFolder();
        struct Clip { const char* rate; const char* tc; const char* extra; };
        const Clip clips[] = {{"25", "10:00:00:00", ""},
                              {"30000/1001", "01:00:00;00", ""},
                              {"24000/1001", "00:59:59:00", "-movflags +faststart"},
                              {"50", "23:59:59:40", "-f mp4"},
                              {"25", "00:00:10:00", "-g 3 -movflags +frag_keyframe+empty_moov"},
                              {"30000/1001", "00:10:00;00", "-g 4 -movflags +frag_keyframe"},
                              {"24", "01:00:00:00", "-g 2 -movflags +frag_keyframe+empty_moov+default_base_moof -f mp4"},
                              {"30000/1001", "00:00:59;00", "-c:v libx264 -use_editlist 0"},  // ctts, no edts
                              {"25", "00:00:10:00", "-c:v libx264"}};
        int k = 0;
        for (const Clip& s : clips) {
            FfmpegMovieSpec clip;
            clip.rate = s.rate;
            clip.timecode = s.tc;
            clip.seconds = 0.4;
            clip.size = "16x16";
            clip.extraArgs = s.extra;
            std::string path = MakeFfmpegMovie(clip, tmp, "m" + std::to_string(k) + ".mov");
            if (!path.empty()) Add(folder, "ffmpeg-" + std::to_string(k), Load(path));
            ++k;
        }
        for (int j = 0; j < 2; ++j) {
            FfmpegMovieSpec clip;
            clip.codec = "mpeg2video";
            clip.seconds = 0.2;
            clip.size = "16x16";
            clip.rate = j == 0 ? "25" : "30000/1001";
            clip.timecode = j == 0 ? "10:00:00:00" : "00:00:59;20";
            clip.extraArgs = "-f mxf";
            std::string path = MakeFfmpegMovie(clip, tmp, "m" + std::to_string(j) + ".mxf");
            if (!path.empty()) Save(folder + "/mxf/ffmpeg-" + std::to_string(j) + ".mxf", Load(path));
        }
        RemoveFolder(tmp);
    }
    std::printf("%d seed movies in %s\n", written, folder.c_str());
    return 0;
}
