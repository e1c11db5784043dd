#include "screens/military/operations/launch_panel.h"

#include <cstdio>
#include <string>
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
#include "units/hex_geometry.h"
#include "units/transport/launch_verdict.h"
#include "world/world.h"

namespace {

constexpr int32_t kFirstModeId = 5;
constexpr int32_t kOpeningMode = 3;
constexpr int32_t kFirstCapitalMode = 2;
// The pictures of the first three modes' buttons.
constexpr int32_t kModePictures[] = {4054, 4033, 4011};

// The local region's loaded missiles, not yet launched, that may strike the
// map cell now: those already aimed at it first, in the order of the unit
// ring; with none, what bars the one that comes nearest (the bar of the
// missile judged last when they are all barred alike).
struct CellLaunch {
  std::vector<uint32_t> aimed, able;
  int32_t loaded = 0;
  LaunchBar bar = LaunchBar::kNoMissile;
  uint32_t hex = 0;
};

CellLaunch LaunchesAt(int32_t cell) {
  CellLaunch out;
  plat::CriticalSectionLock lock(g_simulationLock);
  World& w = g_world;
  if (cell < 0 || w.mapWidth <= 0) return out;
  out.hex = MakeHexPos(cell % w.mapWidth, cell / w.mapWidth);
  const int32_t local = w.gameState.localPlayer;
  int32_t nearest = -1;
  for (const UnitRecord* u = w.units; u; u = u->next == w.units ? nullptr : u->next) {
    if (u->owner != local || u->carrier == 0 || !(u->unitFlags & kUnitStock) || (u->unitFlags & kUnitGone) ||
        !(u->strength >= 1.0f) || (u->ordersShown[kOrderFlags] & kOrderLaunchCargo))
      continue;
    ++out.loaded;
    const LaunchVerdict v = JudgeLaunch(w, *u, out.hex, 0, true);
    if (v.bar == LaunchBar::kNone) {
      (MissileTargetCell(w, u->ordersShown[kFireHex]) == cell ? out.aimed : out.able).push_back(u->id);
    } else if (nearest < 0 || (v.bar == LaunchBar::kOutOfReach && v.distance - v.reach < nearest)) {
      nearest = v.bar == LaunchBar::kOutOfReach ? v.distance - v.reach : 0;
      out.bar = v.bar;
    }
  }
  out.aimed.insert(out.aimed.end(), out.able.begin(), out.able.end());
  if (!out.aimed.empty()) out.bar = LaunchBar::kNone;
  return out;
}

// What the page says of a launch at the cell: how many loaded missiles may
// strike it, or why none may.
std::string LaunchLine(const CellLaunch& at) {
  char text[80];
  if (at.bar == LaunchBar::kNone)
    std::snprintf(text, sizeof text, "%zu of %d missiles can strike it", at.aimed.size(), at.loaded);
  else if (at.loaded == 0)
    std::snprintf(text, sizeof text, "No missile is loaded");
  else
    std::snprintf(text, sizeof text, "Cannot launch: %s", LaunchBarText(at.bar));
  return text;
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
  ShowLaunchLine();
}

void LaunchPanel::ShowLaunchLine() {
  const int32_t cell = list && list->selectedId != 0 ? TargetRowCell(list->selectedId) : -1;
  EnterText(Tag(currentForm, "REACH"), cell >= 0 ? LaunchLine(LaunchesAt(cell)).c_str() : "");
}

void LaunchPanel::OnCommand(Control* control, int32_t commandId) {
  if (!control) return;
  Control* confirm = Tag(currentForm, "HIDECONFIRM");
  auto closeConfirmation = [&] {
    SetHidden(confirm, true);
    SetHidden(calendarParent, false);
    SetHidden(Tag(currentForm, "REACH"), false);
  };
  if (Is(control, "CENTRE")) {
    if (list && list->selectedId != 0) CentreOnCell(TargetRowCell(list->selectedId));
  } else if (commandId >= kFirstModeId && commandId < kFirstModeId + 4) {
    mode = commandId - kFirstModeId;
    Refresh();
  } else if (Is(control, "LAUNCH") || Is(control, "LAUNCHALL")) {
    SetHidden(confirm, false);
    SetHidden(calendarParent, true);
    SetHidden(Tag(currentForm, "REACH"), true);
    pending = Is(control, "LAUNCH") ? 1 : 2;
  } else if (Is(control, "LOK")) {
    // The loaded missiles that may strike the picked target go (those
    // aimed at it first): one, or all for LAUNCHALL, through the keypad
    // while the region's launches wait for the code. When none may, the
    // page says why and the keypad only takes the code.
    closeConfirmation();
    if (pending == 0) return;
    const int32_t cell = list && list->selectedId != 0 ? TargetRowCell(list->selectedId) : -1;
    CellLaunch at = LaunchesAt(cell);
    if (at.aimed.empty()) {
      // The keypad still takes the code; the page says why nothing goes.
      OpenLaunchKeypad({}, 0);
      EnterText(Tag(currentForm, "REACH"), LaunchLine(at).c_str());
      return;
    }
    if (pending == 1) at.aimed.resize(1);
    const size_t count = at.aimed.size();
    if (!OpenLaunchKeypad(at.aimed, at.hex))
      for (const uint32_t missile : at.aimed) PostSiloOrderAt(missile, at.hex);
    char text[64];
    std::snprintf(text, sizeof text, "%zu missile%s ordered to launch", count, count == 1 ? "" : "s");
    EnterText(Tag(currentForm, "REACH"), text);
    return;
  } else if (Is(control, "LCANCEL")) {
    closeConfirmation();
  }
}

void LaunchPanel::OnControlChange(Control* control, int32_t id) {
  if (!control || control != list) return;
  for (const char* tag : {"LAUNCH", "CENTRE", "DEL", "HIDEBOX10"}) SetHidden(Tag(currentForm, tag), id == 0);
  for (const char* tag : {"GRIDL1", "GRIDL2"}) SetHidden(Tag(currentForm, tag), true);
  ShowLaunchLine();
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
