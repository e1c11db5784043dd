#pragma once
// What the clock, the daily driver and the victory check tell the players
// goes through the player-message code, which installs these calls. Until it
// does, nothing is told.
#include <cstdint>

struct PlayerRecord;
struct World;

struct PlayerMessageLink {
  // One message of a type to one region, about player `subject`, with its
  // first parameter.
  void (*post)(World& world, PlayerRecord& recipient, int32_t subject, int32_t typeId, uint32_t p1) = nullptr;
  // The message kept for a player until its turn comes (hot-seat play and
  // the start of a game).
  void (*deliverTurnMessage)(World& world, PlayerRecord& player) = nullptr;
};

extern PlayerMessageLink g_playerMessageLink;

void PostPlayerMessageTo(World& world, PlayerRecord& recipient, int32_t subject, int32_t typeId, uint32_t p1);
