#!/usr/bin/env bash
# Builds LumarestTC and runs it on the sample movie samples/take1.mov (one
# second of 29.97 fps drop-frame video whose timecode starts at 00:00:59;20),
# in a copy under build-sample/sample/, then shows the four files it wrote.
set -euo pipefail
cd "$(dirname "$0")"

# The tool needs only a C++17 compiler, CMake and make.
missing=()
command -v cmake >/dev/null 2>&1 || missing+=(cmake)
command -v g++ >/dev/null 2>&1 || missing+=(g++)
command -v make >/dev/null 2>&1 || missing+=(make)
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""; [ "$(id -u)" = 0 ] || sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi

cmake -S . -B build-sample -DCMAKE_BUILD_TYPE=Release -DLUMAREST_TESTS=OFF >/dev/null
cmake --build build-sample --target LumarestTC -j"$(nproc 2>/dev/null || echo 2)" >/dev/null

rm -rf build-sample/sample
mkdir -p build-sample/sample
cp samples/take1.mov build-sample/sample/
cd build-sample/sample
echo "\$ LumarestTC take1.mov"
status=0
../LumarestTC take1.mov || status=$?
echo "(exit status $status)"
for f in take1_TimeCode.txt take1_Lumarest_SubTitle_TimeCode.txt \
         take1_Lumarest_SubTitle_Range.txt take1_Lumarest_SubTitle.avs; do
  echo
  echo "==> build-sample/sample/$f <=="
  cat "$f"
done
exit "$status"
