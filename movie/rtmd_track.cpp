#include "movie/rtmd_track.h"

#include <algorithm>

#include "movie/atom_source.h"
#include "movie/descriptions.h"

namespace {

constexpr uint32_t kTmcd = FourCC("tmcd");

enum class XmlFound { None, Usable, Unusable };

// A top-level meta atom (a full atom: version and flags, then atoms) whose
// hdlr names the handler 'nrtm' holds the XML in an 'xml ' atom, also a
// full atom: the text follows its four bytes of version and flags.
XmlFound EmbeddedXml(MovieFile* file, const std::vector<AtomLocation>& metadata, ClipXml* xml) {
    for (const AtomLocation& meta : metadata) {
        if (meta.size < meta.headerSize + 4) continue;
        AtomSource source = FileAtomSource(file);
        AtomRegion body{&source, meta.offset + meta.headerSize + 4, meta.offset + meta.size};
        bool nrtm = false, damaged = false, haveXml = false;
        AtomRegion text;
        AtomHeader header;
        AtomRegion child;
        for (;;) {
            const AtomStep step = NextRegionAtom(&body, &header, &child);
            if (step != AtomStep::Atom) {
                damaged = step == AtomStep::Damaged;
                break;
            }
            std::string hdlr;
            // hdlr: version and flags, a reserved word, the handler type.
            if (header.type == FourCC("hdlr") && LoadRegion(child, 12, &hdlr) && hdlr.size() == 12)
                nrtm = nrtm || LoadU32(reinterpret_cast<const uint8_t*>(hdlr.data()) + 8) == FourCC("nrtm");
            if (header.type == FourCC("xml ") && !haveXml && RegionSize(child) >= 4) {
                haveXml = true;
                text = AtomRegion{child.source, child.pos + 4, child.end};
            }
        }
        if (!nrtm) continue;
        std::string bytes;
        if (damaged || !haveXml || !LoadRegion(text, kClipXmlMaxBytes, &bytes)) return XmlFound::Unusable;
        return ParseClipXml(bytes, xml) ? XmlFound::Usable : XmlFound::Unusable;
    }
    return XmlFound::None;
}

// The movie path up to its extension: the last '.' after the last folder
// separator.
std::string Stem(const std::string& path) {
#ifdef _WIN32
    const size_t folder = path.find_last_of("\\/");
#else
    const size_t folder = path.rfind('/');
#endif
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || (folder != std::string::npos && dot < folder)) return path;
    return path.substr(0, dot);
}

// <stem>M01.XML beside the movie, as the camera leaves it on the card.
XmlFound SidecarXml(const std::string& moviePath, ClipXml* xml) {
    if (moviePath.empty()) return XmlFound::None;
    const std::string stem = Stem(moviePath);
    for (const char* suffix : {"M01.XML", "M01.xml"}) {
        MovieFile side;
        const MovieStatus status = OpenMovieFileForReading(stem + suffix, &side);
        if (status == MovieStatus::FileNotFound) continue;
        if (status != MovieStatus::Ok) return XmlFound::Unusable;
        std::string text(size_t(std::min<uint64_t>(side.size, kClipXmlMaxBytes)), '\0');
        const bool read = ReadMovieFileAt(&side, 0, &text[0], text.size());
        CloseMovieFileForReading(&side);
        return read && ParseClipXml(text, xml) ? XmlFound::Usable : XmlFound::Unusable;
    }
    return XmlFound::None;
}

// What the labels themselves say of the count, read from every sample's
// head (or, when only drop frame is asked, until one label decides it).
struct LabelEvidence {
    int highestFrames = -1;
    bool nonDrop = false;  // a label that drop frame never shows: ;00 or ;01 at a minute not divisible by ten
    bool drop = false;     // a step from ...:59;xx over those labels to the next minute's ;02 or ;04
};

void ScanLabels(MovieFile* file, const SampleLocations& locations, bool everySample, LabelEvidence* e) {
    TimecodeLabel previous;
    bool havePrevious = false;
    for (const SampleSpan& span : locations.spans) {
        for (uint64_t k = 0; k < span.count; ++k) {
            const uint64_t offset = span.offset + k * uint64_t(span.size);
            // Offsets only grow within a span: past the end of the file, so are the rest.
            if (offset >= file->size) break;
            TimecodeLabel l;
            if (ReadRtmdLabel(file, offset, span.size, &l) != RtmdRead::Ok) {
                havePrevious = false;
                continue;
            }
            e->highestFrames = std::max(e->highestFrames, l.frames);
            const bool minuteDrops = l.minutes % 10 != 0 && l.minutes < 60;
            if (minuteDrops && l.seconds == 0 && l.frames < 2) e->nonDrop = true;
            if (havePrevious && minuteDrops && l.seconds == 0 && (l.frames == 2 || l.frames == 4) &&
                previous.seconds == 59 && previous.minutes == (l.minutes + 59) % 60)
                e->drop = true;
            if (!everySample && (e->nonDrop || e->drop)) return;
            previous = l;
            havePrevious = true;
        }
    }
}

int64_t Gcd(int64_t a, int64_t b) {
    while (b != 0) {
        const int64_t r = a % b;
        a = b;
        b = r;
    }
    return a;
}

