// End to end: --qc on hand-built movies whose faults are known, every JSON
// line read back with Python's json module; several movies and folders in
// one run.
#include <sys/stat.h>
#include <unistd.h>

#include "tests/fixture/ffmpeg_movie.h"
#include "tests/fixture/smpte.h"
#include "tests/run/harness.h"
#include "tests/run/qc_movies.h"

namespace {

constexpr int32_t kDropFrame = 0x1;  // the definition's flags
constexpr int32_t kWraps24h = 0x2;

std::string Nd(int64_t count) { return SmpteLabel(count, 30, false); }
std::string Df(int64_t count) { return SmpteLabel(count, 30, true); }

std::string Break(int frame, const std::string& before, const std::string& after, const std::string& expected) {
    return "{\"check\":\"break\",\"severity\":\"fail\",\"frame\":" + std::to_string(frame) + ",\"before\":\"" +
           before + "\",\"after\":\"" + after + "\",\"expected\":\"" + expected + "\"}";
}
std::string Warning(const std::string& check, const std::string& fields = "") {
    return "{\"check\":\"" + check + "\",\"severity\":\"warning\"" + fields + "}";
}

// Python's strict json module on every line; "" when all parse, else why not.
std::string JsonLinesProblem(const std::string& dir, const std::string& lines) {
    WriteBytes(dir + "/lines.json", lines);
    std::string out;
    const bool ok = RunCommand("python3 -c 'import json,sys\nfor l in open(sys.argv[1], encoding=\"utf-8\"): "
                               "json.loads(l)' " + ShellQuote(dir + "/lines.json") + " 2>&1",
                               &out);
    std::remove((dir + "/lines.json").c_str());
    return ok ? "" : out + lines;
}

TEST_F(RunTest, QcFindsExactlyTheFaultsOfHandBuiltMovies) {
    struct Case {
        const char* name;
        FixtureMovie movie;
        int exitStatus;
        std::string findings;
    };
    std::vector<Case> cases = {
        {"continues", QcMovie(10, {{0, 5}, {5, 5}}), 0, ""},
        {"jump_forward", QcMovie(10, {{0, 5}, {100, 5}}), 1, Break(5, Nd(4), Nd(100), Nd(5))},
        {"jump_back", QcMovie(10, {{100, 5}, {50, 5}}), 1, Break(5, Nd(104), Nd(50), Nd(105))},
        {"repeated", QcMovie(10, {{0, 5}, {4, 5}}), 1, Break(5, Nd(4), Nd(4), Nd(5))},
        {"skip_one_at_25", QcMovie(25, {{900000, 20}, {900021, 5}}, 0, 25), 1,
         Break(20, "10:00:00:19", "10:00:00:21", "10:00:00:20")},
        // The labels skipped at 00:01:00;00 are no break; the jump after them is.
        {"drop_skip_then_break", QcMovie(8, {{1798, 4}, {1900, 4}}, kDropFrame), 1,
         Break(4, Df(1801), Df(1900), Df(1802))},
        {"wraps_at_midnight", QcMovie(6, {{2591997, 6}}, kWraps24h), 0, ""},
        {"ends_early", QcMovie(10, {{0, 6}}), 0, Warning("timecode-ends", ",\"frame\":6")},
        {"drop_flag_at_25", {}, 0, Warning("drop-frame-flag")},
        {"29_at_29_97", QcMovie(10, {{0, 10}}, 0, 29), 0, Warning("nominal-rate")},
        {"59_94_under_29_97", {}, 0, Warning("rate", ",\"video\":\"60000/1001\",\"timecode\":\"30000/1001\"")},
        // Frame 5 falls between labels 2 and 3: the one expected is 3.
        {"jump_at_odd_59_94", QcMovie(10, {{0, 5}, {100, 5}}, kDropFrame), 1,
         Warning("rate", ",\"video\":\"60000/1001\",\"timecode\":\"30000/1001\"") + "," +
             Break(5, Df(2), Df(100), Df(3))},
        {"late_frame", QcMovie(0, {{0, 9}}), 0, Warning("frame-gap", ",\"frame\":5,\"frames\":2")},
        {"cut_off", QcMovie(10, {{0, 5}, {5, 5}}), 1,
         "{\"check\":\"unreadable\",\"severity\":\"fail\",\"frame\":5,\"count\":5}"},
        {"nle_600", {}, 0, ""},
        {"camera_half_scale", {}, 0, ""},
        {"no_timecode", QcMovie(3, {{0, 3}}), 1, "{\"check\":\"no-timecode\",\"severity\":\"fail\"}"},
        {"no_video", QcMovie(3, {{0, 3}}), 1, "{\"check\":\"no-video\",\"severity\":\"fail\"}"},
    };
    for (Case& c : cases) {
        std::vector<FixtureTrack>& t = c.movie.tracks;
        const std::string name = c.name;
        if (name == "drop_flag_at_25")
            t = {FixtureVideoTrack(25, 10, 1), FixtureTimecodeTrack(kDropFrame, 25, 1, 25, 25, 0, 10)};
        if (name == "59_94_under_29_97")
            t = {FixtureVideoTrack(60000, 8, 1001), FixtureTimecodeTrack(0, 30000, 1001, 30, 30000, 0, 4004)};
        // The same frames at 25 fps (25025 / 1001), and at 59.94 under a 29.97 timecode.
        if (name == "skip_one_at_25") t[0].timeScale = t[1].timeScale = t[1].tcTimeScale = 25025;
        if (name == "jump_at_odd_59_94") t[0].timeScale = t[1].timeScale = 60000;
        if (name == "late_frame") t[0].stts = {{4, 1001}, {1, 2002}, {3, 1001}};
        if (name == "nle_600")
            t = {FixtureVideoTrack(24000, 48, 1001), FixtureTimecodeTrack(0, 24000, 1001, 24, 600, 86400, 1202)};
        if (name == "camera_half_scale")
            t = {FixtureVideoTrack(30000, 60, 1001), FixtureTimecodeTrack(kDropFrame, 30000, 1001, 30, 15000, 1798, 30030)};
        if (name == "no_timecode") t.pop_back();
        if (name == "no_video") t.erase(t.begin());
        std::string bytes = BuildFixtureMovie(c.movie);
        // The second timecode sample two bytes before the end of the file.
        if (name == "cut_off") CutOffTimecodeSample(bytes, 1);
        WriteBytes(Path(name + ".mov"), bytes);
    }
    std::string lines;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ToolRun run = Run({"--qc", "--json", std::string(c.name) + ".mov"});
        EXPECT_EQ(run.exitStatus, c.exitStatus);
        EXPECT_EQ(run.output.substr(run.output.find("\"findings\":")), "\"findings\":[" + c.findings + "]}\n");
        lines += run.output;
    }
    EXPECT_EQ(JsonLinesProblem(dir_, lines), "");
    // Nothing was written beside the movies.
    EXPECT_EQ(ListFolder(dir_).size(), cases.size());
    EXPECT_NE(lines.find("{\"movie\":\"camera_half_scale.mov\",\"result\":\"pass\",\"error\":null,\"frames\":60,"
                         "\"frame_rate\":\"30000/1001\",\"timecode\":{\"start\":\"00:00:59;28\",\"end\":"
                         "\"00:01:01;29\",\"format\":\"drop-frame\",\"frames_per_second\":30,\"rate\":"
                         "\"30000/1001\",\"wraps_24h\":false,\"source\":\"tmcd\"}"),
              std::string::npos);
}

