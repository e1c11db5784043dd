#include "sim/daily/hex_pass.h"

#include "world/world.h"

void DailyHexPass(World&) {
  // The hexes' day comes with the daily hex pass.
}
