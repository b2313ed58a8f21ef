// Runs the 32-bit x86 entry routines for real (32-bit Linux, under qemu-i386)
// against a fake dispatcher that records EAX and the caller's stack. Checks
// that each operation arrives with its selector, its cdecl arguments exactly
// as pushed and its result handed back; that the bind hook runs first; and
// the bytes of the component request blocks and the 64-bit form.
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "qtbinding/toolbox.h"
#include "qtbinding/win32/binding.h"

extern "C" {
uint32_t fakeSelector;
const uint32_t* fakeStack;  // [0] return address, [1..] the caller's arguments
OSErr FakeDispatcher(void);  // assembly; jumped to, never called

QtmlBindingRecord QtmlBinding = {nullptr, 0, nullptr, nullptr, nullptr,
                                 FakeDispatcher};
}

namespace {

int failures = 0;

#define CHECK_EQ(actual, expected)                                                         \
    do {                                                                                   \
        unsigned long long a_ = (unsigned long long)(actual);                              \
        unsigned long long e_ = (unsigned long long)(expected);                            \
        if (a_ != e_) {                                                                    \
            std::printf("%s:%d: %s is 0x%llx, expected 0x%llx\n", __FILE__, __LINE__,      \
                        #actual, a_, e_);                                                  \
            ++failures;                                                                    \
        }                                                                                  \
    } while (0)

// What the fake dispatcher's service saw, and what it answers.
uint32_t seenArgs[8];
uint8_t seenBlock[64];
int32_t answer;
int64_t answerTime;  // written through the 64-bit form's answer-time address

uint32_t Word(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24; }

}  // namespace

extern "C" int32_t FakeServe(void) {
    std::memcpy(seenArgs, fakeStack + 1, sizeof seenArgs);
    std::memset(seenBlock, 0xEE, sizeof seenBlock);
    if (fakeSelector == kSelCallComponent) {
        // The block lives on the requester's stack only during the call.
        const uint8_t* block = reinterpret_cast<const uint8_t*>(uintptr_t(seenArgs[1]));
        std::memcpy(seenBlock, block, 4 + block[1]);
    }
    if (fakeSelector == kSelGetMediaNextInterestingDecodeTime) {
        TimeValue64** timeSlot = reinterpret_cast<TimeValue64**>(uintptr_t(seenArgs[4]));
        **timeSlot = answerTime;
    }
    return answer;
}

namespace {

int hookCalls = 0;

// Binds on first use, as the real binder does: points the dispatcher entry at
// the fake and clears itself. Clobbers the caller-saved registers on purpose.
OSErr FakeBindHook(void) {
    ++hookCalls;
    QtmlBinding.dispatcher = FakeDispatcher;
    QtmlBinding.bindHook = nullptr;
    return -1;
}

OSErr WrongDispatcher(void) { return 0x7777; }

uint32_t P(const void* p) { return uint32_t(uintptr_t(p)); }

void CheckSelectorsAndArguments() {
    FSSpec fileSpec;
    unsigned char name[256] = {3, 'a', 'b', 'c'};
    int16_t ref = 0;
    Movie movie = reinterpret_cast<Movie>(0x11223344);
    Media media = reinterpret_cast<Media>(0x55667788);
    Track track = reinterpret_cast<Track>(0x0BADF00D);
    OSType type = 0;
    char text[256];
    Handle handle = reinterpret_cast<Handle>(0x01020304);

    answer = 0x0000F7D1;
    CHECK_EQ(uint16_t(EnterMovies()), 0xF7D1);
    CHECK_EQ(fakeSelector, 0x00020001);

    c2pstrcpy(name, "movie.mov");
    CHECK_EQ(fakeSelector, 0x00280019);
    CHECK_EQ(seenArgs[0], P(name));
    CHECK_EQ(seenArgs[1], P("movie.mov"));  // same literal, merged by the compiler or not
    p2cstrcpy(text, name);
    CHECK_EQ(fakeSelector, 0x0028001A);
    CHECK_EQ(seenArgs[0], P(text));
    CHECK_EQ(seenArgs[1], P(name));

    // 16-bit arguments take a whole 32-bit slot each.
    answer = 0x1234FFDA;  // only the low 16 bits are the status: -38
    CHECK_EQ(FSMakeFSSpec(-7, 0x10203040, name, &fileSpec), OSErr(-38));
    CHECK_EQ(fakeSelector, 0x000F00E2);
    CHECK_EQ(uint16_t(seenArgs[0]), uint16_t(-7));
    CHECK_EQ(seenArgs[1], 0x10203040);
    CHECK_EQ(seenArgs[2], P(name));
    CHECK_EQ(seenArgs[3], P(&fileSpec));

    answer = 0;
    OpenMovieFile(&fileSpec, &ref, 1);
    CHECK_EQ(fakeSelector, 0x00020192);
    CHECK_EQ(seenArgs[0], P(&fileSpec));
    CHECK_EQ(seenArgs[1], P(&ref));
    CHECK_EQ(uint8_t(seenArgs[2]), 1);

    int16_t resId = 0;
    uint8_t changed = 0;
    NewMovieFromFile(&movie, 0x1357, &resId, name, 1, &changed);
    CHECK_EQ(fakeSelector, 0x000200F0);
    CHECK_EQ(seenArgs[0], P(&movie));
    CHECK_EQ(uint16_t(seenArgs[1]), 0x1357);
    CHECK_EQ(seenArgs[2], P(&resId));
    CHECK_EQ(seenArgs[3], P(name));
    CHECK_EQ(uint16_t(seenArgs[4]), 1);
    CHECK_EQ(seenArgs[5], P(&changed));

    answer = 0x7FFFFFFE;  // 32-bit results come back whole
    CHECK_EQ(GetMovieTrackCount(movie), 0x7FFFFFFE);
    CHECK_EQ(fakeSelector, 0x0002003F);
    CHECK_EQ(seenArgs[0], P(movie));

    answer = int32_t(P(track));
    CHECK_EQ(P(GetMovieIndTrack(movie, 9)), P(track));
    CHECK_EQ(fakeSelector, 0x00020117);
    CHECK_EQ(seenArgs[0], P(movie));
    CHECK_EQ(seenArgs[1], 9);

    answer = int32_t(P(media));
    CHECK_EQ(P(GetTrackMedia(track)), P(media));
    CHECK_EQ(fakeSelector, 0x00020062);
    CHECK_EQ(seenArgs[0], P(track));

    GetMediaHandlerDescription(media, &type, nullptr, nullptr);
    CHECK_EQ(fakeSelector, 0x0002006F);
    CHECK_EQ(seenArgs[0], P(media));
    CHECK_EQ(seenArgs[1], P(&type));
    CHECK_EQ(seenArgs[2], 0);
    CHECK_EQ(seenArgs[3], 0);

    answer = 0x600DCAFE;
    CHECK_EQ(P(GetMediaHandler(media)), 0x600DCAFE);
    CHECK_EQ(fakeSelector, 0x00020071);
    CHECK_EQ(seenArgs[0], P(media));

    answer = 30000;
    CHECK_EQ(GetMediaTimeScale(media), 30000);
    CHECK_EQ(fakeSelector, 0x00020068);
    CHECK_EQ(seenArgs[0], P(media));

    answer = 0x7FFF0001;
    CHECK_EQ(GetMediaDuration(media), 0x7FFF0001);
    CHECK_EQ(fakeSelector, 0x0002006A);
    CHECK_EQ(seenArgs[0], P(media));

    answer = int32_t(P(handle));
    CHECK_EQ(P(NewHandleClear(86)), P(handle));
    CHECK_EQ(fakeSelector, 0x0015000A);
    CHECK_EQ(seenArgs[0], 86);

    GetMediaSampleDescription(media, 1, handle);
    CHECK_EQ(fakeSelector, 0x00020078);
    CHECK_EQ(seenArgs[0], P(media));
    CHECK_EQ(seenArgs[1], 1);
    CHECK_EQ(seenArgs[2], P(handle));

    // QuickTime's own start-up and shut-down routines.
    answer = 0xFFFF;
    CHECK_EQ(QtmlStartupRoutine(4), OSErr(-1));
    CHECK_EQ(fakeSelector, 0x001D0008);
    CHECK_EQ(seenArgs[0], 4);
    QtmlShutdownRoutine();
    CHECK_EQ(fakeSelector, 0x001D0009);
}

void CheckBindHookRunsFirst() {
    QtmlBinding.dispatcher = WrongDispatcher;
    QtmlBinding.bindHook = FakeBindHook;
    hookCalls = 0;
    answer = 12;
    Movie movie = reinterpret_cast<Movie>(0xCAFEF00D);
    // The hook has switched the dispatcher entry before the jump reads it, and
    // the arguments survive the hook call.
    CHECK_EQ(GetMovieIndTrack(movie, 0x42), 12);
    CHECK_EQ(hookCalls, 1);
    CHECK_EQ(fakeSelector, 0x00020117);
    CHECK_EQ(seenArgs[0], P(movie));
    CHECK_EQ(seenArgs[1], 0x42);
    // Cleared by the hook: the next operation does not run it.
    GetMovieTrackCount(movie);
    CHECK_EQ(hookCalls, 1);

    // Without a hook the dispatcher entry is used as it stands.
    QtmlBinding.dispatcher = WrongDispatcher;
    CHECK_EQ(EnterMovies(), 0x7777);
    QtmlBinding.dispatcher = FakeDispatcher;
}

void CheckComponentRequests() {
    int32_t frameNum = 0;
    TimeCodeDef def;
    TimeCodeRecord rec;
    unsigned char str[256];
    MediaHandler mh = reinterpret_cast<MediaHandler>(0x7E57AB1E);

    // Component results are 32-bit and come back whole.
    answer = int32_t(0x80001234);
    CHECK_EQ(uint32_t(TCGetTimeCodeAtTime(mh, 0x01020304, &frameNum, &def, &rec, nullptr)),
             0x80001234);
    CHECK_EQ(fakeSelector, 0x00010000);
    CHECK_EQ(seenArgs[0], P(mh));  // the instance is an argument, not in the block
    CHECK_EQ(seenBlock[0], 0);     // flags
    CHECK_EQ(seenBlock[1], 20);    // five 4-byte parameters
    CHECK_EQ(seenBlock[2], 0x02);  // what 0x0102, little-endian
    CHECK_EQ(seenBlock[3], 0x01);
    CHECK_EQ(Word(seenBlock + 4), 0x01020304);
    CHECK_EQ(Word(seenBlock + 8), P(&frameNum));
    CHECK_EQ(Word(seenBlock + 12), P(&def));
    CHECK_EQ(Word(seenBlock + 16), P(&rec));
    CHECK_EQ(Word(seenBlock + 20), 0);
    CHECK_EQ(seenBlock[24], 0xEE);  // 24 bytes copied, nothing more

    answer = 0;
    CHECK_EQ(TCTimeCodeToString(mh, &def, &rec, str), 0);
    CHECK_EQ(seenArgs[0], P(mh));
    CHECK_EQ(seenBlock[0], 0);
    CHECK_EQ(seenBlock[1], 12);
    CHECK_EQ(seenBlock[2], 0x03);
    CHECK_EQ(seenBlock[3], 0x01);
    CHECK_EQ(Word(seenBlock + 4), P(&def));
    CHECK_EQ(Word(seenBlock + 8), P(&rec));
    CHECK_EQ(Word(seenBlock + 12), P(str));

    // A negative media time travels as its 32-bit two's complement.
    TCGetTimeCodeAtTime(mh, -2, &frameNum, &def, &rec, nullptr);
    CHECK_EQ(Word(seenBlock + 4), 0xFFFFFFFE);

    // So does a negative frame number.
    TCFrameNumberToTimeCode(mh, -3, &def, &rec);
    CHECK_EQ(seenBlock[1], 12);
    CHECK_EQ(seenBlock[2], 0x05);  // what 0x0105
    CHECK_EQ(seenBlock[3], 0x01);
    CHECK_EQ(Word(seenBlock + 4), 0xFFFFFFFD);
    CHECK_EQ(Word(seenBlock + 8), P(&def));
    CHECK_EQ(Word(seenBlock + 12), P(&rec));
}

void CheckNextInterestingTimeForm() {
    Media media = reinterpret_cast<Media>(0x0DDBA11);
    const int64_t start = (int64_t(1) << 32) + 0x2345;  // above 2^32
    TimeValue64 time = 0, duration = 0;
    answerTime = (int64_t(3) << 33) + 7;
    GetMediaNextInterestingDecodeTime(media, 0x4010, start, 0x10000, &time, &duration);
    CHECK_EQ(fakeSelector, 0x0002045F);
    // Six addresses, one per argument, in order.
    CHECK_EQ(*reinterpret_cast<Media*>(uintptr_t(seenArgs[0])), P(media));
    CHECK_EQ(*reinterpret_cast<uint32_t*>(uintptr_t(seenArgs[1])), 0x4010);
    CHECK_EQ(*reinterpret_cast<int64_t*>(uintptr_t(seenArgs[2])), start);
    CHECK_EQ(*reinterpret_cast<Fixed*>(uintptr_t(seenArgs[3])), 0x10000);
    CHECK_EQ(*reinterpret_cast<TimeValue64**>(uintptr_t(seenArgs[4])), P(&time));
    CHECK_EQ(*reinterpret_cast<TimeValue64**>(uintptr_t(seenArgs[5])), P(&duration));
    CHECK_EQ(time, answerTime);
    CHECK_EQ(duration, 0);

    // A flag word with its top bit set keeps the slot's upper half 0.
    answerTime = -1;
    GetMediaNextInterestingDecodeTime(media, int16_t(0x8010), -5, 0x10000, &time, &duration);
    CHECK_EQ(*reinterpret_cast<uint32_t*>(uintptr_t(seenArgs[1])), 0x8010);
    CHECK_EQ(*reinterpret_cast<int64_t*>(uintptr_t(seenArgs[2])), -5);
    CHECK_EQ(time, -1);
}

}  // namespace

int main() {
    CheckSelectorsAndArguments();
    CheckBindHookRunsFirst();
    CheckComponentRequests();
    CheckNextInterestingTimeForm();
    if (failures != 0) {
        std::printf("%d check(s) failed\n", failures);
        return 1;
    }
    std::printf("all checks passed\n");
    return 0;
}
