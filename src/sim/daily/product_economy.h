#pragma once
// The daily product economy of a region: prices, output, production, and
// in the second group budget and trade.
// Steps of the daily driver, run on the turn thread.
#include <cstdint>

struct PlayerRecord;
struct World;

void DailyProductPrices(World& world, PlayerRecord& region);
void DailyProductOutput(World& world, PlayerRecord& region);
void DailyProduction(World& world, PlayerRecord& region);
void DailyBudgetAndTrade(World& world, PlayerRecord& region);
