#include "screens/economy/policy/migration_panels.h"

#include <bit>
#include <cmath>

#include "records/command_ids.h"
#include "records/player_record.h"
#include "screens/docked_panels.h"
#include "screens/economy/policy/policy_figures.h"
#include "screens/common/frame/command_bars.h"
#include "screens/common/frame/side_bars.h"
#include "screens/common/frame/map_view_state.h"
#include "screens/common/frame/map_selection.h"
#include "screens/common/frame/main_layout.h"
#include "screens/screen_set.h"
#include "sim/game_command.h"
#include "sim/player_services.h"
#include "sim/policy_command_args.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_focus.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "ui/screen_reopen.h"
#include "ui/slide_bar.h"
#include "world/local_player.h"
#include "world/world.h"

namespace {

// A switch and the command that sets it.
struct FlagButton {
  const char* tag;
  uint32_t bit;
  uint32_t command;
};
// In the order the conditions are posted.
constexpr FlagButton kConditionButtons[] = {
    {"WEALTHBUT", 0x200, kCmdImWealth}, {"SKILLBUT", 0x100, kCmdImSkills},  {"EDUCBUT", 0x80, kCmdImEduc},
    {"ETHNICBUT", 0x40, kCmdImEthnic},  {"MEDBUT", 0x20, kCmdImMedic},      {"INTEGRATBUT", 0x10, kCmdImRefugeeInt},
};
constexpr FlagButton kGroupButtons[] = {
    {"DISSIDNTBUT", 0x10000, kCmdEmDissidents}, {"SCIENTBUT", 0x4000, kCmdEmScientists},
    {"STUDENTBUT", 0x80000, kCmdEmStudents},    {"LABOURBUT", 0x8000, kCmdEmLabourers},
    {"SKILLEDBUT", 0x20000, kCmdEmSkilled},     {"WEALTHYBUT", 0x40000, kCmdEmWealthy},
    {"POLOPPBUT", 0x100000, kCmdEmExileOpp},    {"MAJCRIMBUT", 0x200000, kCmdEmExileCrime},
};
// The refugee policy's buttons by the policy they stand for.
constexpr const char* kRefugeeButtons[] = {"NONEBUT", "LIMITBUT", "ALLOWBUT"};

constexpr uint32_t kGridColour = 0x8C007D00;  // green, a little more than half opaque
constexpr uint16_t kFeeCurve = 2;

uint32_t MigrationFlags() {
  plat::CriticalSectionLock lock(g_simulationLock);
  const PlayerRecord* r = LocalPlayer(g_world);
  return r ? r->displayPolicy.migrationFlags : 0;
}

void PostButtons(const Screen& panel, const FlagButton* buttons, size_t count) {
  for (size_t i = 0; i < count; ++i) PostArgs(buttons[i].command, SettingArgs{.value = static_cast<uint32_t>(PressedBit(panel, buttons[i].tag))});
}

void ShowFlagButtons(const Screen& panel, const FlagButton* buttons, size_t count, uint32_t flags) {
  for (size_t i = 0; i < count; ++i) Press(Tag(panel, buttons[i].tag), (flags & buttons[i].bit) != 0);
}

// The department's summary again in its place (a panel's BACK).
void BackToDepartment() {
  Screen& d = g_screens.policyScreen;
  ReopenScreen(d);
}

void ShowGrid(Control* grid) {
  if (!grid) return;
  grid->fills[0] = grid->fills[1] = kGridColour;
  grid->flags |= kCtlShowFocus;
}

}  // namespace

void ApplyImmigrationRuleButtons(const Screen& panel) { PostButtons(panel, kConditionButtons, std::size(kConditionButtons)); }

void ApplyEmigrationGroupButtons(const Screen& panel) { PostButtons(panel, kGroupButtons, std::size(kGroupButtons)); }

void MigrationPanel::BindControls() {
  DockInBotbar2(*this);
  ShowGrid(Tag(*this, "IMGRID"));
  ShowGrid(Tag(*this, "EMGRID"));
}

void MigrationPanel::OnOpen() { ScreenSlotResetMapMode(g_screens); }

void MigrationPanel::Refresh() {
  plat::CriticalSectionLock lock(g_simulationLock);
  const PlayerRecord* r = LocalPlayer(g_world);
  if (!r) return;
  const PlayerPolicyBlock& b = r->displayPolicy;
  const bool immigration = (b.migrationFlags & kMigrationImmigrationControl) != 0;
  const bool emigration = (b.migrationFlags & kMigrationEmigrationControl) != 0;
  Press(Tag(*this, "IMCONONBUT"), immigration);
  SetHidden(Tag(*this, "IMGRID"), immigration);
  Press(Tag(*this, "EMCONONBUT"), emigration);
  SetHidden(Tag(*this, "EMGRID"), emigration);
  SetFigure(Tag(*this, "IMMIGRATNUM"), r->immigrationPerYear);
  SetFigure(Tag(*this, "EMIGRATNUM"), r->emigrationPerYear);
  // A fee is per person and its income yearly whatever the period shown.
  SetMoneyShort(Tag(*this, "IMMTAX"), ImmigrationFeeIncome(b));
  SetMoneyShort(Tag(*this, "IMMFEE"), b.immigrationtax);
  if (auto* fee = dynamic_cast<SlideBarControl*>(Tag(*this, "IMMFEESLDR"))) {
    fee->exponent = kFeeCurve;
    SliderSetMaxFloat(fee, kTopImmigrationFee);
    SliderSetValueFloat(fee, b.immigrationtax);
  }
}

