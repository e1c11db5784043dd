#include "screens/military/orders_screen.h"

#include <vector>

#include "records/command_ids.h"
#include "records/unit_record.h"
#include "screens/docked_panels.h"
#include "screens/main/bars/side_bars.h"
#include "screens/main/map/map_view.h"
#include "screens/main/map_input/order_choice.h"
#include "screens/main/map_input/selection.h"
#include "screens/main/panels/main_layout.h"
#include "screens/main/popups/map_popups.h"
#include "screens/screen_set.h"
#include "sim/game_command.h"
#include "sim/simulation_lock.h"
#include "sim/unit_order_args.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/order_list.h"
#include "ui/panel_helpers.h"
#include "ui/screen_manager.h"
#include "ui/slide_bar.h"
#include "ui/string_control.h"
#include "world/id_lookups.h"
#include "world/text/rule_tables.h"
#include "world/text/text_lists.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

constexpr uint32_t kAvailableWithoutHex = 1u << 2;
constexpr uint32_t kMissileOrder = 1u << 9;
constexpr uint32_t kTargetFromList = 1u << 28;
constexpr uint32_t kMissileTargetList = 1u << 23;

Control* Tagged(const Screen& s, const char* tag) { return FormFindControlByTag(s.currentForm, tag); }
bool IsTagged(const Control* c, const char* tag) { return c && ControlTagMatches(c->tag, tag); }

const OrderTypeRecord* Definition(int32_t order) {
  if (order < 0 || order >= kOrderTypeCount) return nullptr;
  return &g_ruleTables.orderTypes.entries[order];
}

const char* FieldName(TextListId list, int32_t value) {
  return value < 0 ? "Mixed" : TextListEntry(g_textLists, list, value);
}

uint32_t SelectedHexWord(const World& world) {
  const HexPosition& h = world.gameState.currentHex;
  return PackHex(h.x, h.y);
}

// Set while the panel was opened by picking a hex on the map; closing the
// map's pop-ups clears it.
bool OrderHexMarked() { return g_selection.orderMenu != 0; }

void ResetListSelection(ListBoxControl* list) {
  if (!list) return;
  list->selectedId = 0;
  list->selectedValue = 0;
  list->savedSelectedId = 0;
  list->savedPosition = 0;
  ListResetScroll(list);
}

}  // namespace

void OrdersDockStep(ScreenSet& screens, int32_t depth) {
  if (depth >= 3) {
    ScreenSlotSelectMapMode(screens);
    return;
  }
  SetPanelDepth(depth, 1, g_mapView);
  if (g_ui.panelDepth == 0) screens.cmdBar.dockedPanelMarker = 0;
  UpdatePopupButton(screens.cmdBar3);
}

void ShowUnitOrdersPanel(ScreenSet& screens) {
  screens.orders1Ss3.Show(kKeepScreenId, nullptr);
  screens.selectionOrdersShown = 1;
}

void UnitOrdersPanel::BindControls() {
  DockInBotbar2(*this);
  ordersList = MakeListBox("ORDERSLIST", 0, &g_screens, currentForm, 0, this);
}

void UnitOrdersPanel::OnOpen() {
  OrderEditState& edit = g_screens.orders1.edit;
  ScreenSet& screens = g_screens;
  ResetListSelection(ordersList);
  for (ListBoxControl* list : {screens.orders1Ss3d.unitList, screens.orders1Ss3e.unitList, screens.orders1Ss3e.missileList})
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
  SetControlText(Tagged(*this, "SPEED"), FieldName(kListOrdspeed, f[kFieldSpeed]));
  SetControlText(Tagged(*this, "ROUTE"), FieldName(kListOrdroute, f[kFieldRoute]));
  SetControlFlag(Tagged(*this, "FORMATION"), kStateSelected, (edit.commonHeaderBits & 2u) ? 1 : 0);
  SetControlText(Tagged(*this, "TRANSPORTS"), (edit.commonHeaderBits & 1u) ? "YES" : "NO");
  SetControlText(Tagged(*this, "SCHEDULE"), "IMMEDIATE");
  const OrderTypeRecord* chosen = Definition(ordersList ? static_cast<int32_t>(ordersList->selectedValue) : 0);
  SetControlText(Tagged(*this, "ORDER1"), chosen ? chosen->name.c_str() : "");
  SetControlText(Tagged(*this, "ORDER2"), "");
  SetControlText(Tagged(*this, "INITIATIVE"), FieldName(kListOrdinitiative, f[kFieldInitiative]));
  SetControlText(Tagged(*this, "TACTIC"), FieldName(kListOrdtactic, f[kFieldTactic]));
  SetControlText(Tagged(*this, "IMPORTANCE"), FieldName(kListOrdimportance, f[kFieldImportance]));
  SetControlText(Tagged(*this, "LOSSTOL"), FieldName(kListOrdlosstol, f[kFieldLossTolerance]));
  OrdersDockStep(g_screens, 2);
}

