#include "screens/main/panels/unit_panel.h"

#include <vector>

#include "records/unit_record.h"
#include "screens/docked_panels.h"
#include "screens/common/frame/main_layout.h"
#include "screens/common/frame/map_popups.h"
#include "screens/main/panels/map_screen.h"
#include "screens/main/map/map_view.h"
#include "screens/main/map_input/selection.h"
#include "screens/common/frame/side_bars.h"
#include "screens/common/units/unit_lists.h"
#include "screens/common/units/unit_header.h"
#include "screens/screen_set.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/panel_helpers.h"
#include "ui/popups.h"
#include "ui/screen_manager.h"
#include "units/transport/cargo_boarding.h"
#include "world/unit_class.h"
#include "world/id_lookups.h"
#include "world/world.h"

namespace {


// The unit of the id, or null when it is gone or removed.
const UnitRecord* LiveUnit(uint32_t id) {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (id == 0) return nullptr;
  const UnitRecord* unit = FindUnitById(g_world, id);
  return unit && !(unit->unitFlags & kUnitGone) ? unit : nullptr;
}

// The selected units as a list the list box can show.
void CopySelection(ListHolder& to) {
  plat::CriticalSectionLock lock(g_simulationLock);
  for (UnitRecord* unit : SelectedUnits(g_world, g_screens)) AddUnitRef(to, *unit);
}

Control* RowOfUnit(const ListBoxControl* list, uint32_t unitId) {
  for (Control* row = ListNextRow(list, nullptr); row; row = ListNextRow(list, row))
    if (static_cast<uint32_t>(ListRowValue(row)) == unitId && unitId != 0) return row;
  return nullptr;
}

// The dock drops back to the panel's level, and the command bars follow.
void CloseTabPanels() {
  SetPanelDepth(kDockLevelSecond, 1, g_mapView);
  if (g_ui.panelDepth == 0) g_screens.cmdBar.dockedPanelMarker = 0;
  UpdatePopupButton(g_screens.mailBar);
}

}  // namespace

UnitPanel::UnitPanel() : Screen("MAP1_ss4", FormLookups{.tags = kUnitPanelTags, .ids = {}}) {}

Control* UnitPanel::Find(const char* tag) const { return currentForm ? FormFindControlByTag(currentForm, tag) : nullptr; }

uint32_t UnitPanel::CurrentUnit() const { return list ? static_cast<uint32_t>(list->selectedValue) : 0; }

void UnitPanel::BindControls() {
  // In the bar's dock slot, as every side panel: in place of the bar the
  // others' slot would be taken off the screen with it.
  DockInBotbar2(*this);
  list = MakeListBox("LIST1", 0, currentForm, kListIndicators, this);
  ordersArea = Find("ORDERS1C");
}

void UnitPanel::OnOpen() { ScreenSlotResetMapMode(g_screens); }

void UnitPanel::Refresh() {
  if (!list) return;
  const uint32_t keptUnit = CurrentUnit();
  const int32_t keptScroll = list->scrollOffset;
  ListClear(list, 0);
  plat::CriticalSectionLock lock(g_simulationLock);
  ListHolder rows{};
  const HexPosition& hex = g_world.gameState.currentHex;
  if (id == kUnitPanelListsSelection && g_screens.SelectionList().first) {
    CopySelection(rows);
  } else if (hex.x == 0 && hex.y == 0) {
    SetHidden(ordersArea, true);
    return;
  } else {
    for (const intptr_t unitId : FillHexUnitList(hex.cellIndex))
      if (const UnitRecord* unit = LiveUnit(static_cast<uint32_t>(unitId))) AddUnitRef(rows, *unit);
  }
  FillUnitList(g_world, list, rows, false, false, -1);
  ListHolderClear(rows);
  if (!list->firstRow) return;
  ListLayoutRows(list);
  if (Control* row = RowOfUnit(list, keptUnit)) ListSelectItem(0, list, row, 0);
  list->scrollOffset = keptScroll;
  ListLayoutRows(list);
  if (CurrentUnit() == 0) ListSelectItem(0, list, list->firstRow, 0);
}

