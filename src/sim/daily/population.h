#pragma once
// A region's people: births, deaths, migration, recruitment, and the social
// levels.
// Steps of the daily driver, run on the turn thread.
#include <cstdint>

struct PlayerRecord;
struct World;

void DailyPopulation(World& world, PlayerRecord& region);
void DailySociety(World& world, PlayerRecord& region);
