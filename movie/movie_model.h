// The movie as the reader keeps it after parsing the movie header: tracks in
// moov order, each with its media's type, time scale, sample descriptions and
// sample tables.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "movie/clip_xml.h"
#include "movie/sample_table.h"

// How the samples of a timecode media give their labels.
enum class TimecodeSamples : uint8_t {
    FrameNumbers,  // 'tmcd': a 32-bit big-endian frame number per sample
    RtmdLabels,    // 'rtmd' presented as timecode: hours, minutes, seconds and
                   // frames in bytes 13 to 16 of each sample (see rtmd_track.h)
    HeldFrameNumbers,  // an MXF package's timecode: the frame numbers held in
                       // MediaModel::held, a sample per TimecodeComponent
    SystemItems,   // MXF system items: frame n's SMPTE 12M stamp is in content
                   // package firstContentPackage + n (see mxf/mxf_body.h)
};

// A timecode sample whose frame number the model holds rather than the file.
struct HeldTimecodeSample {
    int64_t frameNumber = 0;   // kNoFrameNumber: no timecode there (a Filler)
    uint32_t description = 1;  // 1-based sample description index
};
constexpr int64_t kNoFrameNumber = INT64_MIN;

// Where a timecode media's labels were found and what was noticed on the
// way, for the QC report.
struct TimecodeOrigin {
    const char* source = "tmcd";     // "tmcd", "rtmd", or of an MXF file "material", "file", "system"
    bool halfStepDeclared = false;   // the clip's XML says the video runs at twice the timecode
    bool xmlUnreadable = false;      // an XML that could not be used was passed over
    bool xmlMismatch = false;        // the XML's first label differs from frame 0's
    TimecodeLabel xmlStart;            // with xmlMismatch: the XML's label
    TimecodeLabel firstLabel;          // and frame 0's
    bool dropFrameFromRate = false;  // nothing but the frame rate said drop frame
};

struct MediaModel {
    uint32_t type = 0;          // hdlr component subtype: 'vide', 'soun', 'tmcd', ...
    uint32_t manufacturer = 0;  // hdlr component manufacturer
    std::string handlerName;    // hdlr name, at most 255 bytes
    int32_t timeScale = 0;      // mdhd units per second
    std::vector<std::string> descriptions;  // stsd entries as stored, 1-based by index + 1
    SampleRuns runs;            // decode times of every sample
    SampleLocations locations;  // where each sample lies; filled for timecode media only
    TimecodeSamples timecodeSamples = TimecodeSamples::FrameNumbers;
    std::vector<HeldTimecodeSample> held;  // HeldFrameNumbers: one per sample
    int64_t firstContentPackage = 0;       // SystemItems
    TimecodeOrigin timecodeOrigin;
    // Video without an edit list: the earliest presentation time (decode time
    // plus composition offset) among the first samples, less the first
    // sample's decode time. Players built on ffmpeg show the first frame then.
    int64_t compositionStart = 0;
};

struct TrackModel {
    uint32_t trackID = 0;
    bool hasEditList = false;     // an elst with at least one edit
    uint64_t leadingEmptyEdits = 0;  // durations of the empty edits before the first that shows media, movie time scale
    MediaModel media;
};

// Defaults that mvex/trex gives the fragments of one track.
struct TrackExtends {
    uint32_t trackID = 0;
    uint32_t description = 1;  // default sample description index
    uint32_t duration = 0;
    uint32_t size = 0;
};

struct MovieModel {
    int32_t timeScale = 0;  // mvhd units per second; edit durations count in it
    std::vector<TrackModel> tracks;
    bool fragmented = false;  // moov holds mvex: samples also come in moof atoms
    std::vector<TrackExtends> extends;
    // An MXF file's edit units: as its header declares them, and as many as
    // the file holds (the video track has these); -1 when not known.
    int64_t declaredFrames = -1;
    int64_t framesPresent = -1;
};
