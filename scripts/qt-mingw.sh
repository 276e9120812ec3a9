#!/usr/bin/env bash
# Makes the static Qt 6.4.2 for MinGW-w64 that the Windows build of the windows links against,
# into a cache folder, and prints the folder (the Qt prefix) on stdout.
# Usage: scripts/qt-mingw.sh [--configure-only] [CACHE_DIR]
#   CACHE_DIR defaults to ${QUIRN_CACHE:-$HOME/.cache/quirn}/qt6-mingw64-static.
#   QUIRN_QT_MINGW_ARCHIVE names a prebuilt archive of the same prefix (a tar.xz holding
#   qt6-mingw64-static/); its SHA-256 must be the one in cmake/qt6-mingw/SHA256SUMS. It defaults
#   to ../shared/qt6-mingw/qt6-mingw64-static.tar.xz beside the project when that exists; set it
#   empty to build from Debian's source package instead (about 28 minutes on 2 cores).
#   --configure-only stops the source build after Qt's configure step (to try the recipe).
# A prefix already made by the same recipe is taken as it is (a stamp file records the recipe).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
recipe="$root/cmake/qt6-mingw"

configure_only=false
if [ "${1:-}" = "--configure-only" ]; then
  configure_only=true
  shift
fi
prefix=$(realpath -m "${1:-${QUIRN_CACHE:-$HOME/.cache/quirn}/qt6-mingw64-static}")

# The Debian source package the prefix is made from; pinned, so that every cache holds the same Qt.
source_package=qt6-base
source_version=6.4.2+dfsg-10
source_suite=bookworm
source_mirror=http://deb.debian.org/debian
source_folder=qtbase-everywhere-src-6.4.2

# Qt's own build options: only what the windows and their tests use. tabletevent is off because
# the +dfsg source has no wintab; FreeType (bundled) is on because the offscreen platform needs it.
configure_flags=(
  -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF -DFEATURE_static_runtime=ON
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DFEATURE_sql=OFF -DFEATURE_network=OFF
  -DFEATURE_dbus=OFF -DFEATURE_opengl=OFF -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF
  -DFEATURE_xml=OFF -DFEATURE_testlib=ON -DFEATURE_tabletevent=OFF -DFEATURE_vulkan=OFF
  -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF -DFEATURE_icu=OFF -DFEATURE_freetype=ON
  -DFEATURE_direct2d=OFF
)

fail() {
  echo "qt-mingw.sh: $*" >&2
  exit 1
}

# What made a prefix: the source, the recipe's files and flags. A prefix whose stamp differs is
# made again.
recipe_id() {
  {
    echo "$source_package $source_version"
    printf '%s\n' "${configure_flags[@]}"
    cat "$recipe/qt-build-toolchain.cmake" "$recipe"/*.patch "$recipe/SHA256SUMS"
  } | sha256sum | cut -d' ' -f1
}
stamp="$prefix/.quirn-recipe"
wanted=$(recipe_id)

if ! $configure_only && [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$wanted" ]; then
  echo "$prefix"
  exit 0
fi

archive=${QUIRN_QT_MINGW_ARCHIVE-}
if [ -z "${QUIRN_QT_MINGW_ARCHIVE+set}" ] && [ -f "$root/../shared/qt6-mingw/qt6-mingw64-static.tar.xz" ]; then
  archive=$(realpath "$root/../shared/qt6-mingw/qt6-mingw64-static.tar.xz")
fi

# The new prefix is made beside the old one and takes its place whole, so an interrupted run
# never leaves a half-made prefix behind a valid stamp; two runs at once each make their own.
mkdir -p "$(dirname "$prefix")"
staging=$(mktemp -d "$prefix.new.XXXXXX")
trap 'rm -rf "$staging"' EXIT

take_archive() {
  local expected actual
  expected=$(awk '$2 == "qt6-mingw64-static.tar.xz" { print $1 }' "$recipe/SHA256SUMS")
  [ -n "$expected" ] || fail "no checksum for qt6-mingw64-static.tar.xz in $recipe/SHA256SUMS"
  [ -f "$archive" ] || fail "QUIRN_QT_MINGW_ARCHIVE names no file: $archive"
  actual=$(sha256sum "$archive" | cut -d' ' -f1)
  if [ "$actual" != "$expected" ]; then
    echo "qt-mingw.sh: REFUSED $archive: its SHA-256 is $actual," >&2
    echo "qt-mingw.sh: but cmake/qt6-mingw/SHA256SUMS holds $expected." >&2
    exit 1
  fi
  echo "qt-mingw.sh: unpacking $archive" >&2
  tar -xJf "$archive" -C "$staging" --strip-components=1 qt6-mingw64-static/
}

build_from_source() {
  local work="$prefix.build"
  local apt_dir="$work/apt"
  mkdir -p "$apt_dir/sources" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
  # A private apt folder with one deb-src entry: the system's own lists and cache stay untouched.
  echo "deb-src $source_mirror $source_suite main" >"$apt_dir/sources/qt-source.list"
  local apt=(apt-get -q -o Dir::Etc::SourceList=/dev/null -o "Dir::Etc::SourceParts=$apt_dir/sources"
    -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache" -o Dir::State::status=/dev/null)
  local dsc="${source_package}_${source_version#*:}.dsc"
  if [ ! -f "$work/$dsc" ]; then
    echo "qt-mingw.sh: fetching the source of $source_package $source_version" >&2
    "${apt[@]}" update >&2
    (cd "$work" && "${apt[@]}" source --download-only "$source_package=$source_version" >&2)
  fi
  rm -rf "$work/$source_folder"
  (cd "$work" && dpkg-source -x "$dsc" "$source_folder" >&2)
  for patch in "$recipe"/*.patch; do
    patch -d "$work/$source_folder" -p1 --forward <"$patch" >&2 ||
      fail "$(basename "$patch") does not apply to $source_folder"
  done
  # Qt refuses a toolchain file named qt-toolchain.cmake; this one carries another name.
  cp "$recipe/qt-build-toolchain.cmake" "$work/"
  rm -rf "$work/build"
  cmake -G Ninja -S "$work/$source_folder" -B "$work/build" \
    -DCMAKE_TOOLCHAIN_FILE="$work/qt-build-toolchain.cmake" -DQT_HOST_PATH=/usr \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake -DCMAKE_INSTALL_PREFIX="$staging" \
    "${configure_flags[@]}" >"$work/configure.log" 2>&1 ||
    {
      tail -n 40 "$work/configure.log" >&2
      fail "Qt's configure failed; the whole log is $work/configure.log"
    }
  if $configure_only; then
    echo "qt-mingw.sh: configured in $work/build (log: $work/configure.log); stopping here" >&2
    echo "$work/build"
    exit 0
  fi
  nice -n 10 ninja -C "$work/build" -j2 >&2
  cmake --install "$work/build" >&2
  rm -rf "$work"
}

if [ -n "$archive" ] && ! $configure_only; then
  take_archive
else
  build_from_source
fi
echo "$wanted" >"$staging/.quirn-recipe"
# Another run may have finished the same prefix meanwhile: it is kept.
if ! { [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$wanted" ]; }; then
  rm -rf "$prefix"
  mv "$staging" "$prefix"
fi
echo "$prefix"
