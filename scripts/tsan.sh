#!/usr/bin/env bash
# The tests labelled threads (threads running side by side, two network
# peers among them) under the thread sanitizer, in a build folder of just
# what they need (default: build-tsan). Not part of CI: a third build tree
# costs more than the rest of it; run it after changing the game threads,
# the computer players' threads or the network session.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${BUILD_DIR:-build-tsan}"
cmake -S . -B "$build" -G Ninja -DVD_TSAN=ON -DVD_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-g1 "$@"
cmake --build "$build" --target vd_threads_tests veldrane-headless
cd "$build"
SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy ctest -L threads --output-on-failure
