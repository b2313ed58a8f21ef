// libFuzzer target: the fuzzer's bytes as a whole movie file, through the
// run's Toolbox sequence.
#include "tests/fuzz/fuzz_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    WalkSummary summary;
    WalkMovieBytes(data, size, &summary);
    return 0;
}
