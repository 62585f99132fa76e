#!/usr/bin/env bash
# Runs the README's test command (`make test`) several times in a row under the load of a shared CI
# machine, from two sources at once:
#  - a second build of the tree loops in a scratch folder at twice as many jobs as the machine has
#    cores: compilers, linkers and the sanitizer-built tools they make compete with the suite for the
#    processors, memory bandwidth, page cache and process starts. No compiler cache serves that
#    build, so it compiles for real;
#  - a second copy of the suite loops in a build tree of its own, with its own X servers, buses and
#    programs under the same user, as another project's suite on the same machine would.
# Both loads are checked after every run: a load that died makes the stress run fail, since the runs
# beside it no longer prove anything. Every run must pass; each prints its wall time, its test
# phase's time and the mean load average over the run.
#   scripts/stress-test.sh [runs]      (default 3)
set -euo pipefail
cd "$(dirname "$0")/.."

runs=${1:-3}
jobs=$((2 * $(nproc)))
scratch=$(mktemp -d "${TMPDIR:-/tmp}/formulon-load-XXXXXX")
loads=()
stop_loads() {
  for pid in "${loads[@]}"; do kill -- -"$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$scratch"
}
trap stop_loads EXIT

# Starts "$@" as a load in a process group of its own, so that stopping it stops all it started.
start_load() {
  set -m
  "$@" &
  loads+=($!)
  set +m
}

# The build load: configure, build from nothing, throw the build away, again. A configure that
# fails ends the load with a word, and the check after the run fails the stress run.
build_loop() {
  set +e
  export CCACHE_DISABLE=1
  while :; do
    rm -rf "$scratch/build"
    if ! cmake -G Ninja -S . -B "$scratch/build" -DCMAKE_BUILD_TYPE=Debug -DFLN_SANITIZE=ON >"$scratch/build-load.log" 2>&1; then
      echo "stress: the build load could not configure (see below); it stops"
      cat "$scratch/build-load.log"
      exit 1
    fi
    cmake --build "$scratch/build" -j "$jobs" >/dev/null 2>&1
  done
}

# The second suite: the whole suite again and again in a tree of its own. Its results are not
# judged (they load the machine); its passes and failures are counted in suite-load.log.
suite_loop() {
  set +e
  cd "$scratch/suite"
  while :; do
    ctest -j "$(nproc)" >"$scratch/suite-run.log" 2>&1
    tail -n 3 "$scratch/suite-run.log" | grep 'tests passed' >>"$scratch/suite-load.log"
  done
}

# Samples the one-minute load average every five seconds into the file named.
sample_load() {
  while :; do cut -d' ' -f1 /proc/loadavg >>"$1"; sleep 5; done
}

loads_alive() {
  for pid in "${loads[@]}"; do
    if ! kill -0 "$pid" 2>/dev/null; then
      echo "stress: a load ended (process group $pid); the runs beside it would prove nothing"
      return 1
    fi
  done
}

make deps
echo "stress: building the second suite's tree"
cmake -G Ninja -S . -B "$scratch/suite" -DCMAKE_BUILD_TYPE=Debug -DFLN_SANITIZE=ON >/dev/null
cmake --build "$scratch/suite" -j "$(nproc)" >/dev/null

start_load build_loop
start_load suite_loop
echo "stress: a build of the tree at -j$jobs and a second copy of the suite loop beside the runs on $(nproc) cores"

for ((run = 1; run <= runs; run++)); do
  start=$(date +%s)
  : >"$scratch/load-samples"
  sample_load "$scratch/load-samples" &
  sampler=$!
  set +e
  make test 2>&1 | tee "$scratch/run.log"
  status=${PIPESTATUS[0]}
  set -e
  kill "$sampler" 2>/dev/null || true
  wait "$sampler" 2>/dev/null || true
  tests=$(sed -n 's/^Total Test time (real) = *\([0-9.]*\) sec/\1/p' "$scratch/run.log")
  load=$(awk '{ sum += $1 } END { if (NR) printf "%.1f", sum / NR; else print "?" }' "$scratch/load-samples")
  figures="in $(($(date +%s) - start)) s (tests ${tests:-?} s), mean load $load"
  if [[ $status -ne 0 ]]; then
    echo "stress: run $run of $runs FAILED $figures"
    exit 1
  fi
  loads_alive || exit 1
  echo "stress: run $run of $runs passed $figures"
done
echo "stress: the second suite beside the runs: $(wc -l <"$scratch/suite-load.log" 2>/dev/null || echo 0) whole runs"
