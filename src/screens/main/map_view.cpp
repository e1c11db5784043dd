#include "screens/main/map_view.h"

MapView g_mapView;

void LayoutMapViewPanes(MapView& view) { view.panesLaidOut = 1; }

// The side screens come with the main screen; until then the view is laid
// out again on its next frame.
void ApplySideScreensLayout(MapView& view) { view.layoutPending = 1; }
