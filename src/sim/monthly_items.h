#pragma once
// The monthly payments of a new game: every active region with a yearly
// amount gets twelve monthly items to the world bank, due on the 15th, the
// first in this month when the game starts by the 10th, else in the next.
#include <cstdint>

struct World;

void CreateMonthlyItems(World& world);
