#include "screens/military/facilities/build_order_panel.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "app/duration_text.h"
#include "app/number_text.h"
#include "platform/threads.h"
#include "records/hex_cell.h"
#include "records/player_record.h"
#include "screens/common/frame/side_bars.h"
#include "screens/common/facilities/build_classes.h"
#include "screens/common/figure_text.h"
#include "screens/common/facilities/site_figures.h"
#include "screens/common/frame/map_selection.h"
#include "screens/common/units/class_icon.h"
#include "screens/screen_set.h"
#include "sim/daily/product_fields.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/deferred_actions.h"
#include "ui/list_control.h"
#include "ui/map_hover.h"
#include "ui/panel_helpers.h"
#include "ui/screen_manager.h"
#include "world/local_player.h"
#include "units/facilities/facility_build.h"
#include "world/unit_class.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

constexpr float kFoundationShare = 0.2f;
constexpr float kOrderRunningDivisor = 10.0f;
constexpr float kOrderDaysInYear = 365.0f;
constexpr float kFullLevel = 250.0f;
constexpr int32_t kMaterialProduct = 9;
constexpr int32_t kLabourProduct = 10;

void SetNumberText(Control* control, float value, int32_t currency, int32_t decimals) {
  char text[kNumberTextSize];
  FormatNumberText(text, currency, decimals, "", 1, "", 0, static_cast<double>(value));
  ControlSetText(control, text);
}

}  // namespace

BuildOrderFigures BuildOrderFiguresFor(World& world, int32_t classIndex, const HexCell* cell) {
  BuildOrderFigures out;
  const UnitClassRecord* cls = ClassRecordAt(world, classIndex);
  if (!cls) return out;
  const PlayerRecord* localRecord = LocalPlayer(world);
  if (!localRecord) return out;
  const PlayerRecord& local = *localRecord;
  const float s = ClassCostScale(world, *cls);
  const float b = s * cls->price;
  const float m = local.costFactor;
  const float goods = (product::Get(local, kMaterialProduct, product::kPrice) * cls->firepower +
                       product::Get(local, kLabourProduct, product::kPrice) * cls->resourceB) *
                      world.mapHeader.scaleSquared;
  out.cost = (b + kFoundationShare * b + goods) * m;
  out.foundation = kFoundationShare * b * m;
  // A year of running the type at the price level and of paying its staff
  // (twice the GDP a head each); a type built in no time has no daily share
  // to run on.
  const float r = (cls->flags & (kClassSettlement | kClassRoad))
                      ? PerBuildDay(cls->price, cls->buildWorkPerPoint) * s / kOrderRunningDivisor
                      : 0.0f;
  out.annualCost = r * m * kOrderDaysInYear + 2.0f * static_cast<float>(cls->valuePerPoint) * local.gdpPerCapita;
  out.days = cls->buildWorkPerPoint;
  if (!cell) return out;
  out.onHex = true;
  const uint8_t level = HexLevelByte(world, *cell);
  out.supplyPercent = static_cast<float>(level) / kFullLevel * 100.0f;
  float e = EngineerEffort(world, *cell);
  if (e > 1.0f) e = std::sqrt(e);
  out.supplied = level != 0 || (e > 1.0f && (cls->flags & kClassFortifies));
  if (out.supplied) out.days = cls->buildWorkPerPoint / (SupplyLevelFactor(level, HexSupplierRate(world, *cell)) * e);
  out.refused = !ProcessUnitStack(world, const_cast<HexCell&>(*cell), 0, 0, classIndex, 1.0f, true, true, true);
  return out;
}

void BuildOrderClasses(World& world, int32_t siteFilter, void (*add)(void* context, int32_t classIndex),
                       void* context) {
  // A site kind names the installations it offers by itself: the domestic
  // department's research centres are facilities of their own kind, not
  // military sites, and what the simulation reads the military flag for
  // (combat, upkeep) must not change to list them.
  const uint32_t required = siteFilter < 0 ? kClassSettlement : kClassFacility;
  for (int32_t c = kBuildClassFirst; c < kBuildClassEnd; ++c) {
    if (!BuildClassOpen(world, c, required)) continue;
    if (siteFilter < 0 || ClassRecordAt(world, c)->baseKind == siteFilter) add(context, c);
  }
}

void BuildOrderPanel::BindControls() {
  DockInSecondBotbar2(*this);
  list = MakeListBox("LIST1", 0, currentForm, kListIndicators, this);
  Control* f = currentForm;
  basePic = f && ControlTagMatches(f->tag, "BASEPIC") ? f : FormFindControlByTag(f, "BASEPIC");
}

