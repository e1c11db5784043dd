#!/usr/bin/env bash
# Builds the game and starts it; arguments go to the game (-mapedit, -host NAME ...).
# Without a display it runs on SDL's offscreen driver.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build -G Ninja
cmake --build build
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  export SDL_VIDEODRIVER="${SDL_VIDEODRIVER:-offscreen}"
  export SDL_AUDIODRIVER="${SDL_AUDIODRIVER:-dummy}"
fi
exec ./build/game/veldrane "$@"
