#include "sim/daily/military_research.h"

#include "world/player_record.h"
#include "world/world.h"

void DailyMilitaryResearch(World&, PlayerRecord&) {
  // Research comes with military research.
}
