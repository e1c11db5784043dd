#include "screens/main/title_bar.h"

#include "screens/main/main_layout.h"
#include "screens/main/map_view.h"
#include "ui/screen_manager.h"
#include "ui/screen_set.h"

void RefreshTitleBar(int32_t flag) {
  if (!flag) return;
  ScreenManager& ui = g_ui;
  TitleBar& bar = g_screens.titleBar;
  if (ui.pendingTitleBarId < kKeepScreenId) bar.id = ui.pendingTitleBarId;
  bar.AttachForm(nullptr);
  bar.OnOpen();
  bar.Refresh();
  ui.titleBarState[0] = 0;
  ui.titleBarState[1] = 0;
  ApplySideScreensLayout(g_mapView);
}
