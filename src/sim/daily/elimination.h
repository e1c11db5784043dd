#pragma once
// A region's capital and elimination, the hand-over of its hexes and units,
// and the end-of-turn top-up of computer regions' treasuries.
// Steps of the daily driver, run on the turn thread.
#include <cstdint>

struct PlayerRecord;
struct World;

void CheckElimination(World& world, PlayerRecord& region, int32_t force, int32_t endReasonLastStanding,
                      int32_t endReasonLocalLost);
void TransferPlayerUnits(World& world, PlayerRecord& region, int32_t mode);
void TopUpKind3Reserve(World& world);
