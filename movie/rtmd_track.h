// Sony cameras' per-frame timecode. Their MP4s have no 'tmcd' track: each
// frame's label is in a timed-metadata track ('meta' handler, sample
// description 'rtmd', a sample per video frame as long as the frame), and
// the clip's start, rate and drop-frame bit are in its XML (clip_xml.h).
// A sample opens with a header whose length is in its first two bytes
// (big-endian, 28 in every file seen); bytes 13 to 16 of it hold the
// frame's hours, minutes, seconds and frames as plain binary bytes:
//
//   00 1c 01 00 0a a3 21 41 f0 01 00 10 00 10 38 07 00 ...   16:56:07:00
//
// Such a track is presented to the rest of the tool as a timecode track: a
// 'tmcd' media whose one sample description holds the definition the XML
// (or the labels and the frame rate) gives, and whose samples the timecode
// handler reads as labels rather than frame numbers.
#pragma once

#include <cstdint>
#include <vector>

#include "movie/atom.h"
#include "movie/movie_file.h"
#include "movie/movie_model.h"

// The bytes of a sample that hold its label: the header up to the frames.
constexpr uint32_t kRtmdLabelBytes = 17;

enum class RtmdRead {
    Ok,
    Missing,    // no label: the sample is shorter than 17 bytes, its header says
                // so, or its first 17 bytes are not all in the file
    ReadError,  // the file could not be read
};

// The label at the head of the sample of `size` bytes at `offset`. The
// values are as written; whether they make a timecode is the caller's
// question.
RtmdRead ReadRtmdLabel(MovieFile* file, uint64_t offset, uint32_t size, TimecodeLabel* label);

// True for a media that carries 'rtmd' samples.
bool IsRtmdMedia(const MediaModel& media);

// In a movie without a 'tmcd' track, turns the first 'rtmd' track into a
// timecode track (see above) and notes in its timecodeOrigin where its
// definition came from. The XML is taken from the movie's top-level meta
// atoms (metadata: their locations) or else from <stem>M01.XML beside
// file->path. Without an XML, drop frame is decided by the labels where
// one decides it (a label that drop frame never shows; a step over the
// labels it skips) and otherwise by the frame rate, which costs one more
// read of each sample's head.
void PresentRtmdTimecode(MovieFile* file, const std::vector<AtomLocation>& metadata, MovieModel* movie);
