// The MXF reader over fuzzer bytes: the file read from memory through a
// stdio stream, then the system item walk of the first content packages,
// forwards and once backwards.
#include <cstdio>
#include <cstdlib>

#include "movie/movie_file.h"
#include "mxf/mxf_body.h"
#include "mxf/mxf_model.h"
#include "movie/smpte12m.h"
#include "tests/fuzz/fuzz_harness.h"

namespace {

// Its own, so that the MXF target links without the walk harness.
[[noreturn]] void MxfInvariantFailed(const char* what) {
    std::fprintf(stderr, "MXF reader invariant broken: %s\n", what);
    std::abort();
}

}  // namespace

void ReadMxfFuzzBytes(const uint8_t* data, size_t size) {
    if (size == 0) return;
    MovieFile file;
    file.fp = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (!file.fp) return;
    file.size = size;
    LooksLikeMxf(&file);
    MxfModel model;
    std::string problem;
    const MxfStatus status = ReadMxf(&file, &model, &problem);
    if (status == MxfStatus::Damaged && problem.empty()) MxfInvariantFailed("damaged without a problem");
    if (status == MxfStatus::Ok) {
        if (model.framesPresent > 0 && model.wrapping == MxfWrapping::Frame &&
            uint64_t(model.framesPresent) > size / 17) {
            MxfInvariantFailed("more content packages than the file has room for");
        }
        MxfBodyCursor cursor;
        for (int64_t n = 0; n < kFuzzWalkSteps; ++n) {
            uint8_t smpte[4];
            bool present = false;
            if (SystemItemTimecode(&file, model, &cursor, n, smpte, &present) != MxfStatus::Ok) break;
            TimecodeLabel t;
            if (present && DecodeSmpte12m(smpte, &t) && (t.hours > 23 || t.minutes > 59 || t.seconds > 59))
                MxfInvariantFailed("a valid 12M label out of range");
            if (!present && cursor.packages <= n) break;  // the body ended
        }
        uint8_t smpte[4];
        bool present = false;
        SystemItemTimecode(&file, model, &cursor, 0, smpte, &present);
    }
    std::fclose(file.fp);
}