void UnitOrdersPanel::OnControlChange(Control* control, int32_t id) {
  if (control == ordersList || IsTagged(control, "ORDERSLIST")) {
    const OrderTypeRecord* d = Definition(id);
    const bool hidden =
        id == 0 || (!OrderHexMarked() && !(d && (static_cast<uint32_t>(d->listModes) & kAvailableWithoutHex)));
    SetHidden(Tagged(*this, "EXECUTE"), hidden);
    g_pendingOrder = id != 0 ? id : g_uiOptions.unitorderdefault;
    return;
  }
  if (id != 0) ApplyOrderControl(g_screens.orders1.edit, control, id, currentForm);
}

bool PostMissileStrike(ScreenSet& screens, int32_t order) {
  const OrderTypeRecord* d = Definition(order);
  ListBoxControl* missiles = screens.orders1Ss3e.missileList;
  if (!d || !(d->orderMask & kMissileOrder) || !missiles || missiles->selectedValue == 0) return false;
  const OrderEditState& edit = screens.orders1.edit;
  const uint32_t hex = SelectedHexWord(g_world);
  const uint32_t target = edit.targetUnit > 0 ? static_cast<uint32_t>(edit.targetUnit) : 0u;
  plat::CriticalSectionLock lock(g_simulationLock);
  for (Control* row = ListNextSelected(missiles, nullptr); row; row = ListNextSelected(missiles, row)) {
    const intptr_t value = ListRowValue(row);
    const UnitRecord* unit = value > 0 ? FindUnitById(g_world, static_cast<uint32_t>(value)) : nullptr;
    if (!unit) continue;
    const uint32_t id = unit->id;
    PostArgs(kCmdUnitSetDestination, OrderHexArgs{.unit = id, .hex = hex});
    PostArgs(kCmdUnitSetOrderDword5, OrderHexArgs{.unit = id, .hex = hex});
    PostArgs(kCmdUnitSetOrderDword7, OrderTargetArgs{.unit = id, .target = target});
    PostArgs(kCmdUnitSetOrderDword13Bits, OrderBitsArgs{.unit = id, .bits = 0x2000, .set = 1});
    PostArgs(kCmdUnitSetOrderByte43,
             OrderValueArgs{.unit = id, .value = static_cast<uint32_t>(screens.orders1Ss3e.quantity)});
    PostArgs(kCmdAddOrderFlags, OrderFlagsArgs{.unit = id, .flags = target ? 0x2200u : 0xA00u, .mask = 0});
  }
  return true;
}

