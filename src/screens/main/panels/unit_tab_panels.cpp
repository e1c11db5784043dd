#include "screens/main/panels/unit_tab_panels.h"

#include <algorithm>
#include <cstdio>

#include "platform/fpenv.h"
#include "records/order_words.h"
#include "records/unit_record.h"
#include "screens/common/frame/side_bars.h"
#include "screens/main/map/map_view.h"
#include "screens/main/panels/map_screen.h"
#include "screens/common/units/unit_tab_figures.h"
#include "screens/common/units/unit_lists.h"
#include "screens/common/units/unit_command_grid.h"
#include "screens/common/units/unit_sheets.h"
#include "screens/screen_set.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "ui/slide_bar.h"
#include "ui/string_control.h"
#include "units/unit_queries.h"
#include "units/unit_texts.h"
#include "world/data_tables.h"
#include "world/id_lookups.h"
#include "world/text/text_lists.h"
#include "world/text/ui_options.h"
#include "world/unit_class.h"
#include "world/world.h"

namespace {

// A row's number text, kept for its caption in bar form.
struct RowText {
  char text[48] = {};
  void Set(Control* label, const char* format, int32_t value) {
    std::snprintf(text, sizeof text, format, value);
    SetControlText(label, text);
  }
};

}  // namespace

bool DockedAtThirdLevel(const Screen& screen) {
  return screen.host != nullptr && screen.host == DockHost(g_screens, kDockLevelThird);
}

void UnitDetailPanel::BindControls() {
  statusList = MakeListBox("LIST1", 0, currentForm, 0, this);
  classParent_ = Tag(*this, "CLASSPAR");
  cargoParent_ = Tag(*this, "SUBPAR01");
}

void UnitDetailPanel::Refresh() {
  plat::CriticalSectionLock lock(g_simulationLock);
  const UnitRecord* unit = LiveTabUnit(id);
  const UnitClassRecord* cls = unit ? ClassRecordAt(g_world, unit->classIndex) : nullptr;
  if (!cls) return;
  SetControlText(Tag(*this, "CLASS"), TextListText(kListMilclass, cls->typeByte));
  SetFormatted(Tag(*this, "UEXP"), "%d", static_cast<int32_t>(unit->experience * 100.0f));
  if (Control* crew = Tag(*this, "UCREW")) {
    SetFormatted(crew, "%d", static_cast<int32_t>(static_cast<float>(cls->valuePerPoint) * unit->strength));
    AnnualCostInputs cost;
    cost.atSea = cls->kind == 2 || cls->kind == 3;
    cost.weight = cls->weight;
    cost.defaultStrength = cls->strengthPerSize;
    cost.runningCost = cls->costPerElement;
    cost.costFactor = unit->owner < kMaxPlayers ? g_world.players[unit->owner].costFactor : 0.0f;
    cost.strength = unit->strength;
    cost.alert = unit->training;
    if (Control* annual = Tag(*this, "ANNCOST"))
      SetControlNumberText(0, 0, "", 0, "", 0, static_cast<double>(AnnualCost(cost)), annual);
  }
  if (SlideBarControl* bar = AsSlideBar(Tag(*this, "EXPSLDR"))) {
    SliderSetMaxFloat(bar, 5.0f);
    SliderSetValueFloatNotify(bar, unit->experience);
  }
  SetFormatted(Id(*this, 408), "%d Experience", static_cast<int32_t>(unit->experience * 100.0f));
  SetControlText(Tag(*this, "LOCATION"), UnitPositionText(g_world, *unit).c_str());
  const OrderBlock& shown = unit->ordersShown;
  SetControlText(Tag(*this, "STANCE"), StanceText(shown[kPostureBits], shown[kStateFlags]));
  SetControlText(Tag(*this, "ALERT"), TextListText(kListOrdinitiative, InitiativeLevel(unit->training) + 1));
  SetControlText(Tag(*this, "MORALE"), TextListText(kListOrdinitiative, InitiativeLevel(unit->morale) + 1));
  if (Control* weight = Tag(*this, "CWEIGHT"))
    SetControlNumberText(0, 0, "", 0, "T", 0, static_cast<double>(cls->weight * unit->strength + unit->ammo), weight);
  const bool holdsCargo = (cls->carryCapacity != 0.0f || cls->cargoSlots != 0) && unit->carrier == 0;
  SetHidden(cargoParent_, !holdsCargo);
  if (holdsCargo && cargoParent_ && cargoPart) cargoPart->Show(unit->id, cargoParent_);
  if (statusList) {
    ListClear(statusList, 0);
    for (const UnitStatusRow& row : UnitStatusText(g_world, *unit))
      ListAddTextItem(statusList, row.text.c_str(), row.code, 0, 0, 0, 0);
    ListLayoutRows(statusList);
  }
  if (classParent_ && classRow) classRow->Show(cls->typeByte, classParent_);
}