TEST_F(RunTest, QcListsAThousandFindingsOfACheckAndCountsTheRest) {
    // Every frame repeats the label of the one before it: 2,499 breaks.
    std::vector<std::pair<uint32_t, uint32_t>> samples(2500, {7, 1});
    WriteMovie("every.mov", QcMovie(2500, samples));
    const ToolRun run = Run({"--qc", "--json", "every.mov"});
    EXPECT_EQ(run.exitStatus, 1);
    size_t breaks = 0;
    for (size_t at = 0; (at = run.output.find("\"check\":\"break\"", at)) != std::string::npos; ++at) ++breaks;
    EXPECT_EQ(breaks, 1001u);
    EXPECT_NE(run.output.find(Break(1000, Nd(7), Nd(7), Nd(8)) + ",{\"check\":\"break\",\"severity\":\"fail\","
                                                                 "\"omitted\":1499}]}\n"),
              std::string::npos);
}

// Several movies, and folders, in one run.
TEST_F(RunTest, SeveralMoviesGiveWhatEachRunAloneGives) {
    WriteMovie("a.mov", QcMovie(3, {{0, 3}}));
    WriteMovie("b.mov", QcMovie(4, {{90, 4}}));
    const ToolRun both = Run({"a.mov", "b.mov"});
    EXPECT_EQ(both.exitStatus, 0);
    EXPECT_EQ(both.output, "==> a.mov <==\n\n==> b.mov <==\n");
    const char* const suffixes[] = {kListSuffix, kTextSuffix, kRangeSuffix, kScriptSuffix};
    for (const std::string stem : {"a", "b"}) {
        std::vector<std::string> together;
        for (const char* suffix : suffixes) {
            together.push_back(ReadBytes(Path(stem + suffix)));
            std::remove(Path(stem + suffix).c_str());
        }
        ASSERT_EQ(Run({stem + ".mov"}).exitStatus, 0);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(ReadBytes(Path(stem + suffixes[i])), together[size_t(i)]);
    }

    // A proxy beside its master, and a movie named twice: the first one's
    // files stay whole, the others are refused.
    std::rename(Path("b.mov").c_str(), Path("a.mp4").c_str());
    const ToolRun shared = Run({"a.mov", "a.mp4", "./a.mov"});
    EXPECT_EQ(shared.exitStatus, 255);
    EXPECT_EQ(shared.output,
              "==> a.mov <==\n\n==> a.mp4 <==\nError: Unable to write the files of\n a.mp4\n over the files of\n "
              "a.mov\n==> ./a.mov <==\nError: Unable to write the files of\n ./a.mov\n over the files of\n a.mov");
    EXPECT_EQ(ReadBytes(Path("a_TimeCode.txt")), Nd(0) + "\n" + Nd(1) + "\n" + Nd(2) + "\n");
}

