#!/usr/bin/env bash
# Makes docs/qc-page.png, the README's picture of a --qc --html page: a run
# over a folder that holds the sample (samples/take1.mov), movies made by
# ffmpeg (one with two frames dropped, a proxy without timecode) and the
# hand-built movies of the page's tests (breaks, frames without timecode, a
# timecode track that ends early, a damaged movie), shot with headless
# Chromium.
#
#   tools/qc_page_picture.sh [BUILD_DIR]    (default build/)
#
# Needs cmake, g++, ffmpeg and chromium (tools/packages.txt).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${1:-$root/build}

cmake -S "$root" -B "$build" >/dev/null
cmake --build "$build" --target LumarestTC qc_page_movies -j "$(nproc 2>/dev/null || echo 2)" >/dev/null

work=$(mktemp -d "${TMPDIR:-/tmp}/lumarest-picture.XXXXXX")
trap 'rm -rf "$work"' EXIT
delivery=$work/delivery
mkdir "$delivery"
"$build/tests/run/qc_page_movies" "$delivery"
rm "$delivery"/a[346]_*.mov  # the ffmpeg movies stand for the gap and the passes
cp samples/take1.mov "$delivery/"
ffmpeg -v error -f lavfi -i testsrc=size=160x120:rate=25 -t 8 -vf "select='not(between(n\,120\,121))'" \
       -fps_mode passthrough -timecode 10:00:00:00 -c:v mpeg4 "$delivery/camera_b.mov"
ffmpeg -v error -f lavfi -i testsrc=size=160x120:rate=25 -t 8 -c:v mpeg4 "$delivery/proxy.mp4"

# The commit's time as the run's, so that the same commit gives the same page.
export SOURCE_DATE_EPOCH
SOURCE_DATE_EPOCH=$(git -c safe.directory="$root" log -1 --format=%ct 2>/dev/null || echo 0)
(cd "$work" && "$build/LumarestTC" --qc --html page.html delivery >/dev/null) || true

chromium --headless --no-sandbox --disable-gpu --disable-background-networking --disable-component-update \
         --disable-sync --no-first-run --user-data-dir="$work/profile" --hide-scrollbars \
         --force-device-scale-factor=1 --window-size=1000,1115 --screenshot="$root/docs/qc-page.png" \
         "file://$work/page.html" 2>/dev/null
echo "docs/qc-page.png"
