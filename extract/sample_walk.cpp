#include "extract/sample_walk.h"

namespace {

constexpr Fixed kNormalRate = 0x10000;

}  // namespace

WalkResult WalkSamples(Media videoMedia, MediaHandler timecodeHandler, const MediaTimeScales& scales,
                       OutputFiles& files, const std::string& timecodeListPath,
                       const std::string& subtitleTextPath, const std::string& subtitleRangePath) {
    TimeValue64 SampleTime = 0;
    TimeValue64 sampleDuration = 0;  // answered by the search, never read
    // The edge flag makes a sample that starts exactly at 0 the first answer.
    GetMediaNextInterestingDecodeTime(videoMedia, nextTimeMediaSample | nextTimeEdgeOK, 0, kNormalRate,
                                      &SampleTime, &sampleDuration);
    if (SampleTime < 0) return WalkResult::Finished;

    if (!OpenDataFiles(files, timecodeListPath, subtitleTextPath, subtitleRangePath))
        return WalkResult::Stopped;

    // Reused for every sample: the walk allocates nothing per sample.
    TimecodeScratch scratch;
    std::string TimecodeText;
    TimecodeText.reserve(sizeof scratch.plain);

    int32_t FrameIndex = 0;
    for (;;) {
        if (GetTimecodeText(timecodeHandler, scales, SampleTime, FrameIndex, scratch, TimecodeText))
            WriteSampleLines(files, FrameIndex, TimecodeText);

        const TimeValue64 previousTime = SampleTime;
        GetMediaNextInterestingDecodeTime(videoMedia, nextTimeMediaSample, previousTime, kNormalRate,
                                          &SampleTime, &sampleDuration);
        if (SampleTime < 0) return WalkResult::Finished;
        // The search answers a time strictly after the previous one; an answer
        // that does not move forward would repeat the walk forever.
        if (SampleTime <= previousTime) return WalkResult::Finished;
        // Wraps instead of overflowing past 2^31 samples.
        FrameIndex = int32_t(uint32_t(FrameIndex) + 1u);
    }
}
