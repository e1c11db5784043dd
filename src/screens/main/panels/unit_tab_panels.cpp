#include "screens/main/panels/unit_tab_panels.h"

#include <algorithm>
#include <cstdio>

#include "records/order_words.h"
#include "records/unit_record.h"
#include "screens/main/bars/side_bars.h"
#include "screens/main/map/map_view.h"
#include "screens/main/panels/unit_tab_figures.h"
#include "screens/main/popups/unit_lists.h"
#include "screens/screen_set.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/panel_helpers.h"
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

Control* Tag(const Screen& s, const char* tag) { return s.currentForm ? FormFindControlByTag(s.currentForm, tag) : nullptr; }
Control* Id(const Screen& s, int32_t id) { return s.currentForm ? FormFindControlById(s.currentForm, id) : nullptr; }
SlideBarControl* Slider(Control* c) { return dynamic_cast<SlideBarControl*>(c); }

void SetFormatted(Control* control, const char* format, int32_t value) {
  if (!control) return;
  char text[48];
  std::snprintf(text, sizeof text, format, value);
  SetControlText(control, text);
}

// A row's number text, kept for its caption in bar form.
struct RowText {
  char text[48] = {};
  void Set(Control* label, const char* format, int32_t value) {
    std::snprintf(text, sizeof text, format, value);
    SetControlText(label, text);
  }
};

// The carried units that count: those with strength, along the cargo chain
// of a carrier that is not itself aboard something.
CarrierLoad LoadOf(const UnitRecord& unit, const UnitClassImage& cls, float goods, bool& carriesUnits) {
  CarrierLoad load;
  load.capacity = cls.carryCapacity * unit.strength;
  carriesUnits = false;
  if (unit.carrier == 0) {
    int guard = 0;
    for (uint32_t next = unit.cargoNext; next != 0 && guard < 4096; ++guard) {
      const UnitRecord* aboard = FindUnitById(g_world, next);
      if (!aboard) break;
      next = aboard->cargoNext;
      const UnitClassRecord* aboardClass = ClassRecordAt(g_world, aboard->classIndex);
      if (!aboardClass || !(aboard->strength > 0.0f)) continue;
      carriesUnits = true;
      load.carried += aboardClass->weight * aboard->strength + UnitLoadTotal(g_world, *aboard, true, true, true) +
                      aboard->supply;
    }
  }
  load.total = goods + load.carried;
  return load;
}

// The goods a unit holds itself, apart from what rides on it.
float GoodsOf(const UnitRecord& unit) { return UnitLoadTotal(g_world, unit, true, false, false); }

}  // namespace

void UnitDetailPanel::BindControls() {
  statusList = MakeListBox("LIST1", 0, &g_screens, currentForm, 0, this);
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
    cost.runningCost = cls->upkeepFactor;
    cost.costFactor = unit->owner < kMaxPlayers ? g_world.players[unit->owner].costFactor : 0.0f;
    cost.strength = unit->strength;
    cost.alert = unit->training;
    if (Control* annual = Tag(*this, "ANNCOST"))
      SetControlNumberText(0, 0, "", 0, "", 0, static_cast<double>(AnnualCost(cost)), annual);
  }
  if (SlideBarControl* bar = Slider(Tag(*this, "EXPSLDR"))) {
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
    SetControlNumberText(0, 0, "", 0, "T", 0, static_cast<double>(cls->weight * unit->strength + unit->supply), weight);
  // The carried units list lives on the cargo tab; the part stays empty here.
  SetHidden(Tag(*this, "SUBPAR01"), true);
  if (statusList) {
    ListClear(statusList, 0);
    for (const UnitStatusRow& row : UnitStatusText(g_world, *unit))
      ListAddTextItem(statusList, row.text.c_str(), row.code, 0, 0, 0, 0);
    ListLayoutRows(statusList);
  }
}

void UnitSummaryPanel::BindControls() {
  DockInSecondBotbar2(*this);
  subParent_ = Tag(*this, "SUBPARENT2");
}

void UnitSummaryPanel::OnOpen() {
  ScreenSlotSelectMapMode(g_screens);
  shownUnit_ = id;
  if (subParent_) detail_.Show(id, subParent_);
}

void UnitSummaryPanel::Refresh() {
  if (id == shownUnit_) return;
  shownUnit_ = id;
  if (subParent_) detail_.Show(id, subParent_);
}

void FlipStrengthRowsOnCommand(int32_t id) {
  if (id < 900 || id > 999) return;
  g_uiOptions.buishowspecsliders = g_uiOptions.buishowspecsliders == 0 ? 1 : 0;
  g_mapView.redrawPending = 1;
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
  if (SlideBarControl* bar = Slider(Id(*this, 154))) {
    SliderSetMaxFloat(bar, 1.2f);
    SliderSetValueFloatNotify(bar, unit->efficiency);
  }
  RowText rows[4];
  rows[0].Set(Id(*this, 254), "%d %%", static_cast<int32_t>(unit->efficiency * 100.0f));

  const float goods = GoodsOf(*unit);
  bool carriesUnits = false;
  const CarrierLoad load = LoadOf(*unit, *cls, goods, carriesUnits);
  if (SlideBarControl* bar = Slider(Id(*this, 155))) {
    SliderSetMaxFloat(bar, load.capacity);
    SliderSetValueFloatNotify(bar, std::min(load.capacity, load.total));
    SliderSetValueIntRaw(bar, static_cast<int32_t>(std::min(load.capacity, load.carried)));
  }
  rows[1].Set(Id(*this, 255), "%d", static_cast<int32_t>(load.total));
  SetFormatted(Id(*this, 355), "%d", static_cast<int32_t>(load.capacity));

  const SupplyRow supply = SupplyRowOf(cls->carryCapacity, cls->fuelUse, unit->strength, unit->supply, goods,
                                       carriesUnits, unit->carrier != 0, load);
  if (SlideBarControl* bar = Slider(Id(*this, 156))) {
    SliderSetMaxFloat(bar, supply.room);
    SliderSetValueFloatNotify(bar, supply.days == 0 && supply.roomDays == 0 ? 0.0f : unit->supply);
  }
  rows[2].Set(Id(*this, 256), "%d", supply.days);
  SetFormatted(Id(*this, 356), "%d", supply.roomDays);

  if (SlideBarControl* bar = Slider(Id(*this, 157))) {
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
    if (unit && ClassRecordAt(g_world, unit->classIndex)) {
      const bool looksInto = (unit->unitFlags & (1u << 15)) || unit->classIndex == 0 ||
                             !(unit->orders[kPostureBits] & 2u);
      const uint32_t relation = UnitRelationCode(g_world, *unit, g_world.gameState.localPlayer);
      offer = looksInto && (relation == 1 || relation == 2);
    }
  }
  SetHidden(part_, !offer);
  if (!offer) return;
  strength_.id = id;
  strength_.Refresh();
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
}
