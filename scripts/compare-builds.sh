#!/usr/bin/env bash
# Runs the headless runner of two build folders for DAYS days of the sample
# scenario and fails when any day line differs: peers built differently (GCC
# and clang, Debug and release) must compute the same game.
# usage: scripts/compare-builds.sh BUILD_A BUILD_B [DAYS]
set -euo pipefail
cd "$(dirname "$0")/.."
a="$1" b="$2" days="${3:-30}"
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT
for build in "$a" "$b"; do
  # Day lines go to stdout; the game's log and the summary with its timing
  # go to stderr, of which only the summary is shown.
  (cd "$build/game" && ./veldrane-headless --days "$days" Channel) > "$out/$(basename "$build").days" \
    2> "$out/$(basename "$build").log"
  tail -n 1 "$out/$(basename "$build").log" >&2
done
da="$out/$(basename "$a").days" db="$out/$(basename "$b").days"
lines=$(grep -c '^day ' "$da" || true)
if [ "$lines" -ne "$days" ]; then
  echo "compare-builds: $a printed $lines day lines for $days days" >&2
  exit 1
fi
if ! diff "$da" "$db" >&2; then
  echo "compare-builds: $a and $b part ways (lines above)" >&2
  exit 1
fi
echo "compare-builds: $a and $b agree for $days days: $(tail -n 1 "$da")"
