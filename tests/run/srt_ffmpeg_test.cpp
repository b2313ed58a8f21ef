// --srt on H.264 movies that ffmpeg made (B-frames with and without an edit
// list, a stream-copy cut): frame k as ffprobe shows it lies inside cue k,
// cue k carries line k of the list, and ffmpeg's subtitles filter and mpv
// draw each frame's own label around a timecode break.
#include <cstdlib>
#include <sstream>

#include "tests/fixture/ffmpeg_movie.h"
#include "tests/run/harness.h"

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (!line.empty()) lines.push_back(line);
    return lines;
}

std::vector<std::string> Shell(const std::string& dir, const std::string& command) {
    std::string out;
    EXPECT_TRUE(RunCommand("cd " + ShellQuote(dir) + " && " + command + " 2>/dev/null", &out)) << command;
    return Lines(out);
}

double Seconds(const std::string& t) {  // "HH:MM:SS,mmm"
    return std::stoi(t.substr(0, 2)) * 3600 + std::stoi(t.substr(3, 2)) * 60 +
           std::stod(t.substr(6, 2) + "." + t.substr(9, 3));
}

// Each frame with the cue file burnt in: an MD5 per frame from ffmpeg's
// subtitles filter, or mpv's PNG of it.
std::vector<std::string> Burnt(const std::string& dir, const std::string& movie, const std::string& srt, bool mpv) {
    if (!mpv)
        return Shell(dir, "ffmpeg -nostdin -i " + movie + " -vf subtitles=" + srt + " -f framemd5 - | grep -v '^#'");
    std::vector<std::string> frames;
    for (const std::string& png : Shell(dir, "rm -rf shots && mpv --no-config --untimed --framedrop=no --vo=image "
                                             "--vo-image-outdir=shots --vo-image-format=png --sub-file=" + srt + " " +
                                             movie + " >/dev/null && ls shots"))
        frames.push_back(ReadBytes(dir + "/shots/" + png));
    return frames;
}

class SrtFfmpegTest : public RunTest {
protected:
    void SetUp() override {
        if (!FfmpegAvailable()) GTEST_SKIP() << "ffmpeg/ffprobe not installed";
        RunTest::SetUp();
    }
    // Frame k burnt from the whole file equals frame k burnt with line k's
    // label alone, and not with line k-1's.
    void ExpectOwnLabel(const std::vector<std::string>& labels, size_t k, bool mpv) {
        const std::vector<std::string> all = Burnt(dir_, "take.mov", "take_Lumarest_TimeCode.srt", mpv);
        for (size_t label : {k, k - 1}) {
            WriteBytes(Path("one.srt"), "1\n00:00:00,000 --> 10:00:00,000\n" + labels[label] + "\n\n");
            const std::vector<std::string> one = Burnt(dir_, "take.mov", "one.srt", mpv);
            ASSERT_GT(std::min(all.size(), one.size()), k);
            EXPECT_EQ(all[k] == one[k], label == k) << "frame " << k << (mpv ? " in mpv, " : ", ") << labels[label];
        }
    }
};

TEST_F(SrtFfmpegTest, EveryFrameLiesInsideItsOwnCue) {
    struct Case {
        const char *rate, *timecode, *args;
        bool cut;  // stream-copied from 0.5 s on: its edit list hides 15 frames
    };
    for (const Case& c : {Case{"30000/1001", "00:00:59;00", "-write_tmcd 1 -f mp4", false},
                          Case{"30000/1001", "00:00:59;00", "", false},
                          Case{"30000/1001", "00:00:59;00", "-use_editlist 0", false},
                          Case{"30000/1001", "00:00:58;15", "", true}, Case{"24000/1001", "01:00:00:00", "", false},
                          Case{"25", "10:00:00:00", "", false}, Case{"60000/1001", "00:00:59;50", "", false}}) {
        SCOPED_TRACE(std::string(c.rate) + " " + c.args + (c.cut ? " cut" : ""));
        TearDown();
        RunTest::SetUp();
        const FfmpegMovieSpec made{c.rate, 2, c.timecode, "160x120", "libx264", c.args};  // it moves: B-frames
        ASSERT_FALSE(MakeFfmpegMovie(made, dir_, c.cut ? "full.mov" : "take.mov").empty());
        if (c.cut) Shell(dir_, "ffmpeg -nostdin -ss 0.5 -i full.mov -c copy -map 0 take.mov");
        ASSERT_EQ(Run({"--srt", "take.mov"}).exitStatus, 0);

        const std::vector<std::string> cues = Lines(ReadBytes(Path("take_Lumarest_TimeCode.srt")));
        const std::vector<std::string> labels = Lines(ReadBytes(Path("take_TimeCode.txt")));
        const std::vector<std::string> shown = Shell(dir_, "ffprobe -v error -select_streams v:0 -of csv=p=0 "
                                                           "-show_entries frame=best_effort_timestamp_time take.mov"
                                                           " | cut -d, -f1");
        ASSERT_EQ(cues.size(), 3 * labels.size());
        EXPECT_EQ(shown.size(), labels.size() - (c.cut ? 15 : 0));
        // Without an edit list the B-frames' reordering delays the first frame.
        EXPECT_EQ(std::atof(shown.at(0).c_str()) > 0, std::string(c.args) == "-use_editlist 0");
        for (size_t k = 0; k < labels.size(); ++k) {
            EXPECT_EQ(cues[3 * k + 2], labels[k]);
            const double t = k < shown.size() ? std::atof(shown[k].c_str()) : -1;
            const std::string& times = cues[3 * k + 1];
            EXPECT_TRUE(t < 0 || (Seconds(times) <= t && t < Seconds(times.substr(17)))) << k << " at " << t;
        }
        if (std::string(c.args) == "-use_editlist 0") {  // 00:00:59;29, then 00:01:00;02
            ASSERT_EQ(labels.at(30), "00:01:00;02");
            ExpectOwnLabel(labels, 30, false);
            ExpectOwnLabel(labels, 30, true);
        }
        if (c.cut) ExpectOwnLabel(labels, 1, false);
    }
}

}  // namespace
