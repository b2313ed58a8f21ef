#include "bench/bench_floor.h"

#include <cstdio>

#include "bench/bench_child.h"
#include "writers/output_files.h"

bool ReadWholeFile(const std::string& path, std::string* bytes) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    bytes->clear();
    char block[1 << 16];
    size_t n;
    while ((n = std::fread(block, 1, sizeof block, f)) > 0) bytes->append(block, n);
    bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

FloorTime WriteFloor(const std::vector<OutputCopy>& copies) {
    const double start = NowSeconds();
    const double startCpu = CpuSeconds();
    for (const OutputCopy& c : copies) {
        std::FILE* f = std::fopen(c.path.c_str(), "wb");
        if (!f) continue;
        std::setvbuf(f, nullptr, _IONBF, 0);  // as the tool's streams: the block is the only buffer
        for (size_t at = 0; at < c.bytes.size(); at += kOutputBlockSize) {
            size_t n = c.bytes.size() - at < kOutputBlockSize ? c.bytes.size() - at : kOutputBlockSize;
            std::fwrite(c.bytes.data() + at, 1, n, f);
        }
        std::fclose(f);
    }
    FloorTime t;
    t.wallSeconds = NowSeconds() - start;
    t.cpuSeconds = CpuSeconds() - startCpu;
    return t;
}
