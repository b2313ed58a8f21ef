# The release's version and package names, for tools/release.sh and
# tools/check_release.sh (sourced from the project root). The version is
# project(... VERSION ...) in CMakeLists.txt.
version=$(sed -n 's/^project(LumarestTC VERSION \([0-9][0-9.]*\).*/\1/p' CMakeLists.txt)
if [ -z "$version" ]; then
  echo "no project(LumarestTC VERSION ...) in CMakeLists.txt" >&2
  exit 1
fi
name_win64=LumarestTC-$version-windows-x86_64
name_win32=LumarestTC-$version-windows-i686-quicktime
name_linux=LumarestTC-$version-linux-x86_64
