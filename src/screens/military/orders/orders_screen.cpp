#include "screens/military/orders/orders_screen.h"

#include <algorithm>
#include <vector>

#include "records/command_ids.h"
#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/order_words.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "screens/common/units/unit_tab_figures.h"
#include "screens/docked_panels.h"
#include "screens/common/frame/command_bars.h"
#include "screens/common/frame/side_bars.h"
#include "screens/common/frame/map_view_state.h"
#include "screens/common/units/order_choice.h"
#include "screens/common/frame/unit_selection.h"
#include "screens/common/frame/main_layout.h"
#include "screens/common/frame/map_popups.h"
#include "screens/common/units/unit_lists.h"
#include "screens/common/units/unit_class_row.h"
#include "screens/screen_set.h"
#include "sim/game_command.h"
#include "sim/simulation_lock.h"
#include "sim/unit_order_args.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/list_start.h"
#include "ui/order_list.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "ui/slide_bar.h"
#include "ui/string_control.h"
#include "world/hex_stack_chains.h"
#include "world/id_lookups.h"
#include "world/text/rule_tables.h"
#include "world/text/text_lists.h"
#include "world/text/ui_options.h"
#include "world/unit_class.h"
#include "world/unit_ring.h"
#include "world/world.h"

namespace {

constexpr uint32_t kAvailableWithoutHex = 1u << 2;
constexpr uint32_t kMissileOrder = 1u << 9;
// The orders screen's number among the main panels of the command bar.
constexpr int32_t kOrdersPanel = 9;
// The kind buttons, land to submarine: each picks the rows of its kind.
constexpr int32_t kKindButtonFirst = 200, kKindButtonLast = 203;

const OrderTypeRecord* Definition(int32_t order) {
  if (order < 0 || order >= kOrderTypeCount) return nullptr;
  return &g_ruleTables.orderTypes.entries[order];
}

const char* FieldName(TextListId list, int32_t value) {
  return value < 0 ? "Mixed" : TextListEntry(g_textLists, list, value);
}

// Set while the panel was opened by picking a hex on the map; closing the
// map's pop-ups clears it.
bool OrderHexMarked() { return g_selection.orderMenu != 0; }

}  // namespace

uint32_t SelectedHexWord(const World& world) {
  const HexPosition& h = world.gameState.currentHex;
  return PackHex(h.x, h.y);
}

void OrdersDockStep(ScreenSet& screens, int32_t depth) {
  if (depth >= 3) {
    ScreenSlotSelectMapMode(screens);
    return;
  }
  SetPanelDepth(depth, 1, g_mapView);
  if (g_ui.panelDepth == 0) screens.cmdBar.dockedPanelMarker = 0;
  UpdatePopupButton(screens.mailBar);
}

void UnitOrdersPanel::BindControls() {
  DockInBotbar2(*this);
  ordersList = MakeListBox("ORDERSLIST", 0, currentForm, 0, this);
}

