// The real LumarestTC binary on damaged and hostile movies: what the user
// sees (the message and the exit status) and the files left behind. Each case
// is a row of docs/hostile-input.md.
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/fixture/ffmpeg_movie.h"
#include "tests/fixture/fixture_writer.h"
#include "tests/fixture/mxf_fixture.h"
#include "tests/fixture/sony_movie.h"
#include "tests/fuzz/compressed_header.h"

namespace {

namespace fs = std::filesystem;

constexpr int kFailed = 255;  // the tool's -1
constexpr int32_t kOneHour = 30 * 3600;  // frame number of 01:00:00:00 at 30 fps

struct ToolRun {
    int exitStatus = -1;
    std::string output;
    std::vector<std::string> files;  // left in the folder besides the movie
    std::string timecodeList;        // take_TimeCode.txt, unless it is a link
};

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Writes bytes as take.mov in a fresh folder, makes the given links there
// (name, target), runs the tool in it and removes the folder. Files left are
// listed without the movie and the links.
ToolRun RunOn(const std::string& bytes, const std::vector<std::pair<std::string, std::string>>& links = {},
              const std::string& options = "") {
    std::string dir = MakeTempFolder();
    EXPECT_FALSE(dir.empty());
    { std::ofstream(dir + "/take.mov", std::ios::binary) << bytes; }
    std::vector<std::string> skip = {"take.mov"};
    for (const auto& link : links) {
        fs::create_symlink(link.second, dir + "/" + link.first);
        skip.push_back(link.first);
    }
    std::string command = "cd " + ShellQuote(dir) + " && " + ShellQuote(LUMAREST_TC_PATH) + options +
                          " take.mov > ../" + ShellQuote(fs::path(dir).filename().string() + ".out");
    int status = std::system(command.c_str());
    ToolRun run;
    run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1000;
    std::string out = dir + ".out";
    run.output = ReadAll(out);
    std::remove(out.c_str());
    if (!fs::is_symlink(dir + "/take_TimeCode.txt")) run.timecodeList = ReadAll(dir + "/take_TimeCode.txt");
    for (const auto& e : fs::directory_iterator(dir))
        if (std::find(skip.begin(), skip.end(), e.path().filename().string()) == skip.end())
            run.files.push_back(e.path().filename().string());
    std::sort(run.files.begin(), run.files.end());
    RemoveFolder(dir);
    return run;
}

// Three video samples at 29.97 and a timecode track starting at 01:00:00:00.
FixtureMovie ThreeFrames() {
    FixtureMovie m;
    m.tracks.push_back(FixtureVideoTrack(30000, 3, 1001));
    m.tracks.push_back(FixtureTimecodeTrack(0, 30000, 1001, 30, 30000, kOneHour, 3003));
    return m;
}

const std::string kStbl1 = "moov/trak[1]/mdia/minf/stbl/";
const std::string kStbl2 = "moov/trak[2]/mdia/minf/stbl/";

size_t At(const std::string& bytes, const std::string& path) { return FixtureAtomOffset(bytes, path); }

const std::vector<std::string> kAllFiles = {"take_Lumarest_SubTitle.avs", "take_Lumarest_SubTitle_Range.txt",
                                            "take_Lumarest_SubTitle_TimeCode.txt", "take_TimeCode.txt"};

// The movie cannot be made: the NewMovieFromFile message with its status,
// exit -1, nothing created.
void ExpectNoMovie(const std::string& bytes, int status) {
    ToolRun run = RunOn(bytes);
    EXPECT_EQ(run.output, "Error: (" + std::to_string(status) + ") NewMovieFromFile\n take.mov");
    EXPECT_EQ(run.exitStatus, kFailed);
    EXPECT_TRUE(run.files.empty());
}

// Every sample's timecode fails: one message per sample, exit 0, the files
// written without those samples' lines.
void ExpectNoTimecodes(const std::string& bytes) {
    ToolRun run = RunOn(bytes);
    EXPECT_EQ(run.output,
              "Error: Unable to get TimeCode Value 0 for 0\n"
              "Error: Unable to get TimeCode Value 1 for 1001\n"
              "Error: Unable to get TimeCode Value 2 for 2002\n");
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.files, kAllFiles);
}

void ExpectSound(const std::string& bytes) {
    ToolRun run = RunOn(bytes);
    EXPECT_EQ(run.output, "");
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.files, kAllFiles);
}

