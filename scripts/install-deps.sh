#!/usr/bin/env bash
# Installs the Debian packages the game and its tests build against.
# Safe to run again: apt-get skips what is already there. Runs as root or through sudo.
set -euo pipefail

packages=(
  build-essential clang cmake ninja-build pkg-config
  libsdl2-dev libsdl2-mixer-dev libepoxy-dev libegl-dev libgl1-mesa-dri libegl-mesa0
  libpng-dev libjpeg-dev zlib1g-dev libasio-dev libfreetype-dev fonts-dejavu-core
  libgtest-dev libbenchmark-dev
  libboost-graph-dev  # bench/find_path_bench.cpp measures the path search against its A*
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
  run=()
elif command -v sudo >/dev/null 2>&1; then
  run=(sudo)
else
  echo "install-deps: need root or sudo to install: ${missing[*]}" >&2
  exit 1
fi

"${run[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
"${run[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
