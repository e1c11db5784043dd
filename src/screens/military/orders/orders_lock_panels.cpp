#include "screens/military/orders/orders_lock_panels.h"

#include <vector>

#include "records/command_ids.h"
#include "records/order_words.h"
#include "records/unit_record.h"
#include "screens/docked_panels.h"
#include "screens/common/frame/side_bars.h"
#include "screens/common/frame/map_view_state.h"
#include "screens/common/frame/unit_selection.h"
#include "screens/common/units/combat_odds.h"
#include "screens/common/units/unit_lists.h"
#include "screens/military/orders/orders_screen.h"
#include "screens/common/units/unit_class_row.h"
#include "screens/common/units/unit_command_grid.h"
#include "screens/common/units/unit_header.h"
#include "screens/screen_set.h"
#include "sim/game_command.h"
#include "sim/simulation_lock.h"
#include "sim/unit_order_args.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/popups.h"
#include "ui/screen_manager.h"
#include "units/unit_texts.h"
#include "world/id_lookups.h"
#include "world/unit_class.h"
#include "world/world.h"

namespace {

// The picker lists the units of the hex at war with the local player.
constexpr uint32_t kEnemyRelation = 8;

// The tagged control, or the form itself when it carries the tag.
Control* TagOrForm(Control* form, const char* tag) {
  if (Control* c = Tag(form, tag)) return c;
  return Is(form, tag) ? form : nullptr;
}

const UnitRecord* Live(uint32_t id) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const UnitRecord* u = id != 0 ? FindUnitById(g_world, id) : nullptr;
  return u && IsUnitLive(*u) ? u : nullptr;
}

bool ToggleReleased(const Control* c) { return c && (c->flags & kCtlRadio) && !(c->state & kStateSelected); }

void ShowAndDraw(Control* c, bool shown) {
  SetHidden(c, !shown);
  if (c) c->Invalidate();
}

}  // namespace

void OrdersLockPanel::BindControls() {
  DockInBotbar2(*this);
  statusList = Tag(currentForm, "LIST1") ? MakeListBox("LIST1", 0, currentForm, kListIndicators, this)
                                         : nullptr;
  subParent = Tag(currentForm, "SUBPARENT4");
  statParent = TagOrForm(currentForm, "STATPARENT");
}

void OrdersLockPanel::OnOpen() {
  const ListBoxControl* list = g_screens.ordersScreen.unitListBox;
  unit = list ? static_cast<uint32_t>(list->selectedValue) : 0u;
  if (unit != 0) {
    ShowAndDraw(subParent, false);
    SetControlFlag(FormFindControlById(currentForm, 184), kStateSelected, 0);
  }
  OrdersDockStep(g_screens, unit != 0 ? 2 : 1);
}

void OrdersLockPanel::Refresh() {
  if (unit == 0) return;
  UpdateUnitCommandGrid(currentForm, unit);
  plat::CriticalSectionLock lock(g_simulationLock);
  const UnitRecord* u = Live(unit);
  const UnitClassRecord* k = u ? ClassRecordAt(g_world, u->classIndex) : nullptr;
  if (!k) return;
  if (classRow && statParent) {
    classRow->Show(k->typeByte, statParent);
    DrawUnitPicture(classRow->currentForm, *k, u, -1, 1);
  }
  if (statusList) {
    ListClear(statusList, 1);
    int32_t row = 1;
    for (const UnitStatusRow& line : UnitStatusText(g_world, *u))
      ListAddTextItem(statusList, line.text.c_str(), row++, line.code, 0, 0, 0);
    ListLayoutRows(statusList);
  }
  SetControlFlag(Tag(currentForm, "LOCK"), kStateSelected, (u->ordersShown[kPostureBits] & kPostureNoAutoDeploy) ? 1 : 0);
}

void OrdersLockPanel::OnCommand(Control* control, int32_t id) {
  ScreenSet& s = g_screens;
  if (!control) return;
  if (ToggleReleased(control) && id != 184) {
    PopPopupsTo(g_ui, 2);
    return;
  }
  if (id == 184) {
    const bool ticked = control->Selected();
    ShowAndDraw(subParent, ticked);
    if (ticked) s.moveToPanel->Show(0, nullptr);
    return;
  }
  if (Is(control, "LOCK")) {
    PlayPopupSound(kSoundOrdersLocked);
    PostArgs(kCmdUnitSetNoAutoDeploy, OrderValueArgs{.unit = unit, .value = control->Selected() ? 1u : 0u});
    return;
  }
  OnUnitCommandGrid(currentForm, control, id, unit, s.ordersLockSub.hostControl, &s.ordersLockSub);
}

void OrdersLockSubPanel::OnOpen() { ScreenSlotSelectMapMode(g_screens); }

void OrdersLockSubPanel::BindControls() {
  DockInSecondBotbar2(*this);
  hostControl = TagOrForm(currentForm, "SUBPARENT4");
}

