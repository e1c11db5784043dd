#include "ui/keyboard.h"

#include "app/app_object.h"
#include "app/audio/music_player.h"
#include "platform/messages.h"
#include "platform/window.h"
#include "net/command_network.h"
#include "ui/control.h"
#include "ui/control_focus.h"
#include "ui/key_rows.h"
#include "ui/popups.h"
#include "ui/screen_manager.h"
#include "ui/ui_screen_hooks.h"

KeyModifierQuery g_keyModifiers = nullptr;
uint32_t g_swallowNextChar = 0;
KeySpeedSeam g_keySpeed;
KeyAppSeam g_keyApp;

namespace {

uint32_t HeldModifiers(uint32_t keyBits) {
  if (keyBits & plat::kKeyModifiersCarried)
    return ((keyBits & plat::kKeyShiftHeld) ? kModShift : 0) | ((keyBits & plat::kKeyControlHeld) ? kModCtrl : 0) |
           ((keyBits & plat::kKeyAltHeld) ? kModAlt : 0);
  if (g_keyModifiers) return g_keyModifiers();
  if (!g_uiInput.poll) {
    return (plat::IsKeyHeld(plat::kVkShift) ? kModShift : 0) | (plat::IsKeyHeld(plat::kVkControl) ? kModCtrl : 0) |
           (plat::IsKeyHeld(plat::kVkMenu) ? kModAlt : 0);
  }
  const PolledInput input = g_uiInput.poll();
  return (input.shift ? kModShift : 0) | (input.ctrl ? kModCtrl : 0) | (input.alt ? kModAlt : 0);
}

// Tab moves the capture round its sibling ring (Shift+Tab backwards); a
// control alone in its ring only loses it.
void MoveCaptureByTab(uint32_t modifiers) {
  Control* holder = g_controls.capture;
  if (!holder) return;
  Control* sibling = (modifiers & kModShift) ? holder->PrevInRing() : holder->NextInRing();
  if (sibling == holder) sibling = nullptr;
  ReleaseCaptureControl(nullptr, kControlLeave, 0, 0, 0);
  if (sibling) SetCaptureControl(sibling, kControlEnter, 0, 0, 0);
}

void CloseProgram() {
  if (g_keyApp.close) {
    g_keyApp.close();
  } else {
    // As the shell's close request does: the music stops, the window closes.
    StopMusic(g_music);
    if (g_platform.mainWindow) plat::PostWindowMessage(g_platform.mainWindow, plat::kWmClose, 0, 0);
  }
}

// The front end was shown over a running game: the game comes back as it
// was, still running.
void BackToGame(ScreenManager& ui) {
  if (g_keyApp.backToGame) {
    g_keyApp.backToGame();
    return;
  }
  g_platform.appMode = kModeGame;
  ui.mode = kUiInGame;
  if (ui.rootForm) ui.rootForm->state |= kStateDirty;
}

}  // namespace

// The first row that takes the key acts.
int32_t KeyCommand(uint32_t key, ScreenManager& ui, uint32_t modifiers, int32_t editor) {
  const KeyPress press{key, modifiers, editor};
  const bool networked = IsNetworkGame(g_commandNet);
  for (const KeyRow& row : KeyRows()) {
    if (!KeyRowMatches(row, press, networked)) continue;
    if (!(row.when & kNotBusy) || !ui.uiLock) row.action(ui, press);
    break;
  }
  return 1;
}

int32_t FrontEndKeyDown(uint32_t key, ScreenManager& ui) {
  if (key != plat::kVkF1 + 10) return 0;
  if (ui.rootForm == ui.frontEndBackground) {
    CloseProgram();
  } else {
    BackToGame(ui);
  }
  return 0;
}

plat::LResult OnKeyDown(ScreenManager& ui, uint32_t key, uint32_t keyBits) {
  if (ui.tooltipShown) {
    ui.tooltipShown = 0;
    ui.tooltipControl = nullptr;
    if (ui.rootForm) ui.rootForm->Invalidate();
  }
  ui.lastInputTick = ui.nowTick;
  const uint32_t modifiers = HeldModifiers(keyBits);
  if (Control* holder = g_controls.capture) {
    holder->HandleInput(static_cast<int32_t>(plat::kWmKeyDown), static_cast<intptr_t>(key), 0, 0);
    if (key == plat::kVkTab) MoveCaptureByTab(modifiers);
  }
  if (g_uiScreenHooks.tutorialKeyDown && g_uiScreenHooks.tutorialKeyDown(key)) return 0;
  if (Control* edit = g_controls.edit) {
    edit->HandleInput(static_cast<int32_t>(plat::kWmKeyDown), static_cast<intptr_t>(key), 0, 0);
    return 0;
  }
  if (ui.popupCount) {
    if (key == plat::kVkEscape) CloseAllPopups(ui, 0);
    return 0;
  }
  switch (ui.mode) {
    case kUiFrontEnd: FrontEndKeyDown(key, ui); break;
    case kUiMapEditor: KeyCommand(key, ui, modifiers, 1); break;
    case kUiInGame: KeyCommand(key, ui, modifiers, 0); break;
    default: break;
  }
  return 0;
}

plat::LResult OnChar(ScreenManager&, uint32_t character) {
  if (g_swallowNextChar) {
    g_swallowNextChar = 0;
    return 0;
  }
  Control* target = g_controls.edit ? g_controls.edit : g_controls.capture;
  if (target) target->HandleInput(static_cast<int32_t>(plat::kWmChar), static_cast<intptr_t>(character), 0, 0);
  return 0;
}

plat::LResult OnKeyUp(ScreenManager& ui, uint32_t key) {
  if (ui.mode != kUiInGame || key != plat::kVkControl || !ui.rootForm || !ui.rootForm->firstChild) return 0;
  Control* top = ui.rootForm->firstChild->PrevInRing();
  if (!top) top = ui.rootForm->firstChild;
  if (IsPopupFrame(top) && top->firstChild && top->firstChild->owner) {
    top->firstChild->owner->OnHostNotify(1, 0);
  }
  return 0;
}
