#!/usr/bin/env bash
# Installs what is missing, builds, and starts the station program.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" "$root/build"
# Without a working folder yet (a first run), the demo station starts instead.
exec "$root/build/bin/quirnradio" --demo-when-new "$@"
