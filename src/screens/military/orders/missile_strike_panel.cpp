#include "screens/military/orders/missile_strike_panel.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "app/number_text.h"
#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "screens/common/frame/side_bars.h"
#include "screens/common/units/order_choice.h"
#include "screens/common/units/class_icon.h"
#include "screens/common/units/launch_verdict_lines.h"
#include "screens/common/units/unit_tab_figures.h"
#include "screens/common/units/unit_lists.h"
#include "screens/military/orders/orders_screen.h"
#include "screens/common/units/unit_header.h"
#include "screens/screen_set.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_focus.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "units/transport/launch_verdict.h"
#include "world/id_lookups.h"
#include "world/list_items.h"
#include "world/unit_class.h"
#include "world/world.h"

namespace {

// The form itself when it carries the tag, else its child of that tag.
Control* Bound(Control* form, const char* tag) { return Is(form, tag) ? form : Tag(form, tag); }

ListBoxControl* MakeList(Screen& panel, const char* tag) {
  return Tag(panel.currentForm, tag) ? MakeListBox(tag, 0, panel.currentForm, kListIndicators, &panel)
                                     : nullptr;
}

// The marked hex's lead unit when a target row may show its class: live,
// of a class, and on the local player's hex or not provisional.
const UnitRecord* MarkedHexLead(const World& w) {
  const uint32_t at = w.gameState.currentHex.cellIndex;
  if (at >= w.cells.size()) return nullptr;
  const HexCell& cell = w.cells[at];
  const UnitRecord* lead = cell.stack ? cell.stack->lead : nullptr;
  if (!lead || (lead->unitFlags & kUnitGone) || lead->classIndex == 0) return nullptr;
  if (CellOwner(cell.word) != w.gameState.localPlayer && (lead->unitFlags & kUnitProvisional)) return nullptr;
  return lead;
}

// Appends every missile with strength left aboard the carrier.
void AddCarriedMissiles(World& w, const UnitRecord& carrier, ListHolder& out) {
  uint32_t next = carrier.cargoNext;
  for (int guard = 0; next != 0 && guard < kCargoChainLimit; ++guard) {
    UnitRecord* aboard = FindUnitById(w, next);
    if (!aboard || aboard == &carrier) return;
    next = aboard->cargoNext;
    if ((aboard->unitFlags & kUnitStock) && aboard->strength > 0.0f) {
      if (ListItem28* item = NewListItem28(aboard, true, 0, out)) item->callerWord = static_cast<intptr_t>(aboard->id);
    }
  }
}

}  // namespace

MissileStrikePanel::~MissileStrikePanel() { ListHolderClear(missileCollection); }

void MissileStrikePanel::BindControls() {
  DockInSecondBotbar2(*this);
  unitList = MakeList(*this, "UNITLIST");
  missileList = MakeList(*this, "MISSILELIST");
  MarkScreenFlag1(*this);
  targetParent = Bound(currentForm, "TARGPARENT");
  missileParent = Bound(currentForm, "MISPARENT");
  quantityField = Bound(currentForm, "MQTY");
}

void MissileStrikePanel::OnOpen() {
  if (missileList) {
    missileList->selectedId = 0;
    missileList->selectedValue = 0;
    missileList->savedSelectedId = 0;
    missileList->savedPosition = 0;
    ListResetScroll(missileList);
  }
  chosenMissile = 0;
  Control* autoBox = Tag(currentForm, "AUTO");
  SetControlFlag(autoBox, kStateSelected, 1);
  SetHidden(autoBox, false);
  SetHidden(missileParent, false);
  ScreenSlotSelectMapMode(g_screens);
}

