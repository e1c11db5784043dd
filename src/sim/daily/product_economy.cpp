#include "sim/daily/product_economy.h"

#include "world/player_record.h"
#include "world/world.h"

void DailyProductPrices(World&, PlayerRecord&) {
  // Prices come with the product economy.
}

void DailyProductOutput(World&, PlayerRecord&) {
  // Output comes with the product economy.
}

void DailyProduction(World&, PlayerRecord&) {
  // Production comes with the product economy.
}

void DailyBudgetAndTrade(World&, PlayerRecord&) {
  // Budget and trade come with the product economy.
}