void UnitPanel::OnCommand(Control* control, int32_t) {
  if (!control || control == list) return;
  if ((control->flags & kCtlRadio) && !control->Selected()) {
    PopPopupsTo(g_ui, kDockLevelSecond);
    return;
  }
  Screen* tabs[] = {&summary, &status, &cargo, &extra};
  const char* tabTags[] = {"4A", "4B", "4C", "4D"};
  for (int i = 0; i < 4; ++i) {
    if (!ControlTagMatches(control->tag, tabTags[i])) continue;
    if (const uint32_t unit = CurrentUnit()) tabs[i]->Show(unit, nullptr);
    return;
  }
  if (ControlTagMatches(control->tag, "UNITORDER")) OpenUnitOrders(g_screens, CurrentUnit());
}

void UnitPanel::OnActivate(Control* control, int32_t) {
  if (!control || control != list) return;
  ScreenParameterList pages;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    if (id == kUnitPanelListsSelection) {
      for (UnitRecord* unit : SelectedUnits(g_world, g_screens)) pages.entries.push_back(unit->id);
    } else {
      pages.entries = FillHexUnitList(g_world.gameState.currentHex.cellIndex);
    }
  }
  g_screens.unitDetail.Popup(CurrentUnit(), &pages);
}

void UnitPanel::OnControlChange(Control* control, int32_t) {
  if (control && control == list) ShowUnit(CurrentUnit());
}

void UnitPanel::ShowUnit(uint32_t unitId) {
  Control* f = currentForm;
  if (!f) return;
  plat::CriticalSectionLock lock(g_simulationLock);
  const UnitRecord* unit = LiveUnit(unitId);
  const UnitClassRecord* cls = unit ? ClassRecordAt(g_world, unit->classIndex) : nullptr;
  if (!cls) unit = nullptr;
  for (const char* tag : {"ORDERS1C", "UNITPIC", "UNITPICT"}) SetHidden(Find(tag), unit == nullptr);
  SetHidden(Find("UNITORDER"), true);
  if (!unit) return;
  orderSheet.Show(unitId, ordersArea);
  DrawUnitPicture(f, *cls, unit, -1, 1);
  const bool own = unit->owner == g_world.gameState.localPlayer;
  SetHidden(Find("UNITORDER"), !own);
  SetHidden(Find("4C"), cls->carryCapacity == 0.0f && cls->cargoSlots == 0);
  for (Screen* tab : {static_cast<Screen*>(&summary), static_cast<Screen*>(&status), static_cast<Screen*>(&cargo),
                      static_cast<Screen*>(&extra)}) {
    tab->id = unitId;
    tab->Refresh();
  }
  extraFill.id = unit->classIndex;
  extraFill.Refresh();
  Control* summaryTab = Find("4A");
  Control* cargoTab = Find("4C");
  if (own) {
    SetHidden(summaryTab, false);
  } else {
    if ((summaryTab && summaryTab->Selected()) || (cargoTab && cargoTab->Selected())) CloseTabPanels();
    SetHidden(summaryTab, true);
    SetHidden(cargoTab, true);
  }
  f->Invalidate();
}

void OpenUnitOrders(ScreenSet& screens, uint32_t unitId) {
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const UnitRecord* unit = LiveUnit(unitId);
    if (!unit) return;
    ListHolderClear(screens.SelectionList());
    AddUnitRef(screens.SelectionList(), *unit);
    MarkStackUnits(g_world, screens.SelectionList());
  }
  ShowSelectionOrders(screens);
}

// The class rows and class sheets of the set are shared among many owners;
// the unit tabs take the last ones.
void LinkUnitTabScreens(ScreenSet& screens) {
  UnitPanel& units = screens.mapScreen.units;
  units.detail.classRow = &screens.militaryClass[11];
  // The summary rows name the unit's type under its name in the small
  // font: the large one's "Transport Aircraft" is wider than the row.
  units.orderSheet.classRow = &screens.militarySclass[23];
  screens.orderSheets[0].classRow = &screens.militarySclass[24];
  screens.orderSheets[1].classRow = &screens.militarySclass[25];
  units.detail.cargoPart = &screens.cargoPanels[0];
  units.summary.grid = &screens.unitTabGrid;
  screens.unitDetailPanel.classRow = &screens.militaryClass[10];
  screens.unitDetailPanel.cargoPart = &screens.cargoPanels[1];
  screens.unitClassSheet.classRow = &screens.militaryClass[9];
  screens.militaryProgress.classRow = &screens.militarySclass[22];
  screens.militaryProgressB.classRow = &screens.militarySclass[18];
  units.cargo.picturePanel = &screens.unitPicturePanels[18];
  for (size_t i = 0; i < screens.cargoPanels.screens.size(); ++i)
    screens.cargoPanels[i].picturePanel = &screens.unitPicturePanels[15 + i];
}
