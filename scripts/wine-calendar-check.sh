#!/usr/bin/env bash
# The calendar control under Wine, end to end: in a fresh Wine prefix `regsvr32` registers
# vorncal.dll and the registry holds every key and value of the control, its property page and
# its type library; vorncal-view.exe hosts the control by ProgID through Wine's ATL host, pushes
# marks through IDispatch and prints the events of synthesized clicks; its picture shows the
# marks in the same day cells as the Linux build's rendering of the same marks; `regsvr32 /u`
# leaves none of the keys.
# Usage: scripts/wine-calendar-check.sh [WINDOWS_BUILD] [LINUX_BUILD]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=scripts/lib/xvfb.sh
. "$root/scripts/lib/xvfb.sh"
win=$(realpath -m "${1:-$root/build-win}")
linux=$(realpath -m "${2:-$root/build}")
# The Linux rendering needs the Qt control: a Linux build without Qt gets a calendar-only
# build of its own beside the Windows one.
if [ -f "$linux/CMakeCache.txt" ] && grep -q '^QUIRN_WITH_QT:BOOL=OFF' "$linux/CMakeCache.txt"; then
  linux=$win/linux-calendar
fi
if [ ! -f "$linux/build.ninja" ]; then
  launchers=()
  if command -v ccache >/dev/null; then
    launchers=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  fi
  cmake -S "$root" -B "$linux" -G Ninja "-DQUIRN_FOLDERS=platform;plans;calendar" \
    "${launchers[@]}" >/dev/null
fi
cmake --build "$linux" --target vorncal vorncal-view vorncal-compare >/dev/null
cmake --build "$win" --target vorncal vorncal-view test_calendar_activex >/dev/null
dll=$win/bin/vorncal.dll
view=$win/bin/vorncal-view.exe

work=$(mktemp -d)
xvfbpid=
export WINEPREFIX="$work/wine-prefix" WINEDEBUG=-all
cleanup() {
  timeout 30 wineserver -k </dev/null >/dev/null 2>&1 || true
  if [ -n "$xvfbpid" ]; then kill "$xvfbpid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "wine calendar check: $*" >&2
  exit 1
}
checks=0
pass() {
  checks=$((checks + 1))
  echo "  ok: $*"
}

# An X server of our own for the control's window.
startXvfb "$work" || fail "Xvfb did not start"
timeout 300 wineboot -i </dev/null >"$work/wineboot.log" 2>&1 || fail "wineboot failed"

clsid="{6814BF2C-B1DC-490D-80CF-AF25DB94DB4B}"
pageClsid="{5CE2601E-0E12-4C9E-8E65-C4653B8EF5D0}"
libid="{69151BFD-36E5-469B-8961-731EC8E66F52}"
dispatchIid="{A5568A8D-18BA-4D7C-8AE9-850907C0AA80}"
eventsIid="{929FE270-5928-419B-8500-73052C3D51B0}"
control=VORNCALENDARIII.VornCalendarIIICtrl.1
page=VORNCALENDARIII.VornCalendarIIIPropPage.1
dllPath=$(winepath -w "$dll" 2>/dev/null)

# A value of the registry as `reg query` prints it ("" names the default value); nothing when
# the key or the value is missing.
regValue() {
  local key=$1 name=$2 out
  if [ -z "$name" ]; then
    out=$(timeout 60 wine reg query "$key" /ve 2>/dev/null) || return 0
  else
    out=$(timeout 60 wine reg query "$key" /v "$name" 2>/dev/null) || return 0
  fi
  printf '%s\n' "$out" | tr -d '\r' | awk '/REG_SZ/ { sub(/^.*REG_SZ[ \t]+/, ""); print; exit }'
}
keyExists() {
  timeout 60 wine reg query "$1" </dev/null >/dev/null 2>&1
}
expectValue() {
  local key=$1 name=$2 want=$3 got
  got=$(regValue "$key" "$name")
  [ "$got" = "$want" ] || fail "registry: $key ${name:-(default)} is '$got', not '$want'"
  pass "$key ${name:-(default)} = $want"
}
expectKey() {
  keyExists "$1" || fail "registry: no key $1"
  pass "key $1"
}

