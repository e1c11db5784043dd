#pragma once
// The units selected on the map: the selection list (unit ids, looked up
// again on every use), the units' selected marks, the hover stack under the
// cursor, the map selection words, the selection flags, and choosing units
// with a click or the rubber band. Window thread.
#include <cstdint>
#include <vector>

#include "screens/common/screen_types_fwd.h"
#include "world/list_holder.h"

// Flags of the selection; CloseMapPopups clears all four.
struct SelectionState {
  int32_t fromList = 0;   // picked in the stack list with its all-units row
  int32_t orderMenu = 0;  // the unit orders panel was opened from the order menu
  // Map click of the last right click (packed hex; 0 none).
  uint32_t clickedHex = 0;
};
extern SelectionState g_selection;

// The units under the cursor, filled by the tooltip code; the stack list
// shows it.
ListHolder& HoverStackList();

// The live selected units, in selection order; gone or removed units are
// dropped from the selection on the way. Hold the simulation lock while the
// pointers are used.
std::vector<UnitRecord*> SelectedUnits(World& world, ScreenSet& screens);
// Adds the unit to the list (by id) unless it is there already.
void AddUnitRef(ListHolder& list, const UnitRecord& unit);

// Clears every unit's selected mark; sets it for each unit of the list.
void ClearUnitSelectFlags(World& world);
void MarkStackUnits(World& world, const ListHolder& list);
// Unless adding, empties the destination; appends each unit of the source
// that the destination does not hold yet. Returns the number of source
// items.
int32_t CopyUnitList(World& world, bool add, ListHolder& destination, const ListHolder& source);

// Records the kind and the first route pair from the selected hex, when
// there is one, in the map's one set of selection words (g_mapRoute).
void SetMapSelection(World& world, int32_t kind);

// The rubber band's top-left and bottom-right hexes (packed; off the map
// (0, 0)).
void BandToHexes(uint32_t& first, uint32_t& second);

// Selects the visible units of the clicked hex, or of every hex of the
// rubber band while one is drawn: with one candidate and bautoselsingle, or
// with add, they become the selection and their orders are shown; else the
// stack list opens at (x, y). add -1: from Shift and the options
// bautoselstack and bautoselrband. A click on no hex does nothing.
void SelectUnitsAtClick(ScreenSet& screens, int32_t x, int32_t y, int32_t add);

// The orders panel, and beside it the unit panel listing the selection.
void OpenSelectionOrderPanels(ScreenSet& screens);
// Opens the orders panel for the selection (when it holds a unit).
void ShowSelectionOrders(ScreenSet& screens);

// Makes the local player's visible units on the hex (packed) the selection
// and opens their orders; a hex with none of them leaves all as it was.
void SelectOwnUnitsAtHex(ScreenSet& screens, uint32_t packed);

// Makes the unit (by id) the only selected unit, marks it and opens the
// orders panel for it; a unit no longer in the ring leaves all as it was.
void DrawUnitOrderRow(ScreenSet& screens, int32_t unitId);
