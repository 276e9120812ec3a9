#!/usr/bin/env bash
# The Plans window's calendar tab on Windows, under Wine: in a fresh Wine prefix the tab says
# plainly that the calendar control is not registered (and what to do), then `regsvr32`
# registers vorncal.dll as the setup program does, and the tab hosts the registered control by
# its ProgID in its native window; presses and releases on the control's days reach the group's
# plans through the control's events; the import dialog hosts two of them (before and after) and
# applies its changes as one undoable step; the test takes the registration away and puts it
# back.
# Usage: scripts/wine-plans-calendar-check.sh [WINDOWS_BUILD]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=scripts/lib/xvfb.sh
. "$root/scripts/lib/xvfb.sh"
win=$(realpath -m "${1:-$root/build-win}")
cmake --build "$win" --target vorncal test_plancalendar_ui >/dev/null
dll=$win/bin/vorncal.dll
tests=$win/bin/test_plancalendar_ui.exe

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
  echo "wine plans calendar check: $*" >&2
  exit 1
}
checks=0
pass() {
  checks=$((checks + 1))
  echo "  ok: $*"
}

startXvfb "$work" || fail "Xvfb did not start"
timeout 300 wineboot -i </dev/null >"$work/wineboot.log" 2>&1 || fail "wineboot failed"
wineFonts "$WINEPREFIX"
dllPath=$(winepath -w "$dll" 2>/dev/null)

# runTests NAME FILTER: the tab's tests on the Windows desktop (Qt's windows platform on the X
# display), their output in $work/NAME.log.
runTests() {
  local name=$1 filter=$2
  (cd "$win" && QUIRN_QT_PLATFORM=windows timeout 300 wine "$tests" "--gtest_filter=$filter" \
    </dev/null >"$work/$name.out" 2>&1) || {
    cat "$work/$name.out" >&2
    return 1
  }
  tr -d '\r' <"$work/$name.out" >"$work/$name.log"
}
expectPassedWithoutSkips() {
  local name=$1 count=$2
  grep -q "^\[  PASSED  \] $count test" "$work/$name.log" || {
    cat "$work/$name.log" >&2
    fail "$name: not $count tests passed"
  }
  ! grep -q '^\[  SKIPPED \]' "$work/$name.log" || {
    grep '^\[  SKIPPED \]' "$work/$name.log" >&2
    fail "$name: tests skipped on the Windows desktop"
  }
}

echo "wine plans calendar check: before registration"
# The hosting test refuses to run without the registration the setup program makes.
if runTests unregistered '*ClicksOnTheRegisteredControl*' 2>/dev/null; then
  fail "the hosting test passed with no control registered"
fi
grep -q 'register vorncal.dll first' "$work/unregistered.out" ||
  fail "the hosting test failed for another reason: $(tr -d '\r' <"$work/unregistered.out" | tail -20)"
pass "without the registration the hosting test stops at the registration"

echo "wine plans calendar check: registered with regsvr32"
timeout 120 wine regsvr32 /s "$dllPath" </dev/null >"$work/regsvr32.log" 2>&1 ||
  fail "regsvr32 $dllPath failed: $(cat "$work/regsvr32.log")"
runTests registered '*ClicksOnTheRegisteredControl*:*ImportCalendarDialogWin32*' ||
  fail "the tab's tests failed on the Windows desktop"
expectPassedWithoutSkips registered 2
pass "the tab hosts the registered control; clicks and a press-and-release edit the group"
pass "the import dialog hosts two controls (before and after) and applies as one undoable step"
# Last, as it takes the registration away (and puts it back through the module's own entry).
runTests unregistering '*AnUnregisteredControl*' || fail "the unregistered control's test failed"
expectPassedWithoutSkips unregistering 1
pass "an unregistered control is named with what to do"
timeout 60 wine reg query 'HKCR\VORNCALENDARIII.VornCalendarIIICtrl.1\CLSID' </dev/null \
  >/dev/null 2>&1 || fail "the test did not put the registration back"
pass "the registration is back"
echo "wine plans calendar check: $checks checks passed"
