// The MXF reader on fixture files: what it reads from each structure, the
// system item walk, the reads it makes, and refusals of damaged files.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

#include "mxf/mxf_body.h"
#include "movie/smpte12m.h"
#include "tests/fixture/ffmpeg_movie.h"
#include "tests/fixture/fixture_writer.h"
#include "tests/fixture/mxf_fixture.h"
#include "tests/fixture/smpte.h"
#include "tests/mxf/mxf_test_util.h"

ReadCounter g_reads;

extern "C" bool __real__Z15ReadMovieFileAtP9MovieFilemPvm(MovieFile*, uint64_t, void*, size_t);
extern "C" bool __wrap__Z15ReadMovieFileAtP9MovieFilemPvm(MovieFile* f, uint64_t at, void* dst, size_t n) {
    ++g_reads.calls;
    g_reads.bytes += n;
    return __real__Z15ReadMovieFileAtP9MovieFilemPvm(f, at, dst, n);
}

MxfStatus ReadMxfPath(const std::string& path, MxfModel* model, std::string* problem) {
    MovieFile file;
    if (OpenMovieFileForReading(path, &file) != MovieStatus::Ok) return MxfStatus::ReadError;
    std::string text;
    MxfStatus st = ReadMxf(&file, model, problem ? problem : &text);
    CloseMovieFileForReading(&file);
    return st;
}

namespace {

std::string TempPath() {
    static std::string folder = MakeTempFolder();
    static int n = 0;
    return folder + "/f" + std::to_string(n++) + ".mxf";
}

}  // namespace

MxfStatus ReadMxfBytes(const std::string& bytes, MxfModel* model, std::string* problem) {
    const std::string path = TempPath();
    if (!WriteFixtureFile(path, bytes)) return MxfStatus::ReadError;
    MxfStatus st = ReadMxfPath(path, model, problem);
    std::remove(path.c_str());
    return st;
}

std::vector<std::string> SystemLabels(const std::string& path, const MxfModel& model, int64_t first,
                                      int64_t count) {
    std::vector<std::string> out;
    MovieFile file;
    if (OpenMovieFileForReading(path, &file) != MovieStatus::Ok) return out;
    MxfBodyCursor cursor;
    for (int64_t n = first; n < first + count; ++n) {
        uint8_t bytes[4];
        bool present = false;
        if (SystemItemTimecode(&file, model, &cursor, n, bytes, &present) != MxfStatus::Ok) break;
        TimecodeLabel t;
        const bool valid = DecodeSmpte12m(bytes, &t);
        SmpteTime s{t.hours, t.minutes, t.seconds, t.frames, t.dropFrame};
        out.push_back(!present ? "-" : !valid ? "!" : FormatSmpte(s));
    }
    CloseMovieFileForReading(&file);
    return out;
}

