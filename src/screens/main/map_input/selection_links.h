#pragma once
// What the main screen's selection adds to the map's: the numbered unit
// groups the keys store and recall, and the links it installs at start-up
// (the layout's pop-up closing and placement end, the build pop-up, the
// mail's "go to" answers). Window thread.
#include <cstdint>

#include "screens/common/screen_types_fwd.h"

// The selection becomes the local player's unit group (0 to 9), added to
// it with add, else replacing it.
void StoreUnitGroup(ScreenSet& screens, int32_t group, int32_t add);
// The local player's unit group becomes the selection, added to it with
// add, else replacing it.
void RecallUnitGroup(ScreenSet& screens, int32_t group, int32_t add);
// Hands the main screen's layout the placement mode's and the map pop-ups'
// operations (start-up).
void InstallMapSelectionLinks();