void UnitOrdersPanel::OnOpen() {
  OrderEditState& edit = g_screens.ordersScreen.edit;
  ScreenSet& screens = g_screens;
  ListStartAfresh(ordersList);
  for (ListBoxControl* list : {screens.ordersUnitList.unitList, screens.missileStrike.unitList, screens.missileStrike.missileList})
    if (list) ListClear(list, 1);
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const std::vector<UnitRecord*> units = SelectedUnits(g_world, screens);
    GatherSelectionOrders(edit, units);
    if (ordersList) {
      ListClear(ordersList, 1);
      const std::vector<const UnitRecord*> selected(units.begin(), units.end());
      FillOrderList(g_world, ordersList, selected, 1, OrderHexMarked() ? SelectedHexWord(g_world) : 0);
      ListLayoutRows(ordersList);
    }
  }
  if (ordersList) {
    if (ordersList->selectedValue == 0 && edit.commonOrder > 0) ListSetSelection(0, ordersList, edit.commonOrder, 0);
    if (ordersList->selectedValue == 0 && g_pendingOrder > 0) ListSetSelection(0, ordersList, g_pendingOrder, 0);
  }
  const int32_t* f = edit.commonOrders;
  SetControlText(Tag(*this, "SPEED"), FieldName(kListOrdspeed, f[kFieldSpeed]));
  SetControlText(Tag(*this, "ROUTE"), FieldName(kListOrdroute, f[kFieldRoute]));
  SetControlFlag(Tag(*this, "FORMATION"), kStateSelected, (edit.commonHeaderBits & 2u) ? 1 : 0);
  SetControlText(Tag(*this, "TRANSPORTS"), (edit.commonHeaderBits & 1u) ? "YES" : "NO");
  SetControlText(Tag(*this, "SCHEDULE"), "IMMEDIATE");
  const OrderTypeRecord* chosen = Definition(ordersList ? static_cast<int32_t>(ordersList->selectedValue) : 0);
  SetControlText(Tag(*this, "ORDER1"), chosen ? chosen->name.c_str() : "");
  SetControlText(Tag(*this, "ORDER2"), "");
  SetControlText(Tag(*this, "INITIATIVE"), FieldName(kListOrdinitiative, f[kFieldInitiative]));
  SetControlText(Tag(*this, "TACTIC"), FieldName(kListOrdtactic, f[kFieldTactic]));
  SetControlText(Tag(*this, "IMPORTANCE"), FieldName(kListOrdimportance, f[kFieldImportance]));
  SetControlText(Tag(*this, "LOSSTOL"), FieldName(kListOrdlosstol, f[kFieldLossTolerance]));
  OrdersDockStep(g_screens, 2);
}

void UnitOrdersPanel::OnControlChange(Control* control, int32_t id) {
  if (control == ordersList || Is(control, "ORDERSLIST")) {
    const OrderTypeRecord* d = Definition(id);
    const bool hidden =
        id == 0 || (!OrderHexMarked() && !(d && (static_cast<uint32_t>(d->listModes) & kAvailableWithoutHex)));
    SetHidden(Tag(*this, "EXECUTE"), hidden);
    g_pendingOrder = id != 0 ? id : g_uiOptions.unitorderdefault;
    return;
  }
  if (id != 0) ApplyOrderControl(g_screens.ordersScreen.edit, control, id, currentForm);
}

bool PostMissileStrike(ScreenSet& screens, int32_t order) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const OrderTypeRecord* d = Definition(order);
  ListBoxControl* missiles = screens.missileStrike.missileList;
  if (!d || !(d->orderMask & kMissileOrder) || !missiles || !ListNextSelected(missiles, nullptr)) return false;
  const OrderEditState& edit = screens.ordersScreen.edit;
  const uint32_t hex = SelectedHexWord(g_world);
  const uint32_t target = edit.targetUnit > 0 ? static_cast<uint32_t>(edit.targetUnit) : 0u;
  // The order keeps one byte of the quantity.
  const int32_t quantity = std::clamp(screens.missileStrike.missileQuantity, 0, kMostMissilesPerStrike);
  for (Control* row = ListNextSelected(missiles, nullptr); row; row = ListNextSelected(missiles, row)) {
    const intptr_t value = ListRowValue(row);
    const UnitRecord* unit = value > 0 ? FindUnitById(g_world, static_cast<uint32_t>(value)) : nullptr;
    if (!unit) continue;
    const uint32_t id = unit->id;
    PostArgs(kCmdUnitSetDestination, OrderHexArgs{.unit = id, .hex = hex});
    PostArgs(kCmdUnitSetFireHex, OrderHexArgs{.unit = id, .hex = hex});
    PostArgs(kCmdUnitSetFireUnit, OrderTargetArgs{.unit = id, .target = target});
    PostArgs(kCmdUnitSetOrdersHeaderBits, OrderBitsArgs{.unit = id, .bits = kHeaderLaunchAllowed, .set = 1});
    PostArgs(kCmdUnitSetOrderLevel,
             OrderValueArgs{.unit = id, .value = static_cast<uint32_t>(quantity)});
    PostArgs(kCmdAddOrderFlags, OrderFlagsArgs{.unit = id, .flags = target ? 0x2200u : 0xA00u, .mask = 0});
  }
  return true;
}

