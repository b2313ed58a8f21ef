// Sample description entries that the reader makes for what it presents as
// a track of its own: a timecode definition for timecode read from Sony's
// rtmd samples or an MXF file, an image description for an MXF picture.
#pragma once

#include <cstdint>
#include <string>

// A 'tmcd' entry: size, format, six reserved bytes, data reference index,
// four reserved bytes, then the flags (byte 20), time scale (24), frame
// duration (28) and frames a second (32, 8-bit) that the timecode handler
// reads. The labels the reader presents are times of day: the flags say
// they wrap at 24 hours, and drop frame when asked.
std::string TimeOfDayDescription(bool dropFrame, uint32_t timeScale, uint32_t frameDuration, uint8_t frames);

// The whole frames a second of num/den frames a second, rounded: 30 for
// 30000/1001 (den > 0).
int64_t RoundedFrameRate(int64_t num, int64_t den);

// An 86-byte image description whose picture width and height (bytes 32 and
// 34, big-endian as stored) are those given, held to 16 bits.
std::string ImageDescription(uint32_t format, int32_t width, int32_t height);
