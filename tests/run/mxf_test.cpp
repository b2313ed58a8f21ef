// End to end: MXF files through the four files and --qc, those ffmpeg and
// GStreamer write and hand-built ones whose faults are known.
#include <sys/stat.h>

#include "tests/fixture/ffmpeg_movie.h"
#include "tests/fixture/mxf_fixture.h"
#include "tests/fixture/mxf_writers.h"
#include "tests/fixture/smpte.h"
#include "tests/run/harness.h"

namespace {

constexpr int64_t kTen = 10 * 3600 * 25;  // 10:00:00:00 at 25 fps

std::vector<std::pair<int, std::string>> Numbered(const std::vector<std::string>& labels) {
    std::vector<std::pair<int, std::string>> out;
    for (size_t k = 0; k < labels.size(); ++k) out.push_back({int(k), labels[k]});
    return out;
}

std::vector<std::string> From(int64_t count, int fps, int frames, bool dropFrame = false) {
    return SmpteSequence(SmpteLabel(count, fps, dropFrame), fps, frames);
}

std::string Disagree(const char* a, const char* b, int frame, int count, const std::string& la,
                     const std::string& lb) {
    return std::string("{\"check\":\"sources-disagree\",\"severity\":\"warning\",\"frame\":") + std::to_string(frame) +
           ",\"sources\":[\"" + a + "\",\"" + b + "\"],\"count\":" + std::to_string(count) + ",\"labels\":[\"" + la +
           "\",\"" + lb + "\"]}";
}

TEST_F(RunTest, MxfFilesGiveTheLabelsOfTheirTimecodeSources) {
    struct Case {
        const char* name;
        MxfFixture mxf;
        std::vector<std::string> options;
        std::vector<std::string> labels;  // the list file
        std::string messages;             // of the plain run
        std::string sources;              // the JSON's sources object
        std::string findings;
    };
    MxfFixture plain;
    plain.materialTimecode = {{kTen}};
    plain.fileTimecode = {{kTen}};
    plain.systemStart = kTen;
    const std::string allTen = "{\"material\":\"10:00:00:00\",\"file\":\"10:00:00:00\",\"system\":\"10:00:00:00\"}";
    std::vector<Case> cases = {
        {"op1a", plain, {}, From(kTen, 25, 10), "", allTen, ""},
        {"run_in", plain, {}, From(kTen, 25, 10), "", allTen, ""},
        {"open_header", plain, {}, From(kTen, 25, 10), "", allTen, ""},
        {"clip_wrapped", plain, {}, From(kTen, 25, 10), "",
         "{\"material\":\"10:00:00:00\",\"file\":\"10:00:00:00\"}", ""},
        {"break", plain, {}, {}, "", "{\"material\":\"10:00:00:00\"}",
         "{\"check\":\"break\",\"severity\":\"fail\",\"frame\":5,\"before\":\"10:00:00:04\",\"after\":"
         "\"10:00:04:00\",\"expected\":\"10:00:00:05\"}"},
        {"packages_disagree", plain, {}, From(kTen, 25, 10), "",
         "{\"material\":\"10:00:00:00\",\"file\":\"01:00:00:00\"}",
         Disagree("material", "file", 0, 10, "10:00:00:00", "01:00:00:00")},
        {"system_jumps", plain, {}, From(kTen, 25, 10), "", allTen,
         Disagree("material", "system", 6, 4, "10:00:00:06", "11:00:00:00") + "," +
             Disagree("file", "system", 6, 4, "10:00:00:06", "11:00:00:00")},
        {"from_system", plain, {"--timecode-from", "system"}, {}, "", allTen, ""},
        {"from_file", plain, {"--timecode-from", "file"}, From(3600 * 25, 25, 10), "",
         "{\"material\":\"10:00:00:00\",\"file\":\"01:00:00:00\"}",
         Disagree("material", "file", 0, 10, "10:00:00:00", "01:00:00:00")},
        {"file_absent", plain, {"--timecode-from=file"}, {}, "", "", ""},
        {"cut_short", plain, {}, From(kTen, 25, 6),
         "Error: Frame 6 and the frames after it are missing from the file; its header declares 10 frames\n", allTen,
         "{\"check\":\"essence-ends\",\"severity\":\"fail\",\"frame\":6,\"count\":4}"},
        {"drop_frame", plain, {}, From(1790, 30, 20, true), "",
         "{\"material\":\"00:00:59;20\",\"system\":\"00:00:59;20\"}", ""},
    };
    for (Case& c : cases) {
        MxfFixture& m = c.mxf;
        const std::string name = c.name;
        m.runIn = name == "run_in" ? 4000 : 0;
        m.openHeader = name == "open_header";
        if (name == "clip_wrapped") {
            m.clipWrapped = m.indexTable = true;
            m.systemItems = false;
        }
        if (name == "break") {
            m.materialTimecode = {{kTen, 5}, {kTen + 100, 5}};
            m.fileTimecode.clear();
            m.systemItems = false;
            c.labels = From(kTen, 25, 5);
            for (const std::string& l : From(kTen + 100, 25, 5)) c.labels.push_back(l);
        }
        if (name == "packages_disagree" || name == "from_file") {
            m.fileTimecode = {{3600 * 25}};
            m.systemItems = false;
        }
        if (name == "system_jumps" || name == "from_system") {
            m.systemJumpAt = 6;
            m.systemJumpTo = 11 * 3600 * 25;
        }
        if (name == "from_system") {
            c.labels = From(kTen, 25, 6);
            for (const std::string& l : From(11 * 3600 * 25, 25, 4)) c.labels.push_back(l);
            c.findings = "{\"check\":\"break\",\"severity\":\"fail\",\"frame\":6,\"before\":\"10:00:00:05\",\"after\":"
                         "\"11:00:00:00\",\"expected\":\"10:00:00:06\"}," +
                         Disagree("material", "system", 6, 4, "10:00:00:06", "11:00:00:00") + "," +
                         Disagree("file", "system", 6, 4, "10:00:00:06", "11:00:00:00");
        }
        if (name == "file_absent") {
            m.fileTimecode.clear();
            c.messages = "Error: Could not find a TimeCode track\n";
            c.findings = "{\"check\":\"no-timecode\",\"severity\":\"fail\"}";
        }
        if (name == "drop_frame") {
            m.rateNum = 30000;
            m.rateDen = 1001;
            m.frames = 20;
            m.materialTimecode = {{1790, -1, 30, true}};
            m.fileTimecode.clear();
            m.systemStart = 1790;
            m.systemDropFrame = true;
            m.systemFps = 30;
        }
        std::string bytes = BuildMxfFixture(m);
        // Cut within the seventh content package, just after its system item's key.
        if (name == "cut_short") {
            size_t at = 0;
            for (int k = 0; k < 7; ++k) at = FindMxfKey(bytes, "\x06\x0e\x2b\x34\x02\x05\x01\x01\x0d\x01\x03\x01\x04", at + 1);
            bytes.resize(at + 40);
        }
        WriteBytes(Path(name + ".mxf"), bytes);
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string name = c.name;
        std::vector<std::string> args = c.options;
        args.push_back(name + ".mxf");
        const ToolRun run = Run(args);
        EXPECT_EQ(run.exitStatus, 0);
        EXPECT_EQ(run.output, c.messages);
        if (!c.labels.empty()) {
            EXPECT_EQ(ReadBytes(Path(name + kListSuffix)), ExpectedList(Numbered(c.labels)));
            EXPECT_EQ(ReadBytes(Path(name + kTextSuffix)), ExpectedText(Numbered(c.labels)));
            EXPECT_EQ(ReadBytes(Path(name + kRangeSuffix)), ExpectedRange(Numbered(c.labels)));
            EXPECT_EQ(ReadBytes(Path(name + kScriptSuffix)),
                      ExpectedScript(name + ".mxf", name + kTextSuffix, name + kRangeSuffix, 36, 50));
        }
        args.insert(args.begin(), {"--qc", "--json"});
        const ToolRun qc = Run(args);
        EXPECT_EQ(qc.exitStatus, c.findings.find("\"fail\"") == std::string::npos ? 0 : 1);
        const std::string timecode = c.sources.empty() ? "null" : ",\"sources\":" + c.sources + "}";
        EXPECT_NE(qc.output.find(timecode + ",\"findings\":[" + c.findings + "]}\n"), std::string::npos) << qc.output;
    }
}

// A folder holding the picture and sound files of a set of one file per
// track: the sound file is left out as the picture's companion, but named
// on its own it is a movie without video.
TEST_F(RunTest, MxfSoundCompanionFilesAreLeftOutOfFolders) {
    ASSERT_EQ(mkdir(Path("d").c_str(), 0755), 0);
    MxfFixture picture, sound;
    picture.opAtom = sound.opAtom = true;
    picture.materialTimecode = sound.materialTimecode = {{kTen}};
    picture.systemItems = sound.systemItems = sound.picture = false;
    sound.sound = true;
    WriteBytes(Path("d/V01.mxf"), BuildMxfFixture(picture));
    WriteBytes(Path("d/A01.MXF"), BuildMxfFixture(sound));
    const ToolRun folder = Run({"--qc", "d"});
    EXPECT_EQ(folder.output.substr(0, folder.output.find('\n')), "d/V01.mxf: pass");
    EXPECT_EQ(folder.output.find("A01"), std::string::npos);
    EXPECT_EQ(Run({"d/A01.MXF"}).output, "Error: Could not find a Video track\n");
}

// What ffmpeg and GStreamer write: every frame the label of the timecode the
// file was made with (GStreamer writes none: 00:00:00:00), as many frames as
// ffprobe counts, and nothing for --qc to find.
TEST_F(RunTest, MxfFilesOfRealWritersGiveTheirTimecodeFrameForFrame) {
    if (!FfmpegAvailable()) GTEST_SKIP() << "ffmpeg is not installed";
    int n = 0;
    for (const MxfWriterCase& c : MxfWriterCases()) {
        SCOPED_TRACE(c.name);
        const std::string name = "w" + std::to_string(n++);
        ASSERT_TRUE(RunCommand("OUT=" + ShellQuote(Path(name + ".mxf")) + "; " + c.command, nullptr));
        int64_t frames = 0;
        ASSERT_TRUE(ProbeFrameCount(Path(name + ".mxf"), &frames));
        const ToolRun run = Run({name + ".mxf"});
        EXPECT_EQ(run.exitStatus, 0);
        EXPECT_EQ(run.output, "");
        EXPECT_EQ(ReadBytes(Path(name + kListSuffix)), ExpectedList(Numbered(SmpteSequence(c.timecode, c.fps, frames))));
        const ToolRun qc = Run({"--qc", "--json", name + ".mxf"});
        EXPECT_EQ(qc.exitStatus, 0);
        EXPECT_NE(qc.output.find("\"findings\":[]}"), std::string::npos) << qc.output;
    }
}

}  // namespace
