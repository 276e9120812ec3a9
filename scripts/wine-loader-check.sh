#!/usr/bin/env bash
# End to end under Wine: quirnctl.exe writes and reads a time switch through COM5, which Wine
# maps to a pseudo-terminal on which the Linux quirn-sim plays the switch, for every attached
# type; and its byte outputs equal the Linux build's over the demo folder.
# Usage: scripts/wine-loader-check.sh [WINDOWS_BUILD] [LINUX_BUILD]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=scripts/lib/sim-on-com.sh
. "$root/scripts/lib/sim-on-com.sh"
win=$(realpath -m "${1:-$root/build-win}")
linux=$(realpath -m "${2:-$root/build}")
if [ ! -f "$linux/build.ninja" ]; then
  cmake -S "$root" -B "$linux" -G Ninja -DQUIRN_WITH_QT=OFF >/dev/null
fi
cmake --build "$linux" --target quirn-sim quirnctl >/dev/null
sim=$linux/bin/quirn-sim
ctl=$win/bin/quirnctl.exe
export WINEPREFIX="$win/wine-prefix" WINEDEBUG=-all
work=$(mktemp -d)
simpid=
cleanup() {
  [ -n "$simpid" ] && kill "$simpid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "wine loader check: $*" >&2
  exit 1
}
# The folder as Wine's Z: drive names it.
winPath() { echo "Z:${1//\//\\}\\"; }
now="2026-12-07 10:30:00"

# A generated folder beside the demo: three master groups of four groups of three locations,
# each group with a plan of its own.
generated=$work/generated
mkdir -p "$generated"
for mg in 1 2 3; do
  for g in 1 2 3 4; do
    printf 'Group,%d,Generated %d-%d,%d\r\n' "$mg" "$mg" "$g" "$g" >>"$generated/groups.csv"
    for l in 1 2 3; do
      printf 'Location,%d,%d,School,Street %d-%d-%d,%d,127.0.0.2,%d\r\n' \
        "$g" "$mg" "$mg" "$g" "$l" "$l" $(((mg + g + l) % 2)) >>"$generated/locations.csv"
    done
    on=$((400 + 17 * g + 5 * mg))
    printf 'Step,%d,%d,%d,1,1\r\nStep,%d,%d,%d,1,0\r\n' "$mg" "$g" "$on" "$mg" "$g" $((on + 75)) \
      >>"$generated/steps.csv"
  done
done
: >"$generated/dayplan.csv"

# Byte outputs: the same command over the same folder gives the same bytes on both systems.
compared=0
compare() {
  local folder=$1
  shift
  "$linux/bin/quirnctl" --root "$folder/" --now "$now" "$@" >"$work/linux.out" ||
    fail "'$*' over $folder failed on Linux"
  [ -s "$work/linux.out" ] || fail "'$*' over $folder printed nothing"
  # Now and then Wine loses its server connection under a program ("wine client error"): a run
  # that fails is tried once more, as windows.sh does with the tests; a real fault fails twice.
  local tries=0
  until timeout 60 wine "$ctl" --root "$(winPath "$folder")" --now "$now" "$@" >"$work/windows.out"; do
    tries=$((tries + 1))
    [ "$tries" -lt 2 ] || fail "'$*' over $folder failed under Wine (twice)"
  done
  cmp -s "$work/linux.out" "$work/windows.out" || fail "'$*' over $folder differs between the builds"
  compared=$((compared + 1))
}
for command in "program 1 1 1" "program 1 2 1" "image 1 1 2" "group-program 1 1" \
  "message time-all" "message override 1 1" "message query 1 2 1" "message page-all"; do
  # shellcheck disable=SC2086
  compare "$root/examples/demo" $command
done
for command in "program 1 1 1" "program 2 3 2" "program 3 4 3" "image 2 2 1" "image 3 1 3" \
  "group-program 2 4" "message override 3 2" "message default-week 2 3 1"; do
  # shellcheck disable=SC2086
  compare "$generated" $command
done
echo "wine loader check: $compared byte outputs equal the Linux build's"

for attached in "0 QN510" "1 MX40" "2 LR40" "3 LR40"; do
  read -r type model <<<"$attached"
  rm -rf "$work/folder"
  cp -r "$root/examples/demo" "$work/folder"
  simOnCom5 "$sim" "$model" "$work" || fail "quirn-sim did not start"
  # The port just mapped is among those the tool offers.
  timeout 60 wine "$ctl" ports >"$work/ports.out" || fail "quirnctl.exe ports failed"
  grep -qxF '\\.\COM5' "$work/ports.out" || fail "COM5 is not among the ports: $(cat "$work/ports.out")"
  job() { timeout 180 wine "$ctl" --root "$(winPath "$work/folder")" loader --port COM5 \
    --type "$type" "$@" >"$work/job.out" 2>"$work/job.err"; }
  job write 1 1 || fail "type $type: write failed: $(cat "$work/job.err")"
  job read 1 1 || fail "type $type: the read after the write did not match: $(tail -3 "$work/job.out")"
  grep -q "Program matches the group." "$work/job.out" || fail "type $type: no match reported"
  # The plan moves away from what the switch holds.
  printf 'Step,1,1,600,1,1\r\nStep,1,1,640,1,0\r\n' >>"$work/folder/steps.csv"
  if job read 1 1; then fail "type $type: a changed plan still matched"; fi
  grep -q "Program differs from the group." "$work/job.out" || fail "type $type: no difference reported"
  kill "$simpid"
  wait "$simpid" 2>/dev/null || true
  simpid=
  echo "wine loader check: type $type ($model) on COM5: listed, write, read matches, changed plan differs"
done
