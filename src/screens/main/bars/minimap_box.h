#pragma once
// The minimap on the side bar: kept in the map's proportions inside the
// place the side bar gives it, with its view box over the part of the map
// that the map pane shows. The minimap is the minimap pane's form control
// and the view box the drag pane's, a child of it.
#include "screens/common/screen_types_fwd.h"

// After a map is loaded: the minimap takes the map's proportions within its
// first rectangle, centred; then its pixels per hex and the view box size.
void FitMinimapToMap(MapView& view);
// After the zoom changes: the view box's size.
void UpdateMinimapViewBox(MapView& view);
// Every frame: the view box follows the map's pan.
void SyncMinimapViewBox(MapView& view);