void MigrationPanel::OnCommand(Control* control, int32_t id) {
  if (ReleasedGroupButton(control)) {
    PopPopupsTo(g_ui, 2);
    return;
  }
  if (Is(control, "IMCONONBUT")) {
    PostArgs(kCmdImmControl, SettingArgs{.value = control->Selected() ? 1u : 0u});
    EndTextEdit();
    CancelMapPlacement(g_screens);
    ClearMapSelection(g_screens);
    if (g_ui.panelDepth > 2) SetPanelDepth(2, 1, g_mapView);
    if (g_ui.panelDepth == 0) g_screens.cmdBar.dockedPanelMarker = 0;
    UpdatePopupButton(g_screens.mailBar);
  } else if (Is(control, "EMCONONBUT")) {
    PostArgs(kCmdEmControl, SettingArgs{.value = control->Selected() ? 1u : 0u});
    PopPopupsTo(g_ui, 2);
  } else {
    if (id == 2) g_screens.policyScreen.immigrationRules.Show(kKeepScreenId, nullptr);
    if (id == 3) g_screens.policyScreen.groupPolicy.Show(kKeepScreenId, nullptr);
    return;
  }
  RefreshPolicySidePanel();
  Refresh();
}

void MigrationPanel::OnControlChange(Control* control, int32_t) {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (!Is(control, "IMMFEESLDR")) return;
  const auto* bar = dynamic_cast<const SlideBarControl*>(control);
  const float fee = bar ? SliderGetValueFloat(bar) : 0.0f;
  if (!std::isfinite(fee)) return;
  PostArgs(kCmdImmigrationTax, RealSettingArgs{.value = fee});
  PlayerRecord* r = LocalPlayer(g_world);
  if (!r) return;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    RecalcPlayerTotals(g_world, *r, 0);
  }
  SetMoneyShort(Tag(*this, "IMMFEE"), r->displayPolicy.immigrationtax);
}

void ImmigrationRulesPanel::BindControls() { DockInSecondBotbar2(*this); }

void ImmigrationRulesPanel::OnOpen() { ScreenSlotSelectMapMode(g_screens); }

void ImmigrationRulesPanel::Refresh() {
  plat::CriticalSectionLock lock(g_simulationLock);
  const uint32_t flags = MigrationFlags();
  // Only the policy's own button is set: the others keep what they show.
  const uint32_t refugees = (flags >> kMigrationRefugeeShift) & 3u;
  if (refugees < std::size(kRefugeeButtons)) Press(Tag(*this, kRefugeeButtons[refugees]), true);
  ShowFlagButtons(*this, kConditionButtons, std::size(kConditionButtons), flags);
  ShowPolicyLock(*this, kLockImmigrationRules);
}

void ImmigrationRulesPanel::OnCommand(Control* control, int32_t) {
  if (Is(control, "BACK")) {
    BackToDepartment();
    return;
  }
  if (Is(control, "LOCK")) {
    ClickPolicyLock(control, kLockImmigrationRules);
    return;
  }
  ApplyImmigrationRuleButtons(*this);
  // A refugee button also sets the policy it names.
  for (uint32_t policy = 0; policy < std::size(kRefugeeButtons); ++policy)
    if (Is(control, kRefugeeButtons[policy])) PostArgs(kCmdImRefugee, SettingArgs{.value = static_cast<uint32_t>(policy)});
}

void ImmigrationRulesPanel::OnControlChange(Control*, int32_t) { RefreshPolicySidePanel(); }

void PopulationGroupPolicyPanel::BindControls() { DockInSecondBotbar2(*this); }

void PopulationGroupPolicyPanel::OnOpen() { ScreenSlotSelectMapMode(g_screens); }

void PopulationGroupPolicyPanel::Refresh() {
  plat::CriticalSectionLock lock(g_simulationLock);
  ShowFlagButtons(*this, kGroupButtons, std::size(kGroupButtons), MigrationFlags());
  ShowPolicyLock(*this, kLockEmigrationGroups);
}

void PopulationGroupPolicyPanel::OnCommand(Control* control, int32_t) {
  if (Is(control, "BACK")) {
    BackToDepartment();
  } else if (Is(control, "LOCK")) {
    ClickPolicyLock(control, kLockEmigrationGroups);
  } else if (Is(control, "EMCONONBUT")) {
    PostArgs(kCmdEmControl, SettingArgs{.value = static_cast<uint32_t>(PressedBit(*this, "EMCONONBUT"))});
    SetHidden(Tag(*this, "EMPARENT"), (MigrationFlags() & kMigrationEmigrationControl) == 0);
    RefreshPolicySidePanel();
  } else {
    ApplyEmigrationGroupButtons(*this);
  }
}

void PopulationGroupPolicyPanel::OnControlChange(Control*, int32_t) { RefreshPolicySidePanel(); }
