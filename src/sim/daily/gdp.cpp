#include "sim/daily/gdp.h"

#include "world/player_record.h"
#include "world/world.h"

void DailyGdpCalc(World&, PlayerRecord&) {
  // The GDP step comes with the region economy.
}
