#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test through CTest.
# Usage: scripts/test.sh [BUILD_DIR] [extra cmake args...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
build=${1:-$root/build}
shift || true
"$root/scripts/build.sh" "$build" "$@"
export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build" --output-on-failure -j "$(nproc)" --timeout 600
