#!/usr/bin/env bash
# Runs every built libFuzzer target for a fixed number of inputs over its seed corpus.
# Usage: tools/run-fuzz.sh BUILD_DIR RUNS
# New inputs go to BUILD_DIR/fuzz/corpus (the seeds in the source tree stay as they are);
# a crashing input is kept as BUILD_DIR/fuzz/artifacts/<target>-crash-* and fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:?build directory}
runs=${2:?number of inputs}
bin="$build/fuzz/bin"

shopt -s nullglob
targets=("$bin"/*Fuzz)
if [ ${#targets[@]} -eq 0 ]; then
  echo "no fuzz targets in $bin" >&2
  exit 1
fi

failed=0
for exe in "${targets[@]}"; do
  target=$(basename "$exe")             # <folder>_<Name>Fuzz
  folder=${target%%_*}
  name=${target#*_}
  seeds="fuzz/$folder/${name%Fuzz}_seeds"
  corpus="$build/fuzz/corpus/$target"
  artifacts="$build/fuzz/artifacts"
  mkdir -p "$corpus" "$artifacts"
  log="$build/fuzz/$target.log"
  printf '%-28s ' "$target"
  start=$(date +%s.%N)
  if "$exe" -runs="$runs" -artifact_prefix="$artifacts/$target-" "$corpus" "$seeds" > "$log" 2>&1; then
    awk -v s="$start" -v e="$(date +%s.%N)" -v n="$runs" 'BEGIN { printf "ok   %d inputs  %.1f s\n", n, e - s }'
  else
    echo "FAILED (log: $log)"
    tail -n 40 "$log" >&2
    failed=1
  fi
done
exit $failed
