#include "screens/common/frame/map_view_state.h"

MapView g_mapView;
