#include "screens/docked_panels.h"

#include "app/app_object.h"
#include "screens/common/frame/command_bars.h"
#include "screens/common/frame/main_layout.h"
#include "screens/screen_set.h"
#include "ui/bitmap_control.h"
#include "ui/control_focus.h"
#include "ui/control_tree.h"
#include "ui/popups.h"
#include "ui/screen_manager.h"
#include "world/text/ui_options.h"

namespace {

// The mail screen docks beside the map as the side pop-up.
Screen& SidePopup() { return g_screens.mailWindow; }

void PanelsClosedOnBar(ScreenManager& ui) {
  if (ui.panelDepth == 0) g_screens.cmdBar.dockedPanelMarker = 0;
}

void ShowHidden(Control* control, bool show) {
  if (control) SetControlFlag(control, kStateHidden, show ? 0 : 1);
}

// The mail bar floats beside the side pop-up while it is open (id 1).
void MoveMailBar(ScreenManager& ui) {
  CmdBar3& bar = g_screens.mailBar;
  ShowHidden(bar.currentForm, true);
  bar.Show(ui.sidePopupOpen ? 1 : 0, nullptr);
}

}  // namespace

void PopPopupsTo(ScreenManager& ui, int32_t depth) {
  RefreshSelection(g_screens);
  if (depth < ui.panelDepth) SetUiPanelDepth(ui, depth);
  if (ui.panelDepth == 0) {
    PanelsClosedOnBar(ui);
    UpdatePopupButton(g_screens.mailBar);
  }
}

void ClosePanelsAbove(ScreenManager& ui, int32_t level, int32_t keep) {
  const int32_t width = ClientWidth();
  if (level == 3 && width < 1024 && !g_uiOptions.sidescreens) ClosePopup(ui, SidePopup());
  if (!keep || level > ui.panelDepth) SetUiPanelDepth(ui, level);
  PanelsClosedOnBar(ui);
  UpdatePopupButton(g_screens.mailBar);
}

void ShowSidePopup(ScreenManager& ui, Screen& screen, Screen* attached) {
  ShowHidden(screen.currentForm, true);
  screen.Refresh();
  Control* label = screen.currentForm ? FormFindControlByTag(screen.currentForm, "LABELBUT") : nullptr;
  if (label && (label->state & kStateSelected)) {
    SetControlFlag(label, kStateSelected, 0);
    if (attached) attached->Show(kKeepScreenId, nullptr);
  } else if (attached) {
    attached->Refresh();
  }
  if (g_uiOptions.sidescreens) return;
  if (!ui.sidePopupOpen) PlayPopupSound(kSoundSidePopup);
  ui.sidePopupOpen = 1;
  MoveMailBar(ui);
  CmdBar3& bar = g_screens.mailBar;
  if (Control* flag = bar.currentForm ? FormFindControlByTag(bar.currentForm, "EMAILFLAG") : nullptr) {
    flag->flags &= ~kCtlAnimate;
    if (auto* strip = dynamic_cast<BitmapControl*>(flag)) strip->frame = 0;
  }
}

void ClosePopup(ScreenManager& ui, Screen& screen) {
  if (g_uiOptions.sidescreens) return;
  ShowHidden(screen.currentForm, false);
  if (ui.sidePopupOpen) PlayPopupSound(kSoundSidePopup);
  ui.sidePopupOpen = 0;
  MoveMailBar(ui);
  if (Control* border = g_screens.mapBorder->currentForm) border->Invalidate();
  EndTextEdit();
}
