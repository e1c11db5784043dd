#!/usr/bin/env bash
# Runs every test program of a build folder whole, its tests in one process
# in a shuffled order, once per seed given. CTest may start each test in a
# process of its own, so a test that leans on what an earlier one left
# behind passes there and fails here. The seeds are printed; the same order
# runs again with
#   scripts/run-tests-shuffled.sh BUILD_DIR SEED...
# The seed is fixed (1) when none is given, so that a run that passed passes
# again; give others to try other orders. Seeds run from 1 to 99999 (the
# test framework takes 0 for "from the clock"). Programs run side by side,
# JOBS at a time (default: one per core); each one's output is shown when it
# fails.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-${BUILD_DIR:-build}}"
shift || true
seeds=("$@")
((${#seeds[@]})) || seeds=(1)
for seed in "${seeds[@]}"; do
  if ! [[ "$seed" =~ ^[0-9]+$ ]] || ((seed < 1 || seed > 99999)); then
    echo "run-tests-shuffled: a seed runs from 1 to 99999, not $seed" >&2
    exit 2
  fi
done
jobs="${JOBS:-$(nproc)}"
cd "$build"
# The environment scripts/test.sh gives the tests.
export ASAN_OPTIONS="${ASAN_OPTIONS:-intercept_tls_get_addr=0}"
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy
# A shuffle asked for through the environment would reorder the runs below
# only where the flags do not.
unset GTEST_SHUFFLE GTEST_RANDOM_SEED GTEST_FILTER
# The largest first, so that the longest runs do not start last.
mapfile -t programs < <(find src tests tools -type f -name 'vd_*_tests' -perm -u+x -printf '%s %p\n' | sort -k1,1nr -k2 | cut -d' ' -f2)
if ((${#programs[@]} == 0)); then
  echo "run-tests-shuffled: no test programs in $build" >&2
  exit 2
fi
logs="$(mktemp -d)"
trap 'rm -rf "$logs"' EXIT
# One program with one seed; its output kept in a file of its own.
run_one() {
  local seed="$1" program="$2" log
  log="$logs/$seed.$(basename "$program").log"
  if "$program" --gtest_shuffle --gtest_random_seed="$seed" --gtest_brief=1 > "$log" 2>&1; then
    echo "ok $seed $program"
  else
    echo "FAILED $seed $program"
  fi
}
export -f run_one
export logs
failed=()
echo "Shuffled test runs in $build with seeds ${seeds[*]} (${#programs[@]} programs, $jobs at a time)"
# Every program with every seed in one pool, the largest programs first, so
# that the longest runs of all seeds go side by side from the start.
while IFS= read -r line; do
  echo "$line"
  if [[ "$line" == FAILED* ]]; then
    read -r _ s program <<< "$line"
    cat "$logs/$s.$(basename "$program").log"
    failed+=("$program (seed $s)")
  fi
done < <(for program in "${programs[@]}"; do for seed in "${seeds[@]}"; do printf '%s %s\n' "$seed" "$program"; done; done |
         xargs -P "$jobs" -L 1 bash -c 'run_one "$0" "$1"')
if ((${#failed[@]})); then
  echo "Failed shuffled, each whole in one process: ${failed[*]}"
  exit 1
fi
echo "Every test program passed whole and shuffled with seeds ${seeds[*]}"
