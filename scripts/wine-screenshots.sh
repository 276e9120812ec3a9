#!/usr/bin/env bash
# Makes the pictures of the windows as Windows draws them (docs/windows-loader.png,
# docs/windows-utilities.png, docs/windows-demo.png, docs/windows-help.png,
# docs/windows-timetest.png, docs/windows-plans-groups.png, docs/windows-plans-dayplans.png,
# docs/windows-send-programming.png): the Windows build's screenshot, time-testing and send window
# programs run under
# Wine and Xvfb on Qt's windows platform, with the windows style and Wine's fonts, and grab the
# real windows after real work on a simulated time switch (as scripts/screenshots.sh does on Linux).
# Usage: scripts/wine-screenshots.sh [WINDOWS_BUILD]
#   QUIRN_XVFB_DISPLAY (":71") names the X display to start; by default Xvfb picks a free one.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=scripts/lib/xvfb.sh
. "$root/scripts/lib/xvfb.sh"
win=$(realpath -m "${1:-$root/build-win}")
shots=$win/bin/make_screenshots.exe
timetest=$win/bin/test_testing_ui.exe
send=$win/bin/test_fleetsend_ui.exe
# Bound of each program's run, in seconds.
runLimit=300

fail() {
  echo "wine screenshots: FAILED: $*" >&2
  exit 1
}
[ -f "$shots" ] && [ -f "$timetest" ] && [ -f "$send" ] ||
  fail "build make_screenshots.exe, test_testing_ui.exe and test_fleetsend_ui.exe in $win first"

work=$(mktemp -d)
xvfbpid=
cleanup() {
  wineserver -k </dev/null >/dev/null 2>&1 || true
  [ -n "$xvfbpid" ] && kill "$xvfbpid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

startXvfb "$work" || fail "Xvfb did not start"

export WINEPREFIX="$win/wine-screenshots" WINEDEBUG=-all
if [ ! -d "$WINEPREFIX/drive_c" ]; then
  timeout 300 wineboot -i </dev/null >"$work/wineboot.log" 2>&1 || fail "wineboot: $(cat "$work/wineboot.log")"
fi
wineFonts "$WINEPREFIX" || fail "no fonts in /usr/share/wine/fonts: install fonts-wine"
wineserver -p </dev/null >/dev/null 2>&1 || true
# The folder as Wine's Z: drive names it.
winPath() { echo "Z:${1//\//\\}"; }

# The test programs draw on the platform QUIRN_QT_PLATFORM names (Wine passes no QT_* variable).
export QUIRN_QT_PLATFORM=windows
QUIRN_SCREENSHOT_DIR=$(winPath "$work") timeout "$runLimit" wine "$shots" >"$work/shots.out" 2>&1 ||
  fail "make_screenshots.exe: $(tail -20 "$work/shots.out")"
QUIRN_TIMETEST_SCREENSHOT=$(winPath "$work/timetest.png") timeout "$runLimit" wine "$timetest" \
  --gtest_filter=TimeTestWindowTest.TheWindowDrawsARunningTest >"$work/timetest.out" 2>&1 ||
  fail "test_testing_ui.exe: $(tail -20 "$work/timetest.out")"
# The send window after a send to quirn-sim switches on loopback and its validation.
QUIRN_SCREENSHOT_DIR=$(winPath "$work") timeout "$runLimit" wine "$send" \
  --gtest_filter='SendDialogIp.*' >"$work/send.out" 2>&1 ||
  fail "test_fleetsend_ui.exe: $(tail -20 "$work/send.out")"

for name in loader utilities demo help timetest plans-groups plans-dayplans send-programming; do
  [ -s "$work/$name.png" ] || fail "no $name.png was made: $(tail -5 "$work/shots.out")"
  cp "$work/$name.png" "$root/docs/windows-$name.png"
done
ls -l "$root"/docs/windows-*.png
