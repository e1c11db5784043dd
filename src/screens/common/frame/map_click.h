#pragma once
// What a left click on the map does while another screen waits for a hex:
// a destination for a pending object or unit, or painting a land area; and
// going to an object on the map. Window thread only.
#include <cstdint>

#include "records/hex_cell.h"
#include "screens/common/screen_types_fwd.h"

// ScreenSet::mapClickMode values.
enum MapClickMode : int32_t {
  kClickNone = 0,
  kClickObjectDestination = 1,  // posts the pending object's destination
  kClickAreaPaint = 2,          // adds hexes to, or takes them from, an area tag
  kClickUnitDestination = 3,    // posts the pending unit's target hex
};

// What the waiting screen set with the mode.
struct MapClickPending {
  uint32_t objectId = 0;
  uint32_t unitId = 0;
  int32_t areaTag = 0;  // 0 to 7: bit 16 + tag of the cell word
};
extern MapClickPending g_mapClickPending;

// The map waits for a click on a hex to aim the unit (a missile) at. The
// pick ends with the click, or with the click mode.
void BeginUnitTargetPick(ScreenSet& screens, uint32_t unitId);
void EndUnitTargetPick(const ScreenSet& screens);

// Performs the pending-hex action of the current click mode on the packed
// hex; no hex ((0, 0) or off the map) does nothing and keeps the mode.
void ExecuteHexClick(ScreenSet& screens, uint32_t packedHex);
// Whether area painting may toggle the hex: a member leaves unless its
// in-area neighbours form two or more separate arcs (it holds the area
// together); a newcomer joins an empty area or one it touches. Off-map
// neighbours are out of every area.
bool AreaHexMayToggle(const World& world, uint32_t packedHex, int32_t tag);
// Adds a rectangle of hexes (first and last, packed) to the area tag: to an
// area that has hexes only when one of them already belongs. The areas are
// counted again in any case.
void PaintAreaBand(ScreenSet& screens, uint32_t first, uint32_t last);

// Centres the map on the unit, or on its carrier when the unit has no hex.
void GotoMapObject(const UnitRecord* unit);