void BuildOrderPanel::OnOpen() {
  if (g_mapPlacement.active) CancelMapPlacement(g_screens);
  if (list) {
    const int32_t remembered = list->selectedId;
    for (Control* row = list->firstRow; row; row = ListNextRow(list, row)) SetControlFlag(row, kStateSelected, 0);
    list->selectedId = 0;
    list->selectedValue = 0;
    if (remembered) OnControlChange(list, 0);
    const int32_t scroll = list->scrollOffset;
    ListClear(list, 1);
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      BuildRows rows{&g_world, list, kBuildOrderRowBase};
      BuildOrderClasses(g_world, static_cast<int32_t>(id), AddBuildRow, &rows);
    }
    // The place kept from the last list is laid out within this one's rows:
    // a shorter list scrolled past its end would show none of them.
    list->scrollOffset = scroll;
    ListLayoutRows(list);
    if (remembered) ListSetSelection(0, list, remembered, 0);
    if (!list->selectedId && list->firstRow) ListSetSelection(0, list, list->firstRow->id, 0);
    if (list->selectedId) OnCommand(list, list->selectedId);
  }
  Control* f = currentForm;
  SetControlFlag(FormFindControlByTag(f, "CONFIRMBUT"), kStateSelected, g_mapPlacement.placementConfirm);
  SetControlFlag(FormFindControlByTag(f, "REPEATBUT"), kStateSelected, g_mapPlacement.placementRepeat);
  ScreenSlotSelectMapMode(g_screens);
  QueueDeferredUiAction(this, 0);
}

void BuildOrderPanel::Refresh() {
  Control* f = currentForm;
  if (!f) return;
  auto tagged = [f](const char* tag) { return FormFindControlByTag(f, tag); };
  BuildOrderFigures p;
  float shortage = 0.0f;
  uint16_t staff = 0;
  uint8_t capacity = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    World& world = g_world;
    const UnitClassRecord* cls = ClassRecordAt(world, pendingType);
    if (!cls) return;
    if (g_mapPlacement.active) g_mapPlacement.classIndex = pendingType;
    shownCell_ = g_mapHover.viewCell;
    p = BuildOrderFiguresFor(world, pendingType, shownCell_);
    if (const PlayerRecord* local = LocalPlayer(world)) shortage = local->turnUnpaidBuildCost;
    staff = cls->valuePerPoint;
    capacity = cls->baseSlots;
    DrawUnitClassIcon(pendingType, nullptr, cls, basePic, true, 0);
  }
  SetNumberText(tagged("COST"), p.cost, 1, 2);
  SetNumberText(tagged("FOUNDATION"), p.foundation, 0, 0);
  Control* time = tagged("TIME");
  SetControlFlag(time, kStateSelected, 0);
  if (!p.onHex) {
    ControlSetText(tagged("SUPPLY"), "N/A");
    ControlSetText(time, FormatDuration(p.days).c_str());
  } else {
    SetPercentText(tagged("SUPPLY"), p.supplyPercent);
    if (p.supplied) {
      ControlSetText(time, FormatDuration(p.days).c_str());
    } else {
      ControlSetText(time, "No Supply");
      SetControlFlag(time, kStateSelected, 1);
    }
  }
  SetHidden(tagged("INVBUILD"), p.onHex && !p.refused);
  SetHidden(tagged("HIDECOST"), !p.onHex || p.refused);
  SetHidden(tagged("SHORTBOX2"), !(shortage > 0.0f));
  SetNumberText(tagged("SHORTAGE2"), shortage, 0, 0);
  SetNumberText(tagged("ANNCOST"), p.annualCost, 0, 0);
  SetAmountText(tagged("STAFF"), staff, 0, 0);
  char text[16];
  std::snprintf(text, sizeof text, "%d", capacity);
  ControlSetText(tagged("CAPACITY"), text);
  ControlSetText(tagged("TYPE"), "");
}

void BuildOrderPanel::OnCommand(Control* control, int32_t item) {
  if (!control) return;
  const int32_t pressed = control->Selected() ? 1 : 0;
  if (control == list) {
    if (item >= 1 && item < kBuildOrderRowBase) return;
    if (item - kBuildOrderRowBase > 0) {
      pendingType = item - kBuildOrderRowBase;
      BeginMapPlacement(pendingType);
    }
    Refresh();
  } else if (ControlTagMatches(control->tag, "CANBUT")) {
    CancelMapPlacement(g_screens);
  } else if (ControlTagMatches(control->tag, "CONFIRMBUT")) {
    g_mapPlacement.placementConfirm = pressed;
  } else if (ControlTagMatches(control->tag, "REPEATBUT")) {
    g_mapPlacement.placementRepeat = pressed;
  }
}

void BuildOrderPanel::Poll(intptr_t) {
  if (!currentForm || !currentForm->parent) {
    CancelDeferredUiAction(this);
    return;
  }
  if (g_mapPlacement.active && g_mapHover.viewCell != shownCell_) Refresh();
}
