#include "screens/main/map_view.h"

MapView g_mapView;

void LayoutMapViewPanes(MapView& view) { view.panesLaidOut = 1; }