void UnitOrdersPanel::OnCommand(Control* control, int32_t id) {
  plat::CriticalSectionLock lock(g_simulationLock);
  ScreenSet& screens = g_screens;
  // The orders list is made as a radio group of its rows; only a toggle
  // button let go closes the panels above, never a click on an order.
  if (control && control != ordersList && (control->flags & kCtlRadio) && !(control->state & kStateSelected)) {
    PopPopupsTo(g_ui, 2);
    return;
  }
  if (Is(control, "RULES")) {
    screens.contactOptions->Show(0, nullptr);
  } else if (Is(control, "MOVEMENT")) {
    screens.movementOptions.Show(0, nullptr);
  } else if (Is(control, "MISSION")) {
    screens.missionPanel.Show(0, nullptr);
  } else if (Is(control, "EXECUTE")) {
    const int32_t order = ordersList ? static_cast<int32_t>(ordersList->selectedValue) : 0;
    // A strike that may not go is refused here, not dropped later by the
    // launch: nothing is posted and the strike panel keeps saying why.
    const OrderTypeRecord* d = Definition(order);
    if (d && (d->orderMask & kMissileOrder) && screens.missileStrike.ShowLaunchVerdict()) return;
    if (!PostMissileStrike(screens, order)) {
      UnitRecord* target = nullptr;
      {
        plat::CriticalSectionLock lock(g_simulationLock);
        const int32_t t = screens.ordersScreen.edit.targetUnit;
        target = t > 0 ? FindUnitById(g_world, static_cast<uint32_t>(t)) : nullptr;
      }
      IssueOrderToSelection(screens, order, OrderHexMarked() ? SelectedHexWord(g_world) : 0, target, false, 0);
    }
    CloseMapPopups(screens);
  } else if ((control == ordersList || Is(control, "ORDERSLIST")) && id != 0) {
    const OrderTypeRecord* d = Definition(g_pendingOrder);
    if (d && (d->orderFlags & kOrderLoadInto)) {
      if (d->orderFlags & kOrderMoving)
        screens.missileStrike.Show(g_pendingOrder, nullptr);
      else
        screens.ordersUnitList.Show(g_pendingOrder, nullptr);
    } else {
      Control* third = DockHost(screens, 3);
      const Control* shown = third ? third->firstChild : nullptr;
      if (shown && (shown == screens.ordersUnitList.currentForm || shown == screens.missileStrike.currentForm))
        OrdersDockStep(screens, 2);
    }
  }
}

OrdersUnitListPanel::~OrdersUnitListPanel() { ListHolderClear(targetCandidates); }

void OrdersUnitListPanel::BindControls() {
  DockInSecondBotbar2(*this);
  unitList = FormFindControlByTag(currentForm, "UNITLIST")
                 ? MakeListBox("UNITLIST", 0, currentForm, kListIndicators, this)
                 : nullptr;
  statParent = Tag(*this, "STATPARENT");
  if (!statParent && Is(currentForm, "STATPARENT")) statParent = currentForm;
  MarkScreenFlag1(*this);
}

void OrdersUnitListPanel::OnOpen() { ScreenSlotSelectMapMode(g_screens); }

void PreselectTarget(ListBoxControl* list, intptr_t kept, const OrderEditState& edit) {
  if (!list) return;
  const auto select = [list](intptr_t value) {
    if (value == 0) return false;
    for (Control* row = ListNextRow(list, nullptr); row; row = ListNextRow(list, row)) {
      if (ListRowValue(row) != value) continue;
      ListSelectItem(0, list, row, 0);
      return true;
    }
    return false;
  };
  if (select(kept) || select(edit.commonOrder8 > 0 ? edit.commonOrder8 : 0) ||
      select(edit.commonOrder7 > 0 ? edit.commonOrder7 : 0))
    return;
  if (list->firstRow) ListSelectItem(0, list, list->firstRow, 0);
}