namespace {

struct StructureCase {
    const char* name;
    std::function<void(MxfFixture*)> build;
    int64_t declared;
    int64_t present;
    MxfWrapping wrapping;
    // Start frame counts of the material and file timecode's components
    // (-1: no track), and the file timecode's position.
    std::vector<int64_t> material;
    std::vector<int64_t> file;
    int64_t filePosition;
};

MxfFixtureTimecode Tc(int64_t start, int64_t duration = -1, uint16_t base = 25, bool drop = false) {
    MxfFixtureTimecode t;
    t.start = start;
    t.duration = duration;
    t.base = base;
    t.dropFrame = drop;
    return t;
}

std::vector<int64_t> Starts(const MxfTimecode& tc) {
    std::vector<int64_t> out;
    if (!tc.present) return {-1};
    for (const MxfTimecodeComponent& c : tc.components) out.push_back(c.start);
    return out;
}

const int64_t kTen = 900000;  // 10:00:00:00 at 25 fps
const int64_t kOne = 90000;   // 01:00:00:00

// The structures that the tool's own MXF table (tests/run/mxf_test.cpp)
// does not already take through the four files and --qc.
TEST(MxfReader, ReadsEachStructure) {
    const std::vector<StructureCase> cases = {
        {"timecode of the package below the file package", [](MxfFixture* f) { f->lowerTimecode = {Tc(kOne)}; f->lowerStart = 7; f->startPosition = 2; },
         10, 10, MxfWrapping::Frame, {-1}, {kOne}, 9},
        {"dynamic local tags", [](MxfFixture* f) { f->dynamicTags = true; f->fileTimecode = {Tc(kTen)}; },
         10, 10, MxfWrapping::Frame, {-1}, {kTen}, 0},
        {"clip wrapped, no index", [](MxfFixture* f) { f->clipWrapped = true; },
         10, 10, MxfWrapping::Clip, {-1}, {-1}, 0},
        {"unknown duration, counted from the index", [](MxfFixture* f) { f->declaredFrames = -1; f->indexTable = true; },
         10, 10, MxfWrapping::Frame, {-1}, {-1}, 0},
        {"unknown duration, counted in the body", [](MxfFixture* f) { f->declaredFrames = -1; f->footer = false; f->randomIndexPack = false; },
         10, 10, MxfWrapping::Frame, {-1}, {-1}, 0},
        {"header and footer without essence", [](MxfFixture* f) { f->declaredFrames = 10; f->frames = 0; },
         10, 0, MxfWrapping::Unknown, {-1}, {-1}, 0},
        {"without system items, sound interleaved", [](MxfFixture* f) { f->systemItems = false; f->sound = true; f->multipleDescriptor = true; },
         10, 10, MxfWrapping::Frame, {-1}, {-1}, 0},
    };
    for (const StructureCase& c : cases) {
        SCOPED_TRACE(c.name);
        MxfFixture f;
        c.build(&f);
        MxfModel m;
        std::string problem;
        ASSERT_EQ(ReadMxfBytes(BuildMxfFixture(f), &m, &problem), MxfStatus::Ok) << problem;
        EXPECT_TRUE(m.hasPicture);
        EXPECT_EQ(m.declaredFrames, c.declared);
        EXPECT_EQ(m.framesPresent, c.present);
        EXPECT_EQ(m.wrapping, c.wrapping);
        EXPECT_EQ(m.systemItems, f.systemItems && !f.clipWrapped && f.frames > 0);
        EXPECT_EQ(Starts(m.material), c.material);
        EXPECT_EQ(Starts(m.file), c.file);
        EXPECT_EQ(m.file.position, c.filePosition);
        EXPECT_EQ(m.fileTimecodeFromLowerPackage, !f.lowerTimecode.empty());
        EXPECT_EQ(m.startPosition, f.startPosition);
        EXPECT_EQ(m.width, 64);
        EXPECT_EQ(m.height, 48);
    }
}

// The walk goes forward, starts again when asked backwards, and tells a
// jump, a missing pack and the end apart.
TEST(MxfBody, SystemItemsFrameByFrame) {
    MxfFixture f;
    f.frames = 8;
    f.systemStart = kTen;
    f.systemJumpAt = 5;
    f.systemJumpTo = kOne;
    const std::string path = TempPath();
    ASSERT_TRUE(WriteFixtureFile(path, BuildMxfFixture(f)));
    MxfModel m;
    ASSERT_EQ(ReadMxfPath(path, &m), MxfStatus::Ok);
    const std::vector<std::string> want = {"10:00:00:03", "10:00:00:04", "01:00:00:00", "01:00:00:01",
                                           "01:00:00:02", "-"};
    EXPECT_EQ(SystemLabels(path, m, 3, 6), want);
    MovieFile file;
    ASSERT_EQ(OpenMovieFileForReading(path, &file), MovieStatus::Ok);
    MxfBodyCursor cursor;
    uint8_t b[4];
    bool present = false;
    for (int64_t n : {6, 1}) {
        ASSERT_EQ(SystemItemTimecode(&file, m, &cursor, n, b, &present), MxfStatus::Ok);
        EXPECT_TRUE(present);
    }
    EXPECT_EQ(b[0], 0x01);  // backwards: 10:00:00:01 again
    CloseMovieFileForReading(&file);
}

TEST(Smpte12m, DecodesDigitsAndFlags) {
    struct Case {
        uint8_t b[4];
        bool valid;
        const char* text;
    };
    const Case cases[] = {
        {{0x04, 0x37, 0x30, 0x20}, true, "20:30:37:04"},
        {{0x40 | 0x22, 0x59, 0x09, 0x00}, true, "00:09:59;22"},
        {{0x80 | 0x13, 0x80 | 0x12, 0x80 | 0x34, 0xc0 | 0x23}, true, "23:34:12:13"},  // flag bits ignored
        {{0x0a, 0x00, 0x00, 0x00}, false, nullptr},
        {{0x00, 0x60, 0x00, 0x00}, false, nullptr},
        {{0x00, 0x00, 0x60, 0x00}, false, nullptr},
        {{0x00, 0x00, 0x00, 0x24}, false, nullptr},
    };
    for (const Case& c : cases) {
        TimecodeLabel t;
        EXPECT_EQ(DecodeSmpte12m(c.b, &t), c.valid);
        if (c.text) {
            EXPECT_EQ(FormatSmpte({t.hours, t.minutes, t.seconds, t.frames, t.dropFrame}), c.text);
        }
    }
}

// What the file holds when it was cut short: whole frames only, and for a
// clip-wrapped element without an index, the declared count scaled by the
// bytes present.
TEST(MxfReader, CutShortFiles) {
    struct Case {
        bool clip;
        int64_t keepFrames;  // frames kept whole, then half of the next
        int64_t present;
    };
    for (const Case& c : {Case{false, 4, 4}, Case{false, 0, 0}, Case{true, 4, 4}, Case{true, 0, 0}}) {
        MxfFixture f;
        f.clipWrapped = c.clip;
        f.frameBytes = 1000;
        std::string bytes = BuildMxfFixture(f);
        const std::string element = bytes.substr(FindMxfKey(bytes, std::string("\x06\x0e\x2b\x34\x01\x02\x01\x01", 8)), 12);
        size_t at = FindMxfKey(bytes, element);
        size_t cut = at + (c.clip ? 20 + c.keepFrames * 1000 + 500 : 0);
        for (int64_t n = 0; !c.clip && n < c.keepFrames; ++n) at = FindMxfKey(bytes, element, at + 1);
        if (!c.clip) cut = at + 20 + 500;
        bytes.resize(cut);
        MxfModel m;
        ASSERT_EQ(ReadMxfBytes(bytes, &m), MxfStatus::Ok);
        EXPECT_EQ(m.declaredFrames, 10);
        EXPECT_EQ(m.framesPresent, c.present) << c.clip << " " << c.keepFrames;
    }
}

// Large frames (with sound beside them) cost at most a kilobyte of reading
// each, small ones share 64 KiB reads; the walk keeps no memory per frame.
TEST(MxfBody, ReadsStayCloseToTheKeys) {
    struct Case {
        uint32_t frameBytes;
        uint64_t maxBytesPerFrame;
        uint64_t maxCallsPerFrame100;  // calls per 100 frames
    };
    for (const Case& c : {Case{150000, 1024, 300}, Case{600, 1200, 4}}) {
        MxfFixture f;
        f.frames = 200;
        f.frameBytes = c.frameBytes;
        f.sound = c.frameBytes > 1000;
        const std::string path = TempPath();
        ASSERT_TRUE(WriteFixtureFile(path, BuildMxfFixture(f)));
        MxfModel m;
        g_reads = ReadCounter();
        ASSERT_EQ(ReadMxfPath(path, &m), MxfStatus::Ok);
        const ReadCounter afterHeader = g_reads;
        EXPECT_EQ(SystemLabels(path, m, 0, 200).back(), SmpteLabel(199, 25, false));
        const uint64_t walkBytes = g_reads.bytes - afterHeader.bytes, walkCalls = g_reads.calls - afterHeader.calls;
        EXPECT_LE(walkBytes, 200 * c.maxBytesPerFrame + 70000) << c.frameBytes;
        EXPECT_LE(walkCalls, 2 * c.maxCallsPerFrame100 + 2) << c.frameBytes;
        std::remove(path.c_str());
    }
}

TEST(MxfReader, RefusesDamagedHeaderMetadata) {
    struct Case {
        MxfFixtureDamage damage;
        const char* problem;
    };
    const Case cases[] = {
        {MxfFixtureDamage::TrackNamesTrack, "a reference from a Track names a Track"},
        {MxfFixtureDamage::SequenceHoldsItself, "a reference from a Sequence names a Sequence"},
        {MxfFixtureDamage::DescriptorHoldsItself, "a reference from a MultipleDescriptor names a MultipleDescriptor"},
        {MxfFixtureDamage::DanglingSequence, "a reference from a Track names no set"},
        {MxfFixtureDamage::DuplicateUid, "two sets share one InstanceUID"},
        {MxfFixtureDamage::NoPrimer, "the header metadata has no primer pack"},
        {MxfFixtureDamage::ArrayOverflow, "a reference array of a ContentStorage is not count x 16 bytes"},
    };
    for (const Case& c : cases) {
        MxfFixture f;
        f.damage = c.damage;
        f.multipleDescriptor = c.damage == MxfFixtureDamage::DescriptorHoldsItself;
        MxfModel m;
        std::string problem;
        EXPECT_EQ(ReadMxfBytes(BuildMxfFixture(f), &m, &problem), MxfStatus::Damaged);
        EXPECT_EQ(problem, c.problem);
    }
}

// Hostile bytes in the partitions and KLVs: each case patches an intact file.
TEST(MxfReader, HostilePartitionsAndLengths) {
    const std::string intact = BuildMxfFixture(MxfFixture());
    const size_t primer = FindMxfKey(intact, std::string("\x06\x0e\x2b\x34\x02\x05\x01\x01\x0d\x01\x02\x01\x01\x05", 14));
    const size_t footer = FindMxfKey(intact, std::string("\x06\x0e\x2b\x34\x02\x05\x01\x01\x0d\x01\x02\x01\x01\x04", 14));
    struct Case {
        const char* name;
        std::function<void(std::string*)> patch;
        MxfStatus status;
    };
    const std::vector<Case> cases = {
        {"a run-in longer than 64 KiB", [](std::string* b) { b->insert(0, std::string(65 * 1024, 'x')); }, MxfStatus::NotMxf},
        {"no partition pack", [](std::string* b) { (*b)[13] = 0x7f; }, MxfStatus::NotMxf},
        {"a BER length of 9 bytes", [&](std::string* b) { (*b)[primer + 16] = char(0x89); }, MxfStatus::Damaged},
        {"the primer's length past the file", [&](std::string* b) { (*b)[primer + 17] = char(0x7f); }, MxfStatus::Damaged},
        {"primer items of 17 bytes", [&](std::string* b) { (*b)[primer + 27] = 17; }, MxfStatus::Damaged},
        {"a footer offset pointing backwards", [&](std::string* b) {
             for (int i = 0; i < 8; ++i) (*b)[footer + 20 + 8 + i] = 0;  // ThisPartition 0
         }, MxfStatus::Ok},
        {"a cut in the header metadata", [&](std::string* b) { b->resize(primer + 600); }, MxfStatus::Damaged},
    };
    for (const Case& c : cases) {
        std::string bytes = intact;
        c.patch(&bytes);
        MxfModel m;
        EXPECT_EQ(ReadMxfBytes(bytes, &m), c.status) << c.name;
    }
}

// Every cut of a small file, and every byte of its header region flipped,
// ends in a status: no crash or hang, and no more memory than the file.
TEST(MxfReader, EveryCutAndFlip) {
    MxfFixture f;
    f.frames = 3;
    f.indexTable = true;
    f.materialTimecode = {Tc(kTen)};
    const std::string intact = BuildMxfFixture(f);
    for (size_t cut = 0; cut < intact.size(); cut += 7) {
        MxfModel m;
        ReadMxfBytes(intact.substr(0, cut), &m);
        ASSERT_LE(m.framesPresent, 3);
    }
    for (size_t at = 0; at < intact.size(); at += 3) {
        std::string bytes = intact;
        bytes[at] = char(bytes[at] ^ 0xff);
        MxfModel m;
        ReadMxfBytes(bytes, &m);
    }
}

TEST(MxfReader, NoPictureOrSoundOnly) {
    MxfFixture silent;
    silent.declaredFrames = 0;
    MxfFixture sound;
    sound.picture = false;
    sound.sound = true;
    sound.systemItems = false;
    MxfModel a, b;
    ASSERT_EQ(ReadMxfBytes(BuildMxfFixture(silent), &a), MxfStatus::Ok);
    ASSERT_EQ(ReadMxfBytes(BuildMxfFixture(sound), &b), MxfStatus::Ok);
    EXPECT_FALSE(a.hasPicture);
    EXPECT_FALSE(b.hasPicture);
    EXPECT_TRUE(b.soundOnly);
}

}  // namespace
