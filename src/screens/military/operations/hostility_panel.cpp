#include "screens/military/operations/hostility_panel.h"

#include "records/player_record.h"
#include "screens/common/frame/side_bars.h"
#include "screens/military/department/department_text.h"
#include "screens/military/operations/intel_region_panels.h"
#include "screens/screen_set.h"
#include "sim/region_names.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "world/world.h"

namespace {

constexpr int32_t kFirstBoxOperation = 1;
constexpr int32_t kThirdBoxOperation = 3;
constexpr int32_t kFourthBoxOperation = 4;
// The progress box is told the operation as its button's id + 10.
constexpr int32_t kOperationNumberBase = 10;

}  // namespace

void HostilityPanel::BindControls() {
  DockInSecondBotbar2(*this);
  confParent = Tag(currentForm, "CONFPARENT");
  calendarParent = Tag(currentForm, "CALPARENT");
  confirmBox = Tag(currentForm, "CONFIRMBOX");
}

void HostilityPanel::OnOpen() {
  if (Control* first = FormFindControlById(currentForm, 1)) ControlClearSelection(first, 0);
  SetHidden(confirmBox, true);
  SetHidden(confParent, true);
  ScreenSet& s = g_screens;
  s.hostilityConfirm.Show(id, nullptr);
  s.opsSchedule[2].Show(0, calendarParent);
  SetHidden(calendarParent, true);
  ScreenSlotSelectMapMode(s);
}

void HostilityPanel::Refresh() {
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const int32_t local = g_world.gameState.localPlayer;
    if (local >= 0 && local < kMaxPlayers) FillRegionHeader(currentForm, g_world.players[local], id, "REGIONHD");
  }
  SetControlText(Tag(currentForm, "HOSTEXT"), "");
}

void HostilityPanel::OnCommand(Control* control, int32_t operation) {
  if (!control || operation == 0 || Is(control, "LOCK")) return;
  ScreenSet& s = g_screens;
  SetHidden(confirmBox, false);
  SetHidden(confParent, false);
  SetHidden(calendarParent, true);
  s.operationProgressConfirm->Show(operation + kOperationNumberBase, confirmBox);
  if (operation == kFirstBoxOperation) {
    s.hostilityConfirm.Show(id, nullptr);
  } else if (operation == kThirdBoxOperation) {
    s.hostilityConfirm3.Show(id, nullptr);
  } else if (operation == kFourthBoxOperation) {
    SetHidden(calendarParent, false);
    s.hostilityConfirm4.Show(id, nullptr);
  }
}

void HostilityPanel::OnControlChange(Control* control, int32_t) {
  if (Is(control, "HOSSLDR")) SetControlText(Tag(currentForm, "HOSTEXT"), "");
}

void HostilityConfirmBox::BindControls() { hostLink = &g_screens.hostilityPanel.confParent; }

void HostilityConfirmBox::Refresh() {
  const bool named = id > 0 && id < kMaxPlayers;
  plat::CriticalSectionLock lock(g_simulationLock);
  SetControlText(Tag(currentForm, "REGION"),
                 named ? RegionDisplayName(g_world, static_cast<int>(id)) : "");
}

void HostilityConfirmBox::OnCommand(Control* control, int32_t) {
  if (Is(control, "CONFIRM") || Is(control, "CANBUT")) g_screens.hostilityPanel.Show(kKeepScreenId, nullptr);
}
