#pragma once
// The hex map view inside the interface root.
#include <cstdint>

class MapView {
 public:
  // Set to 1 by every entry into a mode: the view lays itself out and
  // redraws on its next frame.
  int32_t layoutPending = 0;
  int32_t redrawPending = 0;
  int32_t panesLaidOut = 0;
};

extern MapView g_mapView;

// Attaches the view's panes to their screens (first mode entry only).
void LayoutMapViewPanes(MapView& view);
// Shows or hides the side screens by the options and lays the main screen
// out again.
void ApplySideScreensLayout(MapView& view);
