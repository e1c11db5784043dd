#include "screens/common/units/strength_rows.h"

#include "screens/common/frame/map_view_state.h"
#include "world/text/ui_options.h"

void FlipStrengthRowsOnCommand(int32_t id) {
  if (id < 900 || id > 999) return;
  g_uiOptions.buishowspecsliders = g_uiOptions.buishowspecsliders == 0 ? 1 : 0;
  g_mapView.redrawPending = 1;
}
