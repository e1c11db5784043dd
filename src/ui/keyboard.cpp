#include "ui/keyboard.h"

#include <algorithm>

#include "platform/messages.h"
#include "ui/control.h"
#include "ui/control_focus.h"
#include "ui/popups.h"
#include "ui/screen_manager.h"
#include "ui/screen_set.h"
#include "world/game_speed.h"
#include "world/text/ui_options.h"
#include "world/world.h"

KeyModifierQuery g_keyModifiers = nullptr;
uint32_t g_swallowNextChar = 0;
KeySpeedSeam g_keySpeed;

namespace {

uint32_t HeldModifiers() {
  if (g_keyModifiers) return g_keyModifiers();
  if (!g_uiInput.poll) return 0;
  const PolledInput input = g_uiInput.poll();
  return (input.shift ? kModShift : 0) | (input.ctrl ? kModCtrl : 0);
}

int32_t SpeedTier() { return g_keySpeed.tier ? g_keySpeed.tier() : GetGameSpeedTier(g_world.gameState); }

void SetSpeed(int32_t tier) {
  if (g_keySpeed.set) {
    g_keySpeed.set(tier);
  } else {
    SetGameSpeed(g_world.gameState, tier);
  }
}

void SlowerOrStop(bool stop) { SetSpeed(stop ? 0 : std::max(SpeedTier() - 1, 0)); }
void FasterOrFull(bool full) { SetSpeed(full ? 3 : std::min(SpeedTier() + 1, 3)); }

void Toggle(int32_t& option) { option = option ? 0 : 1; }

// The four steps of a pair of switches: off/off, on/off, on/on, off/on.
void CyclePair(int32_t& first, int32_t& second) {
  const bool a = first != 0, b = second != 0;
  first = b ? 0 : 1;
  second = a ? 1 : 0;
}

enum KeyMode : uint8_t { kAnyMode, kGameOnly, kEditorOnly };

struct KeyRow {
  uint32_t key;
  uint32_t require, forbid;  // modifier bits that must be, and must not be, held
  KeyMode mode;
  void (*action)(ScreenManager& ui);
};

constexpr uint32_t kAllMods = kModShift | kModCtrl | kModAlt;

// The first row whose key, modifiers and mode match acts.
const KeyRow kKeyRows[] = {
    {plat::kVkPause, 0, 0, kGameOnly, [](ScreenManager&) { SetSpeed(0); }},
    {plat::kVkPrior, kModShift, kModCtrl, kGameOnly, [](ScreenManager&) { SlowerOrStop(true); }},
    {plat::kVkPrior, 0, kModCtrl, kGameOnly, [](ScreenManager&) { SlowerOrStop(false); }},
    {plat::kVkNext, kModShift, kModCtrl, kGameOnly, [](ScreenManager&) { FasterOrFull(true); }},
    {plat::kVkNext, 0, kModCtrl, kGameOnly, [](ScreenManager&) { FasterOrFull(false); }},
    {'A', 0, kAllMods, kAnyMode, [](ScreenManager&) { Toggle(g_uiOptions.ovshowrangecircle); }},
    {'B', kModCtrl, 0, kAnyMode,
     [](ScreenManager& ui) {
       Toggle(g_uiOptions.bshowequipulistob);
       RequestFullRefresh(ui);
     }},
    {'D', kModCtrl, 0, kAnyMode, [](ScreenManager&) { CyclePair(g_uiOptions.bunithudon, g_uiOptions.bunitdiscon); }},
    {'D', kModShift, 0, kAnyMode, [](ScreenManager&) { Toggle(g_uiOptions.bunithudmulti); }},
    {'G', kModCtrl, 0, kAnyMode, [](ScreenManager&) { Toggle(g_uiOptions.ovshowgrid); }},
    {'G', 0, kModShift | kModAlt, kAnyMode, [](ScreenManager&) { Toggle(g_uiOptions.ovshowhighground); }},
    {'J', kModShift, 0, kAnyMode, [](ScreenManager&) { Toggle(g_uiOptions.bunitnozoom); }},
    {'J', 0, kModAlt, kAnyMode,
     [](ScreenManager&) { CyclePair(g_uiOptions.bunithudcenter, g_uiOptions.bunithudnozoom); }},
    {'K', kModShift, 0, kAnyMode,
     [](ScreenManager&) { g_uiOptions.unitdiscalpha = static_cast<uint8_t>(g_uiOptions.unitdiscalpha + 25); }},
    {'K', kModCtrl, 0, kAnyMode, [](ScreenManager&) { Toggle(g_uiOptions.bunithudssize); }},
    {'K', 0, kAllMods, kAnyMode, [](ScreenManager&) { Toggle(g_uiOptions.bunithudpcolor); }},
    {'P', kModShift, kModCtrl, kAnyMode, [](ScreenManager&) { Toggle(g_uiOptions.bunitallpath); }},
    {'T', 0, 0, kEditorOnly, [](ScreenManager&) { Toggle(g_uiOptions.ovshowgrounddef); }},
    {'V', 0, kAllMods, kAnyMode, [](ScreenManager&) { Toggle(g_uiOptions.ovshowclosecombat); }},
    {'X', 0, kAllMods, kAnyMode, [](ScreenManager&) { Toggle(g_uiOptions.ovshowcitynames); }},
};

// Tab moves the capture round its sibling ring (Shift+Tab backwards); a
// control alone in its ring only loses it.
void MoveCaptureByTab(uint32_t modifiers) {
  Control* holder = g_controls.capture;
  if (!holder) return;
  Control* sibling = (modifiers & kModShift) ? holder->PrevInRing() : holder->NextInRing();
  if (sibling == holder) sibling = nullptr;
  ReleaseCaptureControl(nullptr, kMsgLeave, 0, 0, 0);
  if (sibling) SetCaptureControl(sibling, kMsgEnter, 0, 0, 0);
}

}  // namespace

