#!/usr/bin/env bash
# Under the thread sanitizer, in a build folder of just what they need
# (default: build-tsan): the tests labelled threads (threads running side by
# side, two network peers among them) or game (the headless runner's whole
# runs), then every test case that starts a game, wherever it lives (tests/,
# src/, tools/): the cases of each test file that plays the whole
# program (tests/support/whole_program.h, sample_game.h, play_days.h) or
# starts a session, a log-on or the turn thread itself. Those cases run the
# turn thread and the computer players while the window thread draws and
# answers clicks, which is where a race between them shows.
#
# Not part of CI: a third build tree costs more than the rest of it; run it
# after changing the game threads, the computer players' threads, the
# network session or how screens read the world. Any report fails the run.
#
# TSAN_JOBS bounds the compiler runs and the test programs run side by side
# (default 2: a sanitized compile of the larger files takes over a gigabyte).
set -euo pipefail
cd "$(dirname "$0")/.."
build="${BUILD_DIR:-build-tsan}"
jobs="${TSAN_JOBS:-2}"

# "FILE PROGRAM SUITES" for every test file with a case that starts a game:
# in process (the whole program, a session, a log-on, the turn thread, the
# headless runner's own run) or as a child (the game's executable).
# A library's tests are its program's (src/units/ is the sim library's);
# tests/ are the cross tests; the runner's are its own program's.
game_cases() {
  local starts='support/(whole_program|sample_game|play_days)\.h|runner_test_support\.h|\bheadless::Run\(|\b(StartGameSession|LogOn|StartTurnThread|PlayDays|RunRunner)\(|\bexecl?\(VD_GAME_EXE'
  grep -lE "$starts" tests/*_test.cpp $(find src tools -name '*_test.cpp' ! -name '*_threads_test.cpp') 2>/dev/null |
    while read -r file; do
      local program
      case "$file" in
        tests/*) program=vd_cross_tests ;;
        src/units/*) program=vd_sim_tests ;;
        src/*) program="$(echo "$file" | cut -d/ -f2)"; program="vd_${program}_tests" ;;
        tools/headless_runner/*) program=vd_headless_runner_tests ;;
        *) continue ;;
      esac
      # A suite of TEST_P runs under its instantiation's prefix.
      local suites
      # A file without one kind of case greps nothing, which is no failure.
      suites="$( ({ grep -ho '^TEST\(_F\)\?([A-Za-z0-9_]*' "$file" || true; } | sed 's/.*(//; s/$/.*/'
                  { grep -ho '^TEST_P([A-Za-z0-9_]*' "$file" || true; } | sed 's/.*(//; s/^/*\//; s/$/.*/') | sort -u | paste -sd:)"
      [ -n "$suites" ] && echo "$program $suites"
    done
}

mapfile -t cases < <(game_cases)
programs="$(printf '%s\n' "${cases[@]}" | cut -d' ' -f1 | sort -u)"

cmake -S . -B "$build" -G Ninja -DVD_TSAN=ON -DVD_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-g1 "$@"
# shellcheck disable=SC2086
# The game's executable: a child of the cross tests and the runner's entries below.
cmake --build "$build" -j "$jobs" --target vd_threads_tests veldrane veldrane-headless $programs

export TSAN_OPTIONS="${TSAN_OPTIONS:-halt_on_error=0 exitcode=66 second_deadlock_stack=1}"
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy LP_NUM_THREADS=0
# A failing threads test fails the run, but the game-starting cases still
# run: their reports are the ones wanted most.
status=0
# The runner's entries labelled game run whole games in child processes.
(cd "$build" && ctest -j "$jobs" -L '^(threads|game)$' --output-on-failure) || status=1

# Each program over all its game-starting suites, split into as many
# shards as jobs (the cross tests hold most of the cases, and a play test
# under the sanitizer takes half a minute), the shards side by side.
rm -f "$build"/tsan-*.log
for program in $programs; do
  filter="$(printf '%s\n' "${cases[@]}" | awk -v p="$program" '$1 == p { print $2 }' | paste -sd:)"
  echo "$program --gtest_filter=$filter"
  binary="$(find "$build" -name "$program" -type f -perm -u+x | head -1)"
  for ((shard = 0; shard < jobs; ++shard)); do
    GTEST_TOTAL_SHARDS="$jobs" GTEST_SHARD_INDEX="$shard" \
      "$binary" --gtest_filter="$filter" --gtest_shuffle > "$build/tsan-$program-$shard.log" 2>&1 &
    while (($(jobs -rp | wc -l) >= jobs)); do wait -n || status=1; done
  done
done
while (($(jobs -rp | wc -l) > 0)); do wait -n || status=1; done
for log in "$build"/tsan-*.log; do
  if grep -q 'WARNING: ThreadSanitizer' "$log"; then status=1; fi
  echo "== $log"
  tail -3 "$log"
done
grep -h -A12 'WARNING: ThreadSanitizer' "$build"/tsan-*.log || true
exit "$status"
