#include "screens/main/map_view.h"

#include "ui/screen_manager.h"

MapView g_mapView;

void LayoutMapViewPanes(MapView& view) { view.panesLaidOut = 1; }

// The side screens come with the main screen; until then the view is laid
// out again on its next frame.
void ApplySideScreensLayout(MapView& view) { view.layoutPending = 1; }

// The layers are drawn by the main screen's renderer when it comes; the
// frame counts the passes it asked for.
void DrawMapView(MapView& view, int32_t) { ++view.framesDrawn; }

void SyncMinimapViewBox(MapView& view) { view.minimapRedrawPending = 0; }

void SetPanelDepth(MapView& view, int32_t depth, int32_t) {
  if (depth < 0) depth = view.panelDepth;
  if (depth > 3) depth = 3;
  view.panelDepth = depth;
  g_ui.panelDepth = depth;
}
