#!/usr/bin/env bash
# Installs what is missing, builds every target and runs every test:
#   build/        native tool and tests (built-in movie reader)
#   build-asan/   the same under AddressSanitizer and UndefinedBehaviorSanitizer
#   build-win32/  LumarestTC.exe for 32-bit Windows over QuickTime for Windows,
#                 and the 32-bit stand-in QuickTime.qts, run in an emulated
#                 machine by the native tests
#   build-win64/  LumarestTC.exe for x86-64 Windows on the built-in reader, its
#                 QuickTime twin and the stand-in QuickTime.qts, run under Wine
#                 by the native tests
# then builds the release packages once from a clean checkout of the current
# commit (dist/) and checks what they hold.
set -euo pipefail
cd "$(dirname "$0")"
jobs=$(nproc 2>/dev/null || echo 2)

missing=()
while read -r pkg; do
  case "$pkg" in ''|'#'*) continue ;; esac
  dpkg -s "$pkg" >/dev/null 2>&1 || missing+=("$pkg")
done < tools/packages.txt
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""; [ "$(id -u)" = 0 ] || sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi

cmake -S . -B build-win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release
cmake --build build-win32 -j"$jobs"
cmake -S . -B build-win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DCMAKE_BUILD_TYPE=Release
cmake --build build-win64 -j"$jobs"

# The native tests run the Windows builds: x86-64 under wine64 here, 32-bit in
# an emulated machine (label i386vm; built once into build/i386vm).
cmake -S . -B build -DLUMAREST_WIN64_DIR="$PWD/build-win64" -DLUMAREST_WIN32_DIR="$PWD/build-win32"
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

cmake -S . -B build-asan -DLUMAREST_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
cmake --build build-asan -j"$jobs"
ctest --test-dir build-asan --output-on-failure -j"$jobs" -LE 'wine|i386vm'

tools/release.sh
tools/check_release.sh
