#include "screens/military/operations/force_size_panel.h"

#include <bit>

#include "records/command_ids.h"
#include "records/player_record.h"
#include "screens/common/frame/side_bars.h"
#include "screens/military/department/department_text.h"
#include "screens/military/department/military_figures.h"
#include "screens/common/policy_lock.h"
#include "screens/military/department/military_screen.h"
#include "screens/military/operations/military_wages_panel.h"
#include "screens/screen_set.h"
#include "sim/game_command.h"
#include "sim/policy_command_args.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "ui/slide_bar.h"
#include "world/local_player.h"
#include "world/world.h"

namespace {

constexpr float kRecommendedShare = 0.05f;
constexpr float kLargestShare = 0.2f;
constexpr int32_t kDefaultMinimumAge = 16;
constexpr int32_t kLowestAgeId = 14;
constexpr int32_t kHighestAgeId = 21;

void SetNewSize(Control* form, const PlayerRecord& r) {
  SetFigure(Tag(form, "NEWSIZE"), static_cast<double>(r.population * r.displayPolicy.soldiertarget));
}

}  // namespace

bool FillForceSize(Control* form, const PlayerRecord& r) {
  if (!form) return true;
  auto at = [form](const char* tag) { return Tag(form, tag); };
  const PlayerPolicyBlock& b = r.displayPolicy;
  const MilitaryFigures f = MilitaryFiguresOf(r);
  SetFigure(at("CURSIZE"), static_cast<double>(f.reservePool + f.activeForce));
  SetFractionText(at("MILAPRRATE"), f.militaryApproval);
  SetFigure(at("RECSIZE"), static_cast<double>(r.population * kRecommendedShare));
  SetPressed(at("COEDBUT"), (b.militaryFlags & kMilitaryCoed) != 0);
  SetPressed(at("CONSCRIPBUT"), (b.militaryFlags & kMilitaryConscript) != 0);
  SetHidden(at("AGEHIDE"), !(b.militaryFlags & kMilitaryConscript));
  bool offered = false;
  for (int32_t age : kForceSizeAgeIds) {
    const bool chosen = age == b.soldierminage;
    offered = offered || chosen;
    SetPressed(FormFindControlById(form, age), chosen);
  }
  if (!offered) SetPressed(FormFindControlById(form, kDefaultMinimumAge), true);
  if (auto* bar = dynamic_cast<SlideBarControl*>(at("SIZESLDR"))) {
    SliderSetMaxFloat(bar, kLargestShare);
    SliderSetValueFloat(bar, b.soldiertarget);
  }
  SetNewSize(form, r);
  return offered;
}

namespace {

class ForceSizePanel : public Screen {
 public:
  ForceSizePanel() : Screen("MILITARY1_ss5", FormLookups{.tags = kForceSizeTags, .ids = kForceSizeAgeIds}) {}
  void BindControls() override { DockInSecondBotbar2(*this); }
  void OnOpen() override { ScreenSlotSelectMapMode(g_screens); }
  // A minimum age no button offers is set to 16.
  void Refresh() override {
    bool offered = true;
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      if (const PlayerRecord* r = LocalPlayer(g_world)) offered = FillForceSize(currentForm, *r);
    }
    if (!offered) PostArgs(kCmdSoldierMinAge, SettingArgs{.value = static_cast<uint32_t>(kDefaultMinimumAge)});
    SetPressed(Tag(currentForm, "LOCK"), MilitaryLocked(kLockForceSize));
  }
  void OnCommand(Control* control, int32_t id) override {
    if (!control) return;
    if (Is(control, "RETURNBUT")) {
      MilitaryScreen& page = g_screens.militaryScreen;
      page.AttachForm(nullptr);
      page.OnOpen();
      page.Refresh();
    } else if (Is(control, "UNITBUT")) {
      g_screens.unitList.Popup(kKeepScreenId, nullptr);
    } else if (Is(control, "LOCK")) {
      ClickPolicyLock(control, kLockForceSize, kMilitaryLockGroup);
    } else if (Is(control, "CONSCRIPBUT")) {
      const bool on = control->Selected();
      PostArgs(kCmdBConscript, SettingArgs{.value = on ? 1u : 0u});
      // The age choice goes with conscription at once, before the command
      // reaches the simulation.
      SetHidden(Tag(currentForm, "AGEHIDE"), !on);
    } else if (Is(control, "COEDBUT")) {
      PostArgs(kCmdBCoed, SettingArgs{.value = control->Selected() ? 1u : 0u});
    } else if (id >= kLowestAgeId && id <= kHighestAgeId) {
      PostArgs(kCmdSoldierMinAge, SettingArgs{.value = static_cast<uint32_t>(id)});
    }
  }
  // The size bar posts the new target share.
  void OnControlChange(Control* control, int32_t) override {
    auto* bar = dynamic_cast<SlideBarControl*>(control);
    if (!bar || !Is(control, "SIZESLDR")) return;
    PostArgs(kCmdSoldierTarget, RealSettingArgs{.value = SliderGetValueFloat(bar)});
    plat::CriticalSectionLock lock(g_simulationLock);
    if (const PlayerRecord* r = LocalPlayer(g_world)) SetNewSize(currentForm, *r);
  }
};

}  // namespace

std::unique_ptr<Screen> MakeForceSizePanel() { return std::make_unique<ForceSizePanel>(); }
