#!/usr/bin/env bash
# Under the thread sanitizer, in a build folder of just what they need
# (default: build-tsan): the tests labelled threads (threads running side by
# side, two network peers among them), then the play tests (tests/
# *_play_test.cpp), which click through the whole program while its turn
# thread and computer players run. Not part of CI: a third build tree costs
# more than the rest of it; run it after changing the game threads, the
# computer players' threads, the network session or how screens read the
# world. Any report fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${BUILD_DIR:-build-tsan}"
cmake -S . -B "$build" -G Ninja -DVD_TSAN=ON -DVD_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-g1 "$@"
cmake --build "$build" --target vd_threads_tests veldrane-headless vd_cross_tests
export TSAN_OPTIONS="${TSAN_OPTIONS:-halt_on_error=0 exitcode=66 second_deadlock_stack=1}"
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy LP_NUM_THREADS=0
(cd "$build" && ctest -L threads --output-on-failure)
# The play tests' suites, as their files name them.
suites="$(grep -ho '^TEST\(_F\|_P\)\?([A-Za-z0-9_]*' tests/*_play_test.cpp | sed 's/.*(//' | sort -u | sed 's/$/.*/' | paste -sd:)"
"$build/tests/vd_cross_tests" --gtest_filter="$suites" --gtest_shuffle
