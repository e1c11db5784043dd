#pragma once
// A unit's class record, looked up by its class index in the world's class
// table (records are not pointed at: a class file read later replaces the
// table).
#include <cstdint>

#include "world/data_tables.h"

struct World;
struct UnitImage;

// The class of that index, or null when the table has no such class.
const UnitClassRecord* ClassRecordAt(const World& world, int32_t classIndex);
// The unit's class, or null for class 0's absence or an index off the table.
const UnitClassRecord* UnitClassOf(const World& world, const UnitImage& unit);

// A class a player may order units of: in the table, not class 0, and with
// a strength per unit of size.
bool UnitClassOrderable(const World& world, int32_t classIndex);
