#!/usr/bin/env bash
# Makes the static libical 3.0.16 that the Windows build's school calendar import links
# against, into a cache folder, and prints the folder (the prefix: lib/libical.a and
# include/libical/ical.h) on stdout. The source is Debian's own package, the same version as
# the libical-dev the Linux build uses.
# Usage: scripts/libical-mingw.sh [CACHE_DIR]
#   CACHE_DIR defaults to ${QUIRN_CACHE:-$HOME/.cache/quirn}/libical-mingw64-static.
# A prefix already made by the same recipe is taken as it is (a stamp file records the recipe).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
prefix=$(realpath -m "${1:-${QUIRN_CACHE:-$HOME/.cache/quirn}/libical-mingw64-static}")

# The Debian source package the prefix is made from; pinned, so that every cache holds the same
# libical.
source_package=libical3
source_version=3.0.16-1
source_suite=bookworm
source_mirror=http://deb.debian.org/debian
source_folder=libical-3.0.16
orig_tarball=libical3_3.0.16.orig.tar.gz

# Only the C library: no bindings, no documentation, no tests, no ICU or Berkeley DB. Time zones
# come from libical's own zone files when a TZID must be resolved (the import needs none).
configure_flags=(
  -DCMAKE_BUILD_TYPE=Release -DSTATIC_ONLY=ON -DSHARED_ONLY=OFF -DWITH_CXX_BINDINGS=OFF
  -DICAL_GLIB=OFF -DICAL_GLIB_VAPI=OFF -DGOBJECT_INTROSPECTION=OFF -DICAL_BUILD_DOCS=OFF
  -DLIBICAL_BUILD_TESTING=OFF -DUSE_BUILTIN_TZDATA=ON -DCMAKE_DISABLE_FIND_PACKAGE_ICU=ON
  -DCMAKE_DISABLE_FIND_PACKAGE_BerkeleyDB=ON
)

fail() {
  echo "libical-mingw.sh: $*" >&2
  exit 1
}

toolchain() {
  cat <<'TOOLCHAIN'
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
TOOLCHAIN
}

recipe_id() {
  {
    echo "$source_package $source_version"
    printf '%s\n' "${configure_flags[@]}"
    toolchain
  } | sha256sum | cut -d' ' -f1
}
stamp="$prefix/.quirn-recipe"
wanted=$(recipe_id)
if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$wanted" ]; then
  echo "$prefix"
  exit 0
fi

command -v x86_64-w64-mingw32-gcc-posix >/dev/null || fail "needs gcc-mingw-w64-x86-64-posix"
command -v perl >/dev/null || fail "needs perl (libical generates sources with it)"

# The new prefix is made beside the old one and takes its place whole, so an interrupted run
# never leaves a half-made prefix behind a valid stamp.
mkdir -p "$(dirname "$prefix")"
staging=$(mktemp -d "$prefix.new.XXXXXX")
trap 'rm -rf "$staging"' EXIT

work="$prefix.build"
apt_dir="$work/apt"
mkdir -p "$apt_dir/sources" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
# A private apt folder with one deb-src entry: the system's own lists and cache stay untouched.
echo "deb-src $source_mirror $source_suite main" >"$apt_dir/sources/libical-source.list"
apt=(apt-get -q -o Dir::Etc::SourceList=/dev/null -o "Dir::Etc::SourceParts=$apt_dir/sources"
  -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache" -o Dir::State::status=/dev/null)
dsc="${source_package}_${source_version}.dsc"
if [ ! -f "$work/$orig_tarball" ]; then
  echo "libical-mingw.sh: fetching the source of $source_package $source_version" >&2
  "${apt[@]}" update >&2
  # The Debian diff has at times answered 404 while the orig tarball came: the build needs only
  # the orig tarball, so a failed fetch is judged by what arrived.
  (cd "$work" && "${apt[@]}" source --download-only "$source_package=$source_version" >&2) ||
    echo "libical-mingw.sh: apt source did not fetch every part; going on with what came" >&2
fi
[ -f "$work/$orig_tarball" ] || fail "the source $orig_tarball did not arrive"
if [ -f "$work/$dsc" ]; then
  # The .dsc names the orig tarball's checksum: a tarball that differs is refused.
  expected=$(awk '/^Checksums-Sha256:/ {on=1; next} /^[^ ]/ {on=0} on && $3 == "'"$orig_tarball"'" {print $1}' "$work/$dsc")
  actual=$(sha256sum "$work/$orig_tarball" | cut -d' ' -f1)
  [ -z "$expected" ] || [ "$expected" = "$actual" ] || fail "$orig_tarball does not match $dsc"
fi
rm -rf "${work:?}/$source_folder"
tar -xzf "$work/$orig_tarball" -C "$work"
[ -d "$work/$source_folder" ] || fail "$orig_tarball holds no $source_folder"

toolchain >"$work/mingw-toolchain.cmake"
rm -rf "$work/build"
cmake -G Ninja -S "$work/$source_folder" -B "$work/build" \
  -DCMAKE_TOOLCHAIN_FILE="$work/mingw-toolchain.cmake" "${configure_flags[@]}" \
  >"$work/configure.log" 2>&1 || {
  tail -n 40 "$work/configure.log" >&2
  fail "libical's configure failed; the whole log is $work/configure.log"
}
# One job unless told otherwise: the machine is shared with other builds.
cmake --build "$work/build" --target ical -j "${QUIRN_JOBS:-1}" >"$work/build.log" 2>&1 || {
  tail -n 40 "$work/build.log" >&2
  fail "libical's build failed; the whole log is $work/build.log"
}

# Building only the library installs nothing: take the library, the generated combined header
# and the export header it includes (kept in the source tree).
library=$(find "$work/build" -name libical.a | head -n 1)
header=$(find "$work/build" -name ical.h -path '*libical*' | head -n 1)
export_header=$(find "$work/$source_folder/src/libical" -name libical_ical_export.h | head -n 1)
[ -n "$library" ] && [ -n "$header" ] && [ -n "$export_header" ] ||
  fail "the build left no libical.a, ical.h or libical_ical_export.h"
mkdir -p "$staging/lib" "$staging/include/libical"
cp "$library" "$staging/lib/"
cp "$header" "$export_header" "$staging/include/libical/"
echo "$wanted" >"$staging/.quirn-recipe"
rm -rf "$prefix"
mv "$staging" "$prefix"
trap - EXIT
echo "$prefix"
