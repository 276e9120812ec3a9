#!/usr/bin/env bash
# Makes the static SQLite 3.40.1 that the Windows build's read history links against, into a
# cache folder, and prints the folder (the prefix: lib/libsqlite3.a and include/sqlite3.h) on
# stdout. The source is Debian's own package, with Debian's patches, the same version as the
# libsqlite3-dev the Linux build uses; it is turned into the single-file amalgamation natively
# (tclsh) and that file is compiled with MinGW-w64.
# Usage: scripts/sqlite-mingw.sh [CACHE_DIR]
#   CACHE_DIR defaults to ${QUIRN_CACHE:-$HOME/.cache/quirn}/sqlite-mingw64-static.
# A prefix already made by the same recipe is taken as it is (a stamp file records the recipe).
set -euo pipefail
prefix=$(realpath -m "${1:-${QUIRN_CACHE:-$HOME/.cache/quirn}/sqlite-mingw64-static}")

# The Debian source package the prefix is made from; pinned, so that every cache holds the same
# SQLite.
source_package=sqlite3
source_version=3.40.1-2+deb12u2
source_suite=bookworm
source_mirror=http://deb.debian.org/debian
# Thread-safe (the history's worker and the window's reader use separate connections) and no
# run-time extension loading (nothing the station needs; one less way in).
compile_flags=(-O2 -DSQLITE_THREADSAFE=1 -DSQLITE_OMIT_LOAD_EXTENSION)
compiler=x86_64-w64-mingw32-gcc-posix
archiver=x86_64-w64-mingw32-ar

fail() {
  echo "sqlite-mingw.sh: $*" >&2
  exit 1
}

recipe_id() {
  {
    echo "$source_package $source_version $compiler"
    printf '%s\n' "${compile_flags[@]}"
  } | sha256sum | cut -d' ' -f1
}
stamp="$prefix/.quirn-recipe"
wanted=$(recipe_id)
if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$wanted" ]; then
  echo "$prefix"
  exit 0
fi

command -v "$compiler" >/dev/null || fail "needs gcc-mingw-w64-x86-64-posix"
command -v tclsh >/dev/null || fail "needs tcl (the amalgamation is generated with tclsh)"
command -v dpkg-source >/dev/null || fail "needs dpkg-dev (to unpack the source package)"

# The new prefix is made beside the old one and takes its place whole, so an interrupted run
# never leaves a half-made prefix behind a valid stamp.
mkdir -p "$(dirname "$prefix")"
staging=$(mktemp -d "$prefix.new.XXXXXX")
trap 'rm -rf "$staging"' EXIT

work="$prefix.build"
apt_dir="$work/apt"
mkdir -p "$apt_dir/sources" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
# A private apt folder with one deb-src entry: the system's own lists and cache stay untouched.
echo "deb-src $source_mirror $source_suite main" >"$apt_dir/sources/sqlite-source.list"
apt=(apt-get -q -o Dir::Etc::SourceList=/dev/null -o "Dir::Etc::SourceParts=$apt_dir/sources"
  -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache" -o Dir::State::status=/dev/null)
dsc="${source_package}_${source_version}.dsc"
if [ ! -f "$work/$dsc" ]; then
  echo "sqlite-mingw.sh: fetching the source of $source_package $source_version" >&2
  "${apt[@]}" update >&2
  (cd "$work" && "${apt[@]}" source --download-only "$source_package=$source_version" >&2) ||
    fail "apt could not fetch $source_package $source_version"
fi
[ -f "$work/$dsc" ] || fail "the source $dsc did not arrive"
# dpkg-source checks every file against the checksums the .dsc names and applies the patches.
rm -rf "$work/src"
dpkg-source --no-check -x "$work/$dsc" "$work/src" >"$work/unpack.log" 2>&1 || {
  tail -n 20 "$work/unpack.log" >&2
  fail "the source package did not unpack; the whole log is $work/unpack.log"
}

rm -rf "$work/amalgamation"
mkdir -p "$work/amalgamation"
(cd "$work/amalgamation" && "$work/src/configure" --disable-tcl >"$work/configure.log" 2>&1) || {
  tail -n 40 "$work/configure.log" >&2
  fail "SQLite's configure failed; the whole log is $work/configure.log"
}
make -C "$work/amalgamation" sqlite3.c >"$work/amalgamation.log" 2>&1 || {
  tail -n 40 "$work/amalgamation.log" >&2
  fail "the amalgamation was not made; the whole log is $work/amalgamation.log"
}
"$compiler" "${compile_flags[@]}" -c "$work/amalgamation/sqlite3.c" -o "$work/sqlite3.o" \
  >"$work/compile.log" 2>&1 || {
  tail -n 40 "$work/compile.log" >&2
  fail "sqlite3.c did not compile; the whole log is $work/compile.log"
}
mkdir -p "$staging/lib" "$staging/include"
"$archiver" rcs "$staging/lib/libsqlite3.a" "$work/sqlite3.o"
cp "$work/amalgamation/sqlite3.h" "$staging/include/"
echo "$wanted" >"$staging/.quirn-recipe"
rm -rf "$prefix"
mv "$staging" "$prefix"
trap - EXIT
echo "$prefix"
