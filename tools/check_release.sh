#!/usr/bin/env bash
# Checks the packages that tools/release.sh wrote to dist/ (or the folder
# given): the checksums, each package's files (README.md, LICENSE and
# Vidorin.avsi the project's own), the two Windows exes (kind, imported DLLs,
# manifest, version resource, the QuickTime exe's 53-bit x87 start-up) and the
# Linux tool (static, and it runs the sample movie).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
dist=$(cd "${1:-dist}" && pwd)
. tools/release_names.sh

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
pass() { echo "ok:   $*"; }

work=$(mktemp -d "${TMPDIR:-/tmp}/lumarest-check.XXXXXX")
trap 'rm -rf "$work"' EXIT

(cd "$dist" && sha256sum --quiet -c SHA256SUMS) && pass "SHA256SUMS" || fail "SHA256SUMS does not match"
[ "$(cut -d' ' -f3 "$dist/SHA256SUMS" | sort | tr '\n' ' ')" = "$name_linux.tar.gz $name_win32.zip $name_win64.zip " ] &&
  pass "SHA256SUMS names the three packages" || fail "SHA256SUMS names other files"

# unpack PACKAGE EXPECTED-FILES...: unpacked into $work; exactly these files,
# and README.md, LICENSE and any */Vidorin.avsi byte for byte the project's.
unpack() {
  local package=$1
  shift
  (cd "$work" && cmake -E tar xf "$dist/$package")
  local name=${package%.zip}
  name=${name%.tar.gz}
  local found expected
  found=$(cd "$work/$name" && find . -type f | sed 's|^\./||' | sort | tr '\n' ' ')
  expected=$(printf '%s\n' "$@" | sort | tr '\n' ' ')
  [ "$found" = "$expected" ] && pass "$package holds $expected" || fail "$package holds $found, not $expected"
  for doc in README.md LICENSE; do
    cmp -s "$work/$name/$doc" "$root/$doc" || fail "$package: $doc is not the project's"
  done
  local avsi
  for avsi in $(printf '%s\n' "$@" | grep 'Vidorin\.avsi$'); do
    cmp -s "$work/$name/$avsi" "$root/avisynth/Vidorin.avsi" &&
      pass "$package: $avsi is avisynth/Vidorin.avsi" || fail "$package: $avsi is not avisynth/Vidorin.avsi"
  done
}

# windows_exe EXE OBJDUMP FILE-KIND DESCRIPTION-WORD
windows_exe() {
  local exe=$1 objdump=$2 kind=$3 word=$4 label=${1#"$work"/}
  grep -qF "$kind" <<<"$(file -b "$exe")" && pass "$label: $kind" || fail "$label is not $kind: $(file -b "$exe")"
  # Only DLLs that come with Windows.
  local dlls
  dlls=$("$objdump" -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort | tr '\n' ' ')
  local other
  other=$(printf '%s\n' $dlls | grep -vxE 'kernel32\.dll|msvcrt\.dll|advapi32\.dll|user32\.dll' || true)
  [ -z "$other" ] && pass "$label imports $dlls" || fail "$label imports $other"
  # Manifest and version resource, as Windows reads them.
  local rc
  rc=$("${objdump%objdump}windres" -i "$exe" -O rc)
  grep -q 'requestedExecutionLevel level=""asInvoker""' <<<"$rc" && grep -q 'supportedOS' <<<"$rc" &&
    pass "$label: manifest asInvoker with supported OS" || fail "$label: no asInvoker manifest"
  grep -q "VALUE \"ProductName\", \"LumarestTC\"" <<<"$rc" &&
    grep -q "VALUE \"ProductVersion\", \"$version\"" <<<"$rc" &&
    grep -q "VALUE \"FileVersion\", \"$version\"" <<<"$rc" &&
    grep -q "VALUE \"FileDescription\", \"LumarestTC ($word" <<<"$rc" &&
    pass "$label: version resource $version" || fail "$label: version resource incomplete"
}

unpack "$name_win64.zip" LumarestTC.exe Vidorin.avsi README.md LICENSE
windows_exe "$work/$name_win64/LumarestTC.exe" x86_64-w64-mingw32-objdump "PE32+ executable (console) x86-64" \
  "reads movies with its built-in reader"
unpack "$name_win32.zip" LumarestTC.exe Vidorin.avsi README.md LICENSE
windows_exe "$work/$name_win32/LumarestTC.exe" i686-w64-mingw32-objdump "PE32 executable (console) Intel 80386" \
  "reads movies with QuickTime"
# Start-up sets 53-bit x87 precision through msvcrt's _fpreset (CRT_fp8.o).
grep -qE '\s_fpreset$' <<<"$(i686-w64-mingw32-objdump -p "$work/$name_win32/LumarestTC.exe")" &&
  pass "$name_win32: x87 precision from msvcrt's _fpreset" || fail "$name_win32: start-up does not call msvcrt's _fpreset"

unpack "$name_linux.tar.gz" bin/LumarestTC share/LumarestTC/Vidorin.avsi README.md LICENSE
tool=$work/$name_linux/bin/LumarestTC
grep -q "statically linked" <<<"$(file -b "$tool")" && pass "$name_linux: bin/LumarestTC statically linked" ||
  fail "$name_linux: bin/LumarestTC is not linked statically: $(file -b "$tool")"
mkdir "$work/sample"
cp samples/take1.mov "$work/sample/"
if (cd "$work/sample" && "$tool" take1.mov) && [ "$(head -1 "$work/sample/take1_TimeCode.txt")" = "00:00:59;20" ]; then
  pass "$name_linux: bin/LumarestTC runs the sample"
else
  fail "$name_linux: bin/LumarestTC does not run the sample"
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) of the release packages failed"
  exit 1
fi
echo "The release packages hold what they should."
