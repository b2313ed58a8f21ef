// libFuzzer target: the fuzzer's bytes as an MXF file, through the MXF
// reader alone.
#include "tests/fuzz/fuzz_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ReadMxfFuzzBytes(data, size);
    return 0;
}
