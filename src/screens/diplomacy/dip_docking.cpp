#include "screens/diplomacy/dip_docking.h"

#include "screens/docked_panels.h"
#include "screens/common/frame/command_bars.h"
#include "screens/common/frame/map_view_state.h"
#include "screens/common/frame/main_layout.h"
#include "screens/screen_set.h"
#include "ui/control.h"
#include "ui/screen.h"
#include "ui/screen_manager.h"

void DockPanelAtDepth(int32_t depth) {
  SetPanelDepth(depth, 1, g_mapView);
  if (g_ui.panelDepth == 0) g_screens.cmdBar.dockedPanelMarker = 0;
  UpdatePopupButton(g_screens.mailBar);
}

void PutAnsweredQuestionAway(Screen& question) {
  if (question.currentForm && question.currentForm->parent) question.currentForm->Unlink();
  DockPanelAtDepth(2);
}
