#!/bin/bash
# Who a host lets into its game, over TCP at 127.0.0.1: 64 strangers that
# say a valid hello and are never ready keep no player out, and a joiner
# whose rule table or scenario definition differs from the host's is refused
# in the lobby, both sides naming the mismatch, while the host goes on to
# play with the next joiner.
# Usage: runner_joins.sh RUNNER GAME_DIR DAYS WORK_DIR
. "$(dirname "$0")/runner_common.sh" "$@"

# A copy of the game's data with its own runner beside it (the runner reads
# the data it sits in), changed by the command given.
other_data() {
  local dir=$WORK/$1
  mkdir -p "$dir" && cp -r AI INI Localize MAPS PlayerSet Scenario "$dir"/ || fail "cannot copy the data"
  ln -f "$RUNNER" "$dir/veldrane-headless" 2>/dev/null || cp "$RUNNER" "$dir/veldrane-headless" || fail "cannot copy the runner"
  (cd "$dir" && eval "$2") || fail "cannot change the copy $1"
}

# 1. 64 strangers say a valid hello and nothing more; then a joiner, which
# is let in, given the region and plays every day within a minute.
start_host host1
STRANGERS=()
for _ in $(seq 1 64); do
  exec {fd}<>"/dev/tcp/127.0.0.1/$PORT" || fail "cannot connect to the host"
  { printf '\x35\x00\x00\x00\x01VDP1Stranger'; head -c 40 /dev/zero; } >&"$fd"
  STRANGERS+=("$fd")
done
status=0
timeout 60 "$RUNNER" --join "127.0.0.1:$PORT" --days "$DAYS" >"$WORK/join1.out" 2>"$WORK/join1.err" || status=$?
[ "$status" -eq 0 ] || fail "the joiner among 64 strangers ended with status $status (124: not within a minute)"
wait "$HOST_PID" || fail "the host among 64 strangers ended with an error"
ran_all host1 && ran_all join1 && same_game host1 join1
grep -q "^waiting for a region: [0-9]* players\? ahead in line" "$WORK/join1.err" || fail "the joiner was not told its place"
for fd in "${STRANGERS[@]}"; do exec {fd}>&-; done

# 2. Joiners whose data differ from the host's by one cell of a rule table,
# or by the scenario's difficulty, are refused before the start with the
# mismatch named on both sides; the next joiner plays every day with the host.
other_data cell "sed -i 's/^Consumer goods per unit,0.1,/Consumer goods per unit,0.11,/' INI/CVars2.CSV"
other_data harder "sed -i 's/^difficulty: 2/difficulty: 3/' Scenario/Channel.GMC"
cmp -s INI/CVars2.CSV "$WORK/cell/INI/CVars2.CSV" && fail "the table copy is not changed"
cmp -s Scenario/Channel.GMC "$WORK/harder/Scenario/Channel.GMC" && fail "the definition copy is not changed"
start_host host2
for copy in cell harder; do
  status=0
  (cd "$WORK/$copy" && ./veldrane-headless --join "127.0.0.1:$PORT" --days "$DAYS") >"$WORK/$copy.out" 2>"$WORK/$copy.err" || status=$?
  [ "$status" -ne 0 ] || fail "the joiner with a changed $copy was let in"
  grep -q '^day ' "$WORK/$copy.out" && fail "the joiner with a changed $copy played a day"
  grep -q "^the host refused this player: its files differ from the host's (Sync Error: Mismatched SCN File\.)" \
    "$WORK/$copy.err" || fail "the joiner with a changed $copy did not name the mismatch"
  grep -q '; the files: Scenario\\Channel\.GMC, .* a rule table (INI\\\*\.CSV' "$WORK/$copy.err" ||
    fail "the joiner with a changed $copy did not name the files"
done
[ "$(grep -c "^the player in slot [0-9]* plays with other files (Sync Error: Mismatched SCN File\.): dropped" \
  "$WORK/host2.err")" = 2 ] || fail "the host did not name both mismatches"
grep -q 'dropped; the files: Scenario\\Channel\.GMC, ' "$WORK/host2.err" || fail "the host did not name the files"
"$RUNNER" --join "127.0.0.1:$PORT" --days "$DAYS" >"$WORK/join2.out" 2>"$WORK/join2.err" || fail "the joiner with the host's data ended with an error"
wait "$HOST_PID" || fail "the host that refused two joiners ended with an error"
ran_all host2 && ran_all join2 && same_game host2 join2
echo "joins: all passed"
