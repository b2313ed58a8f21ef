// The benchmark's movies, shaped as encoders write them: a constant-rate
// 29.97 fps video track (one stts run) with a size per sample in stsz and a
// chunk per second of samples in stco, after its data as ffmpeg puts it, and
// a drop-frame timecode track that starts at 01:00:00;00 and wraps at 24
// hours, so that the walk covers every video sample. The time scale is 2997 with 100 units a frame, so that even
// ten million samples stay below 2^31 media units and every timecode is real.
#pragma once

#include <cstdint>
#include <string>

#include "tests/fixture/fixture_writer.h"
#include "tests/fixture/mxf_fixture.h"

constexpr uint32_t kBenchTimeScale = 2997;
constexpr uint32_t kBenchFrameDuration = 100;
constexpr uint32_t kBenchVideoSampleSize = 4;  // bytes of each video sample in mdat
constexpr uint32_t kBenchSamplesPerChunk = 30;
constexpr int kBenchFramesPerSecond = 30;
// 01:00:00;00 counted in drop frame: one hour is 6 ten-minute blocks of
// 17982 frames.
constexpr int32_t kBenchFirstFrame = 6 * 17982;

FixtureMovie BenchMovie(uint32_t samples);

// What the tool must write for `samples` samples, from the counting rules
// alone: the bytes of the three data files together and the last timecode.
uint64_t BenchDataBytes(uint32_t samples);
// The bytes of the --srt cue file: "<k>\nHH:MM:SS,mmm --> HH:MM:SS,mmm\n"
// and the label "HH:MM:SS;FF\n\n" per sample (below 100 hours).
uint64_t BenchCueBytes(uint32_t samples);
std::string BenchLastTimecode(uint32_t samples);

// A clip shaped as Sony's FX3 writes it: 23.976 fps video and a timed-
// metadata track of 11,264-byte rtmd samples labelled from 16:56:07:00 on,
// with the clip's XML in the file; or, with rtmd false, the same frames
// under a tmcd track.
constexpr uint32_t kBenchSonyFrames = 86314;  // an hour at 24000/1001
FixtureMovie BenchSonyMovie(uint32_t frames, bool rtmd);
std::string BenchSonyLastLabel(uint32_t frames);

// An MXF file at 25 fps whose material package, file package and system
// items all start at 10:00:00:00: frame- or clip-wrapped edit units of
// frameBytes each (frame-wrapped with a sound element beside each picture).
constexpr uint32_t kBenchMxfFrames = 90000;  // an hour at 25 fps
MxfFixture BenchMxf(uint32_t frames, bool clipWrapped, uint32_t frameBytes);
std::string BenchMxfLastLabel(uint32_t frames);