int32_t KeyCommand(uint32_t key, ScreenManager& ui, uint32_t modifiers, int32_t editor) {
  for (const KeyRow& row : kKeyRows) {
    if (row.key != key || (modifiers & row.require) != row.require || (modifiers & row.forbid)) continue;
    if ((row.mode == kGameOnly && editor) || (row.mode == kEditorOnly && !editor)) continue;
    row.action(ui);
    break;
  }
  return 1;
}

plat::LResult OnKeyDown(ScreenManager& ui, uint32_t key) {
  if (ui.tooltipShown) {
    ui.tooltipShown = 0;
    ui.tooltipControl = nullptr;
    if (ui.rootForm) ui.rootForm->Invalidate();
  }
  ui.lastInputTick = ui.nowTick;
  const uint32_t modifiers = HeldModifiers();
  if (Control* holder = g_controls.capture) {
    holder->HandleInput(static_cast<int32_t>(plat::kWmKeyDown), static_cast<intptr_t>(key), 0, 0);
    if (key == plat::kVkTab) MoveCaptureByTab(modifiers);
  }
  if (Control* edit = g_controls.edit) {
    edit->HandleInput(static_cast<int32_t>(plat::kWmKeyDown), static_cast<intptr_t>(key), 0, 0);
    return 0;
  }
  if (ui.popupCount) {
    if (key == plat::kVkEscape) CloseAllPopups(ui, 0);
    return 0;
  }
  if (ui.mode == kUiMapEditor) KeyCommand(key, ui, modifiers, 1);
  if (ui.mode == kUiInGame) KeyCommand(key, ui, modifiers, 0);
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
  if (top->owner == &g_screens.popupFrames && top->firstChild && top->firstChild->owner) {
    top->firstChild->owner->OnHostNotify(1, 0);
  }
  return 0;
}
