// Start-up counting, release of everything at the last TerminateQTML, and the
// statuses of files that cannot be opened or hold no movie.
#include "tests/fixture/fixture_writer.h"
#include "tests/toolbox/toolbox_session.h"

#include <gtest/gtest.h>

#include <malloc.h>

#if defined(__SANITIZE_ADDRESS__)
#define LUMAREST_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define LUMAREST_ASAN 1
#endif
#endif
#ifdef LUMAREST_ASAN
// From the sanitizer runtime (its header does not ship with every compiler).
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace {

// Bytes of heap in use by the whole process. glibc counts blocks parked in its
// per-thread caches as in use; CMake runs these tests with those caches off
// (GLIBC_TUNABLES), so that the figure is exact.
size_t HeapInUse() {
#ifdef LUMAREST_ASAN
    return __sanitizer_get_current_allocated_bytes();
#else
    return mallinfo2().uordblks;
#endif
}

std::string WriteMovie(const TestFolder& dir) {
    FixtureMovie m;
    m.tracks.push_back(FixtureVideoTrack(30000, 100, 1001));
    m.tracks.push_back(FixtureTimecodeTrack(tcDropFrame, 30000, 1001, 30, 30000, 0, 100100));
    std::string path = dir.File("life.mov");
    EXPECT_TRUE(WriteFixtureFile(path, BuildFixtureMovie(m)));
    return path;
}

// Everything the tool asks of a movie, leaving all of it to the Toolbox.
void UseMovie(const std::string& path) {
    WalkedMovie w = WalkMovie(path);
    ASSERT_EQ(w.status, noErr);
    ASSERT_EQ(w.timecodes.size(), 100u);
    EXPECT_EQ(w.timecodes[99], "00:00:03;09");
    for (int i = 0; i < 10; ++i) ASSERT_NE(NewHandleClear(86), nullptr);
}

TEST(ToolboxLifecycle, NestedStartUpsNeedAsManyShutDowns) {
    TestFolder dir;
    std::string path = WriteMovie(dir);
    ASSERT_EQ(InitializeQTML(4), noErr);
    ASSERT_EQ(EnterMovies(), noErr);
    ASSERT_EQ(InitializeQTML(4), noErr);
    Movie movie = nullptr;
    ASSERT_EQ(OpenMoviePath(path, &movie), noErr);
    TerminateQTML();  // count 2 -> 1: the movie stays usable
    EXPECT_EQ(GetMovieTrackCount(movie), 2);
    EXPECT_EQ(WalkSampleTimes(NthMediaOfType(movie, VideoMediaType)).size(), 100u);
    TerminateQTML();
    // A new start after the last shut-down works from scratch.
    ASSERT_EQ(InitializeQTML(4), noErr);
    ASSERT_EQ(EnterMovies(), noErr);
    UseMovie(path);
    TerminateQTML();
}

// One start-up to shut-down round of everything the tool does, twice over.
void Round(const std::string& path) {
    ASSERT_EQ(InitializeQTML(4), noErr);
    ASSERT_EQ(EnterMovies(), noErr);
    ASSERT_EQ(InitializeQTML(4), noErr);
    UseMovie(path);
    UseMovie(path);
    TerminateQTML();
    TerminateQTML();
}

TEST(ToolboxLifecycle, LastShutDownReleasesEverything) {
    TestFolder dir;
    std::string path = WriteMovie(dir);
    // A warm-up round, so that one-time allocations of the C++ library
    // (locale, stdio) are not counted.
    Round(path);
    size_t before = HeapInUse();
    for (int round = 0; round < 3; ++round) Round(path);
    EXPECT_EQ(HeapInUse(), before);
}

TEST(ToolboxLifecycle, MissingFileAndFilesWithoutMovie) {
    QtSession qt;
    TestFolder dir;
    Movie movie = nullptr;
    OSErr openErr = 0;
    EXPECT_EQ(OpenMoviePath(dir.File("no such movie.mov"), &movie, &openErr), fnfErr);
    EXPECT_EQ(openErr, fnfErr);
    EXPECT_EQ(OpenMoviePath(dir.File("no folder/x.mov"), &movie), fnfErr);

    const std::string notMovies[] = {
        std::string(),                                  // empty file
        "hello, this is plain text and no movie\n",     // garbage sizes
        std::string("\0\0\0\x10" "ftypqt  \0\0\0\0", 16),  // ftyp alone
        std::string("\0\0\0\x08" "free\0\0\0\x08" "skip\0\0\0\x08" "mdat", 24),
        std::string("\0\0\0\x01" "wide\0\0\0\0\0\0\0\x10", 16),  // 64-bit size, no moov
        std::string("\0\0\0\0" "mdat" "data to the end", 23),    // size 0: to the end
    };
    for (const std::string& bytes : notMovies) {
        std::string path = dir.File("not a movie");
        ASSERT_TRUE(WriteFixtureFile(path, bytes));
        movie = nullptr;
        EXPECT_EQ(OpenMoviePath(path, &movie, &openErr), noMovieFound) << bytes.size();
        EXPECT_EQ(openErr, noErr);
    }
    // A folder is no movie file either; any failing status will do.
    EXPECT_NE(OpenMoviePath(dir.path, &movie), noErr);
}

TEST(ToolboxLifecycle, CountedStringCopies) {
    QtSession qt;
    unsigned char counted[256];
    char text[256];
    c2pstrcpy(counted, "C:\\clips\\take1.mov");
    EXPECT_EQ(counted[0], 18);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(counted + 1), 18), "C:\\clips\\take1.mov");
    p2cstrcpy(text, counted);
    EXPECT_STREQ(text, "C:\\clips\\take1.mov");
    std::string longText(300, 'x');
    longText[254] = 'y';
    c2pstrcpy(counted, longText.c_str());
    EXPECT_EQ(counted[0], 255);
    EXPECT_EQ(counted[255], 'y');
    p2cstrcpy(text, counted);
    EXPECT_EQ(std::string(text), longText.substr(0, 255));
    c2pstrcpy(counted, "");
    EXPECT_EQ(counted[0], 0);
    p2cstrcpy(text, counted);
    EXPECT_STREQ(text, "");
}

}  // namespace