void OrdersUnitListPanel::Refresh() {
  if (!unitList) return;
  const intptr_t kept = unitList->selectedValue;
  const int32_t scroll = unitList->scrollOffset;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    PickTarget(g_world, targetCandidates, unitList, static_cast<int32_t>(id));
  }
  ListLayoutRows(unitList);
  unitList->scrollOffset = scroll;
  PreselectTarget(unitList, kept, g_screens.ordersScreen.edit);
  ListLayoutRows(unitList);
}

void OrdersUnitListPanel::OnControlChange(Control* control, int32_t) {
  if (!control || control != unitList) return;
  // The hex row aims at the marked hex with no unit.
  const intptr_t value = unitList->selectedValue > 0 ? unitList->selectedValue : 0;
  SetHidden(statParent, value == 0);
  g_screens.ordersScreen.edit.targetUnit = static_cast<int32_t>(value);
  if (value == 0 || !classRow) return;
  plat::CriticalSectionLock lock(g_simulationLock);
  const UnitRecord* u = FindUnitById(g_world, static_cast<uint32_t>(value));
  if (const UnitClassRecord* k = u ? ClassRecordAt(g_world, u->classIndex) : nullptr)
    classRow->Show(k->typeByte, statParent);
}

void OrdersUnitListPanel::OnActivate(Control* control, int32_t) {
  if (!control || control != unitList || unitList->selectedValue <= 0) return;
  ScreenParameterList pages;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    for (ListItem28* i = FirstInHolder(targetCandidates); i; i = NextInHolder(targetCandidates, i))
      if (const UnitRecord* u = RefUnit(g_world, *i)) pages.entries.push_back(u->id);
  }
  g_screens.unitDetail.Popup(unitList->selectedValue, &pages);
}

bool OnSettingsPostButton(Screen& panel, Control* control) {
  plat::CriticalSectionLock lock(g_simulationLock);
  (void)panel;
  ScreenSet& screens = g_screens;
  OrderEditState& edit = screens.ordersScreen.edit;
  if (Is(control, "CHANGE")) {
    IssueOrderToSelection(screens, 0, SelectedHexWord(g_world), nullptr, true, 0);
    screens.unitOrders.Show(kKeepScreenId, nullptr);
  } else if (Is(control, "ONLYFUTURE")) {
    PostDefaultOrderSettings(edit);
    PopPopupsTo(g_ui, 2);
  } else if (Is(control, "DEFAULT")) {
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      PostUnitOrderSettings(edit, g_world);
    }
    PostDefaultOrderSettings(edit);
    PopPopupsTo(g_ui, 2);
  } else {
    return false;
  }
  return true;
}

void ShowSettingsPostButtons(Screen& panel) {
  const bool changed = g_screens.ordersScreen.edit.settingsChanged != 0;
  const bool defaults = panel.id == 1;
  SetHidden(Tag(panel, "CHANGE"), defaults || !changed);
  SetHidden(Tag(panel, "ONLYFUTURE"), !defaults || !changed);
  SetHidden(Tag(panel, "DEFAULT"), !defaults);
}

void LoadDefaultsForParameter(const Screen& panel) {
  if (panel.id == 0) return;
  plat::CriticalSectionLock lock(g_simulationLock);
  UnpackOrderSettings(g_screens.ordersScreen.edit, g_world);
}

void SetOrderSlider(Screen& panel, int32_t id, int32_t value, int32_t fallback) {
  auto* bar = dynamic_cast<SlideBarControl*>(FormFindControlById(panel.currentForm, id));
  if (!bar) return;
  SliderSetMaxInt(bar, 3);
  bar->notches = 3;
  SliderSetValueInt(bar, value < 0 ? fallback : value);
}

