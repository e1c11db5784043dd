#pragma once
// A region's daily GDP per head, unemployment, growth and credit.
// Steps of the daily driver, run on the turn thread.
#include <cstdint>

struct PlayerPolicyBlock;
struct PlayerRecord;
struct World;

void DailyGdpCalc(World& world, PlayerRecord& region);

// The weight of a settings copy's taxes: sales taxes count a 52nd, duties a
// 166th, the business and income taxes a fifth, the rest in full.
float TaxBurden(const PlayerPolicyBlock& block);
