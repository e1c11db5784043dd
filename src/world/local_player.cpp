#include "world/local_player.h"

#include "records/player_record.h"
#include "world/world.h"

bool IsPlayerSlot(int32_t index) { return index >= 0 && index < kMaxPlayers; }

int32_t LocalPlayerIndex(const World& world) {
  const int32_t local = world.gameState.localPlayer;
  return IsPlayerSlot(local) ? local : -1;
}

PlayerRecord* LocalPlayer(World& world) {
  const int32_t local = LocalPlayerIndex(world);
  return local < 0 ? nullptr : &world.players[local];
}

const PlayerRecord* LocalPlayer(const World& world) {
  const int32_t local = LocalPlayerIndex(world);
  return local < 0 ? nullptr : &world.players[local];
}