echo "wine calendar check: registration"
timeout 120 wine regsvr32 /s "$dllPath" </dev/null >"$work/regsvr32.log" 2>&1 ||
  fail "regsvr32 $dllPath failed: $(cat "$work/regsvr32.log")"
classKey="HKCR\\CLSID\\$clsid"
pageKey="HKCR\\CLSID\\$pageClsid"
expectValue "HKCR\\$control" "" "VornCalendarIII Control"
expectValue "HKCR\\$control\\CLSID" "" "$clsid"
expectKey "HKCR\\$control\\Insertable"
expectValue "HKCR\\$page\\CLSID" "" "$pageClsid"
expectValue "$classKey" "" "VornCalendarIII Control"
expectValue "$classKey\\InprocServer32" "" "$dllPath"
expectValue "$classKey\\InprocServer32" ThreadingModel Apartment
expectKey "$classKey\\Control"
expectKey "$classKey\\Insertable"
expectValue "$classKey\\MiscStatus\\1" "" 131473
expectValue "$classKey\\ProgID" "" "$control"
expectValue "$classKey\\TypeLib" "" "$libid"
expectValue "$classKey\\Version" "" "1.0"
expectValue "$pageKey\\InprocServer32" "" "$dllPath"
expectValue "$pageKey\\InprocServer32" ThreadingModel Apartment
expectValue "$pageKey\\ProgID" "" "$page"
expectValue "HKCR\\TypeLib\\$libid\\1.0" "" "VornCalendarIII Control module"
expectValue "HKCR\\TypeLib\\$libid\\1.0\\0\\win64" "" "$dllPath"
expectValue "HKCR\\Interface\\$dispatchIid\\TypeLib" "" "$libid"
expectValue "HKCR\\Interface\\$eventsIid\\TypeLib" "" "$libid"

# Marks around today: a day plan in five days (the active plan), a holiday, a vacation, a
# picked day, and a mark of another group that must not show.
day() { date -d "${1} days" +%Y,%-m,%-d; }
iso() { date -d "${1} days" +%Y-%m-%d; }
folder=$work/folder
mkdir -p "$folder"
{
  printf 'DayPlan,1,1,7,%s\r\n' "$(day 5)"
  printf 'DayPlan,1,1,100,%s\r\n' "$(day 40)"
  printf 'VacationPlan,1,1,%s,%s\r\n' "$(day 70)" "$(day 74)"
  printf 'DayPlan,1,1,-1,%s\r\n' "$(day 100)"
  printf 'DayPlan,1,1,12,%s\r\n' "$(day 130)"
  printf 'DayPlan,2,1,9,%s\r\n' "$(day 20)"
} >"$folder/dayplan.csv"
winFolder="$(winepath -w "$folder")\\"
size=720x840
future=$(iso 5)
today=$(date +%Y-%m-%d)
thisMonth=$(date +%Y-%m)
clicks=(--keys 4 --click-date "$future" --click-heading "$thisMonth")
# A day before today, when this month has one.
if [ "$(date +%-d)" != 1 ]; then
  clicks+=(--click-date "$(date +%Y-%m-01)")
fi
# Today fires too (the click's key flags are the same for every click of a run).
clicks+=(--click-date "$today")

echo "wine calendar check: hosting, events and picture"
timeout 120 wine "$view" --root "$winFolder" --group 1,1 --active 7 --size "$size" "${clicks[@]}" \
  --picture "$(winepath -w "$work")\\windows.ppm" </dev/null >"$work/windows.out" \
  2>"$work/windows.err" || fail "vorncal-view.exe failed: $(cat "$work/windows.err")"
tr -d '\r' <"$work/windows.out" >"$work/windows.events"
printf 'NewFocusTime %s ctrl=0x0005\nNewLiftTime %s\nNewFocusTime %s ctrl=0x0005\nNewLiftTime %s\n' \
  "$future" "$future" "$today" "$today" >"$work/expected.events"
diff -u "$work/expected.events" "$work/windows.events" >&2 ||
  fail "the events of the clicks differ from the expected ones (above)"
pass "a future day and today fire NewFocusTime with Shift and the left button, then NewLiftTime"
pass "the heading row and a past day fire nothing"