void CheckOrderRadio(Screen& panel, int32_t first, int32_t value) {
  Control* c = FormFindControlById(panel.currentForm, first);
  if (!c) return;
  ControlClearSelection(c, 0);
  if (value >= 0) SetControlFlag(FormFindControlById(panel.currentForm, first + value), kStateSelected, 1);
}

const char* OrderFieldName(int list, int32_t value) { return FieldName(static_cast<TextListId>(list), value); }

void SetCheck(Screen& panel, int32_t id, bool on) {
  SetControlFlag(FormFindControlById(panel.currentForm, id), kStateSelected, on ? 1 : 0);
}

void LinkOrderScreens(ScreenSet& screens) {
  for (size_t i = 0; i < 4; ++i) {
    screens.diplomacySchedule[i].modePanel = &screens.diplomacyScheduleMode[i];
    screens.diplomacySchedule[i].timePanel = &screens.diplomacyScheduleTime[i];
    screens.opsSchedule[i].modePanel = &screens.opsScheduleMode[i];
    screens.opsSchedule[i].timePanel = &screens.opsScheduleTime[i];
  }
  // The catalogue's eight schedule boxes: the last of the operations group
  // is the movement panel's.
  screens.movementOptions.schedule = &screens.opsSchedule[3];
  // The class rows of the target list and the lock panel.
  screens.ordersUnitList.classRow = &screens.militarySclass[20];
  screens.ordersLock.classRow = &screens.militarySclass[21];
}

namespace {

// Category of an aircraft that flies on its own: the cancel button also
// calls it home.
constexpr int32_t kHomingMoveType = 7;

bool InHolder(const ListHolder& list, uint32_t unitId) {
  plat::CriticalSectionLock lock(g_simulationLock);
  for (ListItem28* i = FirstInHolder(list); i; i = NextInHolder(list, i))
    if (const UnitRecord* u = RefUnit(g_world, *i); u && u->id == unitId) return true;
  return false;
}

void RemoveFromHolder(ListHolder& list, uint32_t unitId) {
  plat::CriticalSectionLock lock(g_simulationLock);
  for (ListItem28* i = FirstInHolder(list); i;) {
    ListItem28* next = NextInHolder(list, i);
    const UnitRecord* u = RefUnit(g_world, *i);
    if (!u || u->id == unitId) ListHolderRemove(list, i);
    i = next;
  }
}

int32_t HolderSize(const ListHolder& list) {
  int32_t n = 0;
  for (ListItem28* i = FirstInHolder(list); i; i = NextInHolder(list, i)) ++n;
  return n;
}

// Still in play for the local player: what the orders list keeps.
bool Listable(const UnitRecord& u) {
  plat::CriticalSectionLock lock(g_simulationLock);
  return !(u.unitFlags & (kUnitGone | kUnitProvisional)) && u.classIndex != 0 &&
         u.owner == g_world.gameState.localPlayer;
}

bool RowSelected(const ListBoxControl* list) { return list && ListNextSelected(list, nullptr) != nullptr; }

uint32_t RowUnit(const Control* row) { return row ? static_cast<uint32_t>(ListRowValue(row)) : 0u; }

void Gather(ScreenSet& screens) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const std::vector<UnitRecord*> units = SelectedUnits(g_world, screens);
  GatherSelectionOrders(screens.ordersScreen.edit, units);
}

// An aircraft the cancel button also calls home.
bool RecallsAircraft(const UnitRecord& u) {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (u.kind != 1 || !IsUnitLive(u) || (u.ordersShown[kPostureBits] & 1u) || u.carrier != 0) return false;
  const UnitClassRecord* k = ClassRecordAt(g_world, u.classIndex);
  return (u.orders[kOrderFlags] & kOrderEngaged) || (u.unitFlags & kUnitMoved) ||
         (k && k->movementType == kHomingMoveType && !(u.unitFlags & kUnitInBase));
}

}  // namespace

