#!/bin/sh
# Makes the guide's pictures of the send window from the real window on Qt's offscreen
# platform: docs/send-programming.png, a send to quirn-sim switches on loopback (WiFi and the
# M2M client, one address unreachable) then validated; docs/send-programming-radio.png, a
# group's pages sent by radio to simulated switches on a pseudo-terminal, then validated.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$here/build"}
ninja -C "$build" -j1 bin/test_fleetsend_ui
QT_QPA_PLATFORM=offscreen QUIRN_SCREENSHOT_DIR="$here/docs" \
  "$build/bin/test_fleetsend_ui" --gtest_filter='SendDialogIp.*:SendScreenshot.*'
ls -l "$here/docs/send-programming.png" "$here/docs/send-programming-radio.png"
