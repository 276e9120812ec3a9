#!/usr/bin/env bash
# Builds the Debian package, installs it on this machine with apt-get, and runs what it
# installed: every program's --help, the desktop file's check, and the demo station headless
# for a few seconds. Usage: scripts/package-check.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" "$build"
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(realpath "$(ls "$build"/quirnradio_*.deb | head -1)")
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "$deb" >/dev/null

for program in quirnradio quirnctl quirn-sim vorncal-view; do
  QT_QPA_PLATFORM=offscreen "/usr/bin/$program" --help >/dev/null
  echo "installed $program: --help ok"
done
desktop-file-validate /usr/share/applications/quirnradio.desktop
test -f /usr/share/doc/quirnradio/README.md
# The help window (F1) opens the technician's guide, with its pictures, from the installed copy.
test -f /usr/share/doc/quirnradio/docs/guide.md
test -f /usr/share/doc/quirnradio/docs/loader.png

# The demo, as a newcomer starts it: it must still be running after a few seconds, with its
# agency written and both simulators serving.
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
status=0
HOME="$home" XDG_CACHE_HOME="$home/.cache" QT_QPA_PLATFORM=offscreen \
  timeout 6 /usr/bin/quirnradio --demo >"$home/demo.out" 2>&1 || status=$?
demo="$home/.cache/quirnradio-demo"
if [ "$status" -ne 124 ] || [ ! -f "$demo/locations.csv" ] ||
   ! grep -q "serving on" "$demo/radio-simulator.log" ||
   ! grep -q "listening on" "$demo/wifi-simulator.log"; then
  echo "the installed demo did not run (exit $status)" >&2
  cat "$home/demo.out" "$demo"/*-simulator.log >&2 || true
  exit 1
fi
echo "installed demo: ran headless with both simulators"
