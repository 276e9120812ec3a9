#!/usr/bin/env bash
# Cross-builds the Windows programs, the windows and the tests with MinGW-w64, a static Qt
# (scripts/qt-mingw.sh), a static libical (scripts/libical-mingw.sh) and a static SQLite
# (scripts/sqlite-mingw.sh), checks that the
# programs need no DLL beside them (scripts/windows-imports-check.sh), runs the tests through
# CTest under Wine (the window tests on Qt's offscreen platform), then the loader end to end
# over a Wine COM port (scripts/wine-loader-check.sh), the single-instance hand-over between
# two copies of quirnradio.exe (scripts/wine-single-instance-check.sh), the calendar control
# registered and hosted (scripts/wine-calendar-check.sh), the Plans window's calendar tab and
# the import dialog hosting it (scripts/wine-plans-calendar-check.sh), the setup program
# installed and uninstalled (scripts/wine-installer-check.sh), and the installed station
# writing and reading a switch through its window (scripts/wine-station-check.sh).
# Usage: scripts/windows.sh [BUILD_DIR] [LINUX_BUILD_DIR]
#   QUIRN_QT_MINGW_ARCHIVE and QUIRN_CACHE: see scripts/qt-mingw.sh.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh" --windows
# Wine takes only an absolute prefix, so the folders are made absolute whatever was given.
build=$(realpath -m "${1:-$root/build-win}")
linux=$(realpath -m "${2:-$root/build}")
qt=$("$root/scripts/qt-mingw.sh")
libical=$("$root/scripts/libical-mingw.sh")
sqlite=$("$root/scripts/sqlite-mingw.sh")
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
  -DQUIRN_QT_MINGW_PREFIX="$qt" -DQUIRN_LIBICAL_PREFIX="$libical" \
  -DQUIRN_SQLITE_PREFIX="$sqlite" \
  "-DQUIRN_FOLDERS=platform;plans;planedit;protocol;ops;comms;loader;testing;sim;calendar;schoolyear;plancalendar;fleethealth;validationrun;fleetsend;app;tools" >/dev/null
cmake --build "$build"
"$root/scripts/windows-imports-check.sh" "$build"

# Wine gets a folder of its own, made before the tests; its first boot and its server (kept
# running between the test programs) are started with their output detached, or CTest would
# wait on the pipes they inherit.
export WINEPREFIX="$build/wine-prefix" WINEDEBUG=-all
wineboot -i </dev/null >"$build/wineboot.log" 2>&1 || {
  echo "windows.sh: wineboot failed:" >&2
  cat "$build/wineboot.log" >&2
  exit 1
}
wineserver -p </dev/null >/dev/null 2>&1 || true
finish() {
  wineserver -k </dev/null >/dev/null 2>&1 || true
  echo "windows.sh: the Windows step took $((SECONDS / 60)) min $((SECONDS % 60)) s"
}
trap finish EXIT
# Now and then Wine fails to start a program or loses what it wrote (a test failing in no time,
# or a quirnctl.exe run that printed nothing). A failed test is run again, up to three times in
# all: a real fault fails every time, and the log keeps each failure. The slowest test takes
# some 20 s under Wine; a program that hangs is stopped after two minutes.
# The window tests choose the offscreen platform themselves; Wine hands no QT_* variable to a
# Windows program, but strips WINE from WINEQT_*, so their fonts are named that way.
(cd "$build" && WINEQT_QPA_FONTDIR='Z:\usr\share\fonts\truetype\dejavu' \
  ctest --output-on-failure -j2 --timeout 120 --repeat until-pass:3)
"$root/scripts/wine-loader-check.sh" "$build" "$linux"
"$root/scripts/wine-single-instance-check.sh" "$build"
"$root/scripts/wine-calendar-check.sh" "$build" "$linux"
"$root/scripts/wine-plans-calendar-check.sh" "$build"
"$root/scripts/wine-installer-check.sh" "$build"
"$root/scripts/wine-station-check.sh" "$build" "$linux"