// The label of the rtmd sample shown with the video's first frame.
bool FirstFrameLabel(MovieFile* file, const MovieModel& movie, const MediaModel& rtmd, TimecodeLabel* label) {
    int64_t firstTime = 0;
    for (const TrackModel& t : movie.tracks) {
        if (t.media.type != FourCC("vide")) continue;
        if (!t.media.runs.runs.empty()) firstTime = t.media.runs.runs.front().start;
        break;
    }
    uint64_t sample, offset;
    int64_t start;
    uint32_t size, description;
    if (firstTime >= rtmd.runs.endTime || !FindSampleAtTime(rtmd.runs, firstTime, &sample, &start) ||
        !FindSampleLocation(rtmd.locations, sample, &offset, &size, &description))
        return false;
    return ReadRtmdLabel(file, offset, size, label) == RtmdRead::Ok;
}

bool SameLabel(const TimecodeLabel& a, const TimecodeLabel& b) {
    return a.hours == b.hours && a.minutes == b.minutes && a.seconds == b.seconds && a.frames == b.frames;
}

}  // namespace

RtmdRead ReadRtmdLabel(MovieFile* file, uint64_t offset, uint32_t size, TimecodeLabel* label) {
    if (size < kRtmdLabelBytes || offset > file->size || file->size - offset < kRtmdLabelBytes)
        return RtmdRead::Missing;
    uint8_t head[kRtmdLabelBytes];
    if (!ReadMovieFileAt(file, offset, head, sizeof head)) return RtmdRead::ReadError;
    if (LoadU16(head) < kRtmdLabelBytes) return RtmdRead::Missing;
    label->hours = head[13];
    label->minutes = head[14];
    label->seconds = head[15];
    label->frames = head[16];
    return RtmdRead::Ok;
}

bool IsRtmdMedia(const MediaModel& media) {
    return media.type == FourCC("meta") && !media.descriptions.empty() && media.descriptions[0].size() >= 8 &&
           LoadU32(reinterpret_cast<const uint8_t*>(media.descriptions[0].data()) + 4) == FourCC("rtmd");
}

void PresentRtmdTimecode(MovieFile* file, const std::vector<AtomLocation>& metadata, MovieModel* movie) {
    TrackModel* track = nullptr;
    for (TrackModel& t : movie->tracks) {
        if (t.media.type == kTmcd) return;  // a timecode track of its own wins
        if (!track && IsRtmdMedia(t.media)) track = &t;
    }
    if (!track) return;
    MediaModel& media = track->media;
    // A sample per video frame, as long as the frame: the first gives the rate.
    if (media.timeScale <= 0 || media.runs.runs.empty() || media.runs.runs.front().duration == 0) return;
    const int64_t scale = media.timeScale, duration = media.runs.runs.front().duration;
    const int64_t common = Gcd(scale, duration);
    const int64_t num = scale / common, den = duration / common;
    const bool ntsc = den == 1001;
    const bool dropFrameRate = ntsc && (num == 30000 || num == 60000);

    TimecodeOrigin& origin = media.timecodeOrigin;
    ClipXml xml;
    XmlFound found = EmbeddedXml(file, metadata, &xml);
    if (found == XmlFound::Unusable) origin.xmlUnreadable = true;
    if (found != XmlFound::Usable) {
        found = SidecarXml(file->path, &xml);
        if (found == XmlFound::Unusable) origin.xmlUnreadable = true;
    }
    const bool haveXml = found == XmlFound::Usable;

    // The nominal count: the XML's, else the frame rate rounded, halved
    // above 30 (the cameras count 50p and 59.94p in pairs of frames).
    int64_t nominal = haveXml ? xml.tcFps : RoundedFrameRate(num, den);
    const bool halved = haveXml ? xml.halfStep : nominal > 30;
    if (!haveXml && halved) nominal = (nominal + 1) / 2;
    if (nominal < 1 || nominal > 120) return;  // no timecode counts so

    LabelEvidence evidence;
    if (halved || (!haveXml && dropFrameRate)) ScanLabels(file, media.locations, halved, &evidence);
    // Frames numbered up to the nominal count or beyond: the count runs at
    // the video's full rate after all.
    const bool fullRate = halved && evidence.highestFrames >= nominal;
    const int64_t frames = fullRate ? 2 * nominal : nominal;
    bool dropFrame = haveXml && xml.start.dropFrame;
    if (!haveXml && !evidence.nonDrop) {
        dropFrame = evidence.drop || dropFrameRate;
        origin.dropFrameFromRate = !evidence.drop && dropFrameRate;
    }

    media.descriptions.assign(1, TimeOfDayDescription(dropFrame, uint32_t(frames * 1000), ntsc ? 1001 : 1000,
                                                      uint8_t(frames)));
    media.type = kTmcd;
    media.timecodeSamples = TimecodeSamples::RtmdLabels;
    origin.source = "rtmd";
    origin.halfStepDeclared = haveXml && xml.halfStep;

    TimecodeLabel first;
    if (haveXml && FirstFrameLabel(file, *movie, media, &first)) {
        TimecodeLabel start = xml.start;
        if (fullRate) start.frames = start.frames * 2 + (start.secondsFlag ? 1 : 0);
        if (!SameLabel(start, first)) {
            origin.xmlMismatch = true;
            origin.xmlStart = start;
            origin.firstLabel = first;
        }
    }
}
