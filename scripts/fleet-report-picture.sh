#!/bin/sh
# Makes the guide's picture of the manager's report (docs/fleet-report.png): the HTML page
# `quirnctl report fleet --html` writes for a generated fleet with sixty days of read history,
# drawn by a real HTML engine (wkhtmltoimage; scripts/install-deps.sh --docs installs it).
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$here/build"}
now='2026-03-16 09:15:00'
# About an A4 page's width of text at 96 dots an inch, as the page prints.
width=900
command -v wkhtmltoimage >/dev/null || {
  echo "wkhtmltoimage is missing: scripts/install-deps.sh --docs" >&2
  exit 1
}
ninja -C "$build" -j1 bin/test_fleethealth bin/quirnctl
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/folder"
QUIRN_REPORT_FOLDER="$work/folder" "$build/bin/test_fleethealth" \
  --gtest_filter='FleetReportPicture.*' >/dev/null
# The report's times in the zone the fleet was made in.
TZ=America/New_York LC_ALL=C "$build/bin/quirnctl" --root "$work/folder" --now "$now" \
  report fleet --since 2026-01-01 --html "$work/fleet.html"
QT_QPA_PLATFORM=offscreen timeout 120 wkhtmltoimage --quiet --width "$width" \
  --quality 0 --disable-javascript --disable-local-file-access "$work/fleet.html" "$here/docs/fleet-report.png"
ls -l "$here/docs/fleet-report.png"
