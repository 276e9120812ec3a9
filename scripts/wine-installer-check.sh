#!/usr/bin/env bash
# The Windows setup program under Wine, in a fresh Wine folder of its own: a silent install
# (into the default folder, then again into one given with /D=) puts every file, the Start-menu
# shortcuts, the uninstall entry and (when the setup carries the calendar control) the control's
# keys in place, and the installed programs run; a silent uninstall then leaves none of them,
# and the technician's working folder c:\vorn\quirn3\ is left as it was.
# Usage: scripts/wine-installer-check.sh [WINDOWS_BUILD]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
win=$(realpath -m "${1:-$root/build-win}")
cmake --build "$win" --target installer >/dev/null
setups=("$win"/QuirnRadio-*-setup.exe)
if [ ${#setups[@]} -ne 1 ] || [ ! -f "${setups[0]}" ]; then
  echo "wine installer check: no single setup program in $win" >&2
  exit 1
fi
setup=${setups[0]}
listed="$win/packaging/windows/installed-files.txt"
check=$win/installer-check
export WINEPREFIX="$check/prefix" WINEDEBUG=-all
fail() {
  echo "wine installer check: $*" >&2
  exit 1
}
cleanup() { wineserver -k </dev/null >/dev/null 2>&1 || true; }
trap cleanup EXIT

# A Wine folder that has never seen the setup.
rm -rf "$check"
mkdir -p "$check"
timeout 300 wineboot -i </dev/null >"$check/wineboot.log" 2>&1 || fail "wineboot failed: $(tail -5 "$check/wineboot.log")"
wineserver -p </dev/null >/dev/null 2>&1 || true
drive=$WINEPREFIX/drive_c
menu="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/Quirn Radio"
uninstallKey='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\QuirnRadio'
controlProgId='VORNCALENDARIII.VornCalendarIIICtrl.1'
pageProgId='VORNCALENDARIII.VornCalendarIIIPropPage.1'

# The technician's working folder, there before the setup ran; it must come through untouched.
technician="$drive/vorn/quirn3"
mkdir -p "$technician"
printf 'RadioPort,3\r\n' >"$technician/profile.csv"

mapfile -t files < <(tr -d '\r' <"$listed")
[ ${#files[@]} -gt 0 ] || fail "no installed files listed in $listed"
hasFile() {
  local f
  for f in "${files[@]}"; do [ "$f" = "$1" ] && return 0; done
  return 1
}
# The paths a shortcut holds, in its narrow and its wide strings. (Texts are taken whole before
# they are searched, so that no early end of a reader fails a pipeline.)
shortcutText() { { strings -a "$1" && strings -a -el "$1"; } 2>/dev/null || true; }
holds() { grep -qiF -- "$2" <<<"$1"; }
unixPath() { echo "$drive/${1//\\//}"; }
keyExists() { timeout 60 wine reg query "$1" >/dev/null 2>&1; }
# The default value of a key, as reg prints it ("    (Default)    REG_SZ    value").
defaultValue() {
  timeout 60 wine reg query "$1" /ve 2>/dev/null | tr -d '\r' |
    sed -n '0,/^ *([^)]*) *REG_[A-Z_]* */s///p'
}
value() {
  timeout 60 wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
    sed -n "0,/^ *$2 *REG_[A-Z_]* */s///p"
}

# One silent install, its checks, the silent uninstall and its checks. $1 is the folder as
# Windows names it below C:, $2 the setup's folder option ("" for the default folder).
cycle() {
  local folder=$1 option=$2
  local dir
  dir=$(unixPath "$folder")
  local args=(/S)
  [ -n "$option" ] && args+=("$option")
  timeout 180 wine "$setup" "${args[@]}" </dev/null >"$check/setup.log" 2>&1 ||
    fail "the silent setup ${args[*]} failed (exit $?)"

  local f
  for f in "${files[@]}" uninstall.exe; do
    [ -f "$dir/${f//\\//}" ] || fail "C:\\$folder\\$f was not installed"
  done
  for f in "Technician's Guide.lnk" "Uninstall Quirn Radio.lnk"; do
    [ -f "$menu/$f" ] || fail "no Start-menu shortcut $f"
  done
  holds "$(shortcutText "$menu/Technician's Guide.lnk")" "C:\\$folder\\docs\\guide.md" ||
    fail "the guide's shortcut does not open C:\\$folder\\docs\\guide.md"
  if hasFile quirnradio.exe; then
    for f in "Quirn Radio.lnk" "Quirn Radio Demo.lnk"; do
      [ -f "$menu/$f" ] || fail "no Start-menu shortcut $f"
      holds "$(shortcutText "$menu/$f")" "C:\\$folder\\quirnradio.exe" ||
        fail "the shortcut $f does not start C:\\$folder\\quirnradio.exe"
    done
  fi
  [ "$(value "$uninstallKey" DisplayName)" = "Quirn Radio" ] ||
    fail "no Add/Remove Programs entry $uninstallKey"
  holds "$(value "$uninstallKey" UninstallString)" "C:\\$folder\\uninstall.exe" ||
    fail "the uninstall entry does not name C:\\$folder\\uninstall.exe"
  if hasFile vorncal.dll; then
    local clsid
    clsid=$(defaultValue "HKCR\\$controlProgId\\CLSID") || true
    [ -n "$clsid" ] || fail "the control's ProgID $controlProgId is not registered"
    holds "$(defaultValue "HKCR\\CLSID\\$clsid\\InprocServer32")" "C:\\$folder\\vorncal.dll" ||
      fail "the control's class $clsid does not name the installed vorncal.dll"
    keyExists "HKCR\\$pageProgId" || fail "the property page's ProgID $pageProgId is not registered"
  fi

  # The installed programs run: quirnctl gives the build's bytes over the demo folder, and
  # quirn-sim answers its help.
  local demo
  demo="Z:${root//\//\\}\\examples\\demo\\"
  local now="2026-12-07 10:30:00"
  timeout 60 wine "$dir/quirnctl.exe" --root "$demo" --now "$now" program 1 1 1 \
    >"$check/installed.out" || fail "the installed quirnctl.exe did not run"
  timeout 60 wine "$win/bin/quirnctl.exe" --root "$demo" --now "$now" program 1 1 1 \
    >"$check/built.out" || fail "the built quirnctl.exe did not run"
  if [ ! -s "$check/installed.out" ] || ! cmp -s "$check/installed.out" "$check/built.out"; then
    fail "the installed quirnctl.exe does not give the built one's bytes"
  fi
  timeout 60 wine "$dir/quirn-sim.exe" --help >/dev/null || fail "the installed quirn-sim.exe did not run"
  printf '%s\n' "wine installer check: installed silently into C:\\$folder: ${#files[@]} files, shortcuts, uninstall entry$(hasFile vorncal.dll && echo ", control keys"); the installed programs run"

  timeout 120 wine "$dir/uninstall.exe" /S </dev/null >"$check/uninstall.log" 2>&1 ||
    fail "the silent uninstall failed"
  # The uninstaller runs from a copy of itself and ends a few seconds after it returned.
  local tries=0
  while [ -e "$dir/uninstall.exe" ] && [ $tries -lt 60 ]; do
    sleep 0.5
    tries=$((tries + 1))
  done
  for f in "${files[@]}" uninstall.exe; do
    [ ! -e "$dir/${f//\\//}" ] || fail "C:\\$folder\\$f is left after the uninstall"
  done
  [ ! -e "$dir" ] || fail "the folder C:\\$folder is left after the uninstall: $(find "$dir" | head -5)"
  [ ! -e "$menu" ] || fail "the Start-menu folder is left after the uninstall: $(ls "$menu")"
  ! keyExists "$uninstallKey" || fail "the uninstall entry is left after the uninstall"
  if hasFile vorncal.dll; then
    ! keyExists "HKCR\\$controlProgId" || fail "the control's ProgID is left after the uninstall"
    ! keyExists "HKCR\\$pageProgId" || fail "the property page's ProgID is left after the uninstall"
  fi
  [ "$(cat "$technician/profile.csv" 2>/dev/null)" = $'RadioPort,3\r' ] ||
    fail "the technician's working folder c:\\vorn\\quirn3\\ was touched"
  printf '%s\n' "wine installer check: uninstalled silently from C:\\$folder: no file, folder, shortcut or key left; c:\\vorn\\quirn3\\ untouched"
}

cycle "Program Files\\Quirn Radio" ""
# NSIS takes /D= unquoted and last; Wine quotes an argument with a blank, so this one has none.
cycle "QuirnStation" "/D=C:\\QuirnStation"
echo "wine installer check: $(basename "$setup") is $(stat -c %s "$setup") bytes"
