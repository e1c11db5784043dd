#!/usr/bin/env bash
# Builds the game and runs every test. Extra CMake options may be given, and
# BUILD_DIR chooses the build folder (default: build).
set -euo pipefail
cd "$(dirname "$0")/.."
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
# CTEST_PARALLEL_LEVEL caps the tests run at once (default: one per core).
SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy ctest --output-on-failure -j"${CTEST_PARALLEL_LEVEL:-$(nproc)}"
