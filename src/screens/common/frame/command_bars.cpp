#include "screens/common/frame/command_bars.h"

#include "app/app_object.h"
#include "screens/docked_panels.h"
#include "screens/common/frame/main_layout.h"
#include "screens/common/frame/map_geometry.h"
#include "screens/common/frame/map_view_state.h"
#include "screens/screen_set.h"
#include "sim/sim_ui_link.h"
#include "sim/simulation_lock.h"
#include "sim/turn_thread.h"
#include "ui/bitmap_control.h"
#include "ui/control.h"
#include "ui/control_focus.h"
#include "ui/control_tree.h"
#include "ui/popups.h"
#include "ui/screen_manager.h"
#include "world/game_speed.h"
#include "sim/save_file.h"
#include "world/text/ui_options.h"
#include "world/world.h"

int32_t g_fullPanelMode = 0;
uint8_t g_panelFlags[10] = {};
CommandBarLinks g_commandBarLinks{.showCabinet = ShowDepartmentCabinet};

namespace {

// The main-panel buttons end this far down their dock slot.
constexpr int32_t kCommandBarBottom = 194;
constexpr int32_t kHelpId = 5, kChatId = 6, kReloadTurnId = 7, kMailId = 11;
// The mail bar's flag blinks between its two frames every 20 drawing passes.
constexpr uint8_t kMailFlagDelay = 20;

// The floating bars hang over the map, last among its children.
void HangOverMap(Control* form) {
  Control* pane = g_ui.mapArea;
  if (!form || !pane) return;
  if (form->parent) form->Unlink();
  pane->Invalidate();
  ControlAddChild(pane, form);
  form->flags |= kCtlAlwaysRedraw;
}

// A floating bar's form hangs over the map and its height is kept; none
// without a form.
Control* HangBarForm(Control* form, int32_t& height) {
  if (!form) return nullptr;
  height = Height(form);
  HangOverMap(form);
  return form;
}

bool TurnByTurn() {
  plat::CriticalSectionLock lock(g_simulationLock);
  return g_world.gameState.speedLockMode != 0;
}
bool TurnRunning() {
  plat::CriticalSectionLock lock(g_simulationLock);
  return g_world.gameState.speedChangeAllowed != 0;
}

}  // namespace

void CmdBar::Refresh() {
  if (id == 0 || g_ui.panelDepth <= 0) return;
  Control* f = currentForm;
  Control* button = f && f->id == id ? f : FormFindControlById(f, static_cast<int32_t>(id));
  if (button) SetControlFlag(button, kStateSelected, 1);
}

void CmdBar::BindControls() {
  hostLink = &g_ui.bottomBoxes[0];
  Control* f = form;
  if (!f) return;
  formHeight = Height(f);
  const int32_t shift = kCommandBarBottom - formHeight;
  f->rect.top += shift;
  f->rect.bottom += shift;
}

void CmdBar::OnCommand(Control* control, int32_t controlId) {
  if (!control) return;
  if ((control->flags & kCtlRadio) && !control->Selected()) {
    PopPopupsTo(g_ui, 0);
    return;
  }
  if (controlId != 0 && control->Selected()) ShowMainPanel(controlId, 0, g_screens);
}

void CmdBar::OnActivate(Control*, int32_t controlId) {
  if (controlId < 2 || controlId > 10) return;
  g_fullPanelMode = ~g_fullPanelMode;
  ShowMainPanel(controlId, 0, g_screens);
}

void CmdBar2::OnOpen() {
  Control* f = currentForm;
  Control* pane = g_ui.mapArea;
  if (f && pane) RectMoveTo(&f->rect, 0, Height(pane) - Height(f) - g_screens.cmdBar.formHeight);
  const bool shown = TurnByTurn();
  SetHidden(endTurn, !shown);
  flags = shown ? flags | kSpeedBarEndTurnShown : flags & ~kSpeedBarEndTurnShown;
}

