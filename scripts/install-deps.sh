#!/usr/bin/env bash
# Installs every Debian package the project needs to build, run and test.
# Idempotent: prints nothing and changes nothing when all is present.
set -euo pipefail

packages=(
  build-essential g++ cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev clang-format
  qt6-base-dev libgl-dev
  socat xvfb xauth desktop-file-utils dpkg-dev
  python3 python3-aiosmtpd
  # The school calendar import reads .ics files through libical.
  libical-dev
  # The read history is an SQLite file.
  libsqlite3-dev
)

# The Windows cross-build and its tests under Wine (scripts/windows.sh) need more.
windows=0
docs=0
for option in "$@"; do
  case "$option" in
    --windows) windows=1 ;;
    --docs) docs=1 ;;
  esac
done
if [ "$windows" = 1 ]; then
  # widl and the IDL files for the calendar control's type library, NSIS for the installer,
  # Wine's fonts for the windows it draws, xdotool and xclip to drive them under Xvfb.
  packages+=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix googletest wine wine64
    mingw-w64-tools libwine-dev nsis fonts-wine xdotool xclip xz-utils binutils)
  # scripts/sqlite-mingw.sh makes SQLite's single-file source with tclsh.
  packages+=(tcl)
fi
# Only the guide's pictures need these, never the build or CI: an HTML engine draws the fleet
# report's page (scripts/fleet-report-picture.sh).
if [ "$docs" = 1 ]; then
  packages+=(wkhtmltopdf)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
