#pragma once
// The daily pass over every hex of the map: levels follow the range map,
// hexes change hands, yields and population are counted, lead facilities are
// built, repaired and paid for, and the improvement slots advance.
// Steps of the daily driver, run on the turn thread.
#include <cstdint>
#include <vector>

struct World;

void DailyHexPass(World& world);
// Whether DailyHexPass runs over the world's hexes (the day's hex figures are
// counted only then).
bool DailyHexPassRuns(const World& world);

// The per-hex maps the pass reads and writes, in cell order: each hex's
// level (0: no force holds it) and the range map built just before.
struct HexDayMaps {
  std::vector<uint8_t> levels;
  std::vector<uint16_t> ranges;
};

// The pass over the given maps; nothing when the map has no cells or the
// maps do not cover it.
void DailyHexPassOver(World& world, HexDayMaps& maps);

// A level's next value: it rises by a tenth of the range plus one a day up
// to the range (at most 255) and falls to it at once.
uint8_t NextHexLevel(uint8_t level, uint16_t range);
