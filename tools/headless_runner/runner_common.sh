# What the network runner scripts share; sourced with the script's own
# arguments: RUNNER GAME_DIR DAYS WORK_DIR. Leaves the shell in GAME_DIR
# with WORK_DIR empty but for the runner's own data root, and kills what the
# script started (PIDS) when it ends.
set -u
RUNNER=$1 GAME_DIR=$2 DAYS=$3 WORK=$4
rm -rf "$WORK" && mkdir -p "$WORK" || exit 1
cd "$GAME_DIR" || exit 1
# The runner plays from the folder its program lies in and writes its logs
# into that folder's saves, which other tests read: RUNNER becomes a link in
# a data root of the script's own, the built game's entries linked beside it.
OWN="$WORK/root"
mkdir -p "$OWN/Savegame" || exit 1
for entry in *; do
  [ "$entry" = Savegame ] || [ "$entry" = veldrane-headless ] || ln -s "$GAME_DIR/$entry" "$OWN/$entry" || exit 1
done
ln -f "$RUNNER" "$OWN/veldrane-headless" 2>/dev/null || cp "$RUNNER" "$OWN/veldrane-headless" || exit 1
RUNNER="$OWN/veldrane-headless"
PIDS=()
trap 'for p in "${PIDS[@]}"; do kill -9 "$p" 2>/dev/null; done' EXIT

# Says what failed with the end of every file the runs wrote, log lines
# aside, and ends the script.
fail() {
  echo "FAIL: $*"
  for f in "$WORK"/*; do [ -f "$f" ] && { echo "== $f"; grep -v '^VDLOG' "$f" | tail -20; }; done
  exit 1
}

# Polls (at most 180 s: a loaded machine runs the sanitizer builds slowly)
# until the file holds a line matching the pattern.
wait_for() {
  for _ in $(seq 1 18000); do grep -q "$2" "$1" 2>/dev/null && return 0; sleep 0.01; done
  return 1
}

# Starts a host in the background; sets HOST_PID and PORT.
start_host() {
  "$RUNNER" --host 0 --days "$DAYS" Channel >"$WORK/$1.out" 2>"$WORK/$1.err" &
  HOST_PID=$! && PIDS+=("$HOST_PID")
  wait_for "$WORK/$1.out" "^host port" || fail "$1: no port printed"
  PORT=$(awk '/^host port/ {print $3}' "$WORK/$1.out")
}

days() { grep -c '^day ' "$1"; }
ran_all() { [ "$(days "$WORK/$1.out")" = "$DAYS" ] || fail "$1 printed $(days "$WORK/$1.out") days"; }
sync_fields() { grep '^day ' "$1" | sed -e 's/.* sync /sync /'; }
# The two runs printed the same sync fields every day; the difference is kept
# for the failure's report.
same_game() {
  diff <(sync_fields "$WORK/$1.out") <(sync_fields "$WORK/$2.out") >"$WORK/$1-$2.sync.diff" || fail "$1 and $2 differ"
}
