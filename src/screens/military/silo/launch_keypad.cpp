#include "screens/military/silo/launch_keypad.h"

#include <cstdio>
#include <utility>

#include "records/player_record.h"
#include "sim/simulation_lock.h"
#include "screens/military/silo/silo_panels.h"
#include "screens/screen_set.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "world/world.h"

namespace {

// Compared digit by digit and never held as one number, so the code shows
// up nowhere as a value a save or a screen could reveal.
constexpr int32_t kCode[4] = {7, 3, 0, 9};
constexpr int32_t kFirstDigitField = 21;

void ShowTagged(const Screen& s, const char* tag, bool shown) {
  SetHidden(FormFindControlByTag(s.currentForm, tag), !shown);
}
void ShowDigit(const Screen& s, int32_t position, const char* text) {
  SetControlText(FormFindControlById(s.currentForm, kFirstDigitField + position), text);
}

}  // namespace

bool OpenLaunchKeypad(std::vector<uint32_t> missiles, uint32_t target) {
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const PlayerRecord* local = g_world.localPlayerRecord;
    if (!local || (local->flags56 & kPlayerLaunchAuthorised)) return false;
  }
  LaunchKeypad& keypad = g_screens.launchKeypad;
  const intptr_t first = missiles.empty() ? 0 : static_cast<intptr_t>(missiles.front());
  keypad.missiles = std::move(missiles);
  keypad.target = target;
  keypad.Popup(first, nullptr);
  return true;
}

std::array<int32_t, 4> LaunchKeypad::CodeForTests() { return {kCode[0], kCode[1], kCode[2], kCode[3]}; }

void LaunchKeypad::OnOpen() {
  for (int32_t i = 0; i < 4; ++i) ShowDigit(*this, i, "_");
  entered = 0;
  correct = 0;
  for (const char* tag : {"INCORRECT", "BACKSPACE", "LAUNCH"}) ShowTagged(*this, tag, false);
}

void LaunchKeypad::OnCommand(Control* control, int32_t) {
  if (!control) return;
  if (ControlTagMatches(control->tag, "LAUNCH")) {
    if (correct) {
      {
        plat::CriticalSectionLock lock(g_simulationLock);
        if (g_world.localPlayerRecord) g_world.localPlayerRecord->flags56 |= kPlayerLaunchAuthorised;
      }
      for (const uint32_t missile : missiles) {
        if (target != 0)
          PostSiloOrderAt(missile, target);
        else
          PostSiloOrder(missile);
      }
    }
    missiles.clear();
    Close();
    return;
  }
  if (ControlTagMatches(control->tag, "ABORT")) {
    missiles.clear();
    Close();
    return;
  }
  if (ControlTagMatches(control->tag, "BACKSPACE")) {
    if (entered > 0) {
      --entered;
      ShowDigit(*this, entered, "_");
    }
    if (entered == 0) ShowTagged(*this, "BACKSPACE", false);
    ShowTagged(*this, "INCORRECT", false);
    return;
  }
  const int32_t key = control->id;
  if (key < 1 || key > 10) return;
  if (entered < 4) {
    digits[static_cast<size_t>(entered)] = key % 10;
    char text[8];
    std::snprintf(text, sizeof text, "%d", key % 10);
    ShowDigit(*this, entered, text);
    ++entered;
  }
  if (entered == 4) {
    correct = 1;
    for (size_t i = 0; i < 4; ++i)
      if (digits[i] != kCode[i]) correct = 0;
    ShowTagged(*this, "INCORRECT", correct == 0);
  }
  ShowTagged(*this, "BACKSPACE", correct != 1);
  ShowTagged(*this, "LAUNCH", correct == 1);
}