namespace {

class MoveToPanel : public Screen {
 public:
  MoveToPanel() : Screen("ORDERS1_ss5c") {}
  void BindControls() override { hostLink = &g_screens.ordersLock.subParent; }
  void OnCommand(Control* control, int32_t) override {
    if (Is(control, "MOVETO") || Is(control, "CALLFOR")) OrdersDockStep(g_screens, 2);
  }
};

class OrdersUnitPicker : public Screen {
 public:
  OrdersUnitPicker() : Screen("ORDERS1_ss6") {}
  void OnOpen() override {
    OrdersDockStep(g_screens, 2);
    g_screens.ordersOdds->Show(0, nullptr);
  }
  void Refresh() override {
    plat::CriticalSectionLock lock(g_simulationLock);
    const HexPosition& current = g_world.gameState.currentHex;
    const uint32_t hex = g_mapView.pickHex ? PackHex(current.x, current.y) : g_selection.clickedHex;
    CollectHexStackUnits(g_world, hex, g_world.gameState.localPlayer, kEnemyRelation);
    if (!pickList) return;
    const int32_t kept = static_cast<int32_t>(pickList->selectedValue);
    const int32_t scroll = pickList->scrollOffset;
    ListClear(pickList, 1);
    FillUnitList(g_world, pickList, HexStackList(), false, false, -1);
    ListLayoutRows(pickList);
    for (Control* row = ListNextRow(pickList, nullptr); row; row = ListNextRow(pickList, row))
      if (kept != 0 && ListRowValue(row) == kept) row->state |= kStateSelected, pickList->selectedValue = kept;
    pickList->scrollOffset = scroll;
    ListLayoutRows(pickList);
  }
  void BindControls() override {
    DockInBotbar2(*this);
    pickList = Tag(currentForm, "LIST1") ? MakeListBox("LIST1", 0, currentForm, kListIndicators, this)
                                         : nullptr;
    summaryParent = TagOrForm(currentForm, "ORDERS1C");
  }
  void OnCommand(Control* control, int32_t) override {
    if (ToggleReleased(control)) PopPopupsTo(g_ui, 3);
  }
  void OnActivate(Control* control, int32_t) override {
    if (!control || control != pickList) return;
    ScreenParameterList pages;
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      const ListHolder& stack = HexStackList();
      for (ListItem28* i = FirstInHolder(stack); i; i = NextInHolder(stack, i))
        if (const UnitRecord* u = RefUnit(g_world, *i)) pages.entries.push_back(u->id);
    }
    g_screens.unitDetail.Popup(static_cast<intptr_t>(pickList->selectedValue), &pages);
  }
  void OnControlChange(Control* control, int32_t) override {
    if (!control || control != pickList) return;
    const uint32_t id = static_cast<uint32_t>(pickList->selectedValue);
    plat::CriticalSectionLock lock(g_simulationLock);
    const UnitRecord* u = Live(id);
    const UnitClassRecord* k = u ? ClassRecordAt(g_world, u->classIndex) : nullptr;
    for (const char* tag : {"ORDERS1C", "UNITPIC", "UNITPICT"}) SetHidden(Tag(currentForm, tag), k == nullptr);
    if (!k) return;
    g_screens.orderSheets[1].Show(id, summaryParent);
    DrawUnitPicture(currentForm, *k, u, -1, 1);
    if (currentForm) currentForm->Invalidate();
  }
  ListBoxControl* pickList = nullptr;
  Control* summaryParent = nullptr;
};

class OrdersOddsPanel : public Screen {
 public:
  OrdersOddsPanel() : Screen("ORDERS1_ss6a") {}
  void OnOpen() override { ScreenSlotSelectMapMode(g_screens); }
  void Refresh() override {
    plat::CriticalSectionLock lock(g_simulationLock);
    const HexPosition& current = g_world.gameState.currentHex;
    FillCombatOdds(currentForm, PackHex(current.x, current.y));
  }
  void BindControls() override {
    DockInSecondBotbar2(*this);
    MarkScreenFlag1(*this);
    attackerParent = Tag(currentForm, "OPAR");
    attackerParent2 = Tag(currentForm, "OPAR2");
    defenderParent = Tag(currentForm, "DPAR");
    defenderParent2 = Tag(currentForm, "DPAR2");
  }
  Control* attackerParent = nullptr;
  Control* attackerParent2 = nullptr;
  Control* defenderParent = nullptr;
  Control* defenderParent2 = nullptr;
};

}  // namespace

std::unique_ptr<Screen> MakeMoveToPanel() { return std::make_unique<MoveToPanel>(); }
std::unique_ptr<Screen> MakeOrdersUnitPicker() { return std::make_unique<OrdersUnitPicker>(); }
std::unique_ptr<Screen> MakeOrdersOddsPanel() { return std::make_unique<OrdersOddsPanel>(); }