void UnitOrdersPanel::OnCommand(Control* control, int32_t id) {
  ScreenSet& screens = g_screens;
  if (control && (control->flags & kCtlRadio) && !(control->state & kStateSelected)) {
    PopPopupsTo(g_ui, 2);
    return;
  }
  if (IsTagged(control, "RULES")) {
    screens.orders1Ss3b.Show(0, nullptr);
  } else if (IsTagged(control, "MOVEMENT")) {
    screens.orders1Ss3c.Show(0, nullptr);
  } else if (IsTagged(control, "MISSION")) {
    screens.orders1Ss3a.Show(0, nullptr);
  } else if (IsTagged(control, "EXECUTE")) {
    const int32_t order = ordersList ? static_cast<int32_t>(ordersList->selectedValue) : 0;
    if (!PostMissileStrike(screens, order)) {
      UnitRecord* target = nullptr;
      {
        plat::CriticalSectionLock lock(g_simulationLock);
        const int32_t t = screens.orders1.edit.targetUnit;
        target = t > 0 ? FindUnitById(g_world, static_cast<uint32_t>(t)) : nullptr;
      }
      IssueOrderToSelection(screens, order, OrderHexMarked() ? SelectedHexWord(g_world) : 0, target, false, 0);
    }
    CloseMapPopups(screens);
  } else if ((control == ordersList || IsTagged(control, "ORDERSLIST")) && id != 0) {
    const OrderTypeRecord* d = Definition(g_pendingOrder);
    if (d && (d->orderFlags & kTargetFromList)) {
      if (d->orderFlags & kMissileTargetList)
        screens.orders1Ss3e.Show(g_pendingOrder, nullptr);
      else
        screens.orders1Ss3d.Show(g_pendingOrder, nullptr);
    } else {
      Control* third = DockHost(screens, 3);
      const Control* shown = third ? third->firstChild : nullptr;
      if (shown && (shown == screens.orders1Ss3d.currentForm || shown == screens.orders1Ss3e.currentForm))
        OrdersDockStep(screens, 2);
    }
  }
}

void OrdersUnitListPanel::BindControls() {
  DockInSecondBotbar2(*this);
  unitList = FormFindControlByTag(currentForm, "UNITLIST") ? MakeListBox("UNITLIST", 0, &g_screens, currentForm, 0, this)
                                                           : nullptr;
}

void MissileStrikePanel::BindControls() {
  DockInSecondBotbar2(*this);
  unitList = FormFindControlByTag(currentForm, "UNITLIST") ? MakeListBox("UNITLIST", 0, &g_screens, currentForm, 0, this)
                                                           : nullptr;
  missileList = FormFindControlByTag(currentForm, "MISSILELIST")
                    ? MakeListBox("MISSILELIST", 0, &g_screens, currentForm, 0, this)
                    : nullptr;
}

bool OnSettingsPostButton(Screen& panel, Control* control) {
  (void)panel;
  ScreenSet& screens = g_screens;
  OrderEditState& edit = screens.orders1.edit;
  if (IsTagged(control, "CHANGE")) {
    IssueOrderToSelection(screens, 0, SelectedHexWord(g_world), nullptr, true, 0);
    screens.orders1Ss3.Show(kKeepScreenId, nullptr);
  } else if (IsTagged(control, "ONLYFUTURE")) {
    PostDefaultOrderSettings(edit);
    PopPopupsTo(g_ui, 2);
  } else if (IsTagged(control, "DEFAULT")) {
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
  const bool changed = g_screens.orders1.edit.settingsChanged != 0;
  const bool defaults = panel.id == 1;
  SetHidden(Tagged(panel, "CHANGE"), defaults || !changed);
  SetHidden(Tagged(panel, "ONLYFUTURE"), !defaults || !changed);
  SetHidden(Tagged(panel, "DEFAULT"), !defaults);
}

void LoadDefaultsForParameter(const Screen& panel) {
  if (panel.id == 0) return;
  plat::CriticalSectionLock lock(g_simulationLock);
  UnpackOrderSettings(g_screens.orders1.edit, g_world);
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
    screens.diplomacyCalendar1[i].modePanel = &screens.diplomacyCalendar1a[i];
    screens.diplomacyCalendar1[i].timePanel = &screens.diplomacyCalendar1b[i];
    screens.opsCalendar1[i].modePanel = &screens.opsCalendar1a[i];
    screens.opsCalendar1[i].timePanel = &screens.opsCalendar1b[i];
  }
  // The catalogue's eight schedule boxes: the last of the operations group
  // is the movement panel's.
  screens.orders1Ss3c.schedule = &screens.opsCalendar1[3];
}
