#pragma once
// The world market's daily clearing, product by product.
// Steps of the daily driver, run on the turn thread.
#include <cstdint>

struct World;

void ClearWorldMarket(World& world);
