// The Toolbox interface: every QuickTime operation the run makes, with
// QuickTime's names and records in fixed-width types. Two bindings implement
// it and are chosen at link time:
//   qtbinding/win32/   entry routines that dispatch into QuickTime.qts;
//   qtbinding/builtin/ plain functions served by the built-in reader (movie/).
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/four_cc.h"

// ---- Scalar types ----------------------------------------------------------
typedef int16_t OSErr;             // 0 = noErr
typedef int32_t ComponentResult;   // 0 = noErr; callers test all 32 bits
typedef uint32_t OSType;           // four-character code, first char in the high byte
typedef int32_t TimeValue;
typedef int64_t TimeValue64;
typedef int32_t TimeScale;
typedef int32_t Fixed;             // 16.16 fixed point, 0x10000 = 1.0
typedef uint32_t ToolboxSelector;  // manager group << 16 | routine number
typedef char** Handle;             // *h is the block's current address
typedef unsigned char Str255[256]; // counted string: length byte + up to 255 chars

// Opaque references; each binding defines the records behind them.
typedef struct MovieRecord* Movie;
typedef struct TrackRecord* Track;
typedef struct MediaRecord* Media;
typedef struct ComponentInstanceRecord* ComponentInstance;
typedef ComponentInstance MediaHandler;

constexpr OSType VideoMediaType = FourCC("vide");     // 0x76696465
constexpr OSType TimeCodeMediaType = FourCC("tmcd");  // 0x746D6364
constexpr OSType SoundMediaType = FourCC("soun");

// ---- Records ----------------------------------------------------------------
// File specification: volume, parent folder and a counted name. QuickTime for
// Windows declares it with the Mac's 2-byte packing: vRefNum at 0, parID at 2,
// name at 6, 262 bytes in all.
#pragma pack(push, 2)
struct FSSpec {
    int16_t vRefNum;
    int32_t parID;
    unsigned char name[256];
};
#pragma pack(pop)
static_assert(sizeof(FSSpec) == 262, "FSSpec must be 262 bytes");

// Image description (the sample description of a video media): 86 bytes,
// picture width and height as signed 16-bit fields at bytes 32 and 34.
constexpr size_t kImageDescriptionSize = 86;
constexpr size_t kImageWidthOffset = 32;
constexpr size_t kImageHeightOffset = 34;

// Timecode definition, 16 bytes.
struct TimeCodeDef {
    int32_t flags;         // TimeCodeFlags below
    TimeScale fTimeScale;  // units per second of the timecode clock
    TimeValue frameDuration;
    uint8_t numFrames;     // frames per second (per counter tick in counter mode)
    uint8_t padding[3];
};
static_assert(sizeof(TimeCodeDef) == 16, "TimeCodeDef must be 16 bytes");

enum : int32_t {
    tcDropFrame = 1 << 0,
    tc24HourMax = 1 << 1,
    tcNegTimesOK = 1 << 2,
    tcCounter = 1 << 3,
};

// Timecode record, 4 bytes: either a time or, in counter mode, a counter.
struct TimeCodeTime {
    uint8_t hours;
    uint8_t minutes;  // tctNegFlag marks a negative timecode
    uint8_t seconds;
    uint8_t frames;
};
enum : uint8_t { tctNegFlag = 0x80 };
union TimeCodeRecord {
    TimeCodeTime t;
    int32_t c;
};
static_assert(sizeof(TimeCodeRecord) == 4, "TimeCodeRecord must be 4 bytes");

// Parameter block of a component request. Parameters follow the header in the
// order of the request's parameter list, the first at the first slot. A slot is
// 32 bits on 32-bit builds (24 bytes for five parameters) and pointer-sized on
// 64-bit builds, laid out by natural alignment.
typedef intptr_t ComponentParamSlot;
constexpr int kMaxComponentParams = 5;
struct ComponentParameters {
    uint8_t flags;      // 0
    uint8_t paramSize;  // bytes of parameters that follow: count x slot size
    int16_t what;       // request selector within the component
    ComponentParamSlot params[kMaxComponentParams];
};

