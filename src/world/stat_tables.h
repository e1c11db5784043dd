#pragma once
// The world's statistics tables: each region's influence, its share of the
// world's influence and its rank, with the previous day's copy of each, and
// the region of greatest influence. Recomputed every day; never stored.
#include <cstdint>

#include "records/player_record.h"

struct WorldStatTables {
  float influence[kMaxPlayers] = {};
  float share[kMaxPlayers] = {};
  int32_t rank[kMaxPlayers] = {};
  float previousInfluence[kMaxPlayers] = {};
  float previousShare[kMaxPlayers] = {};
  int32_t previousRank[kMaxPlayers] = {};
  int32_t leader = 0;
};
