#pragma once
// Comparing a peer's sync-check entries (command 0x8001, simulation pass)
// with this process's own state.
#include <cstdint>
#include <vector>

struct World;

// The minute loop's progress check: false while a person's peer has not
// reported within the command lead of the current tick. Always true outside
// a networked game. Reads the slot table without its lock (one byte and one
// word per slot).
bool CheckPlayersState(const World& world, bool networked);

// Compares the entries carried in the payload, sent by `player` for the
// given kind and tick, with the local state; takes the payload.
void CheckSyncEntries(World& world, int player, uint32_t arg32, uint32_t arg28, std::vector<uint8_t> payload);