void CmdBar2::Refresh() {
  if (!TurnByTurn()) return;
  const bool running = TurnRunning();
  SetHidden(endTurn, running);
  SetHidden(FormFindControlById(currentForm, kHelpId), running);
}

void CmdBar2::BindControls() {
  Control* f = HangBarForm(form, formHeight);
  if (!f) return;
  speeds = FormFindControlByTag(f, "TCSPEED");
  endTurn = FormFindControlByTag(f, "ETREADY");
}

void CmdBar2::OnCommand(Control* control, int32_t controlId) {
  plat::CriticalSectionLock lock(g_simulationLock);
  GameState& state = g_world.gameState;
  if (controlId >= 1 && controlId <= 4) {
    SetGameSpeed(state, controlId - 1);
  } else if (controlId == kHelpId) {
    g_screens.help.Popup(kKeepScreenId, nullptr);
  } else if (controlId == kChatId) {
    EndTextEdit();
    g_screens.chat.Popup(kKeepScreenId, nullptr);
  } else if (controlId == kReloadTurnId) {
    plat::Status loaded;
    {
      plat::CriticalSectionLock hold(g_simulationLock);
      loaded = LoadSaveGame(g_world, kTurnSaveName, nullptr, false, false);
    }
    // A missing or bad turn save is logged by the loader and changes nothing.
    if (plat::Failed(loaded)) return;
    if (g_commandBarLinks.resetScreenStack) g_commandBarLinks.resetScreenStack(1);
    Refresh();
  } else if (control && ControlTagMatches(control->tag, "ETREADY")) {
    TurnAutosave(g_world);
  }
}

// The other speeds lose their selection first: after a change by key or
// from a peer only the speed in force looks pressed.
void HighlightChildById(int32_t tier) {
  Control* speeds = g_screens.speedBar.speeds;
  Control* button = speeds ? FormFindControlById(speeds, tier + 1) : nullptr;
  if (!button) return;
  ControlClearSelection(button, 0);
  SetControlFlag(button, kStateSelected, 1);
}

void CmdBar3::OnOpen() {
  Control* f = currentForm;
  Control* pane = g_ui.mapArea;
  if (f && pane) {
    int32_t left = Width(pane) - Width(f);
    if (id != 0 && g_screens.mailWindow.currentForm) left -= Width(g_screens.mailWindow.currentForm);
    RectMoveTo(&f->rect, left, Height(pane) - Height(f));
  }
  if (mid) {
    mid->flags = id != 0 ? mid->flags | kCtlMirrorX : mid->flags & ~kCtlMirrorX;
    mid->Invalidate();
  }
  if (mailFlag) {
    mailFlag->flags &= ~kCtlAnimate;
    if (auto* strip = dynamic_cast<BitmapControl*>(mailFlag)) strip->frame = 0;
  }
}

void CmdBar3::Refresh() { UpdatePopupButton(*this); }

void CmdBar3::BindControls() {
  Control* f = HangBarForm(form, formHeight);
  if (!f) return;
  mailFlag = FormFindControlByTag(f, "EMAILFLAG");
  mid = FormFindControlByTag(f, "MID");
  if (auto* strip = dynamic_cast<BitmapControl*>(mailFlag)) strip->frameCount = 2, strip->frameDelay = kMailFlagDelay;
}

void CmdBar3::OnCommand(Control*, int32_t controlId) {
  if (controlId != kMailId) return;
  ScreenManager& ui = g_ui;
  if (id != 0) {
    ClosePopup(ui, g_screens.mailWindow);
    return;
  }
  // Reopened with its options page on, the mailbox goes back to its list.
  ShowSidePopup(ui, g_screens.mailWindow, &g_screens.mailList);
  if (ClientWidth() < 1024) PopPopupsTo(ui, 2);
}

bool MailBarShown(bool sideScreens, int32_t width, int32_t mailOpen, int32_t panelDepth) {
  if (sideScreens) return false;
  const int32_t n = mailOpen + panelDepth;
  if (width == 800) return n < 3;
  if (width > 1024) return true;
  return n < 4;
}

