#pragma once
// The main screen's operations on the hex map view (its state is in
// screens/common/frame/map_view_state.h). Its drawing layers, panes and
// minimap come with the main screen; the frame calls it through the
// operations below.
#include <cstdint>

#include "screens/common/frame/map_view_state.h"
#include "screens/common/screen_types_fwd.h"
#include "screens/main/map_input/map_pane_input.h"
#include "ui/screen.h"

// Hands the map control's input to the map pane, the minimap's to the
// minimap pane and its drag box's to the drag-pan pane, lays the main panels
// out for the map control's height and sizes the minimap from the rectangle
// its side bar stored (first interface set-up only).
void LayoutMapViewPanes(MapView& view);
// A game opens on the local region's capital; 0 (the view stays on the
// map's centre) when the region has none.
uint32_t GameStartHex(const World& world);
// Makes a packed hex the game's hover hex.
void ForwardPackedHex(uint32_t packedHex);
