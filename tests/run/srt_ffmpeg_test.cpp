// --srt on H.264 movies that ffmpeg made (B-frames, with and without an edit
// list, a stream-copy cut): the k-th frame as ffprobe reports it lies inside
// cue k, cue k carries line k of the list, and ffmpeg's subtitles filter and
// mpv draw each frame's own label on the frames around a timecode break.
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "tests/fixture/ffmpeg_movie.h"
#include "tests/run/harness.h"

namespace {

struct Cue {
    long long start = 0, end = 0;  // milliseconds
    std::string text;
};

long long Milliseconds(const std::string& t) {  // "HH:MM:SS,mmm"
    return ((std::stoll(t.substr(0, 2)) * 60 + std::stoll(t.substr(3, 2))) * 60 + std::stoll(t.substr(6, 2))) *
               1000 + std::stoll(t.substr(9, 3));
}

std::vector<Cue> ReadCues(const std::string& srt) {
    std::vector<Cue> cues;
    std::istringstream in(srt);
    std::string number, times, text, blank;
    while (std::getline(in, number) && std::getline(in, times) && std::getline(in, text) && std::getline(in, blank))
        cues.push_back({Milliseconds(times.substr(0, 12)), Milliseconds(times.substr(17, 12)), text});
    return cues;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (!line.empty()) lines.push_back(line);
    return lines;
}

// Runs in dir; true when the command succeeded.
std::string Shell(const std::string& dir, const std::string& command) {
    std::string out;
    return RunCommand("cd " + ShellQuote(dir) + " && " + command + " 2>/dev/null", &out) ? out : "(failed)";
}

// Each frame as the subtitles filter (or mpv) draws the cue file over it: an
// MD5 per frame, or the bytes of mpv's PNG of each frame.
std::vector<std::string> BurnedFrames(const std::string& dir, const std::string& movie, const std::string& srt,
                                      bool mpv) {
    if (!mpv)
        return Lines(Shell(dir, "ffmpeg -nostdin -v error -i " + movie + " -vf subtitles=" + srt +
                                    " -f framemd5 - | grep -v '^#' | cut -d, -f6"));
    Shell(dir, "rm -rf shots && mpv --no-config --untimed --framedrop=no --no-audio --vo=image "
               "--vo-image-format=png --vo-image-outdir=shots --sub-file=" + srt + " " + movie);
    std::vector<std::string> frames;
    for (const std::string& png : Lines(Shell(dir, "ls shots"))) frames.push_back(ReadBytes(dir + "/shots/" + png));
    return frames;
}

class SrtFfmpegTest : public RunTest {
protected:
    void SetUp() override {
        if (!FfmpegAvailable()) GTEST_SKIP() << "ffmpeg/ffprobe not installed";
        RunTest::SetUp();
    }

    // Frame k of the whole cue file's burn equals frame k burnt with a cue
    // of line k's label alone, and differs from line k-1's.
    void ExpectOwnLabels(const std::string& movie, const std::vector<std::string>& labels, size_t k, bool mpv) {
        SCOPED_TRACE(movie + (mpv ? " in mpv" : " with ffmpeg") + ", frame " + std::to_string(k));
        const std::vector<std::string> all = BurnedFrames(dir_, movie, "take_Lumarest_TimeCode.srt", mpv);
        for (size_t label : {k, k - 1}) {
            WriteBytes(Path("one.srt"), "1\n00:00:00,000 --> 10:00:00,000\n" + labels[label] + "\n\n");
            const std::vector<std::string> one = BurnedFrames(dir_, movie, "one.srt", mpv);
            ASSERT_GT(std::min(all.size(), one.size()), k);
            EXPECT_EQ(all[k] == one[k], label == k) << labels[label];
        }
    }
};

TEST_F(SrtFfmpegTest, EveryFrameLiesInsideItsOwnCue) {
    struct Case {
        const char* name;
        const char* rate;
        const char* timecode;
        const char* args;
        bool cut;  // stream-copied from half a second in: its edit list skips 15 frames
    };
    const Case cases[] = {
        {"take.mp4", "30000/1001", "00:00:59;00", "-write_tmcd 1", false},
        {"take.mov", "30000/1001", "00:00:59;00", "", false},
        {"take.mov", "30000/1001", "00:00:59;00", "-use_editlist 0", false},
        {"take.mov", "30000/1001", "00:00:58;15", "", true},
        {"take.mov", "24000/1001", "01:00:00:00", "", false},
        {"take.mov", "25", "10:00:00:00", "", false},
        {"take.mov", "60000/1001", "00:00:59;50", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.rate) + " " + c.args + (c.cut ? " cut" : ""));
        TearDown();
        RunTest::SetUp();
        FfmpegMovieSpec spec;
        spec.rate = c.rate;
        spec.timecode = c.timecode;
        spec.size = "160x120";
        spec.codec = "libx264";
        spec.extraArgs = c.args;
        ASSERT_FALSE(MakeFfmpegMovie(spec, dir_, c.cut ? "full.mov" : c.name).empty());
        if (c.cut) Shell(dir_, "ffmpeg -nostdin -v error -ss 0.5 -i full.mov -c copy -map 0 take.mov");
        ASSERT_EQ(Run({"--srt", c.name}).exitStatus, 0);

        const std::vector<Cue> cues = ReadCues(ReadBytes(Path("take_Lumarest_TimeCode.srt")));
        const std::vector<std::string> labels = Lines(ReadBytes(Path("take_TimeCode.txt")));
        const std::vector<std::string> shown = Lines(Shell(dir_, "ffprobe -v error -select_streams v:0 -show_entries "
                                                                 "frame=best_effort_timestamp_time -of csv=p=0 " +
                                                                 std::string(c.name) + " | cut -d, -f1"));
        ASSERT_EQ(cues.size(), labels.size());
        EXPECT_EQ(shown.size(), c.cut ? cues.size() - 15 : cues.size());
        // Without an edit list the B-frames' reordering delays the first frame.
        EXPECT_EQ(std::atof(shown.at(0).c_str()) > 0, std::string(c.args) == "-use_editlist 0");
        for (size_t k = 0; k < cues.size(); ++k) {
            EXPECT_EQ(cues[k].text, labels[k]);
            if (k >= shown.size()) continue;
            const double ms = std::atof(shown[k].c_str()) * 1000;
            EXPECT_TRUE(cues[k].start <= ms && ms < cues[k].end) << "frame " << k << " at " << ms << " ms";
        }
        // At 29.97 drop frame, 00:00:59;29 is followed by 00:01:00;02.
        if (std::string(c.args) == "-use_editlist 0") {
            ASSERT_EQ(labels.at(30), "00:01:00;02");
            for (bool mpv : {false, true}) ExpectOwnLabels(c.name, labels, 30, mpv);
        }
        if (c.cut) ExpectOwnLabels(c.name, labels, 1, false);
    }
}

}  // namespace
