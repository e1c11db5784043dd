#pragma once
// The units selected on the map: the selection list (unit ids, looked up
// again on every use), the units' selected marks, the hover stack under the
// cursor and the selection flags, which the departments' orders panels read
// and fill too. Window thread.
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

// Makes the unit (by id) the only selected unit and opens the orders for
// it, as the departments' UNITORDER buttons do: the map's selection puts
// its DrawUnitOrderRow in at start-up (InstallMapSelectionLinks); before
// that nothing happens.
extern void (*g_drawUnitOrderRow)(ScreenSet& screens, int32_t unitId);
void OrderUnitOnMap(ScreenSet& screens, int32_t unitId);