void MissileStrikePanel::Refresh() {
  plat::CriticalSectionLock lock(g_simulationLock);
  OrdersUnitListPanel& targets = g_screens.ordersUnitList;
  World& w = g_world;
  if (unitList) {
    const intptr_t kept = unitList->selectedValue;
    const int32_t scroll = unitList->scrollOffset;
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      PickTarget(w, targets.targetCandidates, unitList, static_cast<int32_t>(id));
    }
    ListLayoutRows(unitList);
    unitList->scrollOffset = scroll;
    PreselectTarget(unitList, kept, g_screens.ordersScreen.edit);
    ListLayoutRows(unitList);
  }
  if (!missileList) return;
  const int32_t scroll = missileList->scrollOffset;
  ListPrepareRows(missileList);
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    ListHolderClear(missileCollection);
    ListHolder& selection = g_screens.SelectionList();
    // A carrier carried by another fires nothing from there.
    for (ListItem28* i = FirstInHolder(selection); i; i = NextInHolder(selection, i))
      if (const UnitRecord* u = RefUnit(w, *i); u && u->carrier == 0) AddCarriedMissiles(w, *u, missileCollection);
    FillUnitList(w, missileList, missileCollection, true, false, -1);
  }
  if (missileList->savedSelection) ListApplyToItems(missileList, *missileList->savedSelection);
  ListLayoutRows(missileList);
  missileList->scrollOffset = scroll;
  if (!missileList->firstRow) ListAddTextItem(missileList, "No Missiles", 0, 0, 0, 0, 1);
  ShowLaunchVerdict();
}

bool MissileStrikePanel::ShowLaunchVerdict() {
  std::vector<uint32_t> chosen, listed;
  for (Control* row = missileList ? ListNextSelected(missileList, nullptr) : nullptr; row;
       row = ListNextSelected(missileList, row))
    if (ListRowValue(row) > 0) chosen.push_back(static_cast<uint32_t>(ListRowValue(row)));
  for (Control* row = missileList ? ListNextRow(missileList, nullptr) : nullptr; row; row = ListNextRow(missileList, row))
    if (ListRowValue(row) > 0) listed.push_back(static_cast<uint32_t>(ListRowValue(row)));
  const int32_t targetUnit = g_screens.ordersScreen.edit.targetUnit;
  plat::CriticalSectionLock lock(g_simulationLock);
  World& w = g_world;
  const uint32_t hex = SelectedHexWord(w);
  const uint32_t target = targetUnit > 0 ? static_cast<uint32_t>(targetUnit) : 0u;
  // Chosen rows are barred by any one of them; AUTO leaves the pick to the
  // carrier, barred only when no listed missile may go.
  const bool any = !chosen.empty();
  bool judged = false, barred = false;
  LaunchVerdict shown;
  for (const uint32_t id : any ? chosen : listed) {
    const UnitRecord* missile = FindUnitById(w, id);
    if (!missile) continue;
    const LaunchVerdict v = JudgeLaunch(w, *missile, hex, target, true);
    if (!judged) shown = v;
    judged = true;
    if ((v.bar != LaunchBar::kNone) == any) {
      shown = v;
      break;
    }
  }
  if (judged) barred = shown.bar != LaunchBar::kNone;
  EnterText(Tag(currentForm, "REACH"), judged ? LaunchReachLine(shown).c_str() : "");
  EnterText(Tag(currentForm, "STRIKES"), judged ? LaunchStrikesLine(w, shown).c_str() : "");
  return barred;
}

int32_t MissileStrikePanel::QuantityLimit() const {
  int32_t most = kMostMissilesPerStrike;
  if (chosenMissile == 0) return most;
  plat::CriticalSectionLock lock(g_simulationLock);
  if (const UnitRecord* m = FindUnitById(g_world, chosenMissile))
    most = std::min(most, std::max(static_cast<int32_t>(m->strength), 1));
  return most;
}

void MissileStrikePanel::ShowQuantity() {
  char text[64];
  FormatNumberText(text, 0, 0, "", 0, "", 0, static_cast<double>(missileQuantity));
  ControlSetText(quantityField, text);
}

