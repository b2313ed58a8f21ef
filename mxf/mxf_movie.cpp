#include "mxf/mxf_movie.h"

#include <algorithm>
#include <new>

#include "common/four_cc.h"
#include "movie/descriptions.h"
#include "mxf/mxf_body.h"
#include "movie/smpte12m.h"

namespace {

bool ValidRate(const MxfRational& r) { return r.num > 0 && r.den > 0; }

uint8_t CountOf(int64_t frames) { return uint8_t(std::clamp<int64_t>(frames, 0, 255)); }

// The description index (1-based) of a definition, added when new.
uint32_t DefinitionIndex(MediaModel* media, const std::string& description) {
    auto it = std::find(media->descriptions.begin(), media->descriptions.end(), description);
    if (it != media->descriptions.end()) return uint32_t(it - media->descriptions.begin()) + 1;
    media->descriptions.push_back(description);
    return uint32_t(media->descriptions.size());
}

void StartTimecodeMedia(MediaModel* media, int32_t timeScale, const char* source, TimecodeSamples samples) {
    media->type = FourCC("tmcd");
    media->timeScale = timeScale;
    media->timecodeSamples = samples;
    media->timecodeOrigin.source = source;
}

// A package's timecode track from `position` on (material frame 0), a
// sample per TimecodeComponent: its frame number at the first edit unit it
// covers, for as long as it lasts. A component without a duration (the
// last one of an open file) lasts to the video's end; a Filler carries no
// timecode.
bool PackageMedia(const MxfTimecode& t, int64_t frames, const char* source, MediaModel* media) {
    if (!t.present || !ValidRate(t.editRate) || t.components.empty()) return false;
    StartTimecodeMedia(media, t.editRate.num, source, TimecodeSamples::HeldFrameNumbers);
    const int64_t position = std::max<int64_t>(t.position, 0);
    int64_t at = 0;  // the component's first edit unit within the sequence
    for (size_t i = 0; i < t.components.size(); ++i) {
        const MxfTimecodeComponent& c = t.components[i];
        int64_t duration = c.duration;
        if (duration < 0) duration = i + 1 == t.components.size() ? std::max<int64_t>(position + frames - at, 1) : 0;
        if (duration <= 0 || duration > INT64_MAX - at) continue;
        const int64_t skip = std::max<int64_t>(position - at, 0);
        at += duration;
        if (skip >= duration) continue;
        // Media times are 32-bit in the handler: what lies beyond is not asked for.
        const uint64_t span = uint64_t(duration - skip) * uint64_t(t.editRate.den);
        if (media->runs.endTime >= INT32_MAX) break;
        const uint32_t length = uint32_t(std::min<uint64_t>(span, uint64_t(INT32_MAX)));
        HeldTimecodeSample sample;
        if (c.roundedBase == 0) {
            sample.frameNumber = kNoFrameNumber;
        } else {
            sample.frameNumber = c.start > INT64_MAX - skip ? kNoFrameNumber : c.start + skip;
            sample.description = DefinitionIndex(
                media, TimeOfDayDescription(c.dropFrame, uint32_t(t.editRate.num), uint32_t(t.editRate.den),
                                            CountOf(c.roundedBase)));
        }
        if (!AppendRun(&media->runs, 1, length)) break;
        media->held.push_back(sample);
    }
    return !media->held.empty();
}

// The system items of a frame-wrapped body: frame n's stamp is in content
// package startPosition + n. The count is the picture's rate rounded; drop
// frame is the first frame's stamp's flag, else the package timecode's.
bool SystemMedia(MovieFile* file, const MxfModel& m, int64_t frames, MediaModel* media) {
    if (!m.systemItems || m.wrapping != MxfWrapping::Frame || !ValidRate(m.editRate) || frames <= 0) return false;
    StartTimecodeMedia(media, m.editRate.num, "system", TimecodeSamples::SystemItems);
    media->firstContentPackage = m.startPosition;
    if (!AppendRun(&media->runs, uint64_t(frames), uint32_t(m.editRate.den))) return false;
    bool dropFrame = false;
    for (const MxfTimecode* t : {&m.material, &m.file})
        if (t->present && !t->components.empty()) {
            dropFrame = t->components.front().dropFrame;
            break;
        }
    MxfBodyCursor cursor;
    uint8_t stamp[4];
    bool present = false;
    TimecodeLabel first;
    if (SystemItemTimecode(file, m, &cursor, m.startPosition, stamp, &present) == MxfStatus::Ok && present &&
        DecodeSmpte12m(stamp, &first))
        dropFrame = first.dropFrame;
    media->descriptions.push_back(TimeOfDayDescription(dropFrame, uint32_t(m.editRate.num), uint32_t(m.editRate.den),
                                                       CountOf(RoundedFrameRate(m.editRate.num, m.editRate.den))));
    return true;
}

void AddTrack(MovieModel* movie, MediaModel&& media) {
    TrackModel track;
    track.trackID = uint32_t(movie->tracks.size()) + 1;
    track.media = std::move(media);
    movie->tracks.push_back(std::move(track));
}

MovieStatus MovieStatusOf(MxfStatus status) {
    switch (status) {
        case MxfStatus::Ok: return MovieStatus::Ok;
        case MxfStatus::NotMxf: return MovieStatus::NoMovie;
        case MxfStatus::Damaged: return MovieStatus::Damaged;
        case MxfStatus::ReadError: return MovieStatus::ReadError;
        case MxfStatus::OutOfMemory: return MovieStatus::OutOfMemory;
    }
    return MovieStatus::Damaged;
}

}  // namespace

