#pragma once
// The map's selection as the keys and the panels change it: the selected
// units, the numbered unit groups, the placement mode, and the refresh of
// the docked panels after a change. Window thread.
#include <cstdint>

struct ScreenSet;
struct UnitRecord;

// Placement mode: a click on a hex places a facility of the class.
struct MapPlacement {
  int32_t active = 0;
  int32_t classIndex = 0;
  int32_t routeStarted = 0;  // a linked class's first hex was clicked
  int32_t buildPopup = 0;    // a click opens the build pop-up instead of placing
  int32_t keepPlacing = 0;   // placement goes on after a facility is placed
};
extern MapPlacement g_mapPlacement;

void BeginMapPlacement(int32_t classIndex);
void CancelMapPlacement(ScreenSet& screens);

// Units are selected, or the map waits for a click.
bool HasMapSelection(ScreenSet& screens);
// Empties the selection and ends the map's click mode, hex pick and pending
// selection panel; the map redraws when a click mode ended.
void ClearMapSelection(ScreenSet& screens);
// The selection becomes the local player's unit group (0 to 9), added to
// it with add, else replacing it.
void StoreUnitGroup(ScreenSet& screens, int32_t group, int32_t add);
// The local player's unit group becomes the selection, added to it with
// add, else replacing it.
void RecallUnitGroup(ScreenSet& screens, int32_t group, int32_t add);
// What the docked panels show changed: they refresh on the next timer.
void RefreshDockedPanels(ScreenSet& screens);
// Hands the main screen's layout the placement mode's and the map pop-ups'
// operations (start-up).
void InstallMapSelectionLinks();
