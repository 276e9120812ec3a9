#!/bin/sh
# Makes the guide's picture of the send window (docs/send-programming.png) from the real window
# on Qt's offscreen platform: a group's pages sent by radio to simulated switches on a
# pseudo-terminal, then validated.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$here/build"}
ninja -C "$build" -j1 bin/test_fleetsend_ui
QT_QPA_PLATFORM=offscreen QUIRN_SCREENSHOT_DIR="$here/docs" \
  "$build/bin/test_fleetsend_ui" --gtest_filter='SendScreenshot.*'
ls -l "$here/docs/send-programming.png"
