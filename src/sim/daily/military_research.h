#pragma once
// A region's daily research spending, technology level and special programs.
// Steps of the daily driver, run on the turn thread.
#include <cstdint>

struct PlayerRecord;
struct World;

void DailyMilitaryResearch(World& world, PlayerRecord& region);

// The day's base research cost at a technology level: ten times as much for
// every 20 levels.
float ResearchBaseCost(float techLevel);
