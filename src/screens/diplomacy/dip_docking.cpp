#include "screens/diplomacy/dip_docking.h"

#include "app/app_object.h"
#include "screens/docked_panels.h"
#include "screens/main/bars/command_bars.h"
#include "screens/main/map/map_view.h"
#include "screens/main/panels/main_layout.h"
#include "screens/screen_set.h"
#include "ui/screen_manager.h"
#include "world/text/ui_options.h"

namespace {

// Below this width a deep panel and the mail window do not fit side by side.
constexpr int32_t kNarrowScreenWidth = 1024;

}  // namespace

void DockPanelAtDepth(int32_t depth) {
  SetPanelDepth(depth, 1, g_mapView);
  if (g_ui.panelDepth == 0) g_screens.cmdBar.dockedPanelMarker = 0;
  UpdatePopupButton(g_screens.cmdBar3);
}

void CloseMailWhenNarrow() {
  const int32_t width = g_platform.clientRect.right - g_platform.clientRect.left;
  if (width < kNarrowScreenWidth && !g_uiOptions.sidescreens) ClosePopup(g_ui, g_screens.mailWindow);
}
