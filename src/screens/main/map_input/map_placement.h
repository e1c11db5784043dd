#pragma once
// Placing the facility chosen for building with a click on the map: the
// fill an industry's site supports, the build command (or, in the editor,
// the facility itself), and the first and last hex of a linked facility's
// route. Window thread only.
#include <cstdint>

#include "screens/common/screen_types_fwd.h"

// The facility build pop-up, where one exists; null opens nothing.
extern void (*g_openBuildPopup)(ScreenSet& screens);

// The fill an industry of the class can run at on the cell: the wanted
// fill, or what the site yields of the class's demand when it yields less;
// never below 0, and kept whole when nothing is demanded.
float IndustryPlacementFill(const World& world, const HexCell& cell, int32_t classIndex, float fill);

// A left click on the map while placing: places, starts or ends a route,
// or opens the build pop-up.
void PlaceAtClickedHex(ScreenSet& screens);
// Places the class being placed on the current hex at the fill.
void PlaceFacilityAtHex(ScreenSet& screens, float fill);
