#!/bin/bash
# Two runners play one game over TCP at 127.0.0.1: the same day lines and
# sync and state fields on both, no sync error, a normal end read as one; a
# joiner killed on the way, a socket sending noise and a host killed on the
# way each leave the other side ending cleanly: a host plays on, a joiner
# pauses (ends) with the day in progress. Strangers that connect and say
# nothing, or say hello and are never ready, keep no joiner out.
# Usage: runner_network.sh RUNNER GAME_DIR DAYS WORK_DIR
. "$(dirname "$0")/runner_common.sh" "$@"

start_joiner() {
  "$RUNNER" --join "127.0.0.1:$PORT" --days "$DAYS" >"$WORK/$1.out" 2>"$WORK/$1.err" &
  JOIN_PID=$! && PIDS+=("$JOIN_PID")
}

# 1. A whole game in step.
start_host host
start_joiner join
wait "$JOIN_PID" || fail "the joiner ended with an error"
wait "$HOST_PID" || fail "the host ended with an error"
ran_all host && ran_all join
same_game host join
grep -q "Sync Error" "$WORK/host.err" "$WORK/join.err" && fail "a sync error was reported"
# Both ended normally: nobody was lost.
grep -q "DISCONNECTED\.\|HOST CONNECTION LOST\." "$WORK/host.err" "$WORK/join.err" && fail "a normal end read as a loss"

# 2. The joiner killed at day 5: the host plays on and says who left.
start_host host2
start_joiner join2
wait_for "$WORK/join2.out" "^day 5 " || fail "the joiner never reached day 5"
kill -9 "$JOIN_PID"
wait "$HOST_PID" || fail "the host ended with an error after the joiner was killed"
ran_all host2
grep -q "Player 2 (.*) DISCONNECTED\." "$WORK/host2.err" || fail "the host did not report the departure"

# 3. Noise on the host's port before a joiner: the game goes on.
start_host host3
head -c 3000 /dev/urandom >"/dev/tcp/127.0.0.1/$PORT" 2>/dev/null
printf 'GET / HTTP/1.0\r\n\r\n' >"/dev/tcp/127.0.0.1/$PORT" 2>/dev/null
start_joiner join3
wait "$JOIN_PID" || fail "the joiner ended with an error after the noise"
wait "$HOST_PID" || fail "the host ended with an error after the noise"
ran_all host3

# 4. The host killed at day 5: the joiner hears it and ends cleanly. Both
# are given more days than they can play before the kill, however loaded the
# machine, so the host is still there to be killed.
DAYS=100000 start_host host4
DAYS=100000 start_joiner join4
wait_for "$WORK/join4.out" "^day 5 " || fail "the joiner never reached day 5 with the host"
kill -9 "$HOST_PID" || fail "the host had ended before it was killed"
status=0
wait "$JOIN_PID" || status=$?
[ "$status" -eq 3 ] || fail "the joiner whose host was killed ended with status $status, not 3"
grep -q "HOST CONNECTION LOST\." "$WORK/join4.err" || fail "the joiner did not report the lost host"
# One line names the day the game stopped on: the last day line printed.
last=$(grep '^day ' "$WORK/join4.out" | tail -n 1 | cut -d' ' -f2)
grep -q "^the host is gone: the game stopped after day $last," "$WORK/join4.err" ||
  fail "the joiner's stop line does not name its last day ($last)"
grep -q "^network: the host (region 1) left the game" "$WORK/join4.err" ||
  fail "the joiner did not name the host as gone"
grep -q "^network: the player of region 2 left" "$WORK/join4.err" && fail "the joiner named its own region as gone"
grep -q "network code 0x" "$WORK/join4.err" "$WORK/host2.err" && fail "a network code printed as a number"

# 5. Eight connections that each send a hello's length and nothing more,
# then a joiner, while the eight are renewed all game long: it plays every day.
half_hello() { exec {fd}<>"/dev/tcp/127.0.0.1/$PORT" && printf '\x35\x00\x00\x00' >&"$fd"; }
start_host host5
IDLE=()
for _ in 1 2 3 4 5 6 7 8; do half_hello || fail "cannot connect to the host"; IDLE+=("$fd"); done
( while kill -0 "$HOST_PID" 2>/dev/null; do
    held=()
    for _ in 1 2 3 4 5 6 7 8; do half_hello 2>/dev/null && held+=("$fd"); done
    sleep 1
    for f in "${held[@]}"; do exec {f}>&-; done
  done ) &
PIDS+=($!)
start_joiner join5
wait "$JOIN_PID" || fail "the joiner ended with an error beside idle connections"
wait "$HOST_PID" || fail "the host ended with an error beside idle connections"
ran_all host5 && ran_all join5
for f in "${IDLE[@]}"; do exec {f}>&-; done

# 6. A stranger that says a valid hello and is never ready gets no region
# and is dropped at the start; the joiner after it gets the region and both
# play every day.
start_host host6
exec {silent}<>"/dev/tcp/127.0.0.1/$PORT" || fail "cannot connect to the host"
{ printf '\x35\x00\x00\x00\x01VDP1Silent'; head -c 42 /dev/zero; } >&"$silent"
# The host's welcome: the stranger is a player before the joiner comes.
timeout 60 head -c 1 <&"$silent" >/dev/null || fail "the stranger was not welcomed"
start_joiner join6
wait "$JOIN_PID" || fail "the joiner after a stranger never ready ended with an error"
wait "$HOST_PID" || fail "the host ended with an error after dropping a stranger"
ran_all host6 && ran_all join6
grep -q "^the player in slot 2 has no region to play: dropped" "$WORK/host6.err" || fail "the stranger was not dropped"
exec {silent}>&-
echo "network runs: all passed"
