#pragma once
// The lead unit of a hex and the hex's state.
struct World;
struct UnitRecord;

// Retires the unit on its hex: the unit loses its class (so it is no longer
// live) and the hex is refreshed.
void UnitHexRefresh(World& world, UnitRecord& unit);
