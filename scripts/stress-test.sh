#!/usr/bin/env bash
# Runs the README's test command (`make test`) several times in a row while a second build of the
# tree loops beside it in a scratch folder at twice as many jobs as the machine has cores: compilers,
# linkers and the sanitizer-built tools they make compete with the suite for the processors, memory
# bandwidth, page cache and process starts, as on a shared CI machine. No compiler cache serves that
# build, so it compiles for real. Every run must pass; each prints its wall time, its test phase's
# time and the load average.
#   scripts/stress-test.sh [runs]      (default 3)
set -euo pipefail
cd "$(dirname "$0")/.."

runs=${1:-3}
jobs=$((2 * $(nproc)))
scratch=$(mktemp -d "${TMPDIR:-/tmp}/formulon-load-XXXXXX")
load_pid=
stop_load() {
  [[ -n $load_pid ]] && kill -- -"$load_pid" 2>/dev/null
  wait 2>/dev/null || true
  rm -rf "$scratch"
}
trap stop_load EXIT

make deps
# The load: configure, build from nothing, throw the build away, again; in a process group of its
# own, so that stopping it stops every compiler it started.
set -m
(
  export CCACHE_DISABLE=1
  while :; do
    rm -rf "$scratch/build"
    cmake -G Ninja -S . -B "$scratch/build" -DCMAKE_BUILD_TYPE=Debug -DFLN_SANITIZE=ON >/dev/null
    cmake --build "$scratch/build" -j "$jobs" >/dev/null 2>&1 || true
  done
) &
load_pid=$!
set +m
echo "stress: a build of the tree at -j$jobs loops beside the suite on $(nproc) cores"

for ((run = 1; run <= runs; run++)); do
  start=$(date +%s)
  if ! make test 2>&1 | tee "$scratch/run.log"; then
    echo "stress: run $run of $runs FAILED after $(($(date +%s) - start)) s, load $(cut -d' ' -f1-3 /proc/loadavg)"
    exit 1
  fi
  tests=$(sed -n 's/^Total Test time (real) = *\([0-9.]*\) sec/\1/p' "$scratch/run.log")
  echo "stress: run $run of $runs passed in $(($(date +%s) - start)) s (tests ${tests:-?} s), load $(cut -d' ' -f1-3 /proc/loadavg)"
done