OrdersScreen::~OrdersScreen() { ListHolderClear(unitList); }

int32_t OrdersScreen::AttachForm(Control*) { return OpenChildPopup(*this, 9); }

void OrdersScreen::BindControls() {
  orderParent = Tag(*this, "ORDPARENT");
  StyleOverlay(Tag(*this, "GRIDTIP"));
  unitListBox = Tag(*this, "UNITLIST") ? MakeListBox("UNITLIST", 0, currentForm, kListIndicators, this)
                                          : nullptr;
  // Several rows may be picked at once: they are the selection.
  if (unitListBox) unitListBox->flags &= ~kListSingleSelect;
}

void OrdersScreen::OnOpen() {
  ScreenSet& screens = g_screens;
  ListStartAfresh(unitListBox);
  // A kind button lit for the list before (in this game or the last) says
  // nothing of the list opened now.
  for (int32_t kind = kKindButtonFirst; kind <= kKindButtonLast; ++kind)
    if (currentForm) SetControlFlag(FindControlById(currentForm->firstChild, kind, 0, 1), kStateSelected, 0);
  if (screens.combatOdds.form && g_ui.mapView) OpenScreen(screens.combatOdds);
  screens.selectionTotals->Show(0, nullptr);
  addedFlag = 0;
  plat::CriticalSectionLock lock(g_simulationLock);
  ListHolder& selection = screens.SelectionList();
  CopyUnitList(g_world, false, unitList, selection);
  // Units in reserve stay offered but take no orders until picked again.
  for (ListItem28* i = FirstInHolder(selection); i;) {
    ListItem28* next = NextInHolder(selection, i);
    const UnitRecord* u = RefUnit(g_world, *i);
    if (!u || (u->ordersShown[kPostureBits] & 1u)) ListHolderRemove(selection, i);
    i = next;
  }
  ListItem28* only = FirstInHolder(unitList);
  UnitRecord* unit = only && HolderSize(unitList) == 1 ? RefUnit(g_world, *only) : nullptr;
  if (unit && unit->carriedCount != 0) {
    const HexCell* cell = UnitHexCell(g_world, *unit);
    const HexUnitStack* stack = cell ? cell->stack : nullptr;
    int guard = 0;
    for (UnitRecord* a = stack ? ChainLink(stack->chainA[1]) : nullptr; a && guard < kCargoChainLimit;
         a = ChainLink(a->nextInChainA), ++guard)
      if ((a->unitFlags & kUnitInBase) && a->orders[kLeaderUnit] == unit->id) AddUnitRef(unitList, *a);
  }
  Gather(screens);
}

void OrdersScreen::RefillList() {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (!unitListBox) return;
  const int32_t scroll = unitListBox->scrollOffset;
  ListClear(unitListBox, 1);
  FillUnitList(g_world, unitListBox, unitList, false, false, -1);
  ListLayoutRows(unitListBox);
  unitListBox->scrollOffset = scroll;
  ListLayoutRows(unitListBox);
}