TEST(HostileInput, FilesWithoutAReadableMovieHeader) {
    SCOPED_TRACE("empty file");
    ExpectNoMovie("", -2048);
    {
        SCOPED_TRACE("no moov at all");
        std::string bytes = BuildFixtureMovie(ThreeFrames());
        FixtureAtom moov;
        ASSERT_TRUE(FindFixtureAtom(bytes, "moov", &moov));
        ExpectNoMovie(bytes.substr(0, moov.offset), -2048);
    }
    {
        SCOPED_TRACE("file cut inside the movie header");
        std::string bytes = BuildFixtureMovie(ThreeFrames());
        FixtureAtom moov;
        ASSERT_TRUE(FindFixtureAtom(bytes, "moov", &moov));
        ExpectNoMovie(bytes.substr(0, moov.offset + moov.size / 2), -2010);
    }
    {
        SCOPED_TRACE("top-level atom smaller than its header before the movie");
        std::string bytes = BuildFixtureMovie(ThreeFrames());
        PutBE32(bytes, At(bytes, "ftyp"), 4);
        ExpectNoMovie(bytes, -2048);
    }
}

TEST(HostileInput, AtomSizesThatDoNotFit) {
    {
        SCOPED_TRACE("atom larger than its parent");
        std::string bytes = BuildFixtureMovie(ThreeFrames());
        size_t stts = At(bytes, kStbl1 + "stts");
        PutBE32(bytes, stts, GetBE32(bytes, stts) + 1000);
        ExpectNoMovie(bytes, -2010);
    }
    {
        SCOPED_TRACE("atom smaller than its header");
        std::string bytes = BuildFixtureMovie(ThreeFrames());
        PutBE32(bytes, At(bytes, "moov/trak[1]/tkhd"), 4);
        ExpectNoMovie(bytes, -2010);
    }
    {
        SCOPED_TRACE("huge 64-bit atom size");
        FixtureMovie m = ThreeFrames();
        m.largeSizes = true;
        std::string bytes = BuildFixtureMovie(m);
        PutBE64(bytes, At(bytes, "moov/trak[2]") + 8, 0xFFFFFFFFFFFFFFF0ull);
        ExpectNoMovie(bytes, -2010);
    }
    {
        SCOPED_TRACE("huge 64-bit size of the movie header itself");
        FixtureMovie m = ThreeFrames();
        m.largeSizes = true;
        std::string bytes = BuildFixtureMovie(m);
        PutBE64(bytes, At(bytes, "moov") + 8, 0xFFFFFFFFFFFFFFF0ull);
        ExpectNoMovie(bytes, -2010);
    }
    {
        // Size 0 means "to the end of the enclosing atom": the timecode trak
        // becomes an unknown child of the video trak and is not seen.
        SCOPED_TRACE("size 0 swallowing the next track");
        std::string bytes = BuildFixtureMovie(ThreeFrames());
        PutBE32(bytes, At(bytes, "moov/trak[1]"), 0);
        ToolRun run = RunOn(bytes);
        EXPECT_EQ(run.output, "Error: Could not find a TimeCode track\n");
        EXPECT_EQ(run.exitStatus, 0);
        EXPECT_TRUE(run.files.empty());
    }
    {
        SCOPED_TRACE("size 0 on the last atom of the file");
        FixtureMovie m = ThreeFrames();
        m.lastAtomSizeZero = true;
        ExpectSound(BuildFixtureMovie(m));
    }
    // Entry counts sit after the 8-byte header and 4 bytes of version and flags.
    for (const std::string& table : {kStbl1 + "stts", kStbl1 + "stsd", kStbl2 + "stsc", kStbl2 + "stco"}) {
        SCOPED_TRACE("entry count larger than its atom: " + table);
        std::string bytes = BuildFixtureMovie(ThreeFrames());
        PutBE32(bytes, At(bytes, table) + 12, 0x10000000);
        ExpectNoMovie(bytes, -2010);
    }
    for (const std::string& table : {kStbl1 + "stsz", kStbl2 + "stsz"}) {
        SCOPED_TRACE("per-sample size table counting more sizes than it holds: " + table);
        std::string bytes = BuildFixtureMovie(ThreeFrames());
        PutBE32(bytes, At(bytes, table) + 12, 0);  // sample size 0: a size per sample follows
        PutBE32(bytes, At(bytes, table) + 16, 0x10000000);
        ExpectNoMovie(bytes, -2010);
    }
    {
        SCOPED_TRACE("stsc first chunk 0");
        std::string bytes = BuildFixtureMovie(ThreeFrames());
        PutBE32(bytes, At(bytes, kStbl2 + "stsc") + 16, 0);
        ExpectNoMovie(bytes, -2010);
    }
}

