#include "extract/sample_walk.h"

#include "extract/cue_times.h"
#include "writers/subtitle_cues.h"

WalkResult WalkSamples(Media videoMedia, MediaHandler timecodeHandler, const MediaTimeScales& scales,
                       OutputFiles& files, const std::string& timecodeListPath,
                       const std::string& subtitleTextPath, const std::string& subtitleRangePath,
                       const SubtitleCueRequest* cues) {
    TimeValue64 SampleTime = 0;
    TimeValue64 sampleDuration = 0;  // read only for the last cue's end
    if (!FirstSample(videoMedia, &SampleTime, &sampleDuration)) return WalkResult::Finished;

    if (!OpenDataFiles(files, timecodeListPath, subtitleTextPath, subtitleRangePath, cues ? &cues->path : nullptr))
        return WalkResult::Stopped;

    // Reused for every sample: the walk allocates nothing per sample.
    TimecodeScratch scratch;
    std::string TimecodeText;
    TimecodeText.reserve(sizeof scratch.plain);
    CueTimes cueTimes;
    if (cues) cueTimes = StartCueTimes(cues->offset, scales.video, SampleTime);
    uint32_t cueNumber = 0;

    int32_t FrameIndex = 0;
    for (;;) {
        const bool found = GetTimecodeText(timecodeHandler, scales, SampleTime, FrameIndex, scratch, TimecodeText);
        if (found) WriteSampleLines(files, FrameIndex, TimecodeText);

        const TimeValue64 previousTime = SampleTime;
        const TimeValue64 previousDuration = sampleDuration;
        const bool another = NextSample(videoMedia, &SampleTime, &sampleDuration);

        // The cue ends halfway to the next frame, known only now.
        if (cues) {
            int64_t start, end;
            NextCue(cueTimes, another ? SampleTime : SampleEnd(previousTime, previousDuration), &start, &end);
            if (found) WriteSubtitleCue(files.subtitleCues, ++cueNumber, start, end, TimecodeText);
        }
        if (!another) return WalkResult::Finished;
        // Wraps instead of overflowing past 2^31 samples.
        FrameIndex = int32_t(uint32_t(FrameIndex) + 1u);
    }
}
