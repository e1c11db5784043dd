#pragma once
// The unit bars of the map: beside each visible stack's symbols, a strength
// bar per unit (or one per stack) and a square whose colour runs from red
// to yellow with the unit's readiness.
#include <cstdint>

#include "screens/common/screen_types_fwd.h"

// How ready the unit is to fight, 0 to 1: its state (disruption, morale,
// efficiency), cut down when its ammunition or fuel is below a fifth of a
// full load.
float UnitReadiness(const World& world, const UnitRecord& unit, const UnitClassRecord& cls);
// The bar's length in map pixels by the options, never past the 32 of a
// full bar.
float UnitBarLength(const UnitRecord& unit, const UnitClassRecord& cls);

// The bars layer of the map frame.
void DrawUnitHudBars(const MapView& view);
// The bars of one stack, numbered down to 0 from the last drawn; a stack of
// one unit draws index -1 at the unit's own offset.
void DrawHexHudBars(const MapView& view, uint32_t hex, const HexUnitStack& stack, int32_t);
// One bar at (x, y) with its index; on the map in map pixels, else in
// screen pixels with the offset scaled.
void DrawUnitHudBar(const MapView& view, float x, float y, int32_t index, bool onMap, float scaleX, float scaleY,
                    const UnitRecord& unit);
