#!/usr/bin/env bash
# Builds the game and runs every test. Extra CMake options may be given, and
# BUILD_DIR chooses the build folder (default: build).
#
# Each test program runs whole in one process with its tests in a shuffled
# order, once per seed in VD_TEST_SEEDS (default: 1; seeds run from 1 to
# 99999). The first seed runs every CTest entry; later seeds only the test
# programs (label "whole"), since the other entries do not shuffle. The
# headless runner's tests and the cross tests (label "once"), whose cases
# nearly all play a game afresh and take most of the time, take the first
# order only; the cross tests' suites that start no game take the later
# orders too, in an entry of their own (vd_cross_tests.rest, label
# "again"). A failing
# order runs again with VD_TEST_SEEDS=N and, for one program,
#   BUILD/PROGRAM --gtest_shuffle --gtest_random_seed=N
# (a sharded program's entries also set GTEST_TOTAL_SHARDS and
# GTEST_SHARD_INDEX: `ctest -N -V -R NAME` shows them).
set -euo pipefail
cd "$(dirname "$0")/.."
read -r -a seeds <<< "${VD_TEST_SEEDS:-1}"
((${#seeds[@]})) || seeds=(1)
for seed in "${seeds[@]}"; do
  if ! [[ "$seed" =~ ^[0-9]+$ ]] || ((seed < 1 || seed > 99999)); then
    echo "test.sh: a seed runs from 1 to 99999, not $seed" >&2
    exit 2
  fi
done
./scripts/install-deps.sh
build="${BUILD_DIR:-build}"
cmake -S . -B "$build" -G Ninja "$@"
cmake --build "$build"
cd "$build"
# Under the sanitizers: the leak checker follows the thread storage of
# dynamically loaded libraries, and once the GL driver is unloaded at exit it
# reads stale entries and crashes itself (not the game) in the window tests.
# Static thread storage and every heap block are still checked.
export ASAN_OPTIONS="${ASAN_OPTIONS:-intercept_tls_get_addr=0}"
# Tests draw offscreen and play sound to nowhere, with or without a display.
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy
# The software GL draws in the test's own thread: its default of a drawing
# thread per core only contends with the other tests, one per core already.
export LP_NUM_THREADS="${LP_NUM_THREADS:-0}"
# CTEST_PARALLEL_LEVEL caps the tests run at once (default: one per core).
jobs="${CTEST_PARALLEL_LEVEL:-$(nproc)}"
export GTEST_SHUFFLE=1
labels=(-LE '^again$')
for seed in "${seeds[@]}"; do
  echo "Tests with shuffle seed $seed"
  GTEST_RANDOM_SEED="$seed" ctest --output-on-failure -j"$jobs" "${labels[@]}"
  labels=(-L '^(whole|again)$')
done
