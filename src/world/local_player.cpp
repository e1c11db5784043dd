#include "world/local_player.h"

#include "records/player_record.h"
#include "world/world.h"

int32_t LocalPlayerIndex(const World& world) {
  const int32_t local = world.gameState.localPlayer;
  return local >= 0 && local < kMaxPlayers ? local : -1;
}

PlayerRecord* LocalPlayer(World& world) {
  const int32_t local = LocalPlayerIndex(world);
  return local < 0 ? nullptr : &world.players[local];
}

const PlayerRecord* LocalPlayer(const World& world) {
  const int32_t local = LocalPlayerIndex(world);
  return local < 0 ? nullptr : &world.players[local];
}