// ---- Selectors --------------------------------------------------------------
constexpr ToolboxSelector kSelQtmlStartup = 0x001D0008;
constexpr ToolboxSelector kSelQtmlShutdown = 0x001D0009;
constexpr ToolboxSelector kSelEnterMovies = 0x00020001;
constexpr ToolboxSelector kSelC2pstrcpy = 0x00280019;
constexpr ToolboxSelector kSelP2cstrcpy = 0x0028001A;
constexpr ToolboxSelector kSelFSMakeFSSpec = 0x000F00E2;
constexpr ToolboxSelector kSelOpenMovieFile = 0x00020192;
constexpr ToolboxSelector kSelNewMovieFromFile = 0x000200F0;
constexpr ToolboxSelector kSelGetMovieTrackCount = 0x0002003F;
constexpr ToolboxSelector kSelGetMovieIndTrack = 0x00020117;
constexpr ToolboxSelector kSelGetTrackMedia = 0x00020062;
constexpr ToolboxSelector kSelGetMediaHandlerDescription = 0x0002006F;
constexpr ToolboxSelector kSelGetMediaHandler = 0x00020071;
constexpr ToolboxSelector kSelNewHandleClear = 0x0015000A;
constexpr ToolboxSelector kSelGetMediaSampleDescription = 0x00020078;
constexpr ToolboxSelector kSelGetMediaNextInterestingDecodeTime = 0x0002045F;
constexpr ToolboxSelector kSelGetMediaTimeScale = 0x00020068;
constexpr ToolboxSelector kSelGetMediaDuration = 0x0002006A;
constexpr ToolboxSelector kSelCallComponent = 0x00010000;

// Requests of the timecode media handler (ComponentParameters.what).
constexpr int16_t kTCGetTimeCodeAtTimeSelect = 0x0102;
constexpr int16_t kTCTimeCodeToStringSelect = 0x0103;
constexpr int16_t kTCFrameNumberToTimeCodeSelect = 0x0105;

// Flags of the next-interesting-time search.
constexpr int16_t nextTimeMediaSample = 0x0010;
constexpr int16_t nextTimeEdgeOK = 0x4000;

// ---- Status codes -------------------------------------------------------------
constexpr OSErr noErr = 0;
constexpr OSErr ioErr = -36;
constexpr OSErr fnfErr = -43;
constexpr OSErr paramErr = -50;
constexpr OSErr permErr = -54;
constexpr OSErr memFullErr = -108;
constexpr OSErr invalidMovie = -2010;
constexpr OSErr noMovieFound = -2048;
// The binding's own start-up statuses.
constexpr OSErr kQtmlLibraryNotFound = -2093;   // QuickTime.qts not found or not loadable
constexpr OSErr kQtmlEntryPointMissing = -2094; // an export is missing
constexpr OSErr kQtmlNotBound = -2095;          // operation made while nothing is bound

// ---- Operations ---------------------------------------------------------------
extern "C" {

// Lifecycle: 0 means the operations below may be made; TerminateQTML ends a
// successful start-up and releases everything the Toolbox handed out.
OSErr InitializeQTML(int32_t flags);
void TerminateQTML(void);

OSErr EnterMovies(void);

void c2pstrcpy(unsigned char* dst, const char* src);  // dst: 256-byte buffer
void p2cstrcpy(char* dst, const unsigned char* src);  // dst: 256-byte buffer

OSErr FSMakeFSSpec(int16_t vRefNum, int32_t dirID, const unsigned char* fileName, FSSpec* fileSpec);
OSErr OpenMovieFile(const FSSpec* fileSpec, int16_t* resRefNum, int8_t permission);
OSErr NewMovieFromFile(Movie* theMovie, int16_t resRefNum, int16_t* resId,
                       unsigned char* resName, int16_t newMovieFlags, uint8_t* dataRefWasChanged);

int32_t GetMovieTrackCount(Movie theMovie);
Track GetMovieIndTrack(Movie theMovie, int32_t index);  // 1-based
Media GetTrackMedia(Track theTrack);
void GetMediaHandlerDescription(Media theMedia, OSType* mediaType, unsigned char* creatorName,
                                OSType* creatorManufacturer);
MediaHandler GetMediaHandler(Media theMedia);
TimeScale GetMediaTimeScale(Media theMedia);
// Where the media's last sample ends, in its time scale.
TimeValue GetMediaDuration(Media theMedia);

Handle NewHandleClear(int32_t byteCount);  // zero-filled; null when no memory
void GetMediaSampleDescription(Media theMedia, int32_t index, Handle descH);

// Answers in *interestingTime the start of the next sample (see the flags), or
// a negative time when there is none.
void GetMediaNextInterestingDecodeTime(Media theMedia, int16_t interestingTimeFlags,
                                       TimeValue64 decodeTime, Fixed rate,
                                       TimeValue64* interestingDecodeTime,
                                       TimeValue64* interestingDecodeDuration);

// The component call: carries a request block to a component instance.
ComponentResult CallComponent(ComponentInstance instance, ComponentParameters* params);

}  // extern "C"

