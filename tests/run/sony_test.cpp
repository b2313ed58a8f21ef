// End to end: Sony cameras' MP4s, whose timecode is a label per frame in an
// rtmd track with the clip's XML, in the file or beside it. Every case is
// checked for its four files and its --qc --json report.
#include "tests/fixture/smpte.h"
#include "tests/fixture/sony_movie.h"
#include "tests/run/harness.h"

namespace {

// `count` labels from start on, each shown on `repeat` frames.
std::vector<std::string> Labels(const std::string& start, int fps, int count, int repeat = 1) {
    std::vector<std::string> out;
    for (const std::string& label : SmpteSequence(start, fps, count)) out.insert(out.end(), size_t(repeat), label);
    return out;
}

std::vector<std::string> Join(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::string Definition(const char* format, int fps, const char* rate, const char* source = "rtmd") {
    return "\"format\":\"" + std::string(format) + "\",\"frames_per_second\":" + std::to_string(fps) +
           ",\"rate\":\"" + rate + "\",\"wraps_24h\":true,\"source\":\"" + source + "\"}";
}

std::string Warning(const std::string& check, const std::string& fields = "") {
    return "{\"check\":\"" + check + "\",\"severity\":\"warning\"" + fields + "}";
}

TEST_F(RunTest, SonyClipsGiveEachFrameTheLabelOfItsRtmdSample) {
    struct Case {
        const char* name;
        FixtureMovie movie;
        std::vector<std::string> labels;  // what each frame gets; "" for none
        std::string definition;
        std::string findings;
        std::string sidecar = "";  // <stem>M01.XML beside the movie
    };
    const std::vector<std::string> fx3 = Labels("16:56:07:00", 24, 30);
    const std::vector<std::string> jump = Join(Labels("10:00:00:00", 25, 5), Labels("10:00:10:00", 25, 5));
    std::vector<std::string> cut = Labels("10:00:00:00", 25, 10), cutWritten;
    cut[3] = "";
    cutWritten = cut;
    cutWritten[8] = cutWritten[9] = "";
    const std::vector<std::string> pairs = Labels("00:00:59;28", 30, 6, 2);
    std::vector<Case> cases = {
        {"fx3", SonyMovie(24000, 1001, fx3, SonyXml(24, false, "16:56:07:00")), fx3,
         Definition("non-drop", 24, "24000/1001"), ""},
        {"drop_minute", SonyMovie(30000, 1001, Labels("00:00:59;20", 30, 20), SonyXml(30, false, "00:00:59;20")),
         Labels("00:00:59;20", 30, 20), Definition("drop-frame", 30, "30000/1001"), ""},
        {"non_drop_2997", SonyMovie(30000, 1001, Labels("01:00:00:00", 30, 8), SonyXml(30, false, "01:00:00:00")),
         Labels("01:00:00:00", 30, 8), Definition("non-drop", 30, "30000/1001"), ""},
        // Each label on two frames, as the XML declares: no rate warning.
        {"half_step_5994", SonyMovie(60000, 1001, pairs, SonyXml(30, true, "00:00:59;28")), pairs,
         Definition("drop-frame", 30, "30000/1001"), ""},
        {"jump", SonyMovie(25, 1, jump, SonyXml(25, false, "10:00:00:00")), jump, Definition("non-drop", 25, "25/1"),
         "{\"check\":\"break\",\"severity\":\"fail\",\"frame\":5,\"before\":\"10:00:00:04\",\"after\":"
         "\"10:00:10:00\",\"expected\":\"10:00:00:05\"}"},
        // Frame 3's sample has a header too short; the file ends within
        // frame 8's head, after frame 7's label.
        {"cut_off", SonyMovie(25, 1, cut), cutWritten, Definition("non-drop", 25, "25/1"),
         "{\"check\":\"unreadable\",\"severity\":\"fail\",\"frame\":3,\"count\":1},"
         "{\"check\":\"unreadable\",\"severity\":\"fail\",\"frame\":8,\"count\":2}"},
        // Without an XML: a label drop frame never shows, a step over the
        // labels it skips, or else the rate.
        {"labels_say_non_drop", SonyMovie(30000, 1001, Labels("00:00:59:28", 30, 4)), Labels("00:00:59:28", 30, 4),
         Definition("non-drop", 30, "30000/1001"), ""},
        {"labels_say_drop", SonyMovie(30000, 1001, Labels("00:00:59;28", 30, 4)), Labels("00:00:59;28", 30, 4),
         Definition("drop-frame", 30, "30000/1001"), ""},
        {"rate_says_drop", SonyMovie(30000, 1001, Labels("01:00:00;00", 30, 4)), Labels("01:00:00;00", 30, 4),
         Definition("drop-frame", 30, "30000/1001"), Warning("drop-frame-unknown")},
        {"full_rate_50p", SonyMovie(50, 1, Labels("10:00:00:46", 50, 6)), Labels("10:00:00:46", 50, 6),
         Definition("non-drop", 50, "50/1"), ""},
        {"sidecar", SonyMovie(30000, 1001, Labels("01:00:00:00", 30, 4)), Labels("01:00:00:00", 30, 4),
         Definition("non-drop", 30, "30000/1001"), "", SonyXml(30, false, "01:00:00:00")},
        {"xml_disagrees", SonyMovie(25, 1, Labels("10:00:01:00", 25, 3), SonyXml(25, false, "10:00:00:00")),
         Labels("10:00:01:00", 25, 3), Definition("non-drop", 25, "25/1"),
         Warning("xml-mismatch", ",\"xml\":\"10:00:00:00\",\"found\":\"10:00:01:00\"")},
        {"xml_unreadable",
         SonyMovie(25, 1, Labels("10:00:00:00", 25, 3),
                   "\xEF\xBB\xBF<!DOCTYPE x [<!ENTITY a \"<LtcChangeTable tcFps='30'>\">]><NonRealTimeMeta>&a;"),
         Labels("10:00:00:00", 25, 3), Definition("non-drop", 25, "25/1"), Warning("xml-unreadable")},
        {"tmcd_wins", SonyMovie(25, 1, Labels("20:00:00:00", 25, 3), SonyXml(25, false, "20:00:00:00")),
         Labels("10:00:00:00", 25, 3), Definition("non-drop", 25, "25/1", "tmcd"), ""},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string name = c.name;
        if (name == "tmcd_wins")
            c.movie.tracks.push_back(FixtureTimecodeTrack(0x2, 25, 1, 25, 25, 10 * 3600 * 25, 3));
        c.movie.moovFirst = true;  // the rtmd samples end the file
        std::string bytes = BuildFixtureMovie(c.movie);
        if (name == "cut_off") bytes.resize(bytes.size() - 3 * 64 + 20);
        WriteBytes(Path(name + ".MP4"), bytes);
        if (!c.sidecar.empty()) WriteBytes(Path(name + "M01.XML"), c.sidecar);

        std::vector<std::pair<int, std::string>> written;
        std::string messages;
        for (size_t k = 0; k < c.labels.size(); ++k) {
            if (!c.labels[k].empty()) written.push_back({int(k), c.labels[k]});
            else messages += "Error: Unable to get TimeCode Value " + std::to_string(k) + " for " + std::to_string(k) + "\n";
        }
        const ToolRun run = Run({name + ".MP4"});
        EXPECT_EQ(run.exitStatus, 0);
        EXPECT_EQ(run.output, messages);
        EXPECT_EQ(ReadBytes(Path(name + kListSuffix)), ExpectedList(written));
        EXPECT_EQ(ReadBytes(Path(name + kTextSuffix)), ExpectedText(written));
        EXPECT_EQ(ReadBytes(Path(name + kRangeSuffix)), ExpectedRange(written));
        EXPECT_EQ(ReadBytes(Path(name + kScriptSuffix)),
                  ExpectedScript(name + ".MP4", name + kTextSuffix, name + kRangeSuffix, 36, 50));

        const ToolRun qc = Run({"--qc", "--json", name + ".MP4"});
        EXPECT_EQ(qc.exitStatus, c.findings.find("\"fail\"") == std::string::npos ? 0 : 1);
        EXPECT_NE(qc.output.find(c.definition + ",\"findings\":[" + c.findings + "]}\n"), std::string::npos)
            << qc.output;
    }
}

}  // namespace
