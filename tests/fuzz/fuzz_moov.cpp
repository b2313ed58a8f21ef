// libFuzzer target: the fuzzer's bytes as the body of a moov atom.
#include "tests/fuzz/fuzz_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ParseMovieAtomBytes(data, size);
    return 0;
}