TEST(HostileInput, CompressedMovieHeaders) {
    const std::string sound = CompressMovieHeader(BuildFixtureMovie(ThreeFrames()));
    ASSERT_FALSE(sound.empty());
    ExpectSound(sound);
    const size_t dcom = sound.find("dcom"), cmvd = sound.find("cmvd");
    {
        SCOPED_TRACE("declared inflated size one byte more than the data gives");
        std::string bytes = sound;
        PutBE32(bytes, cmvd + 4, GetBE32(bytes, cmvd + 4) + 1);
        ExpectNoMovie(bytes, -2010);
    }
    {
        SCOPED_TRACE("declared inflated size far beyond what deflate can give");
        std::string bytes = sound;
        PutBE32(bytes, cmvd + 4, 0xFFFFFFF0u);
        ExpectNoMovie(bytes, -2010);
    }
    {
        SCOPED_TRACE("compressor other than zlib");
        std::string bytes = sound;
        bytes.replace(dcom + 4, 4, "lzw ");
        ExpectNoMovie(bytes, -2010);
    }
    {
        SCOPED_TRACE("compressed data damaged");
        std::string bytes = sound;
        for (size_t i = cmvd + 10; i < bytes.size() && i < cmvd + 40; ++i) bytes[i] = char(bytes[i] ^ 0x5A);
        ExpectNoMovie(bytes, -2010);
    }
}

// A fragmented movie made by ffmpeg: moov without samples, then moof/mdat
// pairs. Damage in a fragment refuses the whole movie.
TEST(HostileInput, DamagedFragments) {
    if (!FfmpegAvailable()) GTEST_SKIP() << "ffmpeg not installed";
    std::string dir = MakeTempFolder();
    FfmpegMovieSpec clip;
    clip.seconds = 0.4;
    clip.size = "16x16";
    clip.timecode = "00:00:10:00";
    clip.extraArgs = "-g 3 -movflags +frag_keyframe+empty_moov";
    std::string path = MakeFfmpegMovie(clip, dir);
    ASSERT_FALSE(path.empty());
    const std::string sound = ReadAll(path);
    RemoveFolder(dir);
    ToolRun run = RunOn(sound);
    EXPECT_EQ(run.output, "");
    EXPECT_EQ(run.timecodeList.substr(0, 12), "00:00:10:00\n");
    // trun: size, type, version and flags, sample count, then the data
    // offset when flag 0x1 is set.
    const size_t trun = sound.find("trun") - 4;
    ASSERT_LT(trun, sound.size());
    {
        SCOPED_TRACE("trun sample count beyond its atom");
        std::string bytes = sound;
        PutBE32(bytes, trun + 12, 0x7FFFFFFF);
        ExpectNoMovie(bytes, -2010);
    }
    if (GetBE32(sound, trun + 8) & 1) {
        SCOPED_TRACE("trun data offset beyond the end of the file");
        std::string bytes = sound;
        PutBE32(bytes, trun + 16, 0x7FFFFFF0);
        ExpectNoMovie(bytes, -2010);
    }
}

TEST(HostileInput, DeeplyNestedUnknownAtomsAreSkipped) {
    // 100000 atoms each holding the next: nothing descends into them.
    FixtureMovie m = ThreeFrames();
    const int depth = 100000;
    std::string nest;
    for (int i = 0; i < depth; ++i) {
        std::string header;
        PutBE32(header, 0, 0);
        header.assign(8, '\0');
        PutBE32(header, 0, uint32_t(8 * (depth - i)));
        header.replace(4, 4, "udta");
        nest += header;
    }
    m.tracks[0].extraTrakAtoms = nest;
    ExpectSound(BuildFixtureMovie(m));
}

TEST(HostileInput, TimecodeSamplesThatCannotBeRead) {
    {
        SCOPED_TRACE("chunk offset beyond the end of the file");
        std::string bytes = BuildFixtureMovie(ThreeFrames());
        PutBE32(bytes, At(bytes, kStbl2 + "stco") + 16, uint32_t(bytes.size()) + 100);
        ExpectNoTimecodes(bytes);
    }
    {
        SCOPED_TRACE("file cut inside the timecode sample");
        FixtureMovie m = ThreeFrames();
        m.moovFirst = true;
        m.timecodeData = FixtureTimecodeData::Last;
        std::string bytes = BuildFixtureMovie(m);
        ExpectNoTimecodes(bytes.substr(0, bytes.size() - 2));
    }
    {
        SCOPED_TRACE("timecode sample smaller than 4 bytes");
        std::string bytes = BuildFixtureMovie(ThreeFrames());
        PutBE32(bytes, At(bytes, kStbl2 + "stsz") + 12, 2);
        ExpectNoTimecodes(bytes);
    }
    {
        SCOPED_TRACE("sample counts that disagree: stsz holds none of the stts samples");
        std::string bytes = BuildFixtureMovie(ThreeFrames());
        PutBE32(bytes, At(bytes, kStbl2 + "stsz") + 16, 0);
        ExpectNoTimecodes(bytes);
    }
    {
        SCOPED_TRACE("sample description index that does not exist");
        std::string bytes = BuildFixtureMovie(ThreeFrames());
        PutBE32(bytes, At(bytes, kStbl2 + "stsc") + 24, 7);
        ExpectNoTimecodes(bytes);
    }
}

