#include "sim/daily/world_market.h"

#include "world/world.h"

void ClearWorldMarket(World&) {
  // The market comes with the world market.
}
