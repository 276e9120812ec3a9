#!/bin/sh
# Makes the guide's picture of the fleet window (docs/fleet.png) from the real window on Qt's
# offscreen platform: a generated fleet with a real read history, a drifting clock picked.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$here/build"}
ninja -C "$build" -j1 bin/test_fleethealth_ui
QT_QPA_PLATFORM=offscreen QUIRN_SCREENSHOT_DIR="$here/docs" \
  "$build/bin/test_fleethealth_ui" --gtest_filter='FleetScreenshot.*'
ls -l "$here/docs/fleet.png"