TEST(HostileInput, SonyClipsWithHostileXmlOrRtmdTables) {
    const std::vector<std::string> pairs = {"10:00:00:00", "10:00:00:00", "10:00:00:01", "10:00:00:01"};
    const std::string list = "10:00:00:00\n10:00:00:00\n10:00:00:01\n10:00:00:01\n";
    {
        SCOPED_TRACE("an XML of 2 MiB whose table lies past the first MiB");
        const std::string xml = SonyXml(25, true, "10:00:00:00");
        const std::string bytes =
            BuildFixtureMovie(SonyMovie(50, 1, pairs, xml.substr(0, 90) + std::string(2 << 20, ' ') + xml.substr(90)));
        ToolRun run = RunOn(bytes);
        EXPECT_EQ(run.output, "");
        EXPECT_EQ(run.timecodeList, list);
        EXPECT_NE(RunOn(bytes, {}, " --qc --json").output.find("\"check\":\"xml-unreadable\""), std::string::npos);
    }
    {
        SCOPED_TRACE("rtmd tables that claim two billion samples in a few bytes, every head read for the halfStep");
        std::string bytes = BuildFixtureMovie(SonyMovie(50, 1, pairs, SonyXml(25, true, "10:00:00:00")));
        for (const char* table : {"stts", "stsc", "stsz"})
            PutBE32(bytes, At(bytes, kStbl2 + table) + (std::string(table) == "stsc" ? 20 : 16), 0x7FFFFFFF);
        ToolRun run = RunOn(bytes);
        EXPECT_EQ(run.output, "");
        EXPECT_EQ(run.timecodeList, list);
    }
}

TEST(HostileInput, MxfFilesWhoseHeaderMetadataCannotBeRead) {
    // Read as MXF whatever the name, refused with why, nothing written.
    MxfFixture f;
    f.damage = MxfFixtureDamage::TrackNamesTrack;
    ToolRun run = RunOn(BuildMxfFixture(f));
    EXPECT_EQ(run.output, "Error: (-2010) NewMovieFromFile: the MXF file's header metadata cannot be read: a reference "
                          "from a Track names a Track\n take.mov");
    EXPECT_EQ(run.exitStatus, kFailed);
    EXPECT_TRUE(run.files.empty());
}

TEST(HostileInput, TimecodeDefinitionsThatCannotCount) {
    for (int field : {0, 1, 2}) {
        SCOPED_TRACE(field == 0 ? "zero frame duration" : field == 1 ? "zero frames per second" : "zero time scale");
        FixtureMovie m = ThreeFrames();
        if (field == 0) m.tracks[1].tcFrameDuration = 0;
        if (field == 1) m.tracks[1].tcNumFrames = 0;
        if (field == 2) m.tracks[1].tcTimeScale = 0;
        ExpectNoTimecodes(BuildFixtureMovie(m));
    }
    {
        SCOPED_TRACE("negative timecode without negative times allowed");
        FixtureMovie m = ThreeFrames();
        m.tracks[1].tcSamples[0].value = uint32_t(-10);
        ExpectNoTimecodes(BuildFixtureMovie(m));
    }
}

TEST(HostileInput, MediaTimeScalesOfZero) {
    {
        SCOPED_TRACE("timecode media time scale 0");
        FixtureMovie m = ThreeFrames();
        m.tracks[1].timeScale = 0;
        ExpectNoTimecodes(BuildFixtureMovie(m));
    }
    {
        // Nothing to convert from: the video time goes to the timecode media
        // unchanged, which here is the same scale.
        SCOPED_TRACE("video media time scale 0");
        FixtureMovie m = ThreeFrames();
        m.tracks[0].timeScale = 0;
        ExpectSound(BuildFixtureMovie(m));
    }
}

