#pragma once
// The map's selection as the keys and every department's panels change it:
// the selected units, the placement mode, and the refresh of the docked
// panels after a change. Window thread.
#include <cstdint>

#include "screens/common/screen_types_fwd.h"

// Placement mode: a click on a hex places a facility of the class.
struct MapPlacement {
  int32_t active = 0;
  int32_t classIndex = 0;
  int32_t routeStarted = 0;  // a linked class's first hex was clicked
  // The player's options, kept when the mode ends: ask before placing (a
  // click opens the build pop-up), and stay in the mode after a placement.
  int32_t placementConfirm = 0;
  int32_t placementRepeat = 0;
};
extern MapPlacement g_mapPlacement;

// Enters the mode for the class (the map's pop-ups close, the cursor picks
// a hex); with showPanel the facility build panel shows the class.
void BeginMapPlacement(int32_t classIndex, int32_t showPanel = 0);
// Leaves it: a third dock level open for it closes back to the second. The
// map's pick flags are cleared even when the mode was not on.
void CancelMapPlacement(ScreenSet& screens);

// Units are selected, or the map waits for a click.
bool HasMapSelection(ScreenSet& screens);
// Empties the selection and ends the map's click mode, hex pick and pending
// selection panel; the map redraws when a click mode ended. With the
// selection's orders shown it closes the map pop-ups instead, which does
// all that as well.
void ClearMapSelection(ScreenSet& screens);
// Undoes the first that applies (Escape's first steps): the map's pop-ups
// close, placement ends, the selection empties. False when none applied.
bool UndoMapState(ScreenSet& screens);
// What the docked panels show changed: the screens docked at levels 1 (with
// includeLevel1), 2 and 3 refresh, up to the first level that is closed or
// empty.
void RefreshDockedPanels(ScreenSet& screens, int32_t includeLevel1 = 1);
// Docks the military orders' settings panel for the selection (the map's
// Ctrl+click and the order menu's "orders" row), through the screen set.
void ShowUnitOrdersPanel(ScreenSet& screens);
