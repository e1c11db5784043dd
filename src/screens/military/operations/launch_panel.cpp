#include "screens/military/operations/launch_panel.h"

#include <vector>

#include "records/order_words.h"
#include "records/player_record.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "screens/military/silo/silo_panels.h"
#include "screens/common/frame/side_bars.h"
#include "screens/common/units/class_icon.h"
#include "screens/military/department/department_text.h"
#include "screens/military/silo/launch_keypad.h"
#include "screens/military/operations/intel_region_panels.h"
#include "screens/military/operations/wmd_targeting_panels.h"
#include "screens/screen_set.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "world/world.h"

namespace {

constexpr int32_t kFirstModeId = 5;
constexpr int32_t kOpeningMode = 3;
constexpr int32_t kFirstCapitalMode = 2;
// The pictures of the first three modes' buttons.
constexpr int32_t kModePictures[] = {4054, 4033, 4011};

// The local region's loaded missiles aimed at the map cell and not yet
// launched, in the order of the unit ring.
std::vector<uint32_t> MissilesAimedAt(int32_t cell) {
  std::vector<uint32_t> aimed;
  plat::CriticalSectionLock lock(g_simulationLock);
  const World& w = g_world;
  const int32_t local = w.gameState.localPlayer;
  for (const UnitRecord* u = w.units; u && cell >= 0; u = u->next == w.units ? nullptr : u->next)
    if (u->owner == local && u->carrier != 0 && (u->unitFlags & kUnitStock) && !(u->unitFlags & kUnitGone) &&
        u->strength >= 1.0f && !(u->ordersShown[kOrderFlags] & kOrderLaunchCargo) &&
        MissileTargetCell(w, u->ordersShown[kFireHex]) == cell)
      aimed.push_back(u->id);
  return aimed;
}

}  // namespace

void LaunchPanel::BindControls() {
  DockInSecondBotbar2(*this);
  calendarParent = Tag(currentForm, "CALPARENT");
  list = MakeListBox("TARGLIST2", 0, currentForm, kListIndicators, this);
}

void LaunchPanel::OnOpen() {
  mode = kOpeningMode;
  if (Control* button = FormFindControlById(currentForm, kFirstModeId + kOpeningMode)) {
    ControlClearSelection(button, 0);
    SetControlFlag(button, kStateSelected, 1);
  }
  for (int32_t i = 0; i < 3; ++i) {
    if (Control* picture = FormFindControlById(currentForm, kFirstModeId + i))
      DrawUnitClassIcon(kModePictures[i], nullptr, nullptr, picture, true, -1);
  }
  g_screens.opsSchedule[1].Show(0, calendarParent);
  SetHidden(Tag(currentForm, "HIDECONFIRM"), true);
  SetHidden(calendarParent, false);
  ScreenSlotSelectMapMode(g_screens);
}

void LaunchPanel::Refresh() {
  std::vector<int32_t> cells;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const int32_t local = g_world.gameState.localPlayer;
    if (local >= 0 && local < kMaxPlayers) FillRegionHeader(currentForm, g_world.players[local], id);
    if (mode >= kFirstCapitalMode && id > 0 && id < kMaxPlayers) {
      const int32_t cell = CapitalCell(g_world, g_world.players[id]);
      if (cell >= 0) cells.push_back(cell);
    }
  }
  FillTargetRows(list, cells);
}

void LaunchPanel::OnCommand(Control* control, int32_t commandId) {
  if (!control) return;
  Control* confirm = Tag(currentForm, "HIDECONFIRM");
  auto closeConfirmation = [&] {
    SetHidden(confirm, true);
    SetHidden(calendarParent, false);
  };
  if (Is(control, "CENTRE")) {
    if (list && list->selectedId != 0) CentreOnCell(TargetRowCell(list->selectedId));
  } else if (commandId >= kFirstModeId && commandId < kFirstModeId + 4) {
    mode = commandId - kFirstModeId;
    Refresh();
  } else if (Is(control, "LAUNCH") || Is(control, "LAUNCHALL")) {
    SetHidden(confirm, false);
    SetHidden(calendarParent, true);
    pending = Is(control, "LAUNCH") ? 1 : 2;
  } else if (Is(control, "LOK")) {
    // The missiles aimed at the picked target go: the first through the
    // keypad while the region's launches wait for the code, the first or
    // all of them once the code was given.
    if (pending != 0) {
      const std::vector<uint32_t> aimed =
          MissilesAimedAt(list && list->selectedId != 0 ? TargetRowCell(list->selectedId) : -1);
      if (!OpenLaunchKeypad(aimed.empty() ? 0 : aimed.front()))
        for (size_t i = 0; i < aimed.size() && (pending == 2 || i == 0); ++i) PostSiloOrder(aimed[i]);
    }
    closeConfirmation();
  } else if (Is(control, "LCANCEL")) {
    closeConfirmation();
  }
}

void LaunchPanel::OnControlChange(Control* control, int32_t id) {
  if (!control || control != list) return;
  for (const char* tag : {"LAUNCH", "CENTRE", "DEL", "HIDEBOX10"}) SetHidden(Tag(currentForm, tag), id == 0);
  for (const char* tag : {"GRIDL1", "GRIDL2"}) SetHidden(Tag(currentForm, tag), true);
}

namespace {

class OperationProgressConfirm : public Screen {
 public:
  OperationProgressConfirm() : Screen("OPS1_SS4a5", FormLookups{.tags = kOperationConfirmTags, .ids = {}}) {}
  void Refresh() override {
    for (const char* tag : {"CONFIRM", "CANCEL"}) SetHidden(Tag(currentForm, tag), false);
    for (const char* tag : {"EVENTPROG", "EVENTSCHED", "MISSPROG", "MISSSCHED"})
      SetHidden(Tag(currentForm, tag), true);
  }
  // Each of its buttons closes the panels three deep.
  void OnCommand(Control* control, int32_t) override {
    if (Is(control, "CONFIRM") || Is(control, "STOP") || Is(control, "CANCEL"))
      ScreenSlotResetMapMode(g_screens);
  }
};

}  // namespace

std::unique_ptr<Screen> MakeOperationProgressConfirm() { return std::make_unique<OperationProgressConfirm>(); }
