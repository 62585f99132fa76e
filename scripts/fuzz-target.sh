#!/usr/bin/env bash
# Runs one fuzz target for a number of seconds, as `make fuzz` does each:
#   scripts/fuzz-target.sh <target> <seconds> <artifact folder> <corpus folder> [seed folder...]
#
# Allocations are recorded with the stacks the frame pointers give: a full unwind at every
# allocation would cost most of each input's time. The font libraries are built without frame
# pointers, though, so the stack of a leak found that way may stop inside them, and such a report
# cannot tell a leak of theirs (suppressed in platform/gdi) from one of ours. A leak is therefore
# looked at again with whole stacks: the input it came with is run again on its own, or, for a leak
# found only when the run ended, every input of the corpus. A leak still reported then fails the
# target; one that is not is the libraries' own: its input is kept as
# <target>-library-leak-<hash> and fuzzing goes on for the time left. Any other sanitizer report
# (none is recoverable) or crash fails the target, with the input kept as <target>-crash-<hash>
# (timeout-, oom-).
set -u

binary=$1 seconds=$2 artifacts=$3 corpus=$4
shift 4
target=$(basename "$binary")
root=$(cd "$(dirname "$0")/.." && pwd)

export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export LSAN_OPTIONS=suppressions=$root/fuzz/leak-suppressions.txt:print_suppressions=0
log=$(mktemp)
trap 'rm -f "$log"' EXIT

end=$((SECONDS + seconds))
while ((SECONDS < end)); do
    ASAN_OPTIONS=fast_unwind_on_malloc=1:halt_on_error=1 "$binary" -max_total_time=$((end - SECONDS)) -timeout=5 \
        -artifact_prefix="$artifacts/$target-" "$corpus" "$@" 2>&1 | tee "$log"
    ((PIPESTATUS[0] == 0)) && exit 0
    input=$(sed -n 's/.*Test unit written to //p' "$log" | tail -n 1)
    if ! grep -q "ERROR: LeakSanitizer" "$log"; then
        echo "$target failed; its input is ${input:-not kept}"
        exit 1
    fi
    echo "== $target: the leak again, with whole stacks"
    if [[ $input == "$artifacts/$target-leak-"* ]]; then
        again=("$input")
    else
        again=(-runs=0 "$corpus" "$@")
    fi
    if ! ASAN_OPTIONS=fast_unwind_on_malloc=0:halt_on_error=1 "$binary" "${again[@]}"; then
        echo "$target leaks; its input is ${input:-not kept}"
        exit 1
    fi
    if [[ -n $input ]]; then
        kept="$artifacts/$target-library-leak-${input##*-}"
        mv "$input" "$kept"
        echo "== $target: a leak inside the libraries (its input kept as $kept); fuzzing goes on"
    fi
done
