// The MXF reader on files that ffmpeg writes (OP1a, D-10, OP-Atom), against
// what ffprobe says of them: start timecode, frame count, picture size, and
// each frame's system item label counted from the start.
#include <gtest/gtest.h>

#include "tests/fixture/ffmpeg_movie.h"
#include "tests/fixture/smpte.h"
#include "tests/mxf/mxf_test_util.h"

namespace {

struct FfmpegCase {
    const char* name;
    const char* rate;
    int fps;
    const char* timecode;
    const char* args;  // codec and muxer
    bool systemItems;
    MxfWrapping wrapping;
};

std::string Probe(const std::string& what, const std::string& path) {
    std::string out;
    RunCommand("ffprobe -v error -select_streams v:0 -show_entries " + what + " -of default=nw=1:nk=1 " +
                   ShellQuote(path),
               &out);
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
    return out;
}

std::string Label(const MxfTimecode& tc) {
    if (!tc.present || tc.components.empty()) return "none";
    const MxfTimecodeComponent& c = tc.components[0];
    return SmpteLabel(c.start, c.roundedBase, c.dropFrame);
}

TEST(MxfFfmpeg, ReadsWhatFfprobeReads) {
    if (!FfmpegAvailable()) GTEST_SKIP() << "ffmpeg is not installed";
    const std::string imx = "-c:v mpeg2video -s 720x608 -pix_fmt yuv422p -g 1 -b:v 30M -minrate 30M -maxrate 30M "
                            "-bufsize 1200000 -rc_init_occupancy 1200000 -rc_max_vbv_use 1 -rc_min_vbv_use 1 "
                            "-flags +ildct+ilme -top 1 -vtag mx3p -f mxf_d10";
    const FfmpegCase cases[] = {
        {"OP1a", "25", 25, "10:00:00:00", "-c:v mpeg2video -f mxf", true, MxfWrapping::Frame},
        {"OP1a drop frame", "30000/1001", 30, "00:00:59;20", "-c:v mpeg2video -f mxf", true, MxfWrapping::Frame},
        {"D-10", "25", 25, "20:30:37:04", imx.c_str(), true, MxfWrapping::Frame},
        {"OP-Atom DNxHD", "25", 25, "01:00:00:00",
         "-s 1920x1080 -c:v dnxhd -b:v 36M -pix_fmt yuv422p -f mxf_opatom", false, MxfWrapping::Clip},
    };
    const std::string folder = MakeTempFolder();
    for (const FfmpegCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = folder + "/movie.mxf";
        ASSERT_TRUE(RunCommand(std::string("ffmpeg -nostdin -v error -y -f lavfi -i testsrc=size=64x48:rate=") +
                                   c.rate + " -t 2 -an -timecode '" + c.timecode + "' " + c.args + " " + path,
                               nullptr));
        MxfModel m;
        std::string problem;
        ASSERT_EQ(ReadMxfPath(path, &m, &problem), MxfStatus::Ok) << problem;
        int64_t frames = 0;
        ASSERT_TRUE(ProbeFrameCount(path, &frames));
        EXPECT_EQ(m.declaredFrames, frames);
        EXPECT_EQ(m.framesPresent, frames);
        EXPECT_EQ(std::to_string(m.width) + "x" + std::to_string(m.height),
                  Probe("stream=width", path) + "x" + Probe("stream=height", path));
        EXPECT_EQ(Label(m.material), Probe("format_tags=timecode", path));
        EXPECT_EQ(Label(m.file), c.timecode);
        EXPECT_EQ(m.wrapping, c.wrapping);
        EXPECT_EQ(m.opAtom, c.wrapping == MxfWrapping::Clip);
        ASSERT_EQ(m.systemItems, c.systemItems);
        if (c.systemItems) {
            EXPECT_EQ(SystemLabels(path, m, 0, frames), SmpteSequence(c.timecode, c.fps, frames));
        }
    }
    RemoveFolder(folder);
}

}  // namespace