MovieStatus ReadMxfMovie(MovieFile* file, MxfTimecodeChoice choice, MxfModel* mxf, MovieModel* movie,
                         std::string* problem) {
    const MxfStatus status = ReadMxf(file, mxf, problem);
    if (status != MxfStatus::Ok) return MovieStatusOf(status);
    try {
        // The frames the file holds; the header may declare more.
        const int64_t declared = mxf->declaredFrames;
        int64_t present = mxf->framesPresent >= 0 ? mxf->framesPresent : std::max<int64_t>(declared, 0);
        if (declared >= 0) present = std::min(present, declared);
        movie->declaredFrames = declared;
        movie->framesPresent = present;
        if (mxf->hasPicture && ValidRate(mxf->editRate)) {
            MediaModel video;
            video.type = FourCC("vide");
            video.timeScale = mxf->editRate.num;
            video.descriptions.push_back(ImageDescription(FourCC("mxf "), mxf->width, mxf->height));
            // Times past 2^31 units are beyond what a walk can hand the handler.
            if (!AppendRun(&video.runs, uint64_t(present), uint32_t(mxf->editRate.den))) return MovieStatus::Damaged;
            AddTrack(movie, std::move(video));
        }
        const MxfTimecodeChoice order[] = {MxfTimecodeChoice::Material, MxfTimecodeChoice::File,
                                           MxfTimecodeChoice::System};
        std::vector<MediaModel> sources;
        bool chosenFound = choice == MxfTimecodeChoice::Default;
        for (const MxfTimecodeChoice source : order) {
            MediaModel media;
            const bool made = source == MxfTimecodeChoice::Material ? PackageMedia(mxf->material, present, "material", &media)
                              : source == MxfTimecodeChoice::File   ? PackageMedia(mxf->file, present, "file", &media)
                                                                    : SystemMedia(file, *mxf, present, &media);
            if (!made) continue;
            if (source == choice) {
                chosenFound = true;
                sources.insert(sources.begin(), std::move(media));
            } else {
                sources.push_back(std::move(media));
            }
        }
        if (chosenFound)
            for (MediaModel& media : sources) AddTrack(movie, std::move(media));
    } catch (const std::bad_alloc&) {
        return MovieStatus::OutOfMemory;
    }
    return MovieStatus::Ok;
}
