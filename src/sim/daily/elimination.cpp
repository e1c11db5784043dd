#include "sim/daily/elimination.h"

#include "world/player_record.h"
#include "world/world.h"

void CheckElimination(World&, PlayerRecord&, int32_t, int32_t, int32_t) {
  // Elimination comes with the region economy.
}

void TransferPlayerUnits(World&, PlayerRecord&, int32_t) {
  // The hand-over of units comes with elimination.
}

void TopUpKind3Reserve(World&) {
  // The top-up comes with elimination.
}
