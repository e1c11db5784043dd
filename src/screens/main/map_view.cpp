#include "screens/main/map_view.h"

#include "screens/main/map_geometry.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/screen_manager.h"
#include "world/object_hex.h"
#include "world/world.h"

MapView g_mapView;

// The minimap and its drag area live on the side bar, which hands them to
// their panes when it is built; the map area is the interface root's.
void LayoutMapViewPanes(MapView& view) {
  view.redrawPending = 1;
  view.minimapRedrawPending = 1;
  if (g_ui.mapArea) g_ui.mapArea->owner = &view.mapPane;
  view.minimapWidth = view.minimapRight - view.minimapLeft;
  view.minimapHeight = view.minimapBottom - view.minimapTop;
  view.panesLaidOut = 1;
}

void ForwardPackedHex(uint32_t packedHex) {
  const Hex hex = UnpackHex(packedHex);
  SetViewObjectHex(g_world, hex.x, hex.y, g_world.gameState.viewHex);
}

void UnselectToggleControl(Control* control) {
  if (!control) return;
  constexpr uint32_t kRadioButton = kCtlRadio | kCtlButton;
  if ((control->flags & kRadioButton) != kRadioButton || !(control->state & kStateSelected)) return;
  control->SetState(control->state & ~kStateSelected, 0, nullptr, 0, 0, 0, 0, 0);
}

// The side screens come with the main screen; until then the view is laid
// out again on its next frame.
void ApplySideScreensLayout(MapView& view) { view.layoutPending = 1; }


void SetPanelDepth(MapView& view, int32_t depth, int32_t) {
  if (depth < 0) depth = view.panelDepth;
  if (depth > 3) depth = 3;
  view.panelDepth = depth;
  g_ui.panelDepth = depth;
}
