#pragma once
// A unit's class record, looked up by its class index in the world's class
// table (records are not pointed at: a class file read later replaces the
// table).
#include <cstdint>

#include "records/unit_record.h"
#include "world/data_tables.h"
#include "world/world.h"

// A class's full strength: what one unit of size 1 holds.
inline float ClassFullStrength(const UnitClassImage& c) { return static_cast<float>(c.strengthPerSize); }
// A merge may make a unit up to this many times its class's full strength,
// which is also the most a unit of a class ever holds.
inline constexpr float kMergeCeiling = 1.75f;

// The class of that index, or null when the table has no such class.
// (Inline: every unit step and path search asks it many times.)
inline const UnitClassRecord* ClassRecordAt(const World& world, int32_t classIndex) {
  if (classIndex < 0 || static_cast<size_t>(classIndex) >= world.unitClasses.size()) return nullptr;
  return &world.unitClasses[static_cast<size_t>(classIndex)];
}
// The unit's class, or null for class 0's absence or an index off the table.
inline const UnitClassRecord* UnitClassOf(const World& world, const UnitImage& unit) {
  return ClassRecordAt(world, unit.classIndex);
}

// A class a player may order units of: in the table, not class 0, and with
// a strength per unit of size.
bool UnitClassOrderable(const World& world, int32_t classIndex);