void UnitSummaryPanel::BindControls() {
  DockInSecondBotbar2(*this);
  gridParent_ = Tag(*this, "GRIDPAR");
  subParent_ = Tag(*this, "SUBPARENT2");
}

void UnitSummaryPanel::OnOpen() {
  ScreenSlotSelectMapMode(g_screens);
  shownUnit_ = id;
  if (grid && gridParent_) grid->Show(id, gridParent_);
  // Every grid toggle up: no sub-panel is open once the details are back.
  if (Control* toggle = Id(GridForm(), 103)) ControlClearSelection(toggle, 0);
  if (subParent_) detail_.Show(id, subParent_);
}

void UnitSummaryPanel::Refresh() {
  if (id != shownUnit_) {
    shownUnit_ = id;
    if (grid && gridParent_) grid->Show(id, gridParent_);
    if (subParent_) detail_.Show(id, subParent_);
  }
  UpdateUnitCommandGrid(GridForm(), id > 0 ? static_cast<uint32_t>(id) : 0u);
}

void UnitSummaryPanel::OnCommand(Control* control, int32_t controlId) {
  // A toggle released closes its sub-panel: the tab opens again, the
  // details back in their place.
  if (control && (control->flags & kCtlRadio) && !(control->state & kStateSelected)) {
    Show(kKeepScreenId, nullptr);
    return;
  }
  OnUnitCommandGrid(GridForm(), control, controlId, id > 0 ? static_cast<uint32_t>(id) : 0u, subParent_, nullptr);
}

void UnitStrengthPanel::OnCommand(Control*, int32_t id) {
  FlipStrengthRowsOnCommand(id);
  Refresh();
}

void UnitStrengthPanel::Refresh() {
  plat::CriticalSectionLock lock(g_simulationLock);
  const UnitRecord* unit = LiveTabUnit(id);
  const UnitClassRecord* cls = unit ? ClassRecordAt(g_world, unit->classIndex) : nullptr;
  if (!cls) return;
  if (SlideBarControl* bar = AsSlideBar(Id(*this, 154))) {
    SliderSetMaxFloat(bar, 1.2f);
    SliderSetValueFloatNotify(bar, unit->efficiency);
  }
  RowText rows[4];
  // The condition prints rounded to whole percent, as printf rounds.
  plat::FormatText(rows[0].text, sizeof rows[0].text, "%3.0f %%", static_cast<double>(unit->efficiency * 100.0f));
  SetControlText(Id(*this, 254), rows[0].text);

  const CarrierLoad load = CarrierLoadOf(g_world, *unit, *cls);
  if (SlideBarControl* bar = AsSlideBar(Id(*this, 155))) {
    SliderSetMaxFloat(bar, load.capacity);
    SliderSetValueFloatNotify(bar, std::min(load.capacity, load.total));
    // The marker is a whole number of tons on the bar's float scale: the
    // integer setter would read the float maximum as an integer and leave
    // the marker at the start.
    const int32_t marker = static_cast<int32_t>(std::min(load.capacity, load.carried));
    bar->rawMarker = static_cast<uint16_t>(SliderPositionOfFloat(bar, static_cast<float>(marker)));
    bar->Invalidate();
  }
  rows[1].Set(Id(*this, 255), "%d", static_cast<int32_t>(load.total));
  SetFormatted(Id(*this, 355), "%d", static_cast<int32_t>(load.capacity));

  const SupplyRow supply =
      SupplyRowOf(cls->ammoCapacity, cls->ammoPerShot, unit->strength, unit->ammo, unit->carrier != 0, load);
  if (SlideBarControl* bar = AsSlideBar(Id(*this, 156))) {
    SliderSetMaxFloat(bar, supply.room);
    SliderSetValueFloatNotify(bar, cls->ammoPerShot > 0.0f ? unit->ammo : 0.0f);
  }
  rows[2].Set(Id(*this, 256), "%d", supply.days);
  SetFormatted(Id(*this, 356), "%d", supply.roomDays);

  if (SlideBarControl* bar = AsSlideBar(Id(*this, 157))) {
    SliderSetMaxInt(bar, 100);
    SliderSetValueIntNotify(bar, unit->entrenchment);
  }
  rows[3].Set(Id(*this, 257), "%d", unit->entrenchment);

  const bool bars = g_uiOptions.buishowspecsliders != 0;
  for (int32_t i = 0; i < 4; ++i) {
    SetHidden(Id(*this, 154 + i), !bars);
    SetHidden(Id(*this, 254 + i), bars);
    SetControlText(Id(*this, 954 + i), bars ? rows[i].text : "");
  }
}

