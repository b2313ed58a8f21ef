// The MXF reader on files that ffmpeg (OP1a, D-10, OP-Atom) and GStreamer write, against
// what ffprobe says of them: start timecode, frame count, picture size, and
// each frame's system item label counted from the start.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "tests/fixture/ffmpeg_movie.h"
#include "tests/fixture/mxf_writers.h"
#include "tests/fixture/smpte.h"
#include "tests/mxf/mxf_test_util.h"

namespace {

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

// Each writer's file, whole and (frame-wrapped) cut at three fifths, where
// the frames held are the video packets that ffprobe places wholly before
// the cut.
TEST(MxfWriters, ReadsWhatFfprobeReads) {
    if (!FfmpegAvailable()) GTEST_SKIP() << "ffmpeg is not installed";
    const std::string folder = MakeTempFolder();
    const std::string path = folder + "/movie.mxf", cut = folder + "/cut.mxf";
    for (const MxfWriterCase& c : MxfWriterCases()) {
        SCOPED_TRACE(c.name);
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
        EXPECT_EQ(m.wrapping, c.clipWrapped ? MxfWrapping::Clip : MxfWrapping::Frame);
        EXPECT_EQ(m.opAtom, c.clipWrapped);
        ASSERT_EQ(m.systemItems, c.systemItems);
        if (c.systemItems) {
            EXPECT_EQ(SystemLabels(path, m, 0, frames), SmpteSequence(c.timecode, c.fps, frames));
        }
        if (c.clipWrapped) continue;
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
