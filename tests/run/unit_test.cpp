// Unit tests of the run's pure pieces: trimming, the time-scale conversion,
// decimal formatting, output paths, script paths, the movie-path refusals and
// the QC page's calendar.
#include <gtest/gtest.h>

#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "common/decimal.h"
#include "driver/movie_path.h"
#include "driver/output_paths.h"
#include "extract/timecode_text.h"
#include "extract/trim_string.h"
#include "writers/output_files.h"
#include "writers/subtitle_script.h"
#include "writers/utc_time.h"

namespace {

const std::string kTrimSet = " \r\n";

TEST(TrimString, CutsOnlySpacesCarriageReturnsAndLineFeedsAtBothEnds) {
    EXPECT_EQ(TrimString("  01:00:00:00\r\n", kTrimSet), "01:00:00:00");
    EXPECT_EQ(TrimString("\n\r 01:00 00;29 \r", kTrimSet), "01:00 00;29");  // inner blank stays
    EXPECT_EQ(TrimString("\t01:00:00:00\t", kTrimSet), "\t01:00:00:00\t");  // tab is no member
    EXPECT_EQ(TrimString("x", kTrimSet), "x");
}

TEST(TrimString, NothingLeftGivesEmpty) {
    EXPECT_EQ(TrimString("", kTrimSet), "");
    EXPECT_EQ(TrimString(" \r\n \n\r", kTrimSet), "");
}

TEST(TrimString, ZeroByteIsNoMemberOfTheSet) {
    const std::string withZero("\0 a \0", 5);
    EXPECT_EQ(TrimString(withZero, kTrimSet), withZero);
}

TEST(TimecodeMediaTime, EqualOrUnusableScalesPassTheLow32Bits) {
    const int64_t t = (int64_t(5) << 32) + 1001;
    EXPECT_EQ(ToTimecodeMediaTime(t, {30000, 30000}), 1001);
    EXPECT_EQ(ToTimecodeMediaTime(t, {0, 600}), 1001);
    EXPECT_EQ(ToTimecodeMediaTime(t, {30000, -1}), 1001);
    EXPECT_EQ(ToTimecodeMediaTime(int64_t(1) << 31, {600, 600}), INT32_MIN);
}

TEST(TimecodeMediaTime, ConvertsBetweenScales) {
    // Half the video's scale: 60000 -> 30000 halves every time exactly.
    for (int64_t k = 0; k < 100; ++k) EXPECT_EQ(ToTimecodeMediaTime(2002 * k, {60000, 30000}), 1001 * k);
    // 12800 (a common 25 fps video scale) -> 25: sample k at 512k is frame k.
    for (int64_t k = 0; k < 100; ++k) EXPECT_EQ(ToTimecodeMediaTime(512 * k, {12800, 25}), k);
    // Upscaling: 25 -> 30000.
    EXPECT_EQ(ToTimecodeMediaTime(7, {25, 30000}), 8400);
}

TEST(TimecodeMediaTime, TakesTheFirstWholeUnitAtOrAfterTheSampleStart) {
    // 1 x 1 / 3 = 0.33 -> 1; 3 x 1 / 3 = 1 -> 1; -3 x 1 / 2 = -1.5 -> -1.
    EXPECT_EQ(ToTimecodeMediaTime(1, {3, 1}), 1);
    EXPECT_EQ(ToTimecodeMediaTime(3, {3, 1}), 1);
    EXPECT_EQ(ToTimecodeMediaTime(-3, {2, 1}), -1);
    // 23.976 fps at 24000 into 600ths: frame k starts at 25.025 k, so the
    // answer must lie in [25.025 k, 25.025 (k + 1)).
    for (int64_t k = 0; k < 2000; ++k) {
        const int32_t t = ToTimecodeMediaTime(1001 * k, {24000, 600});
        EXPECT_GE(t * 1000, 25025 * k) << k;
        EXPECT_LT(t * 1000, 25025 * (k + 1)) << k;
    }
}

TEST(TimecodeMediaTime, ExactFor64BitTimes) {
    // Times far beyond what time x scale can hold in 64 bits; the expected
    // value comes from 128-bit arithmetic.
    const int32_t videoScale = 2147483647;
    const int32_t timecodeScale = 2147483629;
    for (int64_t t : {int64_t(1) << 40, (int64_t(1) << 62) + 12345, INT64_MAX}) {
        const __int128 num = __int128(t) * timecodeScale;
        const __int128 rounded = (num + videoScale - 1) / videoScale;
        const int32_t expected = int32_t(uint32_t(uint64_t(rounded)));
        EXPECT_EQ(ToTimecodeMediaTime(t, {videoScale, timecodeScale}), expected) << t;
    }
}

TEST(PutDecimal, MatchesPrintf) {
    for (int32_t v : {0, 1, 9, 10, 99, 100, 123456789, -1, -10, INT32_MAX, INT32_MIN}) {
        char expected[16];
        std::snprintf(expected, sizeof expected, "%d", v);
        char out[kDecimalMax];
        EXPECT_EQ(std::string(out, PutDecimal(out, v)), expected);
    }
}

TEST(ShadowPosition, HalfWidthTruncatedTowardZeroPlusFourAndHeightPlusTwo) {
    struct Case {
        int16_t w, h;
        int32_t x, y;
    };
    for (const Case& c : {Case{720, 480, 364, 482}, Case{721, 480, 364, 482}, Case{-3, 0, 3, 2},
                          Case{-1, -1, 4, 1}, Case{0, -32768, 4, -32766}, Case{32767, 32767, 16387, 32769}}) {
        const ShadowPosition p = ComputeShadowPosition(c.w, c.h);
        EXPECT_EQ(p.x, c.x) << c.w;
        EXPECT_EQ(p.y, c.y) << c.h;
    }
}

TEST(OutputPaths, StemIsThePathBeforeItsLastDot) {
    struct Case {
        const char* path;
        const char* base;
    };
    const Case cases[] = {
        {"C:\\clips\\take1.mov", "C:\\clips\\take1"},
        {"C:\\clips\\take1.final.mov", "C:\\clips\\take1.final"},
        {"C:\\clips.old\\take1", "C:\\clips"},
        {"take1", "take1"},
        {"..\\take1", "."},
        {"C:\\clips\\take1.", "C:\\clips\\take1"},
        {".mov", ""},
        {"/media/cards.2024/A001", "/media/cards"},
    };
    for (const Case& c : cases) {
        const OutputPaths p = OutputPathsFromText(c.path);
        const std::string base = c.base;
        EXPECT_EQ(p.BasePath, base) << c.path;
        EXPECT_EQ(p.timecodeList, base + "_TimeCode.txt");
        EXPECT_EQ(p.subtitleText, base + "_Lumarest_SubTitle_TimeCode.txt");
        EXPECT_EQ(p.subtitleRange, base + "_Lumarest_SubTitle_Range.txt");
        EXPECT_EQ(p.subtitleScript, base + "_Lumarest_SubTitle.avs");
    }
}

TEST(OutputPaths, LongStemsAreKeptWhole) {
    const std::string stem(255, 'a');
    const OutputPaths p = OutputPathsFromText(stem);
    EXPECT_EQ(p.subtitleText.size(), 255u + 31u);
    EXPECT_EQ(p.subtitleText.compare(0, 255, stem), 0);
}

TEST(ScriptPaths, RelativePathWithFolderIsWrittenRelativeToTheScript) {
    const ScriptPaths s = MakeScriptPaths("sub/take1.mov", OutputPathsFromText("sub/take1.mov"));
    EXPECT_EQ(s.movie, "take1.mov");
    EXPECT_EQ(s.subtitleText, "take1_Lumarest_SubTitle_TimeCode.txt");
    EXPECT_EQ(s.subtitleRange, "take1_Lumarest_SubTitle_Range.txt");

    const ScriptPaths deep = MakeScriptPaths("../a.b/c/take1.mov", OutputPathsFromText("../a.b/c/take1.mov"));
    EXPECT_EQ(deep.movie, "take1.mov");
    EXPECT_EQ(deep.subtitleRange, "take1_Lumarest_SubTitle_Range.txt");
}

TEST(ScriptPaths, FolderIsTheStemsFolderNotTheMoviePaths) {
    // The last '.' sits in a folder name: the files land beside that folder,
    // and so does the script, so the folder part is "a/".
    const ScriptPaths s = MakeScriptPaths("a/b.d/take1", OutputPathsFromText("a/b.d/take1"));
    EXPECT_EQ(s.movie, "b.d/take1");
    EXPECT_EQ(s.subtitleText, "b_Lumarest_SubTitle_TimeCode.txt");
    // No separator before the last '.': the script sits in the current
    // folder, where the paths as typed are right.
    const ScriptPaths t = MakeScriptPaths("sub.d/take1", OutputPathsFromText("sub.d/take1"));
    EXPECT_EQ(t.movie, "sub.d/take1");
    EXPECT_EQ(t.subtitleText, "sub_Lumarest_SubTitle_TimeCode.txt");
}

TEST(ScriptPaths, AbsoluteAndBarePathsAreWrittenAsTyped) {
    const ScriptPaths a = MakeScriptPaths("/media/take1.mov", OutputPathsFromText("/media/take1.mov"));
    EXPECT_EQ(a.movie, "/media/take1.mov");
    EXPECT_EQ(a.subtitleText, "/media/take1_Lumarest_SubTitle_TimeCode.txt");
    EXPECT_EQ(a.subtitleRange, "/media/take1_Lumarest_SubTitle_Range.txt");
    const ScriptPaths b = MakeScriptPaths("take1.mov", OutputPathsFromText("take1.mov"));
    EXPECT_EQ(b.movie, "take1.mov");
    EXPECT_EQ(b.subtitleText, "take1_Lumarest_SubTitle_TimeCode.txt");
}

#ifdef _WIN32
TEST(ScriptPaths, WindowsSeparatorsAndDrives) {
    EXPECT_TRUE(IsAbsolutePath("C:\\clips\\take1.mov"));
    EXPECT_TRUE(IsAbsolutePath("c:/clips/take1.mov"));
    EXPECT_TRUE(IsAbsolutePath("\\\\server\\share\\take1.mov"));
    EXPECT_FALSE(IsAbsolutePath("C:take1.mov"));
    const ScriptPaths s = MakeScriptPaths("clips\\take1.mov", OutputPathsFromText("clips\\take1.mov"));
    EXPECT_EQ(s.movie, "take1.mov");
}
#else
TEST(ScriptPaths, BackslashIsAnOrdinaryCharacterHere) {
    EXPECT_FALSE(IsAbsolutePath("C:\\clips\\take1.mov"));
    EXPECT_TRUE(IsAbsolutePath("/take1.mov"));
    const ScriptPaths s = MakeScriptPaths("C:\\clips\\take1.mov", OutputPathsFromText("C:\\clips\\take1.mov"));
    EXPECT_EQ(s.movie, "C:\\clips\\take1.mov");
    EXPECT_EQ(s.subtitleText, "C:\\clips\\take1_Lumarest_SubTitle_TimeCode.txt");
}
#endif

TEST(MoviePath, LengthLimitIs255Bytes) {
    EXPECT_EQ(CheckMoviePath(std::string(255, 'a').c_str()), MoviePathCheck::Accepted);
    EXPECT_EQ(CheckMoviePath(std::string(256, 'a').c_str()), MoviePathCheck::TooLong);
    // Length wins over the other refusal.
    EXPECT_EQ(CheckMoviePath((std::string(256, 'a') + "\"").c_str()), MoviePathCheck::TooLong);
}

TEST(MoviePath, QuotesAndLineBreaksCannotGoIntoTheScript) {
    EXPECT_EQ(CheckMoviePath("ta\"ke.mov"), MoviePathCheck::NotScriptable);
    EXPECT_EQ(CheckMoviePath("take\n.mov"), MoviePathCheck::NotScriptable);
    EXPECT_EQ(CheckMoviePath("take\r.mov"), MoviePathCheck::NotScriptable);
    EXPECT_EQ(CheckMoviePath("it's a take\t(1).mov"), MoviePathCheck::Accepted);
    EXPECT_EQ(CheckMoviePath(""), MoviePathCheck::Accepted);
}

TEST(UtcTimeText, CountsLeapYearsAndCenturies) {
    EXPECT_EQ(UtcTimeText(951782400), "2000-02-29T00:00:00Z");
    EXPECT_EQ(UtcTimeText(4107542400), "2100-03-01T00:00:00Z");
    EXPECT_EQ(UtcTimeText(kLatestUtcSeconds + 1), "9999-12-31T23:59:59Z");
}

}  // namespace

// Appended bytes, many blocks' worth and one piece longer than a block,
// reach the file whole and in order.
TEST(OutputStream, BytesAcrossManyBlocksArriveWholeAndInOrder) {
    char path[] = "/tmp/lumarest_output_XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    OutputFiles files;
    ASSERT_TRUE(OpenOutputStream(files.timecodeList, path));
    OutputStream& stream = files.timecodeList;
    std::string expected;
    for (int i = 0; i < 40000; ++i) {
        std::string line = std::to_string(i * 7919) + std::string(size_t(i % 23), 'a' + char(i % 26)) + "\n";
        if (i == 20000) line = std::string(3 * kOutputBlockSize + 17, 'z');
        Append(stream, line.data(), line.size());
        expected += line;
    }
    EXPECT_TRUE(CloseOutputFiles(files));
    std::FILE* f = std::fopen(path, "rb");
    ASSERT_NE(f, nullptr);
    std::string written;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) written.append(buffer, n);
    std::fclose(f);
    unlink(path);
    EXPECT_GT(expected.size(), 8 * kOutputBlockSize);
    EXPECT_TRUE(written == expected) << written.size() << " bytes written, " << expected.size() << " expected";
}
