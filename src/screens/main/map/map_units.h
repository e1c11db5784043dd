#pragma once
// The units layer of the map: which units and hexes the local side sees,
// the symbol of one unit (on the map, or scaled in screen pixels off it)
// and the symbols of every stack in view.
#include <cstdint>

#include "platform/window.h"
#include "screens/common/screen_types_fwd.h"
#include "screens/common/units/class_symbols.h"

// A unit of another player is hidden while the fog and the per-unit sight
// rules hold, unless the local side (the local player and those sharing its
// sight) has seen it.
bool UnitShownToLocalSide(const World& world, const UnitRecord& unit);
// The hex is left out of the unit layers: a spotting map exists, the fog
// holds, and nobody on the local side sees the hex.
bool HexHiddenFromLocalSide(const World& world, uint32_t hex);

// The cell of a hex (column already on the map); null off the map.
HexCell* MapCell(World& world, uint32_t hex);

// The texture of a symbol number in the first or second table; numbers
// outside 0 to 429 show symbol 0. Loaded on first use.
Texture* SymbolTexture(int32_t number, bool secondTable);
// The tint of a unit's symbol by the colour options and the owner's
// relation to the local player.
uint32_t UnitSymbolTint(const World& world, const UnitRecord& unit);
// The unit's selected mark: drawn on a disc of its owner's colour.
bool UnitMarked(const UnitRecord& unit);

// One unit's symbol at (x, y) plus its offset in the hex, 82 x 40: on the
// map in map pixels through the view; off it in screen pixels, the offset
// scaled by scaleX and scaleY.
void DrawUnitIcon(const MapView& view, float x, float y, const UnitRecord& unit, bool onMap, float scaleX, float scaleY);
// The symbols of a hex's stack: submarine, sea, land, then air 5 pixels
// higher, so that air units lie on top.
void DrawHexUnitIcons(const MapView& view, uint32_t hex, const HexUnitStack& stack, int32_t, int32_t);
// The units layer of the map frame.
void DrawAllUnitsLayer(const MapView& view);

// The unit categories in the order their symbols and bars are drawn.
inline constexpr int kStackDrawOrder[4] = {3, 2, 0, 1};
inline constexpr int kAirCategory = 1;