TEST(HostileInput, VideoSamplesOfZeroDurationShareOneTime) {
    // Samples that start at the same time are one time for the walk.
    FixtureMovie m = ThreeFrames();
    m.tracks[0].stts = {{3, 0}};
    ToolRun run = RunOn(BuildFixtureMovie(m));
    EXPECT_EQ(run.output, "");
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.timecodeList, "01:00:00:00\n");
}

TEST(HostileInput, EditListsAndCompositionTablesOnlyMoveTheCues) {
    // An elst or ctts that claims more entries than it holds counts as none;
    // ctts offsets of -2^31 show the frames at 0. The files stay whole.
    FixtureMovie m = ThreeFrames();
    m.moovFirst = true;
    m.tracks[0].extraTrakAtoms = FixtureEditList({{300, -1}, {100, 0}});
    std::string edit = BuildFixtureMovie(m);
    PutBE32(edit, At(edit, "moov/trak[1]/edts/elst") + 12, 0x7FFFFFFF);
    m.tracks[0].extraTrakAtoms = "";
    m.tracks[0].extraStblAtoms = FixtureAtomBytes("ctts", std::string("\0\0\0\0\0\0\0\1\0\0\0\3\x80\0\0\0", 16));
    std::string early = BuildFixtureMovie(m), composition = early;
    PutBE32(composition, At(composition, kStbl1 + "ctts") + 12, 0x7FFFFFFF);
    for (const std::string& bytes : {edit, early, composition}) {
        ToolRun run = RunOn(bytes, {}, " --srt");
        EXPECT_EQ(run.exitStatus, 0);
        EXPECT_EQ(run.timecodeList, "01:00:00:00\n01:00:00:01\n01:00:00:02\n");
        EXPECT_EQ(run.files.size(), kAllFiles.size() + 1);
    }
}

TEST(HostileInput, VideoWithoutSampleDescription) {
    // The description handle stays zero-filled: the script places the
    // shadow for a 0 x 0 picture.
    std::string bytes = BuildFixtureMovie(ThreeFrames());
    PutBE32(bytes, At(bytes, kStbl1 + "stsd") + 12, 0);
    ExpectSound(bytes);
}

}  // namespace

namespace {

// Every kept fuzzer finding through the real tool too (instrumented in the
// sanitizer build): it ends with one of its two exit statuses, never a crash.
TEST(HostileInput, KeptFuzzerFindingsThroughTheTool) {
    for (const auto& e : fs::recursive_directory_iterator(LUMAREST_FUZZ_REGRESSIONS)) {
        if (!e.is_regular_file()) continue;
        SCOPED_TRACE(e.path().string());
        ToolRun run = RunOn(ReadAll(e.path().string()));
        EXPECT_TRUE(run.exitStatus == 0 || run.exitStatus == kFailed) << run.exitStatus;
    }
}

}  // namespace

namespace {

// An output file that is a link to /dev/full: its open succeeds and every
// write fails for want of space, as on a disk that fills during the walk.
TEST(HostileInput, OutputFileOnAFullDisk) {
    const std::string movie = BuildFixtureMovie(ThreeFrames());
    const struct {
        const char* name;
        const char* message;
    } files[] = {{"take_TimeCode.txt", "Error: Unable to write TimeCode file\n take_TimeCode.txt"},
                 {"take_Lumarest_SubTitle_TimeCode.txt",
                  "Error: Unable to write AviSynth TimeCode file\n take_Lumarest_SubTitle_TimeCode.txt"},
                 {"take_Lumarest_SubTitle_Range.txt",
                  "Error: Unable to write AviSynth Range file\n take_Lumarest_SubTitle_Range.txt"},
                 {"take_Lumarest_SubTitle.avs", "Error: Unable to write AviSynth file\n take_Lumarest_SubTitle.avs"}};
    std::string all;
    std::vector<std::pair<std::string, std::string>> links;
    for (const auto& f : files) {
        SCOPED_TRACE(f.name);
        ToolRun run = RunOn(movie, {{f.name, "/dev/full"}});
        EXPECT_EQ(run.output, f.message);
        EXPECT_EQ(run.exitStatus, kFailed);
        EXPECT_EQ(run.files.size(), 3u);  // the other three
        if (std::string(f.name) != "take_TimeCode.txt") {
            EXPECT_EQ(run.timecodeList, "01:00:00:00\n01:00:00:01\n01:00:00:02\n");
        }
        all += f.message;
        links.push_back({f.name, "/dev/full"});
    }
    // Every file full: one message each, in closing order.
    ToolRun run = RunOn(movie, links);
    EXPECT_EQ(run.output, all);
    EXPECT_EQ(run.exitStatus, kFailed);
}

}  // namespace
