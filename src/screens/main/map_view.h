#pragma once
// The hex map view inside the interface root. Its drawing layers, panes
// and minimap come with the main screen; the frame calls it through the
// operations below.
#include <cstdint>

class MapView {
 public:
  // Set to 1 by every entry into a mode: the view lays itself out and
  // redraws on its next frame.
  int32_t layoutPending = 0;
  int32_t redrawPending = 0;
  int32_t minimapRedrawPending = 0;
  int32_t panesLaidOut = 0;
  int32_t panelDepth = 0;     // docked bottom panels shown, 0 to 3
  uint32_t framesDrawn = 0;   // map frames drawn since start-up
};

extern MapView g_mapView;

// Attaches the view's panes to their screens (first mode entry only).
void LayoutMapViewPanes(MapView& view);
// Shows or hides the side screens by the options and lays the main screen
// out again.
void ApplySideScreensLayout(MapView& view);
// The frame's map pass (flag 0: the whole view) and the minimap's view box.
void DrawMapView(MapView& view, int32_t flag);
void SyncMinimapViewBox(MapView& view);
// Sets the docked panel depth (0 to 3); the same depth changes nothing, a
// negative one applies the current depth again.
void SetPanelDepth(MapView& view, int32_t depth, int32_t flag);
