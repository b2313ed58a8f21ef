#!/usr/bin/env bash
# Runs one fuzz target built by build.sh for a number of seconds:
#   tests/fuzz/run.sh walk|moov|mxf SECONDS [JOBS]
# JOBS worker processes (fork mode) keep going after a finding.
# Findings land in build-fuzz/findings/<target>/; the growing corpus in
# build-fuzz/corpus/<target>-run/ (the seeds stay apart in corpus/<target>/).
# Limits: 1 s per input, 256 MB of memory, 16 KB per input.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
out="${LUMAREST_FUZZ_BUILD:-$root/build-fuzz}"
target="$1"; seconds="$2"; jobs="${3:-1}"
mkdir -p "$out/corpus/$target-run" "$out/findings/$target" "$out/logs"
cd "$out/logs"
# A small quarantine keeps AddressSanitizer's own memory out of the RSS limit.
export ASAN_OPTIONS="${ASAN_OPTIONS:-quarantine_size_mb=16}"
exec "$out/tests/fuzz/fuzz_$target" "$out/corpus/$target-run" "$out/corpus/$target" \
  -artifact_prefix="$out/findings/$target/" -max_total_time="$seconds" \
  -timeout=1 -rss_limit_mb=256 -malloc_limit_mb=256 -max_len=16384 -print_final_stats=1 \
  -dict="$root/tests/fuzz/$([ "$target" = mxf ] && echo mxf || echo atoms).dict" -fork="$jobs" -ignore_crashes=1 -ignore_timeouts=1 -ignore_ooms=1
