#include "bench/bench_movie.h"

#include "tests/fixture/smpte.h"
#include "tests/fixture/sony_movie.h"

namespace {

uint64_t Digits(uint64_t v) {
    uint64_t n = 1;
    while (v >= 10) {
        v /= 10;
        ++n;
    }
    return n;
}

}  // namespace

FixtureMovie BenchMovie(uint32_t samples) {
    FixtureMovie movie;
    FixtureTrack video = FixtureVideoTrack(kBenchTimeScale, samples, kBenchFrameDuration);
    video.sampleSize = kBenchVideoSampleSize;
    video.sizePerSample = true;
    video.samplesPerChunk = kBenchSamplesPerChunk;
    // Uncompressed video: ffprobe walks its packets without a decoder complaining
    // about the zero bytes.
    video.sampleFormat = FixtureCode("raw ");
    video.width = 1920;
    video.height = 1080;
    movie.tracks.push_back(video);
    // Drop frame (0x1) and 24-hour wrap (0x2); one sample for the whole length.
    movie.tracks.push_back(FixtureTimecodeTrack(0x3, kBenchTimeScale, kBenchFrameDuration,
                                                uint8_t(kBenchFramesPerSecond), kBenchTimeScale,
                                                kBenchFirstFrame, samples * kBenchFrameDuration));
    return movie;
}

uint64_t BenchDataBytes(uint32_t samples) {
    // "HH:MM:SS;FF\n" in the list; n<i>="HH:MM:SS;FF"\n in the text file;
    // "<i> <i>\n" for i >= 1 after the 20-byte header in the range file.
    uint64_t bytes = 20;
    for (uint64_t i = 0; i < samples; ++i) {
        uint64_t d = Digits(i);
        bytes += 12 + (1 + d + 2 + 11 + 2);
        if (i != 0) bytes += 2 * d + 2;
    }
    return bytes;
}

uint64_t BenchCueBytes(uint32_t samples) {
    uint64_t bytes = 0;
    for (uint64_t k = 1; k <= samples; ++k) bytes += Digits(k) + 1 + 30 + 12 + 1;
    return bytes;
}

std::string BenchLastTimecode(uint32_t samples) {
    SmpteTime start;
    start.hours = 1;
    start.dropFrame = true;
    return FormatSmpte(SmpteAdd(start, kBenchFramesPerSecond, int64_t(samples) - 1));
}

FixtureMovie BenchSonyMovie(uint32_t frames, bool rtmd) {
    if (rtmd)
        return SonyMovie(24000, 1001, SmpteSequence("16:56:07:00", 24, frames), SonyXml(24, false, "16:56:07:00"),
                         11264);
    FixtureMovie movie;
    movie.tracks = {FixtureVideoTrack(24000, frames, 1001),
                    FixtureTimecodeTrack(0x2, 24000, 1001, 24, 24000, ((16 * 60 + 56) * 60 + 7) * 24, frames * 1001)};
    return movie;
}

std::string BenchSonyLastLabel(uint32_t frames) {
    SmpteTime start;
    ParseSmpte("16:56:07:00", &start);
    return FormatSmpte(SmpteAdd(start, 24, int64_t(frames) - 1));
}

MxfFixture BenchMxf(uint32_t frames, bool clipWrapped, uint32_t frameBytes) {
    constexpr int64_t kTen = 10 * 3600 * 25;
    MxfFixture f;
    f.frames = frames;
    f.frameBytes = frameBytes;
    f.materialTimecode = {{kTen}};
    f.fileTimecode = {{kTen}};
    f.systemStart = kTen;
    f.clipWrapped = clipWrapped;
    f.systemItems = !clipWrapped;
    f.indexTable = clipWrapped;
    f.sound = !clipWrapped;
    return f;
}

std::string BenchMxfLastLabel(uint32_t frames) {
    SmpteTime start;
    start.hours = 10;
    return FormatSmpte(SmpteAdd(start, 25, int64_t(frames) - 1));
}
