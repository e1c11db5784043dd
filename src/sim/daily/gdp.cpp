#include "sim/daily/gdp.h"

#include "world/player_record.h"
#include "world/world.h"

float TaxBurden(const PlayerPolicyBlock& b) {
  const float* t = b.taxRates;
  return (t[0] + t[1]) / 52.0f + (t[6] + t[7]) / 166.0f + (t[2] + t[3] + t[9] + t[10] + t[11]) / 5.0f + b.userfees +
         t[8] + t[5] + t[4];
}

void DailyGdpCalc(World&, PlayerRecord&) {
  // The GDP step comes with the region economy.
}
