#!/usr/bin/env bash
# The Windows programs are self-contained: each imports only DLLs that every Windows computer
# has (no MinGW runtime, no Qt DLL beside it). Lists what each imports and fails on anything else.
# Usage: scripts/windows-imports-check.sh [WINDOWS_BUILD]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
win=$(realpath -m "${1:-$root/build-win}")

# DLLs of Windows itself (compared without regard to case). The api-ms-win-* sets are Windows 8
# and later, which the static Qt needs anyway.
system_dlls=(advapi32 authz comdlg32 d3d11 d3d9 dwmapi dxgi gdi32 imm32 kernel32 msvcrt netapi32
  ole32 oleaut32 shcore shell32 shlwapi user32 userenv uxtheme version winmm ws2_32 wtsapi32
  api-ms-win-core-winrt-l1-1-0 api-ms-win-core-winrt-string-l1-1-0 api-ms-win-core-synch-l1-2-0)

fail() {
  echo "windows imports check: FAILED: $*" >&2
  exit 1
}

checked=0
for program in quirnradio.exe quirnctl.exe quirn-sim.exe; do
  file=$win/bin/$program
  [ -f "$file" ] || fail "$file was not built"
  imports=$(x86_64-w64-mingw32-objdump -p "$file" | sed -n 's/^[[:space:]]*DLL Name: //p')
  [ -n "$imports" ] || fail "$program imports nothing: objdump read no import table"
  while IFS= read -r dll; do
    name=$(echo "${dll%.*}" | tr '[:upper:]' '[:lower:]')
    printf '%s\n' "${system_dlls[@]}" | grep -qxF "$name" ||
      fail "$program imports $dll, which is not part of Windows"
  done <<<"$imports"
  echo "windows imports check: $program ($(stat -c %s "$file") bytes) imports only Windows' own DLLs:" \
    $imports
  checked=$((checked + 1))
done
[ "$checked" -gt 0 ] || fail "no program checked"