void OrdersScreen::Refresh() {
  ScreenSet& screens = g_screens;
  ListHolder& selection = screens.SelectionList();
  int32_t n = 0, listed = 0, selected = 0;
  uint32_t onlyUnit = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    for (ListItem28* i = FirstInHolder(unitList); i;) {
      ListItem28* next = NextInHolder(unitList, i);
      const UnitRecord* u = RefUnit(g_world, *i);
      if (!u || !Listable(*u)) {
        if (u) RemoveFromHolder(selection, u->id);
        ListHolderRemove(unitList, i);
      }
      i = next;
    }
    RefillList();
    if (unitListBox) {
      ListDeselectAll(unitListBox);
      for (Control* row = ListNextRow(unitListBox, nullptr); row; row = ListNextRow(unitListBox, row)) {
        if (!InHolder(selection, RowUnit(row))) continue;
        row->state |= kStateSelected;
        if (n++ == 0) {
          unitListBox->selectedId = row->id;
          unitListBox->selectedValue = ListRowValue(row);
          onlyUnit = RowUnit(row);
        }
      }
    }
    listed = HolderSize(unitList);
    selected = HolderSize(selection);
  }
  const bool rowSelected = RowSelected(unitListBox);
  if (listed == 0) {
    CloseMapPopups(screens);
    // Closing the map's pop-ups takes the dock down only for orders opened
    // on a selection; opened by its command bar button on no unit, the
    // panel would stand open on an empty list.
    if (g_ui.panelDepth > 0 && screens.cmdBar.id == kOrdersPanel) OrdersDockStep(screens, 0);
  } else {
    if (n == 1 && rowSelected) {
      screens.selectedUnitBox.Show(onlyUnit, nullptr);
    } else {
      screens.selectionTotals->Show(0, nullptr);
      if (n == 0) OrdersDockStep(screens, 1);
    }
  }
  // Set with no unit listed too: the form as loaded shows the class and
  // type buttons and the note that stands in their place, one over the other.
  const OrderEditState& e = edit;
  SetHidden(FormFindControlById(currentForm, 51), listed == 0 || e.commonClass < 0);
  SetHidden(FormFindControlById(currentForm, 52), listed == 0 || e.commonType < 0);
  SetHidden(FormFindControlById(currentForm, 53), listed == 0 || e.commonClass < 0);
  SetHidden(FormFindControlById(currentForm, 54), listed == 0 || e.commonType < 0);
  SetHidden(Tag(*this, "REMOVE"), !rowSelected);
  SetHidden(Tag(*this, "RESELECT"), listed == selected);
  SetHidden(FormFindControlById(currentForm, 15), n != 1);
  SetHidden(Tag(*this, "CLASSHIDE"), listed == 0 || listed != selected || e.commonClass >= 0 || e.commonType >= 0);
  SetHidden(Tag(*this, "GRIDTIP"), listed == 0 || e.commonTraining < 0);
  SetHidden(Tag(*this, "HIDEORDERS"), !rowSelected);
}

void OrdersScreen::TakeListSelection() {
  ScreenSet& screens = g_screens;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    ListHolder& selection = screens.SelectionList();
    ListHolderClear(selection);
    for (Control* row = unitListBox ? ListNextSelected(unitListBox, nullptr) : nullptr; row;
         row = ListNextSelected(unitListBox, row))
      if (const UnitRecord* u = FindUnitById(g_world, RowUnit(row))) AddUnitRef(selection, *u);
    ClearUnitSelectFlags(g_world);
    MarkStackUnits(g_world, selection);
    Gather(screens);
  }
  addedFlag = 0;
  Refresh();
  // An open sub-panel follows the new selection; each keeps what it was
  // shown for (the unit panel lists the selection or a hex by it).
  for (int32_t level : {2, 3}) {
    Control* dock = DockHost(screens, level);
    Control* shown = dock && !dock->Hidden() ? dock->firstChild : nullptr;
    if (shown && shown->owner) shown->owner->Show(kKeepScreenId, nullptr);
  }
}

void OrdersScreen::SelectAllAndTake() {
  ListSelectAll(unitListBox);
  TakeListSelection();
}

void OrdersScreen::AddUnits(bool byType) {
  ScreenSet& screens = g_screens;
  const int32_t wanted = byType ? edit.commonType : edit.commonClass;
  if (wanted < 0) return;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    ListHolder& selection = screens.SelectionList();
    UnitRecord* head = g_world.units;
    UnitRecord* u = head;
    do {
      if (!u) break;
      const bool matches = byType ? u->unitType == wanted : u->classIndex == wanted;
      if (matches && Listable(*u) && !(u->ordersShown[kPostureBits] & 1u) && u->carrier == 0 &&
          (addedFlag == 1 || u->ordersShown[kOrderId] == 0)) {
        if (!InHolder(unitList, u->id)) AddUnitRef(unitList, *u);
        AddUnitRef(selection, *u);
      }
      u = u->next;
    } while (u != head);
    addedFlag = 1;
    Gather(screens);
  }
  PopPopupsTo(g_ui, 1);
  Refresh();
}

