#pragma once
// A region's daily research spending, technology level and special programs.
// Steps of the daily driver, run on the turn thread.
#include <cstdint>

struct PlayerRecord;
struct World;

void DailyMilitaryResearch(World& world, PlayerRecord& region);
