#include "screens/common/units/unit_sheets.h"

#include <algorithm>
#include <cstdio>

#include "app/game_math.h"
#include "records/player_record.h"
#include "screens/common/units/unit_header.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "world/local_player.h"
#include "world/data_tables.h"
#include "world/text/text_lists.h"
#include "world/unit_class.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

constexpr int32_t kGoodsUnitEntry = 10;
constexpr uint32_t kSheetListFill = 0xFF5A5A5A;

// Sheet figures are cut toward zero before they are shown.
void SetSheetFigure(Control* control, int32_t currency, const char* trailing, float value) {
  SetControlNumberText(currency, 0, "", currency, trailing, 0, static_cast<double>(WholeFigure(value)), control);
}

const char* TechName(int32_t index) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const std::vector<TechRecord>& techs = g_world.techs;
  if (index <= 0 || static_cast<size_t>(index) >= techs.size()) return "None";
  const TechRecord& t = techs[static_cast<size_t>(index)];
  return t.category != 0 && t.name.get() ? t.name.get() : "None";
}

void FillHeader(Control* form, const ClassSheetFigures& f, Screen* row, Screen* secondRow) {
  const bool stock = (f.flags & kClassStock) != 0;
  if (Control* host = Tag(form, "CLASSPAR"); host && row) {
    SetHidden(host, false);
    row->Show(ClassBadge(f), host);
  }
  if (Control* host = Tag(form, "CLASSPAR2"); host && secondRow) {
    SetHidden(host, !stock);
    if (stock) secondRow->Show(StockCarrierBadge(f), host);
  }
}

}  // namespace

ClassSheetFigures ClassSheetFiguresOf(const UnitClassRecord& cls) {
  ClassSheetFigures f;
  f.group = cls.typeByte;
  f.category = cls.kind;
  f.techLevel = cls.level;
  f.obsoleteLevel = cls.buildThreshold;
  f.elements = cls.strengthPerSize;
  f.crewPerPoint = cls.valuePerPoint;
  f.techs[0] = cls.requiredTechs[0];
  f.techs[1] = cls.requiredTechs[1];
  f.buildDays = cls.buildWorkPerPoint;
  f.cashUpkeep = cls.costPerElement;
  // Endurance: hours of fuel at the class's rate of use. The base weight a
  // point carries is its fuel load, which the endurance divides; the goods
  // upkeep is the supply weight a point takes, as a transport loads it.
  f.enduranceRate = cls.fuelUse;
  f.baseWeight = cls.fuelCapacity;
  f.goodsUpkeep = cls.weight;
  f.transportWeight = cls.carryCapacity;
  f.yield = cls.strikeYield;
  f.regionMask = cls.availability;
  f.moveType = cls.movementType;
  f.cargoCapacity = cls.cargoSlots;
  f.flags = cls.flags;
  f.range = cls.stockRange;
  // The records name no gun size, armour or power rating, stock kind or
  // stock ratings: they stay 0 ("n/a", the lowest words, the first badges).
  return f;
}

int32_t ClassRegionEntry(uint32_t mask) {
  if (mask == 0xFFFFFFFFu) return 0;
  if (mask == 0 || (mask & (mask - 1)) != 0) return 32;
  int32_t bit = 0;
  while (!(mask & 1u)) mask >>= 1, ++bit;
  return bit;
}

int32_t ClassBadge(const ClassSheetFigures& f) {
  if (!(f.flags & kClassStock)) return f.group;
  const int32_t r1 = f.ratings[0], r2 = f.ratings[1], r3 = f.ratings[2];
  if (f.flags & kClassSpecialImmune) return 206;
  if (f.flags & kClassSpecialWeapons) return 205;
  if (f.flags & kClassLongRange) return 203;
  if (r2 > r3 && r2 > r1) return 202;
  if (r1 > r3 && r1 > r2) return 201;
  if (r1 < r3) return 200;
  return 204;
}

int32_t StockCarrierBadge(const ClassSheetFigures& f) {
  if (f.stockKind >= 4) return 302;
  if (f.flags & kClassFullAvailability) return 303;
  return f.range >= 200.0f ? 301 : 300;
}

void FillUnitClassSheet(Control* form, const UnitClassRecord& cls, Screen* row, Screen* secondRow) {
  FillClassSheetFigures(form, ClassSheetFiguresOf(cls), row, secondRow);
}

