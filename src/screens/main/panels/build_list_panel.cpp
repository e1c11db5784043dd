#include "screens/main/panels/build_list_panel.h"

#include "platform/threads.h"
#include "screens/common/frame/side_bars.h"
#include "screens/common/facilities/build_classes.h"
#include "screens/common/frame/map_selection.h"
#include "screens/screen_set.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/panel_helpers.h"
#include "world/unit_class.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

constexpr int32_t kFirstPageClasses[] = {4002, 4004, 4006, 4013};

}  // namespace

void BuildPageClasses(World& world, int32_t page, void (*add)(void* context, int32_t classIndex), void* context) {
  auto fixed = [&](auto&& classes) {
    for (int32_t c : classes)
      if (const UnitClassRecord* cls = ClassRecordAt(world, c); cls && cls->name[0]) add(context, c);
  };
  if (page == 1) fixed(kFirstPageClasses);
  if (page == 5) fixed(kTransportClasses);
  if (page != 2 && page != 3) return;
  const uint32_t flag = page == 2 ? kClassSettlement : kClassProduction;
  for (int32_t c = kBuildClassFirst; c < kBuildClassEnd; ++c)
    if (BuildClassOpen(world, c, flag)) add(context, c);
}

void BuildListPanel::BindControls() {
  DockInBotbar2(*this);
  list = MakeListBox("LIST1", 0, currentForm, kListIndicators, this);
  g_mapPlacement.placementConfirm = 1;
  g_mapPlacement.placementRepeat = 0;
  id = kBuildPageStart;
}

void BuildListPanel::OnOpen() {
  if (list) {
    for (Control* row = list->firstRow; row; row = ListNextRow(list, row)) SetControlFlag(row, kStateSelected, 0);
    const bool hadSelection = list->selectedId != 0;
    list->selectedId = 0;
    list->selectedValue = 0;
    if (hadSelection) OnControlChange(list, 0);
  }
  if (g_mapPlacement.active) CancelMapPlacement(g_screens);
  const int32_t page = static_cast<int32_t>(id);
  for (int32_t tab = kBuildPageFirst; tab <= kBuildPageLast; ++tab)
    SetControlFlag(FormFindControlById(currentForm, tab), kStateSelected, tab == page);
  if (list) {
    const int32_t scroll = list->scrollOffset;
    ListClear(list, 1);
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      BuildRows rows{&g_world, list, kBuildRowBase};
      BuildPageClasses(g_world, page, AddBuildRow, &rows);
    }
    list->scrollOffset = scroll;
    ListLayoutRows(list);
  }
  ScreenSlotResetMapMode(g_screens);
}

void BuildListPanel::OnCommand(Control* control, int32_t commandId) {
  if (!control) return;
  if (ControlTagMatches(control->tag, "CANBUT")) {
    CancelMapPlacement(g_screens);
  } else if (control == list) {
    if (commandId > kBuildRowBase) BeginMapPlacement(commandId - kBuildRowBase, 1);
  } else if (commandId > 0 && commandId < kBuildRowBase) {
    Show(commandId, nullptr);
  }
}
