#!/bin/sh
# Makes the README's pictures (docs/loader.png, docs/utilities.png, docs/demo.png, docs/help.png)
# from the real windows on Qt's offscreen platform: the loader after a matching read on a
# simulated time switch, the utilities dialog, the demo agency in the loader, and the help
# window (showing the documentation it finds, the installed copy first).
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$here/build"}
ninja -C "$build" -j1 bin/make_screenshots
QT_QPA_PLATFORM=offscreen QUIRN_SCREENSHOT_DIR="$here/docs" "$build/bin/make_screenshots"
ls -l "$here/docs/loader.png" "$here/docs/utilities.png" "$here/docs/demo.png" "$here/docs/help.png"
