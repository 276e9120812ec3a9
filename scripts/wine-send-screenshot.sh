#!/usr/bin/env bash
# Makes the picture of the send window as Windows draws it (docs/windows-send-programming.png):
# the Windows build's send window test runs under Wine and Xvfb on Qt's windows platform, with
# Wine's fonts, and grabs the real window after a send to quirn-sim switches on loopback (WiFi
# and the M2M client) and its validation.
# Usage: scripts/wine-send-screenshot.sh [WINDOWS_BUILD]
#   QUIRN_XVFB_DISPLAY (":71") names the X display to start; by default Xvfb picks a free one.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=scripts/lib/xvfb.sh
. "$root/scripts/lib/xvfb.sh"
win=$(realpath -m "${1:-$root/build-win}")
test=$win/bin/test_fleetsend_ui.exe
# Bound of the program's run, in seconds.
runLimit=300

fail() {
  echo "wine send screenshot: FAILED: $*" >&2
  exit 1
}
[ -f "$test" ] || fail "build test_fleetsend_ui.exe and quirn-sim.exe in $win first"

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

export QUIRN_QT_PLATFORM=windows
QUIRN_SCREENSHOT_DIR=$(winPath "$work") timeout "$runLimit" wine "$test" \
  --gtest_filter='SendDialogIp.*' >"$work/test.out" 2>&1 ||
  fail "test_fleetsend_ui.exe: $(tail -20 "$work/test.out")"
[ -s "$work/send-programming.png" ] || fail "no picture was made: $(tail -5 "$work/test.out")"
cp "$work/send-programming.png" "$root/docs/windows-send-programming.png"
ls -l "$root/docs/windows-send-programming.png"
