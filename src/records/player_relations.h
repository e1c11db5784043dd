#pragma once
// How one region stands toward another: itself, a friend, neutral or an
// enemy at war. Lists filter on it; units fire, launch and strike only at
// the hostile class.
#include <cstdint>

#include "records/player_record.h"

// Relation classes; a relation mask is an OR of them.
inline constexpr uint32_t kRelationSelf = 1;
inline constexpr uint32_t kRelationFriendly = 2;
inline constexpr uint32_t kRelationNeutral = 4;
inline constexpr uint32_t kRelationHostile = 8;

// The class of `player` seen from the viewer through one settings copy
// (0 display, 1 simulation: what the turn thread decides by).
inline uint32_t RelationClassOf(const PlayerRecord& viewer, int copy, int player) {
  if (player == viewer.number) return kRelationSelf;
  const PlayerPolicyBlock& block = copy == 0 ? viewer.displayPolicy : viewer.simPolicy;
  const uint32_t bit = 1u << (static_cast<uint32_t>(player) & 31u);
  if (block.hostileMask & bit) return kRelationHostile;
  if (block.friendlyMask & bit) return kRelationFriendly;
  return kRelationNeutral;
}

// The relation the markers and the deal editor show, from the viewer's
// display copy: 1 allied (even when also an enemy), else 3 enemy, else 0
// itself, else 2 neutral. The lists above go by RelationClassOf, which puts
// enemies first.
inline int32_t RelationClass(const PlayerRecord& viewer, int player) {
  const uint32_t bit = player >= 0 && player < kMaxPlayers ? 1u << static_cast<uint32_t>(player) : 0u;
  if (viewer.displayPolicy.friendlyMask & bit) return 1;
  if (viewer.displayPolicy.hostileMask & bit) return 3;
  if (player == viewer.number) return 0;
  return 2;
}
