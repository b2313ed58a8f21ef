#include "driver/track_discovery.h"

#include <cstdio>
#include <cstring>

bool DiscoverTracks(Movie movie, DiscoveredTracks& tracks) {
    int32_t videoCount = 0;
    int32_t timecodeCount = 0;
    const int32_t trackCount = GetMovieTrackCount(movie);
    for (int32_t i = 1; i <= trackCount; ++i) {
        Track track = GetMovieIndTrack(movie, i);
        Media media = GetTrackMedia(track);
        OSType mediaType = 0;
        GetMediaHandlerDescription(media, &mediaType, nullptr, nullptr);
        if (mediaType == VideoMediaType) {
            if (++videoCount != 1) continue;
            tracks.VideoTrack = track;
            tracks.VideoMedia = media;
            Handle description = NewHandleClear(int32_t(kImageDescriptionSize));
            if (!description) return false;
            tracks.VideoDescription = description;
            GetMediaSampleDescription(media, 1, description);
        } else if (mediaType == TimeCodeMediaType) {
            if (++timecodeCount != 1) continue;
            tracks.TimecodeMedia = media;
            tracks.TimecodeHandler = GetMediaHandler(media);
        }
    }
    return true;
}

bool CheckTracks(Media videoMedia, Media timecodeMedia) {
    if (!videoMedia) std::printf("Error: Could not find a Video track\n");
    if (!timecodeMedia) std::printf("Error: Could not find a TimeCode track\n");
    return videoMedia && timecodeMedia;
}

PictureSize ReadPictureSize(Handle videoDescription) {
    PictureSize size;
    // The description handle is at least 86 bytes; a binding that left no
    // block gives a zero size rather than a fault.
    if (!videoDescription || !*videoDescription) return size;
    std::memcpy(&size.width, *videoDescription + kImageWidthOffset, sizeof size.width);
    std::memcpy(&size.height, *videoDescription + kImageHeightOffset, sizeof size.height);
    return size;
}
