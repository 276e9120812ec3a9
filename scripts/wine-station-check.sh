#!/usr/bin/env bash
# The installed station under Wine, as a technician meets it: the setup program installs
# silently into a fresh Wine folder, the installed quirnradio.exe starts on an X display with
# COM5 mapped to a pseudo-terminal on which the Linux quirn-sim plays a QN510, the loader window
# comes up with its title, and Write then Read on the selected group (pressed with the keyboard,
# as the window's tab order gives them) end in "Program matches the group.", read from the
# window itself through its Ctrl+C report on the clipboard. Then the same in the installed
# station's demo, whose radio switch is quirn-sim.exe on a named pipe.
# Usage: scripts/wine-station-check.sh [WINDOWS_BUILD] [LINUX_BUILD]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=scripts/lib/xvfb.sh
. "$root/scripts/lib/xvfb.sh"
# shellcheck source=scripts/lib/sim-on-com.sh
. "$root/scripts/lib/sim-on-com.sh"
win=$(realpath -m "${1:-$root/build-win}")
linux=$(realpath -m "${2:-$root/build}")
cmake --build "$linux" --target quirn-sim >/dev/null
cmake --build "$win" --target installer >/dev/null
setup=$(ls "$win"/QuirnRadio-*-setup.exe | head -1)
work=$(mktemp -d)
export WINEPREFIX="$work/prefix" WINEDEBUG=-all
simpid= xvfbpid= stationpid=
cleanup() {
  [ -n "$stationpid" ] && kill "$stationpid" 2>/dev/null || true
  [ -n "$simpid" ] && kill "$simpid" 2>/dev/null || true
  wineserver -k </dev/null >/dev/null 2>&1 || true
  [ -n "$xvfbpid" ] && kill "$xvfbpid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "wine station check: $*" >&2
  [ -f "$work/station.err" ] && tail -20 "$work/station.err" >&2
  exit 1
}
step() { echo "wine station check: $*"; }

startXvfb "$work" || fail "Xvfb did not start"
timeout 120 wineboot -i </dev/null >/dev/null 2>&1 || fail "wineboot failed"
wineFonts "$WINEPREFIX" || fail "no fonts in /usr/share/wine/fonts: install fonts-wine"
wineserver -p </dev/null >/dev/null 2>&1 || true
timeout 120 wine "$setup" /S </dev/null >/dev/null 2>&1 || fail "the silent setup failed"
station="$WINEPREFIX/drive_c/Program Files/Quirn Radio/quirnradio.exe"
[ -f "$station" ] || fail "the setup installed no quirnradio.exe"
step "installed $(basename "$setup") ($(stat -c %s "$setup") bytes)"

# The station's folder: the demo agency, the radio on COM 5, a QN510 on the cable.
folder="$WINEPREFIX/drive_c/vorn/quirn3"
mkdir -p "$folder"
cp "$root"/examples/demo/*.csv "$folder/"
printf 'RadioPort,5\r\nCityName,Demo Township\r\n' >"$folder/profile.csv"
printf '[Commo]\r\nPort=5\r\n[Clock]\r\nType=0\r\n' >"$folder/quirnradio.ini"

simOnCom5 "$linux/bin/quirn-sim" QN510 "$work" || fail "quirn-sim did not start"

# What the window shows about the attached switch, as its Ctrl+C puts it on the clipboard.
report() {
  printf 'none' | xclip -selection clipboard -i
  xdotool key --clearmodifiers ctrl+c
  sleep 0.3
  timeout 10 xclip -selection clipboard -o 2>/dev/null || true
}
# Presses the keys and polls the report (0.5 s apart, at most `tries` times) for a pattern.
await() {
  local pattern=$1 tries=$2
  for _ in $(seq "$tries"); do
    report >"$work/report.txt"
    grep -qE "$pattern" "$work/report.txt" && return 0
    sleep 0.5
  done
  return 1
}
# Starts the installed station with the arguments given, waits for its loader window, selects
# the first group, presses Write, then Read, and checks the result the window reports.
writeThenRead() {
  local titled=$1
  shift
  wine "$station" "$@" </dev/null >"$work/station.out" 2>"$work/station.err" &
  stationpid=$!
  window=
  for _ in $(seq 120); do
    window=$(xdotool search --name "^$titled" 2>/dev/null | head -1) && [ -n "$window" ] && break
    sleep 0.5
  done
  [ -n "$window" ] || fail "no window whose title starts '$titled' within 60 s"
  step "the loader window is up: '$(xdotool getwindowname "$window")'"
  xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
  sleep 1
  # Windows names its folders with backslashes, the title too.
  case "$(xdotool getwindowname "$window")" in
  */*) fail "the title names the folder with a slash" ;;
  esac
  # The focus starts in "Groups Available": typing a name goes to its group (Lincoln
  # Elementary,1, the group of the switch on the cable; in the demo the list starts with
  # another) and Space, after the typing pause, selects it; Tab passes the type buttons to
  # Read, then Write.
  xdotool type --delay 50 Lincoln
  sleep 1
  xdotool key space
  sleep 0.5
  xdotool key Tab Tab Tab space
  await 'sent to group' 60 || fail "Write did not end in a sent line: $(cat "$work/report.txt")"
  step "Write: $(grep -m1 'sent to group' "$work/report.txt")"
  # The buttons that send are disabled while the write counts, so the focus went on to
  # "Utilities"; back past Send Time, Manual OFF, Manual ON and Write to Read.
  xdotool key shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab space
  await 'Program (matches|differs)' 60 || fail "Read ended in no result: $(cat "$work/report.txt")"
  # With master groups (the demo) the group's name says which one it is in.
  grep -qE '^Program matches the group\. Compared with Lincoln Elementary,1( \(master group 1\))?\.$' \
    "$work/report.txt" ||
    fail "the read did not match: $(cat "$work/report.txt")"
  step "Read: $(head -1 "$work/report.txt")"
  # The station and whatever it started end with the Wine server.
  wineserver -k </dev/null >/dev/null 2>&1 || true
  wait "$stationpid" 2>/dev/null || true
  stationpid=
}

writeThenRead 'Quirn 4 Loader — c:'
kill "$simpid"
simpid=

# The demo: the station starts its own simulated switches (the radio one on a named pipe) and
# works in a folder of its own.
wineserver -p </dev/null >/dev/null 2>&1 || true
writeThenRead 'Quirn 4 Loader — Demo' --demo
step "the installed station wrote and read a switch on COM5 and in its demo"