// ---- Presentation times: the built-in reader's own operation ---------------
// Not a QuickTime operation: QuickTime for Windows has no verified call that
// answers it, so the QuickTime binding answers ToolboxKnowsPresentationTimes
// false and GetTrackPresentationOffset unimpErr.

// When players built on ffmpeg show a track's first frame, after the decode
// time of its first sample: the track's leading empty edits, plus, only for a
// track without an edit list, the composition offset of the frame shown
// first (an edit list already starts the track at that frame).
struct TrackPresentationOffset {
    TimeValue64 emptyEdits = 0;        // in the movie's time scale
    TimeScale movieTimeScale = 0;
    TimeValue64 compositionStart = 0;  // in the track's media time scale
};

constexpr OSErr unimpErr = -4;

bool ToolboxKnowsPresentationTimes(void);
OSErr GetTrackPresentationOffset(Track theTrack, TrackPresentationOffset* offset);

// ---- Where the timecode comes from: the built-in reader's own operation ----
// The built-in reader also presents timecode that is not in a 'tmcd' track
// (Sony's per-frame rtmd metadata) as a timecode media, and notices on the
// way what a QC engineer should know. QuickTime reads 'tmcd' tracks alone:
// its binding answers unimpErr, and the run takes the timecode as a 'tmcd'
// track's with nothing noticed.
struct TimecodeOriginInfo {
    const char* source = "tmcd";     // "tmcd", "rtmd", or an MXF file's "material", "file" or "system"
    bool halfStepDeclared = false;   // the clip's XML: the video runs at twice the timecode's rate
    bool xmlUnreadable = false;      // a clip XML that could not be used was passed over
    bool xmlMismatch = false;        // the XML's first label differs from the first frame's
    TimeCodeDef definition{};        // the media's
    TimeCodeRecord xmlStart{};       // with xmlMismatch: the XML's label, under that definition
    TimeCodeRecord firstLabel{};     // and the first frame's
    bool dropFrameFromRate = false;  // no XML and no label said whether the count drops frames
};

OSErr GetTimecodeOrigin(Media timecodeMedia, TimecodeOriginInfo* info);

// ---- MXF files: the built-in reader's own operations ----------------------
// QuickTime reads no MXF file: its binding answers as for a reader without
// them (false, nothing, unimpErr).
bool ToolboxReadsMxf(void);

// Which of an MXF file's timecodes the movies made from now on take as their
// timecode track: "material", "file" or "system", or null for the first of
// these that the file has. False for another name.
bool SetMxfTimecodeSource(const char* source);

// Why the last NewMovieFromFile failed, in words, when the reader can say
// more than its status (an MXF file whose header metadata cannot be read);
// empty otherwise.
void GetMovieOpenProblem(char* text, size_t size);

// An MXF movie's edit units: as many as its header declares (-1 when it does
// not say) and as many as the file holds, which its video track has.
OSErr GetMovieEssenceEnd(Movie theMovie, int64_t* framesPresent, int64_t* framesDeclared);

// True for an MXF file of sound alone from a set of one file per track
// (OP-Atom): the companion of a picture file, which a folder walk leaves out.
bool IsSoundCompanionFile(const char* path);

// Timecode media handler requests, made through CallComponent with a request
// block built by qtbinding/component_request.cpp (shared by both bindings).
ComponentResult TCGetTimeCodeAtTime(MediaHandler mh, TimeValue mediaTime, int32_t* frameNum,
                                    TimeCodeDef* tcdef, TimeCodeRecord* tcrec, void* sourceRefH);
ComponentResult TCTimeCodeToString(MediaHandler mh, TimeCodeDef* tcdef, TimeCodeRecord* tcrec,
                                   unsigned char* tcStr);
// The record of a frame number (the count that TCGetTimeCodeAtTime answers)
// under the definition tcdef.
ComponentResult TCFrameNumberToTimeCode(MediaHandler mh, int32_t frameNumber, TimeCodeDef* tcdef,
                                        TimeCodeRecord* tcrec);
