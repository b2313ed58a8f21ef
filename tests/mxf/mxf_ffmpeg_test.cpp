// The MXF reader on files that ffmpeg (OP1a, D-10, OP-Atom) and GStreamer write, against
// what ffprobe says of them: start timecode, frame count, picture size, and
// each frame's system item label counted from the start.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "tests/fixture/ffmpeg_movie.h"
#include "tests/fixture/smpte.h"
#include "tests/mxf/mxf_test_util.h"

namespace {

struct WriterCase {
    const char* name;
    std::string command;  // writes the movie to $OUT
    const char* timecode;
    int fps;
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

// Video packets of the whole file that end within its first `bytes` bytes.
int64_t WholePacketsWithin(const std::string& path, uint64_t bytes) {
    std::string out;
    RunCommand("ffprobe -v error -select_streams v:0 -show_entries packet=pos,size -of csv=p=0 " + ShellQuote(path),
               &out);
    int64_t count = 0;
    unsigned long long pos = 0, size = 0;
    for (const char* p = out.c_str(); std::sscanf(p, "%llu,%llu", &pos, &size) == 2; p = std::strchr(p, '\n') + 1) {
        if (pos + size <= bytes) ++count;
        if (!std::strchr(p, '\n')) break;
    }
    return count;
}

std::string Label(const MxfTimecode& tc) {
    if (!tc.present || tc.components.empty()) return "none";
    const MxfTimecodeComponent& c = tc.components[0];
    return SmpteLabel(c.start, c.roundedBase, c.dropFrame);
}

std::string Ffmpeg(const char* rate, const char* timecode, const std::string& args) {
    return std::string("ffmpeg -nostdin -v error -y -f lavfi -i testsrc=size=64x48:rate=") + rate +
           " -t 2 -an -timecode '" + timecode + "' " + args + " \"$OUT\"";
}

std::string Gstreamer(const std::string& caps, const std::string& encoder) {
    return "gst-launch-1.0 -q videotestsrc num-buffers=30 ! video/x-raw,framerate=25/1," + caps + " ! " + encoder +
           "mxfmux ! filesink location=\"$OUT\"";
}

// Each writer's file, whole and (frame-wrapped) cut at three fifths, where
// the frames held are the video packets that ffprobe places wholly before
// the cut.
TEST(MxfWriters, ReadsWhatFfprobeReads) {
    if (!FfmpegAvailable()) GTEST_SKIP() << "ffmpeg is not installed";
    const bool gstreamer = RunCommand("gst-inspect-1.0 mxfmux >/dev/null 2>&1", nullptr);
    const std::string imx = "-c:v mpeg2video -s 720x608 -pix_fmt yuv422p -g 1 -b:v 30M -minrate 30M -maxrate 30M "
                            "-bufsize 1200000 -rc_init_occupancy 1200000 -rc_max_vbv_use 1 -rc_min_vbv_use 1 "
                            "-flags +ildct+ilme -top 1 -vtag mx3p -f mxf_d10";
    const WriterCase cases[] = {
        {"ffmpeg OP1a", Ffmpeg("25", "10:00:00:00", "-c:v mpeg2video -f mxf"), "10:00:00:00", 25, true, MxfWrapping::Frame},
        {"ffmpeg drop frame", Ffmpeg("30000/1001", "00:00:59;20", "-c:v mpeg2video -f mxf"), "00:00:59;20", 30, true,
         MxfWrapping::Frame},
        {"ffmpeg D-10", Ffmpeg("25", "20:30:37:04", imx), "20:30:37:04", 25, true, MxfWrapping::Frame},
        {"ffmpeg OP-Atom DNxHD",
         Ffmpeg("25", "01:00:00:00", "-s 1920x1080 -c:v dnxhd -b:v 36M -pix_fmt yuv422p -f mxf_opatom"), "01:00:00:00", 25,
         false, MxfWrapping::Clip},
        {"GStreamer JPEG 2000", Gstreamer("width=64,height=48", "openjpegenc ! "), "00:00:00:00", 25, false,
         MxfWrapping::Frame},
        {"GStreamer DNxHD", Gstreamer("format=Y42B,width=1920,height=1080", "avenc_dnxhd bitrate=36000000 ! "),
         "00:00:00:00", 25, false, MxfWrapping::Frame},
    };
    const std::string folder = MakeTempFolder();
    const std::string path = folder + "/movie.mxf", cut = folder + "/cut.mxf";
    for (const WriterCase& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.command.compare(0, 3, "gst") == 0 && !gstreamer) continue;
        ASSERT_TRUE(RunCommand("OUT=" + ShellQuote(path) + "; " + c.command, nullptr));
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
        if (c.wrapping != MxfWrapping::Frame) continue;
        std::string size;
        ASSERT_TRUE(RunCommand("stat -c %s " + ShellQuote(path), &size));
        const uint64_t kept = std::stoull(size) * 3 / 5;
        ASSERT_TRUE(RunCommand("head -c " + std::to_string(kept) + " " + ShellQuote(path) + " > " + ShellQuote(cut), nullptr));
        ASSERT_EQ(ReadMxfPath(cut, &m), MxfStatus::Ok);
        EXPECT_EQ(m.framesPresent, WholePacketsWithin(path, kept));
    }
    RemoveFolder(folder);
}

}  // namespace