void UnitStatusPanel::BindControls() {
  DockInSecondBotbar2(*this);
  part_ = currentForm && ControlTagMatches(currentForm->tag, "PAR4B1") ? currentForm : Tag(*this, "PAR4B1");
}

void UnitStatusPanel::OnOpen() {
  strength_.Show(0, part_);
  ScreenSlotSelectMapMode(g_screens);
}

void UnitStatusPanel::OnCommand(Control*, int32_t id) {
  FlipStrengthRowsOnCommand(id);
  strength_.Refresh();
}

void UnitStatusPanel::Refresh() {
  bool offer = false;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const UnitRecord* unit = LiveTabUnit(id);
    const UnitClassRecord* cls = unit ? ClassRecordAt(g_world, unit->classIndex) : nullptr;
    if (cls) {
      const bool looksInto = (unit->unitFlags & (1u << 15)) || unit->classIndex == 0 ||
                             !(unit->orders[kPostureBits] & 2u);
      const uint32_t relation = UnitRelationCode(g_world, *unit, g_world.gameState.localPlayer);
      offer = looksInto && (relation == 1 || relation == 2);
    }
    SetHidden(part_, !offer);
    if (offer) {
      strength_.id = id;
      strength_.Refresh();
    }
  }
}

void UnitExtraFill::Refresh() {
  if (!currentForm) return;
  plat::CriticalSectionLock lock(g_simulationLock);
  const UnitClassRecord* cls = ClassRecordAt(g_world, static_cast<int32_t>(id));
  if (!cls) return;
  for (const ClassIconRule& rule : ClassIconRules()) SetHidden(Id(*this, rule.id), !rule.shown(*cls));
}

void UnitExtraPanel::BindControls() {
  DockInSecondBotbar2(*this);
  part_ = currentForm && ControlTagMatches(currentForm->tag, "PAR4D1") ? currentForm : Tag(*this, "PAR4D1");
}

void UnitExtraPanel::OnOpen() {
  intptr_t classIndex = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    if (const UnitRecord* unit = LiveTabUnit(id)) classIndex = unit->classIndex;
  }
  fill_.Show(classIndex, part_);
  ScreenSlotSelectMapMode(g_screens);
}

void UnitExtraPanel::Refresh() {
  intptr_t classIndex = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    if (const UnitRecord* unit = LiveTabUnit(id)) classIndex = unit->classIndex;
  }
  if (fill_.id != classIndex) {
    fill_.id = classIndex;
    fill_.Refresh();
  }
  plat::CriticalSectionLock lock(g_simulationLock);
  if (const UnitClassRecord* cls = ClassRecordAt(g_world, static_cast<int32_t>(classIndex)))
    FillUnitClassSheet(currentForm, *cls, nullptr, nullptr);
}
