// Finding the first video track and the first timecode track of the movie.
#pragma once

#include <cstdint>

#include "qtbinding/toolbox.h"

struct DiscoveredTracks {
    Track VideoTrack = nullptr;  // the track of VideoMedia
    Media VideoMedia = nullptr;
    Handle VideoDescription = nullptr;  // 86-byte image description of VideoMedia
    Media TimecodeMedia = nullptr;
    MediaHandler TimecodeHandler = nullptr;
};

// Scans every track in order; the first 'vide' and the first 'tmcd' are used,
// later ones only counted. False when no handle could be had for the video
// sample description (the scan stops there).
bool DiscoverTracks(Movie movie, DiscoveredTracks& tracks);

// Prints "Could not find" for each missing track (video first) and returns
// false when one is missing.
bool CheckTracks(Media videoMedia, Media timecodeMedia);

// Picture width and height: signed 16-bit fields at bytes 32 and 34 of the
// image description, in host byte order.
struct PictureSize {
    int16_t width = 0;
    int16_t height = 0;
};
PictureSize ReadPictureSize(Handle videoDescription);
