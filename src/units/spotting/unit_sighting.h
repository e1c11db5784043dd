#pragma once
// What a unit's sensors mark on the spotting map and who sees the unit: one
// sighting spread and one seen-by threshold, shared by a unit arriving on a
// hex, the spotting map's build at game start and the unit step.
#include <cstdint>

struct World;
struct UnitRecord;
struct UnitClassImage;

inline constexpr int kUnitTypeCount = 26;

// Minutes to a unit's next sighting update: the low 8 bits of 120 times its
// type's period (3 gives 104, 6 gives 208, 7 gives 72). A type beyond the
// table reads its last entry.
uint8_t SightingCountdown(uint8_t unitType);

// How the unit's sight spreads from its hex.
struct SightSpread {
  bool pointOnly = false;  // marks its own hex only
  int32_t strength = 0;    // the class's sight value, the fill's budget
  int32_t radius = 0;      // R: the box's half-width in columns and rows
  int32_t stepCost = 1;    // what each step of the fill spends
  int32_t mode = -1;       // -1 (covered or high ground costs 2) or -2
};
SightSpread UnitSightSpread(const World& world, const UnitRecord& unit, const UnitClassImage& cls);

// The spotting map has one byte per player for every cell of the map.
bool SpottingMapFits(const World& world);
// Sizes the map to the world (zeroed) when it does not fit.
void EnsureSpottingMap(World& world);

// Raises the owner's spotting bytes around the unit from its sensors (point
// spotting or the fill over the range map) and reloads its sighting
// countdown. Does nothing to the map when it does not fit.
void UnitMarkSighting(World& world, UnitRecord& unit, const UnitClassImage& cls);

// The spotting value a player needs at the unit's hex to see it (256: no one
// can). With askAirfieldByte an air base hides its aircraft only when its
// class's byte 133 is not 0.
int32_t UnitSightThreshold(const World& world, const UnitRecord& unit, const UnitClassImage& cls, bool askAirfieldByte);

// Adds the players whose spotting value at the unit's hex reaches the
// threshold and drops those below max(threshold - 10, 1); the schedule
// entry's copy follows. A facility is seen by all. Without a spotting map
// the mask is left as it is.
void UpdateUnitSeenBy(World& world, UnitRecord& unit, const UnitClassImage& cls, bool askAirfieldByte);
