#!/usr/bin/env bash
# Builds the programs whose tests run the station's worker threads (the read-back snapshot
# writer, the mail worker) with ThreadSanitizer and runs them; any report fails the run.
# Usage: scripts/tsan.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
build=${1:-$root/build-tsan}
cmake -S "$root" -B "$build" -G Ninja -DQUIRN_TSAN=ON -DQUIRN_WITH_QT=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo "-DQUIRN_FOLDERS=platform;plans;planedit;protocol;ops;comms;loader;testing;sim;fleethealth;validationrun;fleetsend;app" \
  >/dev/null
cmake --build "$build" --target test_app test_comms quirn-sim
export TSAN_OPTIONS="halt_on_error=1 exitcode=66 second_deadlock_stack=1"
cd "$build"
for program in test_app test_comms; do
  timeout 1200 "bin/$program" --gtest_brief=1
done