void OrdersScreen::RemoveUnits(bool byType) {
  const int32_t wanted = byType ? edit.commonType : edit.commonClass;
  if (wanted >= 0) {
    plat::CriticalSectionLock lock(g_simulationLock);
    for (ListItem28* i = FirstInHolder(unitList); i;) {
      ListItem28* next = NextInHolder(unitList, i);
      const UnitRecord* u = RefUnit(g_world, *i);
      if (!u || (byType ? u->unitType == wanted : u->classIndex == wanted)) ListHolderRemove(unitList, i);
      i = next;
    }
    RefillList();
  }
  SelectAllAndTake();
}

void OrdersScreen::CancelOrders() {
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    for (UnitRecord* u : SelectedUnits(g_world, g_screens)) {
      PostArgs(kCmdUnitCancelOrders, OrderUnitArgs{.unit = u->id});
      if (RecallsAircraft(*u)) PostArgs(kCmdAddOrderFlags, OrderFlagsArgs{.unit = u->id, .flags = 2, .mask = 0});
    }
  }
  CloseMapPopups(g_screens);
}

void OrdersScreen::OnCommand(Control* control, int32_t id) {
  ScreenSet& screens = g_screens;
  if (!control) return;
  if ((control->flags & kCtlRadio) && !(control->state & kStateSelected) && control != unitListBox) {
    PopPopupsTo(g_ui, 1);
    return;
  }
  if (control == unitListBox) {
    TakeListSelection();
  } else if (Is(control, "RESELECT")) {
    SelectAllAndTake();
  } else if (Is(control, "REMOVE")) {
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      for (ListItem28* i = FirstInHolder(screens.SelectionList()); i; i = NextInHolder(screens.SelectionList(), i))
        if (const UnitRecord* u = RefUnit(g_world, *i)) RemoveFromHolder(unitList, u->id);
      RefillList();
    }
    SelectAllAndTake();
  } else if (Is(control, "ADD")) {
    AddUnits(id == 52);
  } else if (Is(control, "REM")) {
    RemoveUnits(id == 54);
  } else if (id >= kKindButtonFirst && id <= kKindButtonLast) {
    ListDeselectAll(unitListBox);
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      for (Control* row = unitListBox ? ListNextRow(unitListBox, nullptr) : nullptr; row;
           row = ListNextRow(unitListBox, row)) {
        const UnitRecord* u = FindUnitById(g_world, RowUnit(row));
        if (u && u->kind == id - kKindButtonFirst) row->state |= kStateSelected;
      }
    }
    TakeListSelection();
  } else if (id == 12) {
    screens.ordersUnitPicker->Show(0, nullptr);
  } else if (id == 13 || id == 14) {
    if (!RowSelected(unitListBox)) SelectAllAndTake();
    if (id == 13) {
      screens.unitOrders.Show(0, nullptr);
    } else {
      screens.orderBenefit.Show(0, nullptr);
    }
  } else if (id == 15) {
    if (RowSelected(unitListBox)) screens.ordersLock.Show(0, nullptr);
  } else if (id == 16) {
    CancelOrders();
  }
}

void OrdersScreen::OnActivate(Control* control, int32_t) {
  if (!control || control != unitListBox) return;
  ScreenParameterList pages;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    for (ListItem28* i = FirstInHolder(unitList); i; i = NextInHolder(unitList, i))
      if (const UnitRecord* u = RefUnit(g_world, *i)) pages.entries.push_back(u->id);
  }
  g_screens.unitDetail.Popup(static_cast<intptr_t>(unitListBox->selectedValue), &pages);
}
