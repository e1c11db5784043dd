#pragma once
// The lead unit of a hex and the hex's state.
#include <cstdint>

struct World;
struct UnitRecord;

// Repair units around a hex: 1 plus, over the hex and its six neighbours
// that have repair units present, each repair unit's efficiency x quality x
// strength x max(0, 1 - wear) / 50; above 1 its square root. `fast` tells
// whether a settlement-class unit stands among them.
float HexRepairFactor(World& world, int32_t x, int32_t y, bool* fast);

// One day of a facility being taken down on a hex whose level is given: its
// strength runs down at the hex's working rate, part of its resources go
// back to its owner's stocks, and at no strength it is retired.
void UnitHexDailyUpdate(World& world, UnitRecord& unit, uint8_t level);

// Retires the unit on its hex: the unit loses its class (so it is no longer
// live), the hex's improvement slots that needed it settle, and the hex's
// presence flags are counted again.
void UnitHexRefresh(World& world, UnitRecord& unit);
