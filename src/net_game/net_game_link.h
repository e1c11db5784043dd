#pragma once
// The calls the simulation makes into the network while a network game
// runs: installed in one place when the game starts and removed when it
// stops (NetGameStops, sim/game_stop.h), so a game without a session never
// reaches the network.
#include <cstddef>
#include <cstdint>

struct NetSession;

// The session's game starts here: the command pipeline learns its role and
// sends through the session, the clock waits for lagging peers, speed
// changes and player messages travel, and the stop closes the session.
void NetGameStarts(NetSession& session);

// The pipeline's send: one message (head and payload) to every peer,
// without loopback. A progress report also records this peer's own
// progress, which its slot needs as much as the others'.
int32_t NetSendToPeers(NetSession& session, const uint8_t* message, size_t length);
