#!/usr/bin/env bash
# Builds the release packages from a clean checkout of the current commit
# (git archive: committed files only) and writes them to dist/:
#   LumarestTC-<version>-windows-x86_64.zip           LumarestTC.exe on the built-in reader
#   LumarestTC-<version>-windows-i686-quicktime.zip   LumarestTC.exe over QuickTime for Windows
#   LumarestTC-<version>-linux-x86_64.tar.gz          bin/LumarestTC, linked statically
#   SHA256SUMS                                        of the three
# each with README.md, LICENSE and the AviSynth+ function Vidorin.avsi (beside
# the exe in the zips, share/LumarestTC/Vidorin.avsi in the tarball, which is
# the cmake --install tree). The version is project(... VERSION ...) in
# CMakeLists.txt. tools/check_release.sh checks what the packages hold.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=$(nproc 2>/dev/null || echo 2)
# The checkout may belong to another user than the one running this (CI as root).
git() { command git -c safe.directory="$root" "$@"; }

. tools/release_names.sh
commit=$(git rev-parse HEAD)
if [ -n "$(git status --porcelain --untracked-files=no)" ]; then
  echo "release.sh: uncommitted changes are left out; building commit $commit"
fi
# Every packaged file carries the commit's time.
mtime=$(date -u -d "@$(git log -1 --format=%ct "$commit")" '+%Y-%m-%d %H:%M:%S UTC')

work=$(mktemp -d "${TMPDIR:-/tmp}/lumarest-release.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir "$work/src"
git archive --format=tar "$commit" | tar -x -C "$work/src"

# build FOLDER [CMAKE ARGUMENTS...]: LumarestTC alone, in Release, no tests.
build() {
  local folder=$1
  shift
  echo "== building $folder"
  cmake -S "$work/src" -B "$work/$folder" -DCMAKE_BUILD_TYPE=Release -DLUMAREST_TESTS=OFF "$@" >/dev/null
  cmake --build "$work/$folder" --target LumarestTC -j"$jobs" >/dev/null
}
build linux
build win64 -DCMAKE_TOOLCHAIN_FILE="$work/src/cmake/mingw-x86_64.cmake"
build win32 -DCMAKE_TOOLCHAIN_FILE="$work/src/cmake/mingw-i686.cmake"

# stage NAME: the package's folder, holding README.md and LICENSE.
stage() {
  mkdir -p "$work/stage/$1"
  cp "$work/src/README.md" "$work/src/LICENSE" "$work/stage/$1/"
}
stage "$name_win64"
cp "$work/win64/LumarestTC.exe" "$work/src/avisynth/Vidorin.avsi" "$work/stage/$name_win64/"
stage "$name_win32"
cp "$work/win32/LumarestTC.exe" "$work/src/avisynth/Vidorin.avsi" "$work/stage/$name_win32/"
stage "$name_linux"
cmake --install "$work/linux" --prefix "$work/stage/$name_linux" >/dev/null

rm -rf dist
mkdir dist
cd "$work/stage"
for name in "$name_win64" "$name_win32"; do
  cmake -E tar cf "$root/dist/$name.zip" --format=zip --mtime="$mtime" -- $(find "$name" -type f | sort)
done
tar --sort=name --owner=0 --group=0 --numeric-owner --mtime="$mtime" -cf - "$name_linux" |
  gzip -9n >"$root/dist/$name_linux.tar.gz"
cd "$root/dist"
sha256sum "$name_win64.zip" "$name_win32.zip" "$name_linux.tar.gz" >SHA256SUMS
echo "== dist/ (commit $commit)"
ls -l
cat SHA256SUMS
