// What the MXF reader gives the rest of the tool: the picture (frames, rate,
// size), the timecode tracks of the material package and of the file package
// (or of the source package below it), how the essence is wrapped and how much
// of it the file holds, and what a walk of the body needs to find each content
// package's system item.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct MovieFile;

enum class MxfStatus {
    Ok,
    NotMxf,       // no header partition pack within the first 64 KiB
    Damaged,      // a structure that cannot be read; the reason goes to `problem`
    ReadError,
    OutOfMemory,
};

struct MxfRational {
    int32_t num = 0;
    int32_t den = 0;
};

// One TimecodeComponent of a timecode track's Sequence. A Filler in that
// Sequence is kept as a component with roundedBase 0: it occupies its
// duration and carries no timecode.
struct MxfTimecodeComponent {
    int64_t start = 0;         // frame count from midnight at the component's first edit unit
    int64_t duration = -1;     // -1: not given
    uint16_t roundedBase = 0;  // frames per second counted (30 for 29.97)
    bool dropFrame = false;
};

// One package's timecode track.
struct MxfTimecode {
    bool present = false;
    MxfRational editRate;
    int64_t origin = 0;
    std::vector<MxfTimecodeComponent> components;  // in sequence order
    // This track's position that material frame 0 stands at: 0 for the
    // material package, the material clip's StartPosition for the file
    // package, and that plus the file package clip's StartPosition for the
    // package below it.
    int64_t position = 0;
};

enum class MxfWrapping { Unknown, Frame, Clip };

struct MxfModel {
    bool hasPicture = false;      // a material picture track of non-zero duration
    MxfRational editRate;         // of the material picture track
    int64_t declaredFrames = -1;  // edit units the header declares; -1: unknown and not countable
    int64_t startPosition = 0;    // file package position of material frame 0
    int32_t width = 0;            // sampled size of the picture descriptor, in frame lines
    int32_t height = 0;
    bool soundOnly = false;       // no picture track, a sound track present
    bool opAtom = false;

    MxfTimecode material;
    MxfTimecode file;             // the file package's own, else the lower source package's
    bool fileTimecodeFromLowerPackage = false;

    MxfWrapping wrapping = MxfWrapping::Unknown;
    bool systemItems = false;     // frame-wrapped content packages carry a system metadata pack
    int64_t framesPresent = -1;   // edit units the file holds; -1 when not known

    // For the body walk.
    uint64_t runIn = 0;           // bytes before the header partition pack
    uint64_t bodyStart = 0;       // file offset the walk starts at (the header partition pack)
    uint32_t bodySid = 0;         // essence container of the file package; 0: any
    uint32_t trackNumber = 0;     // essence element counted per content package; 0: any picture element
};

// True when a header partition pack starts within the first 64 KiB.
bool LooksLikeMxf(MovieFile* file);

// Reads partitions, header metadata and index tables and walks the body once
// to count what it holds; with countEssence false, the header metadata alone
// (the essence fields stay unknown). `problem` tells why a Damaged file
// could not be read.
MxfStatus ReadMxf(MovieFile* file, MxfModel* model, std::string* problem, bool countEssence = true);