void UpdatePopupButton(CmdBar3& bar) {
  const ScreenManager& ui = g_ui;
  SetHidden(bar.currentForm, !MailBarShown(g_uiOptions.sidescreens != 0, ClientWidth(), ui.sidePopupOpen, ui.panelDepth));
}

int32_t OpenChildPopup(Screen& panel, int32_t number) {
  plat::CriticalSectionLock lock(g_simulationLock);
  ScreenManager& ui = g_ui;
  ScreenSet& s = g_screens;
  MapView& view = *ui.mapView;
  int32_t result = 0;
  if (g_fullPanelMode && panel.alternateForm) {
    const int32_t screenHeight = g_platform.clientRect.bottom - g_platform.clientRect.top;
    LayoutMainPanels(screenHeight - Height(panel.alternateForm) - kTitleBarHeight, view);
    SetMapZoomLimits(view, g_uiOptions.bfullzoom != 0);
    ClampMapPan(view);
    s.cmdBar.Show(kKeepScreenId, nullptr);
    if (g_mainLayoutLinks.updateMinimapViewBox) {
      g_mainLayoutLinks.updateMinimapViewBox(view);
    } else {
      view.minimapRedrawPending = 1;
    }
    g_alternateLayout = true;
    panel.currentForm = panel.alternateForm;
    result = 2;
  } else {
    panel.currentForm = panel.form;
    // The bottom bar's first level holds the panel under its PARENT2 box.
    Control* level = ui.bottomBoxes[1];
    Control* docked = level ? level->firstChild : nullptr;
    Control* host = docked ? FormFindControlByTag(docked, "PARENT2") : nullptr;
    if (!host) host = level;
    if (panel.currentForm && host) {
      if (panel.currentForm->parent && panel.currentForm->parent != host) panel.currentForm->Unlink();
      ControlAttachForm(host, panel.currentForm);
    }
    g_alternateLayout = false;
    g_fullPanelMode = 0;
    SetPanelDepth(-1, 1, view);
    RelayoutMainScreen(view);
    const uint8_t flags = number >= 1 && number <= 9 ? g_panelFlags[number] : 0;
    if (number >= 2 && number <= 7) {
      const int32_t local = g_world.gameState.localPlayer;
      const bool seated = local >= 0 && local < kMaxPlayers &&
                          g_world.players[local].displayPolicy.cabinetPolicy[number - 2].bytes[0] == 1;
      // The page keeps the cabinet it showed last: an empty seat hides it.
      Control* cabinetHost = FormFindControlByTag(panel.currentForm, "PARENT1");
      const bool cabinet = seated && !(flags & kPanelFlagNoCabinet);
      g_cabinetBesidePage = cabinet;
      SetHidden(cabinetHost, !cabinet || ui.panelDepth >= 2);
      if (cabinet) {
        if (g_commandBarLinks.showCabinet) g_commandBarLinks.showCabinet(number - 2, cabinetHost);
        if (host && panel.currentForm) ControlAttachForm(host, panel.currentForm);
      } else {
        result = 1;
      }
    }
    if (!(flags & kPanelFlagKeepDepth)) {
      SetPanelDepth(1, 1, view);
      if (ui.panelDepth == 0) s.cmdBar.dockedPanelMarker = 0;
      UpdatePopupButton(s.mailBar);
    }
  }
  if (number >= 1 && number <= 9) g_panelFlags[number] = 0;
  s.cmdBar.id = number;
  // A panel opened by its key or from another screen lights its own button
  // on the bar, and the one it replaced goes out.
  s.cmdBar.Refresh();
  return result;
}

void InstallCommandBarHooks() {
  g_simUi.refreshSpeedControls = [] {
    plat::CriticalSectionLock lock(g_simulationLock);
    g_screens.speedBar.Refresh();
    HighlightChildById(GetGameSpeedTier(g_world.gameState));
    // The title bar's speed boxes and clock follow the new speed.
    if (g_screens.titleBar) g_screens.titleBar->Refresh();
  };
}