void MissileStrikePanel::OnCommand(Control* control, int32_t) {
  EndTextEdit();
  if (!control) return;
  if (Is(control, "PLUSBUT")) {
    missileQuantity = std::min(missileQuantity + 1, QuantityLimit());
    ShowQuantity();
  } else if (Is(control, "MINUSBUT")) {
    missileQuantity = std::max(missileQuantity - 1, 1);
    ShowQuantity();
  } else if (Is(control, "AUTO")) {
    if (!missileList) return;
    if (control->Selected()) {
      ListDeselectAll(missileList);
    } else if (missileList->firstRow) {
      ListSelectItem(0, missileList, missileList->firstRow, 0);
    }
    ShowLaunchVerdict();
  } else if (control == missileList) {
    const intptr_t value = missileList->selectedValue;
    chosenMissile = 0;
    plat::CriticalSectionLock lock(g_simulationLock);
    const UnitRecord* missile = value > 0 ? FindUnitById(g_world, static_cast<uint32_t>(value)) : nullptr;
    const UnitClassRecord* cls = missile ? ClassRecordAt(g_world, missile->classIndex) : nullptr;
    if (!missile) return;
    chosenMissile = missile->id;
    SetControlFlag(Tag(currentForm, "AUTO"), kStateSelected, 0);
    missileQuantity = std::clamp(static_cast<int32_t>(missile->strength), 1, kMostMissilesPerStrike);
    ShowQuantity();
    if (cls) DrawUnitPicture(missileParent, *cls, missile, -1, 1);
    // A change of the list hid these; the chosen missile shows them again.
    SetHidden(missileParent, false);
    SetHidden(Tag(currentForm, "AUTO"), false);
    ShowLaunchVerdict();
  }
}

void MissileStrikePanel::OnControlChange(Control* control, int32_t) {
  if (!control) return;
  if (control == unitList) {
    for (const char* tag : {"UNITPIC", "UNITPICT", "INDPIC"}) SetHidden(Tag(targetParent, tag), true);
    const intptr_t value = unitList->selectedValue > 0 ? unitList->selectedValue : 0;
    plat::CriticalSectionLock lock(g_simulationLock);
    const World& w = g_world;
    if (value == 0) {
      if (const UnitRecord* lead = MarkedHexLead(w)) {
        Control* icon = Tag(targetParent, "INDPIC");
        SetHidden(icon, false);
        DrawUnitClassIcon(lead->classIndex, nullptr, nullptr, icon, true, -1);
      }
    }
    g_screens.ordersScreen.edit.targetUnit = static_cast<int32_t>(value);
    const UnitRecord* target = value > 0 ? FindUnitById(w, static_cast<uint32_t>(value)) : nullptr;
    if (const UnitClassRecord* cls = target ? ClassRecordAt(w, target->classIndex) : nullptr) {
      SetHidden(Tag(targetParent, "UNITPIC"), false);
      DrawUnitPicture(targetParent, *cls, target, -1, 1);
    }
    ShowLaunchVerdict();
  } else if (control == missileList) {
    SetHidden(missileParent, true);
    SetHidden(Tag(currentForm, "AUTO"), true);
  }
}

void MissileStrikePanel::OnActivate(Control* control, int32_t) {
  if (!control) return;
  if (control == unitList && unitList->selectedValue > 0) {
    ScreenParameterList pages;
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      ListHolder& candidates = g_screens.ordersUnitList.targetCandidates;
      for (ListItem28* i = FirstInHolder(candidates); i; i = NextInHolder(candidates, i))
        if (const UnitRecord* u = RefUnit(g_world, *i)) pages.entries.push_back(u->id);
    }
    g_screens.unitDetail.Popup(unitList->selectedValue, &pages);
  } else if (control == missileList && missileList->selectedValue > 0) {
    ScreenParameterList pages;
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      for (ListItem28* i = FirstInHolder(missileCollection); i; i = NextInHolder(missileCollection, i))
        if (const UnitRecord* u = RefUnit(g_world, *i)) pages.entries.push_back(u->id);
    }
    g_screens.missileStockView.Popup(missileList->selectedValue, &pages);
  }
}

void MissileStrikePanel::OnEndEdit(Control* control, int32_t) {
  if (!control || control != quantityField) return;
  const long long typed = std::strtoll(control->text.c_str(), nullptr, 10);
  const long long most = QuantityLimit();
  missileQuantity = static_cast<int32_t>(std::clamp<long long>(typed, 1, most));
  ShowQuantity();
}
