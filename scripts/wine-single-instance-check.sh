#!/usr/bin/env bash
# Under Wine and Xvfb: quirnradio.exe works in c:\vorn\quirn3\ and says so in its title; a second
# copy started while the first runs brings the first's window to the front, leaves no window of
# its own and ends at once, and the first keeps running.
# Usage: scripts/wine-single-instance-check.sh [WINDOWS_BUILD]
#   QUIRN_XVFB_DISPLAY (":71") names the X display to start; by default Xvfb picks a free one.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=scripts/lib/xvfb.sh
. "$root/scripts/lib/xvfb.sh"
win=$(realpath -m "${1:-$root/build-win}")
exe=$win/bin/quirnradio.exe
probe=$win/bin/window-probe.exe
title="Quirn 4 Loader"
probeTitle="Window Probe In Front"
# Bounds of every wait, in seconds.
startLimit=60
handOverLimit=10

fail() {
  echo "wine single-instance check: FAILED: $*" >&2
  exit 1
}
[ -f "$exe" ] && [ -f "$probe" ] || fail "build quirnradio.exe and window-probe.exe in $win first"

work=$(mktemp -d)
xvfbpid=
cleanup() {
  wineserver -k </dev/null >/dev/null 2>&1 || true
  [ -n "$xvfbpid" ] && kill "$xvfbpid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

startXvfb "$work" || fail "Xvfb did not start"

# A Wine folder of its own, and a station folder made anew by the first copy.
export WINEPREFIX="$win/wine-single-instance" WINEDEBUG=-all
if [ ! -d "$WINEPREFIX/drive_c" ]; then
  timeout 300 wineboot -i </dev/null >"$work/wineboot.log" 2>&1 || fail "wineboot: $(cat "$work/wineboot.log")"
fi
rm -rf "$WINEPREFIX/drive_c/vorn"
wineserver -p </dev/null >/dev/null 2>&1 || true

foreground() { timeout 30 wine "$probe" foreground | tr -d '\r'; }
# Waits until the window in front carries a title beginning with $1; false after the limit.
waitForeground() {
  local deadline=$((SECONDS + handOverLimit))
  while [ $SECONDS -le $deadline ]; do
    case "$(foreground)" in "$1"*) return 0 ;; esac
    sleep 0.2
  done
  return 1
}

timeout 300 wine "$exe" >"$work/first.out" 2>&1 &
firstpid=$!
shown=$(timeout $((startLimit + 10)) wine "$probe" wait "$title" "$startLimit" | tr -d '\r') ||
  fail "the first copy showed no window titled \"$title...\": $(cat "$work/first.out")"
# The station works in the system's own folder, and its title says which.
[ "$shown" = "$title — c:\\vorn\\quirn3\\" ] || fail "the window is titled \"$shown\""
for folder in LogFiles verify pages Archive; do
  [ -d "$WINEPREFIX/drive_c/vorn/quirn3/$folder" ] || fail "the first copy made no c:\\vorn\\quirn3\\$folder"
done

# Another program's window takes the front, as when the technician works in another program.
timeout $((startLimit + 60)) wine "$probe" hold "$probeTitle" 60 >/dev/null &
waitForeground "$probeTitle" || fail "the probe's window did not come to the front: $(foreground)"

start=$SECONDS
timeout "$startLimit" wine "$exe" >"$work/second.out" 2>&1 ||
  fail "the second copy did not end by itself with success: $(cat "$work/second.out")"
took=$((SECONDS - start))
waitForeground "$title" || fail "after the second start \"$(foreground)\" is in front, not the first copy's window"
count=$(timeout 30 wine "$probe" count "$title" | tr -d '\r')
[ "$count" = 1 ] || fail "$count windows titled \"$title...\" after the second start"
kill -0 "$firstpid" 2>/dev/null || fail "the first copy ended: $(cat "$work/first.out")"
echo "wine single-instance check: the second copy ended after ${took} s and brought the first's window to the front"
