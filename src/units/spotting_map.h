#pragma once
// The spotting map: how well each player sees each hex, rebuilt from the
// units' spotting ranges at game start.
#include <cstdint>

struct World;

void BuildSpottingMap(World& world);
