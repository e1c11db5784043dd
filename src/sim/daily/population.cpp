#include "sim/daily/population.h"

#include "world/player_record.h"
#include "world/world.h"

void DailyPopulation(World&, PlayerRecord&) {
  // Population comes with the region economy.
}

void DailySociety(World&, PlayerRecord&) {
  // Society comes with the region economy.
}
