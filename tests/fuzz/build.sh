#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer, UBSan and the
# fuzzer's coverage) into build-fuzz/ and writes the seed corpora:
#   tests/fuzz/build.sh
#   build-fuzz/tests/fuzz/fuzz_walk build-fuzz/corpus/walk-run build-fuzz/corpus/walk
#   build-fuzz/tests/fuzz/fuzz_moov build-fuzz/corpus/moov-run build-fuzz/corpus/moov
#   build-fuzz/tests/fuzz/fuzz_mxf build-fuzz/corpus/mxf-run build-fuzz/corpus/mxf
# tests/fuzz/run.sh runs each for a given time.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
out="${LUMAREST_FUZZ_BUILD:-$root/build-fuzz}"
flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer -g"
cmake -S "$root" -B "$out" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMAREST_FUZZ=ON \
  -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined"
cmake --build "$out" -j"$(nproc 2>/dev/null || echo 2)" --target fuzz_walk fuzz_moov fuzz_mxf fuzz_seeds
"$out/tests/fuzz/fuzz_seeds" "$out/corpus"
