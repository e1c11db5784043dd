#pragma once
// The figures the hex columns of the side panels show, one rule each: the
// hex's loyalty, the owner's effect multiplier for a facility class, a
// facility's output table, what the hex yields of each product, and what
// makes a hex an industry. Callers hold the simulation lock.
#include <cstdint>
#include <string>

#include "screens/common/screen_types_fwd.h"

inline constexpr int kHexProducts = 11;

// The hex's cell, null for an index outside the map.
const HexCell* HexCellOf(const World& world, int64_t cellIndex);
// The class record of a unit or class index, null for class 0 or one
// outside the table.
const UnitClassRecord* HexClassOf(const World& world, int32_t classIndex);
// The class of the hex's known facility, class 0's record without one (null
// only when the world has no classes).
const UnitClassRecord* KnownClass(const World& world, const HexCell& cell);

// The people of the hex as the side column and the hex menu show them: the
// weight of its ground and its settlement, whole, in thousands groups.
std::string HexPeopleText(const World& world, const HexCell& cell);

// The hex's loyalty: its open facility's, else that of the region the hex is
// loyal to.
float HexLoyalty(const World& world, const HexCell& cell);
// The loyalty that carries work on the hex: its loyalty where the region
// that holds it is the one it is loyal to, else none.
float HexWorkLoyalty(const World& world, const HexCell& cell);

// The owner's effect multiplier for a facility class; 1.0 for the classes
// that have none.
float ClassEffectMultiplier(const World& world, int owner, int32_t classIndex);

// The class's output per product when it has a table (class flag 8).
bool ClassOutputTable(const UnitClassRecord& cls, float (&out)[kHexProducts]);
// The product a class's graph shows: its largest output (the first of
// equals), 0 without a table.
int GraphProduct(const UnitClassRecord& cls);

// What a hex yields of each product, as its bars show it: the area
// potential, raised by the own output of a visible facility that needs no
// local resources, or the ground's own value where that is more (shown),
// and what the hex yields itself with the facility's output (mark).
struct HexYield {
  float shown[kHexProducts] = {};
  float mark[kHexProducts] = {};
};
HexYield HexResourceYield(const World& world, const HexCell& cell);

// A base or depot that can be upgraded: a staffed facility of none of the
// special kinds, of facility kind 0, with room for units.
bool IsUpgradableIndustry(const UnitClassRecord& cls);
// A hex the industry panel counts as an industry: its present facility is
// an upgradable industry, a settlement or a production facility; failing
// that, its known facility's class (class 0 without one) is a staffed
// facility of a facility kind.
bool IsIndustrialHex(const World& world, const HexCell& cell);
// A staffed facility of no special kind and facility kind 0 that holds a
// queue: it has room for units or is an air or naval base.
bool HasIndustryQueue(const UnitClassRecord& cls);

