#pragma once
// The daily pass over every hex of the map: levels follow the range map,
// hexes change hands, yields and population are counted, lead facilities are
// built, repaired and paid for, and the improvement slots advance.
// Steps of the daily driver, run on the turn thread.
#include <cstdint>

struct World;

void DailyHexPass(World& world);
