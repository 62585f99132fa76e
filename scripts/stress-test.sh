#!/usr/bin/env bash
# Runs the README's test command (`make test`) several times in a row while a CPU hog keeps twice as
# many busy threads as the machine has cores, as on a CI machine that carries other work. Every run
# must pass; each prints its wall time and the load average.
#   scripts/stress-test.sh [runs]      (default 3)
set -euo pipefail
cd "$(dirname "$0")/.."

runs=${1:-3}
hogs=$((2 * $(nproc)))
hog_pids=()
stop_hogs() { ((${#hog_pids[@]})) && kill "${hog_pids[@]}" 2>/dev/null; wait 2>/dev/null || true; }
trap stop_hogs EXIT

for ((i = 0; i < hogs; i++)); do
  (while :; do :; done) &
  hog_pids+=($!)
done
echo "stress: $hogs busy threads on $(nproc) cores"

for ((run = 1; run <= runs; run++)); do
  start=$(date +%s)
  if ! make test; then
    echo "stress: run $run of $runs FAILED after $(($(date +%s) - start)) s, load $(cut -d' ' -f1-3 /proc/loadavg)"
    exit 1
  fi
  echo "stress: run $run of $runs passed in $(($(date +%s) - start)) s, load $(cut -d' ' -f1-3 /proc/loadavg)"
done
