#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, ASan, UBSan) and runs each for SECONDS
# (default 60) over a working copy of its seed corpus, as many at once as there are cores, then
# prints per target the executions, the coverage features reached and the crashes found. Exits 1
# when any target crashed.
# Usage: scripts/fuzz.sh [SECONDS] [TARGET...]      (QUIRN_FUZZ_BUILD: build folder)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
seconds=${1:-60}
shift || true
build=${QUIRN_FUZZ_BUILD:-$root/build-fuzz}

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DQUIRN_FUZZ=ON -DQUIRN_WITH_QT=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo "-DQUIRN_FOLDERS=platform;plans;protocol;ops;comms;loader;testing;sim;calendar;schoolyear;tools;fuzz" \
  >/dev/null
list=$build/fuzz-targets.txt
wanted=("$@")
[ ${#wanted[@]} -eq 0 ] && mapfile -t wanted < <(cut -d' ' -f1 "$list")
cmake --build "$build" --target "${wanted[@]}" >/dev/null

# The targets run side by side, one per core, each for its SECONDS; the table follows in the
# order they were asked for.
at_once=$(nproc)
run_target() {
  local target=$1 seeds=$2 run=$build/fuzz-runs/$1
  mkdir -p "$run/corpus" "$run/artifacts"
  cp -n "$seeds"/* "$run/corpus/" 2>/dev/null || true
  "$build/bin/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$run/artifacts/" "$run/corpus" >"$run/log.txt" 2>&1 ||
    true
}
for target in "${wanted[@]}"; do
  seeds=$(awk -v t="$target" '$1 == t { print $2 }' "$list")
  [ -n "$seeds" ] || { echo "unknown fuzz target: $target" >&2; exit 2; }
  while [ "$(jobs -rp | wc -l)" -ge "$at_once" ]; do wait -n || true; done
  run_target "$target" "$seeds" &
done
wait

printf '%-34s %12s %8s %8s %8s\n' target executions cov features crashes
failed=0
for target in "${wanted[@]}"; do
  run=$build/fuzz-runs/$target
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$run/log.txt" | tail -1)
  cov=$(grep -oE 'cov: [0-9]+' "$run/log.txt" | tail -1 | cut -d' ' -f2)
  ft=$(grep -oE 'ft: [0-9]+' "$run/log.txt" | tail -1 | cut -d' ' -f2)
  crashes=$(find "$run/artifacts" -type f | wc -l)
  printf '%-34s %12s %8s %8s %8s\n' "$target" "${execs:-?}" "${cov:-?}" "${ft:-?}" "$crashes"
  if [ "$crashes" -gt 0 ] || [ -z "$execs" ]; then
    failed=1
    tail -40 "$run/log.txt" >&2
  fi
done
exit $failed
