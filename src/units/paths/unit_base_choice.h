#pragma once
// Choosing the base an aircraft or ship heads for: its destination while it
// is still a base within reach, else the base or carrier it is going to,
// else the nearest of its side's.
#include <cstdint>

struct World;
struct UnitRecord;
struct HexCell;

// The kind of base the hex's lead facility makes for units (0 land, 1 air,
// 2 sea), or -1: none, or a lead that is gone, provisional, in reserve or
// of a class that is no base. With strict a lead that loads no units is
// none too.
int HexBaseKind(const World& world, const HexCell& cell, bool strict);

// The hex may serve the unit as a base: its owner's, granted to its move
// kind, or unowned water.
bool HexUsableAsBase(const World& world, const UnitRecord& unit, const HexCell& cell);

// Decides where the unit's base is, sends it there when that changed, and
// returns its destination afterwards. strict asks for a base that loads
// units.
uint32_t UnitChooseBase(World& world, UnitRecord& unit, bool strict = false);
