#pragma once
// What the command pipeline needs of the network: whether this process runs
// a network game and in which role, and the call that sends a posted
// command to the peers. The network layer fills it in when a network game
// starts and clears it when the game ends (never while commands are being
// posted); with no send call installed nothing is sent.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

enum NetGameRole : int32_t { kNetGameNone = 0, kNetGameHost = 1, kNetGameClient = 2 };

// Sends one message to every peer with guaranteed delivery and without
// looping it back to this process. The pipeline ignores the result: a
// failed send leaves the command executed and logged here.
using CommandSendHook = int32_t (*)(const uint8_t* message, size_t length);

struct World;

struct CommandNetLink {
  NetGameRole role = kNetGameNone;
  CommandSendHook send = nullptr;
  // Whether every player of the network game is in step; the game clock
  // waits while it answers false. Without it the players count as in step.
  bool (*playersInStep)() = nullptr;
  // Joining a running network game: the session hears that the game starts,
  // the players read "Has Joined Game." and the peers get the sync
  // information of the loaded game.
  void (*announceJoin)(World& world, int32_t loadedFromSave) = nullptr;
  // A peer's sync-check entries (command 0x8001) for the tick (arg32) and
  // type (arg28), compared with this process's own. Without it nothing is
  // compared: a game of one process builds no entries to compare with.
  void (*checkSyncEntries)(World& world, int player, uint32_t arg32, uint32_t arg28,
                           std::vector<uint8_t> payload) = nullptr;
};

extern CommandNetLink g_commandNet;

// The network threads ask for the role while the main thread sets it as a
// game starts and stops: both go through these.
inline NetGameRole NetRole(const CommandNetLink& net) {
  return std::atomic_ref<NetGameRole>(const_cast<NetGameRole&>(net.role)).load(std::memory_order_relaxed);
}
inline void SetNetRole(CommandNetLink& net, NetGameRole role) {
  std::atomic_ref<NetGameRole>(net.role).store(role, std::memory_order_relaxed);
}
static_assert(alignof(NetGameRole) >= std::atomic_ref<NetGameRole>::required_alignment);

inline bool IsNetworkGame(const CommandNetLink& net) { return NetRole(net) != kNetGameNone; }
