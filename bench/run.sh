#!/usr/bin/env bash
# Builds LumarestTC (Release, as shipped) and the benchmark in build-bench/ and
# runs the benchmark.
# Arguments go to lumarest_bench: --sizes N,N,... --runs R --ffprobe PATH|none --folder MOVIES --sony FRAMES --mxf FRAMES --keep
#   bench/run.sh                              # 10 thousand to 10 million samples, 5 runs each
#   bench/run.sh --sizes 10000 --runs 1       # the quick check
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-bench -j"$(nproc 2>/dev/null || echo 2)" --target lumarest_bench >/dev/null
exec build-bench/bench/lumarest_bench --dir build-bench/bench-files "$@"