void FillClassSheetFigures(Control* form, const ClassSheetFigures& f, Screen* row, Screen* secondRow) {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (!form) return;
  const float s = static_cast<float>(f.elements);
  const float k = f.category == 2 || f.category == 3 ? 0.5f : 1.0f;
  const PlayerRecord* local = LocalPlayer(g_world);
  Control* list = Tag(form, "LIST1");
  SetControlText(Tag(form, "CLASS"), TextListText(kListMilclass, f.group));
  // The work of a whole unit and a day to start it, any part of a further
  // day counted whole.
  SetFormatted(Tag(form, "DAYS"), "%d", WholeFigure(s * f.buildDays + 1.0f + 0.99f));
  // A whole unit with its fuel and its goods aboard.
  SetSheetFigure(Tag(form, "UWEIGHT"), 0, " T", (f.baseWeight + f.goodsUpkeep) * s);
  SetFormatted(Tag(form, "UTECHLEV"), "%d", f.techLevel);
  SetControlText(Tag(form, "UTECH"), TechName(f.techs[0]));
  if (Control* second = Tag(form, "UTECH2")) {
    SetControlText(second, TechName(f.techs[1]));
    SetHidden(second, f.techs[1] == 0);
  }
  const int32_t localLevel = local ? WholeFigure(local->techLevel + 0.5f) : 0;
  SetHidden(Tag(form, "OBSOLETE"), !(f.obsoleteLevel != 0 && f.obsoleteLevel < localLevel));
  FillHeader(form, f, row, secondRow);
  SetControlText(Tag(form, "UREGION"), TextListText(kListMilregions, ClassRegionEntry(f.regionMask)));
  if (auto* box = dynamic_cast<ListBoxControl*>(list)) ListClear(box, 0);
  // The money of a whole unit with its goods priced at the region's goods
  // price, as the build list prices it.
  const float price = local ? local->costFactor : 0.0f;
  SetSheetFigure(Tag(form, "DOLCOST"), 1, "", s * f.cashUpkeep + (s * k * f.goodsUpkeep + 0.9f) * price + 0.9f);
  SetSheetFigure(Tag(form, "GOODSCOST"), 0, "", s * f.goodsUpkeep * k + 0.9f);
  SetControlText(Tag(form, "GOODSTYPE"), TextListText(kListProdunits, kGoodsUnitEntry));
  if (f.flags & kClassStock) {
    SetHidden(Tag(form, "YIELDPAR"), (f.flags & kClassSpecialWeapons) == 0);
    SetFormatted(Tag(form, "YIELD"), "%d", WholeFigure(f.yield + 0.5f));
    return;
  }
  SetSheetFigure(Tag(form, "UTRANS"), 0, " T", s * f.transportWeight);
  SetFormatted(Tag(form, "UCREW"), "%d", WholeFigure(static_cast<float>(f.crewPerPoint) * s));
  SetFormatted(Tag(form, "CHOURS"), "%d h", WholeFigure(SafeDivide(f.baseWeight, f.enduranceRate)));
  if (f.gunSize != 0) {
    SetFormatted(Tag(form, "GUNSIZE"), "%d mm", f.gunSize);
  } else {
    SetControlText(Tag(form, "GUNSIZE"), "n/a");
  }
  SetControlText(Tag(form, "ARMOR"), TextListText(kListOrdinitiative, std::min(f.armour / 90 + 1, 3)));
  SetControlText(Tag(form, "HORSES"), TextListText(kListOrdinitiative, std::min(f.power / 2, 3)));
  SetControlText(Tag(form, "MOVETYPE"), TextListText(kListMilmove, f.moveType));
  SetFormatted(Tag(form, "MSIZE"), "%d", f.elements == 1 ? f.cargoCapacity / 10 : f.cargoCapacity);
  for (const char* tag : {"BATT1", "BATT2", "BATT3", "BATT4"})
    SetControlText(Tag(form, tag), TextListText(kListMilbranchunitsh, f.category));
  SetFormatted(Tag(form, "DEFSTR"), "%d", f.elements);
}

void FillUnitClassHeader(Control* form, const UnitClassRecord& cls, Screen* row, Screen* secondRow) {
  if (form) FillHeader(form, ClassSheetFiguresOf(cls), row, secondRow);
}

UnitClassSheetPanel::UnitClassSheetPanel() : Screen("POPUP_MILITARY1A10") {}

void UnitClassSheetPanel::BindControls() {
  list = MakeListBox("LIST1", 0, currentForm, 0, this);
  if (list) list->fills[kLookNormal] = list->fills[kLookSelected] = kSheetListFill;
}

void UnitClassSheetPanel::Refresh() {
  if (!currentForm) return;
  plat::CriticalSectionLock lock(g_simulationLock);
  if (const UnitClassRecord* cls = ClassRecordAt(g_world, static_cast<int32_t>(id)))
    FillUnitClassSheet(currentForm, *cls, classRow, nullptr);
}
