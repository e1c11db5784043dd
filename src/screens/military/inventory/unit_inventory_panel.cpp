#include "screens/military/inventory/unit_inventory_panel.h"

#include <cstdio>

#include "records/unit_record.h"
#include "screens/docked_panels.h"
#include "screens/common/list_page.h"
#include "screens/common/frame/side_bars.h"
#include "screens/common/frame/main_layout.h"
#include "screens/common/units/unit_lists.h"
#include "screens/common/units/build_lists.h"
#include "screens/military/department/military_figures.h"
#include "screens/military/production/production_lists.h"
#include "screens/military/units/unit_picture_panel.h"
#include "screens/screen_set.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "world/id_lookups.h"
#include "world/list_holder.h"
#include "world/world.h"

namespace {

constexpr const char* kTags[] = {"STOREDLIST", "STATPARENT", "DEPALL", "MCAP1", "MCAP2", "BUILD", "VIEW", "DEPLOY"};
constexpr int32_t kPopupDepth = 2;
// The badge row of the class sheet's header.
constexpr size_t kInventoryClassRow = 31;

UnitPicturePanel& ClassSheet() { return g_screens.unitPicturePanels[kInventoryClassSheet]; }

}  // namespace

UnitInventoryPanel::UnitInventoryPanel() : Screen("MILITARY1_ss4", FormLookups{.tags = kTags, .ids = {}}) {}

void UnitInventoryPanel::OnOpen() { OpenListPage(storedList); }

void UnitInventoryPanel::BindControls() {
  DockInBotbar2(*this);
  g_screens.unitPicturePanels[kInventoryClassSheet].classRow = &g_screens.militarySclass[kInventoryClassRow];
  container = Tag(currentForm, "STATPARENT");
  storedList = MakeListBox("STOREDLIST", 0, currentForm, kListIndicators, this);
  ShowAsMarkerBox(Tag(currentForm, "GRIDLOAD1"));
  MarkScreenFlag1(*this);
}

void UnitInventoryPanel::Refresh() {
  int32_t used = 0, limit = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    World& w = g_world;
    const int32_t local = w.gameState.localPlayer;
    const MilitaryFigures figures = LocalMilitaryFigures(w);
    used = figures.militaryCapacityUsed;
    limit = figures.militaryCapacity;
    if (storedList) {
      const int32_t keptId = storedList->selectedId;
      const int32_t keptScroll = storedList->scrollOffset;
      ListClear(storedList, 0);
      ListHolder& stored = g_screens.workingLists[kStoredUnitListIndex];
      CollectUnits(w, CollectUnitsArgs{.resultList = &stored,
                                       .stock = 1,
                                       .viewingPlayer = local,
                                       .subType = kStockMilitaryClass,
                                       .relationMask = 1,
                                       .orderBit1AndSorting = 1,
                                       .orderStatus = 0,
                                       .clearFirst = 1});
      // The rows the option asks for, as the silo's lists show them: a
      // missile's row gives its count, where a name alone reads the same for
      // a stock of 1 and of 19.
      FillUnitList(w, storedList, stored, false, false, -1);
      ListLayoutRows(storedList);
      if (keptId > 0) ListSetSelection(0, storedList, keptId, 0);
      storedList->scrollOffset = keptScroll;
      if (ListNextSelected(storedList, nullptr) == nullptr && storedList->firstRow)
        ListSelectItem(0, storedList, storedList->firstRow, 0);
    }
  }
  const bool empty = !storedList || ListNextSelected(storedList, nullptr) == nullptr;
  if (storedList && empty) {
    // Not a unit: a row of id 0 that cannot be chosen.
    ListAddTextItem(storedList, "No Undeployed", 0, 0, 0, 0, 1);
  }
  SetHidden(Tag(currentForm, "DEPALL"), empty);
  SetInt(Tag(currentForm, "MCAP1"), used);
  SetInt(Tag(currentForm, "MCAP2"), limit);
}

void UnitInventoryPanel::OnCommand(Control* control, int32_t value) {
  if (!control) return;
  if ((control->flags & kCtlRadio) && !control->Selected()) {
    PopPopupsTo(g_ui, kPopupDepth);
  } else if (Is(control, "BUILD")) {
    g_screens.unitClassList.Show(0, nullptr);
  } else if (Is(control, "VIEW")) {
    g_screens.missileLoadPanel->Show(2, nullptr);
  } else if (Is(control, "DEPLOY")) {
    g_screens.missileSiloPanel.Show(static_cast<intptr_t>(ListCurrentUnit(storedList)), nullptr);
  } else if (Is(control, "MISPOPUP")) {
    g_screens.missiles.Popup(0, nullptr);
  } else if (Is(control, "QUEUE")) {
    g_screens.mapScreen.baseProduction.Show(1, nullptr);
  } else if (Is(control, "DEPALL")) {
    g_screens.deployAllConfirm->Show(0, nullptr);
  } else {
    OnProductionListCommand(currentForm, control, value,
                            ProductionListHosts{.sell = &g_screens.unitSaleOffers[0], .confirmParent = container});
  }
}

void UnitInventoryPanel::OnActivate(Control* control, int32_t) {
  if (!Is(control, "STOREDLIST") || !storedList) return;
  const uint32_t unit = ListCurrentUnit(storedList);
  if (unit == 0) return;
  ScreenParameterList stored;
  for (Control* row = storedList->firstRow; row; row = ListNextRow(storedList, row))
    if (row->id > 0) stored.entries.push_back(row->id);
  stored.listControl = storedList;
  g_screens.missileStockView.Popup(static_cast<intptr_t>(unit), &stored);
}

void UnitInventoryPanel::OnControlChange(Control* control, int32_t) {
  const uint32_t unit = ListCurrentUnit(control);
  // The shared handler hides the row buttons when the choice is let go and
  // never shows them again: a chosen unit brings them back, for the handler
  // to hide what that unit may not do.
  if (unit != 0 && Is(control, "STOREDLIST"))
    for (const char* tag : {"DEPLOY", "SELL"}) SetHidden(Tag(currentForm, tag), false);
  OnProductionListChange(currentForm, control, unit, 0);
  if (!Is(control, "STOREDLIST")) return;
  SetHidden(container, unit == 0);
  if (unit == 0) return;
  int32_t classIndex = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    if (const UnitRecord* u = FindUnitById(g_world, unit)) classIndex = u->classIndex;
  }
  if (container && classIndex) ClassSheet().Show(classIndex, container);
  if (unit == lastHanded) return;
  lastHanded = unit;
  g_screens.missileSiloPanel.id = static_cast<intptr_t>(unit);
  Control* bar = g_ui.bottomBoxes[kDockLevelThird];
  if (!bar || bar->Hidden() || !bar->firstChild || !bar->firstChild->owner) return;
  Screen& docked = *bar->firstChild->owner;
  docked.Show(kKeepScreenId, nullptr);
  // A platform chosen there stays chosen: its load buttons follow the
  // weapon now chosen here.
  if (auto* platforms = TagAs<ListBoxControl>(docked.currentForm, "LIST5"); platforms && platforms->selectedId > 0)
    docked.OnControlChange(platforms, platforms->selectedId);
}
