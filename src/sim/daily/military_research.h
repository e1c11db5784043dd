#pragma once
// A region's daily research spending, technology level and special programs.
// Steps of the daily driver, run on the turn thread.
#include <cstdint>

struct PlayerRecord;
struct World;

void DailyMilitaryResearch(World& world, PlayerRecord& region);

// The items the day researches for the region, in list order up to the
// capacity: pursued, neither held nor closed, and still open to it. By the
// simulation copy of their flags, or the display copy in which a project
// the player begins counts at once, as the research lists show it. The
// caller holds the project list lock.
int ResearchItemsUnderWay(const World& world, int self, float capacity, bool displayCopy);

// The day's base research cost at a technology level: ten times as much for
// every 20 levels.
float ResearchBaseCost(float techLevel);
