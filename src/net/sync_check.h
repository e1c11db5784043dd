#pragma once
// Comparing a peer's sync-check entries (command 0x8001, simulation pass)
// with this process's own state.
#include <cstdint>
#include <vector>

struct World;

// Compares the entries carried in the payload, sent by `player` for the
// given kind and tick, with the local state; takes the payload.
void CheckSyncEntries(World& world, int player, uint32_t arg32, uint32_t arg28, std::vector<uint8_t> payload);
