#pragma once
// What the world lends the network session: the session reads and writes
// the world's slot table and set-up records and reads its clock, local
// region, players' slots and chat history limit, never the world itself.
struct NetSessionGame;
struct World;

// Points the game's records at the world's; its two calls stay as they are.
void LendWorldToSession(NetSessionGame& game, World& world);
