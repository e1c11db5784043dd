#pragma once
// The two research figures the computer players weigh: the research sites
// the region has committed (A) and the items it has under research (B). A
// region with more sites than items has room for a new project.
#include <cstdint>

#include "records/player_record.h"
#include "sim/daily/research_fields.h"

inline int32_t ResearchFigureA(const PlayerRecord& region) {
  return static_cast<int32_t>(RecordF32(region, kCapacityByKind + 4));
}
inline int32_t ResearchFigureB(const PlayerRecord& region) {
  return static_cast<int16_t>(RecordU16(region, kResearchItemCount));
}
