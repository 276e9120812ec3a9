#!/bin/sh
# Makes the README's pictures (docs/loader.png, docs/utilities.png, docs/demo.png, docs/help.png)
# and the guide's of the plans window (docs/plans-groups.png, docs/plans-dayplans.png)
# from the real windows on Qt's offscreen platform: the loader after a matching read on a
# simulated time switch, the utilities dialog, the demo agency in the loader, and the help
# window (showing the documentation it finds, the installed copy first), and the plans window on the
# demo agency's groups, a WiFi location and a school's day plans.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$here/build"}
ninja -C "$build" -j1 bin/make_screenshots
QT_QPA_PLATFORM=offscreen QUIRN_SCREENSHOT_DIR="$here/docs" "$build/bin/make_screenshots"
ls -l "$here/docs/loader.png" "$here/docs/utilities.png" "$here/docs/demo.png" "$here/docs/help.png" \
  "$here/docs/plans-groups.png" "$here/docs/plans-dayplans.png"
