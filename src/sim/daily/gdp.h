#pragma once
// A region's daily GDP per head, unemployment, growth and credit.
// Steps of the daily driver, run on the turn thread.
#include <cstdint>

struct PlayerRecord;
struct World;

void DailyGdpCalc(World& world, PlayerRecord& region);
