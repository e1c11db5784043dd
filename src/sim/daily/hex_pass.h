#pragma once
// The daily pass over every hex of the map: levels follow the range map,
// hexes change hands, yields and population are counted, lead facilities are
// built, repaired and paid for, and the improvement slots advance.
// Steps of the daily driver, run on the turn thread.
#include <cstdint>
#include <vector>

struct HexCell;
struct HexExtra;
struct HexUnitStack;
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

// What the pass learns of a hex while counting it, for the day's work that
// follows.
struct HexFigures {
  int owner = 0;
  int contender = 0;
  uint32_t terrainFlags = 0;
  uint32_t leadFlags = 0;
  // The hex's efficiency: its lead's, or the holder's without one; 0 when
  // another region occupies it.
  float efficiency = 0.0f;
  HexUnitStack* stack = nullptr;
  HexExtra* extra = nullptr;
};

inline constexpr int kHexYieldProducts = 11;
// The cell's yields of the eleven products as the day counts them, and the
// caps its neighbourhood allows (its own yield where that is greater); all
// 0 for a cell off the map or without a terrain.
void HexYieldEstimate(const World& world, int32_t cell, float (&yields)[kHexYieldProducts],
                      float (&caps)[kHexYieldProducts]);

// Counts the hex (x, y) for its owner at the given level: the hex itself,
// its population, its yields when the level is not 0 and its owner is not
// the world, and its settlement as the owner's best when it is the largest
// so far. The map editor recounts the whole map with it too.
HexFigures CountHexFigures(World& world, HexCell& hex, int32_t x, int32_t y, uint8_t level);