TEST_F(RunTest, FolderRunTakesItsMoviesInByteOrder) {
    for (const char* folder : {"d", "d/sub", "d/.hidden", "d/z"}) ASSERT_EQ(mkdir(Path(folder).c_str(), 0755), 0);
    const FixtureMovie clean = QcMovie(3, {{0, 3}});
    for (const char* name : {"d/b.MOV", "d/a.mp4", "d/sub/c.qt", "d/sub-x.m4v", "d/z/e\xE9.mov", "d/.hidden/h.mov",
                             "d/._a.mov", "d/notes.txt", "d/a.mov.bak"})
        WriteMovie(name, clean);
    ASSERT_EQ(mkfifo(Path("d/pipe.mov").c_str(), 0644), 0);
    ASSERT_EQ(symlink("..", Path("d/sub/loop").c_str()), 0);
    ASSERT_EQ(symlink("../b.MOV", Path("d/sub/link.mov").c_str()), 0);
    ASSERT_EQ(mkdir(Path("empty").c_str(), 0755), 0);

    const ToolRun run = Run({"--qc", "--json", "d/", "empty"});
    EXPECT_EQ(run.exitStatus, 255);
    EXPECT_EQ(JsonLinesProblem(dir_, run.output), "");
    std::string movies;
    for (size_t at = 0; (at = run.output.find("{\"movie\":\"", at)) != std::string::npos; ++at)
        movies += run.output.substr(at + 10, run.output.find('"', at + 10) - at - 10) + " ";
    EXPECT_EQ(movies, "d/a.mp4 d/b.MOV d/sub-x.m4v d/sub/c.qt d/sub/link.mov d/z/e\xEF\xBF\xBD.mov empty ");
    EXPECT_NE(run.output.find("\"error\":\"Error: No movie in folder\""), std::string::npos);
    const ToolRun text = Run({"--qc", "d/sub"});
    EXPECT_EQ(text.exitStatus, 0);
    EXPECT_EQ(text.output.substr(text.output.rfind('\n', text.output.size() - 2) + 1),
              "2 movies: 2 passed, 0 failed, 0 could not be read\n");
}

}  // namespace