QT_QPA_PLATFORM=offscreen timeout 120 "$linux/bin/vorncal-view" --root "$folder/" --group 1,1 \
  --active 7 --size "$size" "${clicks[@]}" --picture "$work/linux.ppm" </dev/null \
  >"$work/linux.out" 2>"$work/linux.err" || fail "vorncal-view failed: $(cat "$work/linux.err")"
diff -u "$work/windows.events" "$work/linux.out" >&2 ||
  fail "the two builds print different events for the same clicks (above)"
pass "the Linux build prints the same events for the same clicks"

fontX() { sed -n 's/.*picture .* X=\([0-9]*x[0-9]*\).*/\1/p' "$1" | tr -d '\r' | head -1; }
winX=$(fontX "$work/windows.err")
linuxX=$(fontX "$work/linux.err")
if [ -z "$winX" ] || [ -z "$linuxX" ]; then fail "a host printed no picture line"; fi
"$linux/bin/vorncal-compare" "$work/windows.ppm" "$winX" "$work/linux.ppm" "$linuxX" \
  >"$work/compare.out" || {
  cat "$work/compare.out" >&2
  fail "the Windows picture's marks differ from the Linux rendering's"
}
# Five marks of group 1 (the vacation gives two cells) and none of group 2.
marked=$(sed -n 's/^\([0-9]*\) marked day cells.*/\1/p' "$work/compare.out")
[ "$marked" = 6 ] || {
  cat "$work/compare.out" >&2
  fail "the pictures show $marked marked cells, not 6"
}
grep -q "^$future: inverted in both" "$work/compare.out" ||
  fail "the active plan's day $future is not inverted in both pictures"
pass "both pictures show the same 6 marked cells ($(tr '\n' ';' <"$work/compare.out"))"

echo "wine calendar check: unregistration"
timeout 120 wine regsvr32 /u /s "$dllPath" </dev/null >"$work/regsvr32u.log" 2>&1 ||
  fail "regsvr32 /u failed: $(cat "$work/regsvr32u.log")"
for key in "HKCR\\$control" "HKCR\\$page" "$classKey" "$pageKey" "HKCR\\TypeLib\\$libid" \
  "HKCR\\Interface\\$dispatchIid" "HKCR\\Interface\\$eventsIid"; do
  ! keyExists "$key" || fail "regsvr32 /u left $key"
  pass "gone: $key"
done

# The host registers and unregisters the module through its own entry points too.
timeout 120 wine "$view" --register --library "$dllPath" </dev/null >"$work/register.out" 2>&1 ||
  fail "vorncal-view.exe --register failed: $(cat "$work/register.out")"
expectValue "$classKey\\InprocServer32" "" "$dllPath"
timeout 120 wine "$view" --unregister --library "$dllPath" </dev/null >"$work/unregister.out" 2>&1 ||
  fail "vorncal-view.exe --unregister failed: $(cat "$work/unregister.out")"
! keyExists "$classKey" || fail "vorncal-view.exe --unregister left $classKey"
pass "vorncal-view.exe --register and --unregister"

# The control's GoogleTest program, here where it has windows (under CTest without a display
# its hosting tests skip themselves). It registers and unregisters the module itself.
echo "wine calendar check: the control's tests"
(cd "$win" && timeout 300 wine "$win/bin/test_calendar_activex.exe" </dev/null \
  >"$work/gtest.out" 2>&1) || {
  cat "$work/gtest.out" >&2
  fail "test_calendar_activex.exe failed"
}
tr -d '\r' <"$work/gtest.out" | grep -q '^\[  PASSED  \]' || fail "test_calendar_activex.exe passed nothing"
! grep -q 'SKIPPED' "$work/gtest.out" || {
  grep 'SKIPPED' "$work/gtest.out" >&2
  fail "test_calendar_activex.exe skipped tests under the display"
}
pass "test_calendar_activex.exe: $(tr -d '\r' <"$work/gtest.out" | grep '^\[  PASSED  \]')"
! keyExists "$classKey" || fail "the tests left $classKey"
echo "wine calendar check: $checks checks passed"
