#include "screens/military/units/unit_performance.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "app/duration_text.h"
#include "app/game_math.h"
#include "records/unit_record.h"
#include "screens/common/units/strength_rows.h"
#include "screens/common/units/orders_summary.h"
#include "screens/common/units/unit_header.h"
#include "screens/common/units/unit_tab_figures.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "ui/slide_bar.h"
#include "ui/string_control.h"
#include "units/unit_queries.h"
#include "world/data_tables.h"
#include "world/id_lookups.h"
#include "world/scenario_settings.h"
#include "world/text/ui_options.h"
#include "world/unit_class.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

constexpr int kLandRangeFactor = 13;
constexpr int kRangeFactorA = 122;
constexpr int kRangeFactorB = 126;
constexpr float kSecondRangeLimit = 200.0f;
constexpr float kWeaponRangeLimit = 400.0f;
constexpr float kStockRangeLimit = 1000.0f;
constexpr int32_t kRatingScale = 60;

// A class's rating bytes by number, as the sheet names them. Those the
// record does not name read 0.
uint8_t Rating(const UnitClassRecord& cls, int i) {
  if (i >= 0 && i < 8) return cls.attackValues[i];
  if (i == 8 || i == 9) return cls.bytes128[i - 8];
  if (i == 12) return cls.coveredAttack;
  if (i >= 16 && i < 20) return cls.defenceValues[i - 16];
  return 0;
}

void SetBarFloat(SlideBarControl* bar, float maximum, float value) {
  if (!bar) return;
  SliderSetMaxFloat(bar, maximum);
  SliderSetValueFloatNotify(bar, value);
}
void SetBarInt(SlideBarControl* bar, int32_t maximum, int32_t value) {
  if (!bar) return;
  SliderSetMaxInt(bar, maximum);
  SliderSetValueIntNotify(bar, value);
}

// The maximum of a rating bar: its k-th root on a power curve.
int32_t RatingCurveMaximum(const SlideBarControl& bar) {
  if (bar.exponent == 0) return kRatingScale;
  return WholeFigure(static_cast<float>(std::pow(static_cast<double>(kRatingScale), 1.0 / bar.exponent)) + 0.5f);
}

// The load points of what the unit carries.
float CarriedPoints(const UnitRecord& unit) {
  plat::CriticalSectionLock lock(g_simulationLock);
  float points = 0.0f;
  int guard = 0;
  for (uint32_t next = unit.cargoNext; next != 0 && guard < kCargoChainLimit; ++guard) {
    const UnitRecord* aboard = FindUnitById(g_world, next);
    if (!aboard) break;
    next = aboard->cargoNext;
    if (const UnitClassRecord* k = ClassRecordAt(g_world, aboard->classIndex))
      points += static_cast<float>(k->slotSize) * aboard->strength;
  }
  return points;
}

void ShowCargoLabels(Control* form, bool plain, bool transportKind) {
  SetHidden(Id(form, 39), !plain);
  SetHidden(Id(form, 439), plain || transportKind);
  SetHidden(Id(form, 539), plain || !transportKind);
}

void FillSizeRows(Control* form, const UnitClassRecord& cls, const UnitRecord* unit) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const float n = static_cast<float>(cls.strengthPerSize);
  const bool transportKind = (cls.flags & kClassAirBase) != 0;
  if (unit) {
    const float maximum = n * unit->targetStrength;
    SetBarFloat(IdAs<SlideBarControl>(form, 130), maximum, unit->strength);
    if (cls.strengthPerSize == 1) {
      SetFormatted(Id(form, 230), "%d %%", WholeFigure(unit->strength * 100.0f));
    } else {
      SetFormatted(Id(form, 230), "%d", WholeFigure(unit->strength + 0.5f));
    }
    SetFormatted(Id(form, 330), "%d", WholeFigure(maximum));
    const float load = std::max(AmmunitionRoomOf(g_world, *unit, cls).capacity, 0.0f);
    SetBarFloat(IdAs<SlideBarControl>(form, 131), load, unit->ammo);
    SetFormatted(Id(form, 231), "%d", WholeFigure(unit->ammo));
    SetFormatted(Id(form, 331), "%d", WholeFigure(load));
    const float reserve = cls.fuelCapacity * unit->strength;
    SetBarFloat(IdAs<SlideBarControl>(form, 132), reserve, unit->fuel);
    SetFormatted(Id(form, 232), "%d", WholeFigure(unit->fuel));
    SetFormatted(Id(form, 332), "%d", WholeFigure(reserve));
    float capacity = static_cast<float>(cls.cargoSlots) * unit->strength, loaded = CarriedPoints(*unit);
    const bool plain = unit->carriedCount == 0 && (loaded != 0.0f || cls.baseSlots == 0);
    ShowCargoLabels(form, plain, transportKind);
    if (!plain) {
      capacity = static_cast<float>(cls.baseSlots) * n;
      loaded = static_cast<float>(unit->carriedCount);
    }
    SetHidden(Id(form, 339), false);
    SetFormatted(Id(form, 339), "%d", WholeFigure(capacity));
    SetBarFloat(IdAs<SlideBarControl>(form, 139), capacity, loaded);
    SetFormatted(Id(form, 239), "%d", WholeFigure(loaded));
    return;
  }
  SetBarFloat(IdAs<SlideBarControl>(form, 130), n, n);
  SetFormatted(Id(form, 230), "%d", cls.strengthPerSize);
  SetFormatted(Id(form, 330), "%d", cls.strengthPerSize);
  const float load = n * cls.ammoCapacity, reserve = n * cls.fuelCapacity;
  SetBarFloat(IdAs<SlideBarControl>(form, 131), load, load);
  SetFormatted(Id(form, 231), "%d", WholeFigure(load));
  SetFormatted(Id(form, 331), "%d", WholeFigure(load));
  SetBarFloat(IdAs<SlideBarControl>(form, 132), reserve, reserve);
  SetFormatted(Id(form, 232), "%d", WholeFigure(reserve));
  SetFormatted(Id(form, 332), "%d", WholeFigure(reserve));
  const bool plain = cls.baseSlots == 0;
  ShowCargoLabels(form, plain, transportKind);
  const int32_t value = plain ? cls.cargoSlots * cls.strengthPerSize : cls.baseSlots * cls.strengthPerSize;
  SetBarInt(IdAs<SlideBarControl>(form, 139), plain ? 250 : 4, value);
  SetHidden(Id(form, 339), true);
  SetFormatted(Id(form, 239), "%d", value);
}

// The player whose range factors apply: the owner of a unit, the local
// player for a design; player 0 takes none.
float AttackRangeFactor(const UnitClassRecord& cls, const UnitRecord* unit) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const int32_t player = unit ? unit->owner : g_world.gameState.localPlayer;
  if (player <= 0 || player >= kMaxPlayers) return 1.0f;
  return g_world.techEffects[player][(cls.flags & kClassTechFactor122) ? kRangeFactorA : kRangeFactorB];
}

}  // namespace

float UnitAttackRange(const UnitClassRecord& cls, const UnitRecord* unit, int32_t i) {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (cls.flags & kClassStock) return StockRangeScaled(g_world, cls.stockRange);
  const int group = i / 3;
  float range = i == 7 ? cls.weaponRanges[3] : cls.weaponRanges[group];
  if (range == 0.0f) return 0.0f;
  range = ShortRangeScaled(g_world, range, kWeaponRangeLimit, g_world.gameState.weaponRangeBoost);
  if (i != 7 && (group == 0 || group == 2) && (cls.flags & kClassLongRange)) range *= AttackRangeFactor(cls, unit);
  return range;
}

namespace {

float Endurance(const UnitClassRecord& cls, const UnitRecord* unit) {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (cls.flags & kClassStock) return StockRangeScaled(g_world, cls.stockRange);
  if (!unit) return cls.stockRange;
  float divisor = cls.fuelUse;
  if (cls.kind == 0) divisor *= g_world.techEffects[unit->owner & 31][kLandRangeFactor];
  return SafeDivide(cls.fuelCapacity, divisor) * static_cast<float>(cls.speed) + 0.5f;
}

}  // namespace

int32_t RatingShown(uint8_t rating) {
  const int32_t r = rating;
  return r <= 150 ? r : (r - 150) * (r - 150) + 150;
}

float ShortRangeScaled(const World& world, float range, float limit, float scale) {
  if ((world.scenario.head.gameFlags & kGameFlagNoWeaponRangeBoost) || !(range < limit)) return range;
  return (scale - (scale - 1.0f) * range / limit) * range + world.gameState.rangeBoostAddend;
}

float StockRangeScaled(const World& world, float range) {
  if ((world.scenario.head.gameFlags & kGameFlagNoStockRangeEasing) || !(range < kStockRangeLimit)) return range;
  const float a = world.gameState.weaponRangeBoost;
  return (a - range / kStockRangeLimit * (a - 1.0f)) * range;
}

void FillUnitPerformance(Control* form, const UnitClassRecord* cls, const UnitRecord* unit) {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (!form || !cls) return;
  const bool stock = (cls->flags & kClassStock) != 0;
  const int category = cls->kind;
  if (stock) {
    SetBarInt(IdAs<SlideBarControl>(form, 139), 250, cls->slotSize);
    SetFormatted(Id(form, 239), "%d", cls->slotSize);
  } else {
    if (IdAs<SlideBarControl>(form, 130)) FillSizeRows(form, *cls, unit);
    const float second =
        ShortRangeScaled(g_world, cls->sightDistance, kSecondRangeLimit, g_world.gameState.sightRangeBoost);
    SetBarFloat(IdAs<SlideBarControl>(form, 134), 100.0f, second);
    SetFormatted(Id(form, 234), "%d km", WholeFigure(second + 0.5f));
  }
  SetBarInt(IdAs<SlideBarControl>(form, 133), 240, cls->costFigure);
  SetFormatted(Id(form, 233), "%d", cls->costFigure);
  const float endurance = Endurance(*cls, unit);
  if (SlideBarControl* bar = IdAs<SlideBarControl>(form, 136)) {
    bar->exponent = 2;
    SetBarFloat(bar, category == 0 ? 1000.0f : category == 1 ? 10000.0f : 2000.0f, endurance);
  }
  // A unit whose class burns no fuel never runs dry: its range is not a
  // figure of kilometres.
  if (unit && !stock && !(cls->fuelUse > 0.0f)) {
    SetBarFloat(IdAs<SlideBarControl>(form, 136), 1.0f, 1.0f);
    SetControlText(Id(form, 236), "Unlimited");
  } else {
    SetFormatted(Id(form, 236), "%d km", WholeFigure(endurance));
  }
  SetBarInt(IdAs<SlideBarControl>(form, 137), category == 0 ? 120 : category == 1 ? 3500 : 100, cls->speed);
  SetFormatted(Id(form, 237), "%d km/h", cls->speed);
  const int32_t ratingMax = category == 2 ? 240 : 60;
  for (int i = 0; i < 8; ++i) {
    SlideBarControl* bar = IdAs<SlideBarControl>(form, 140 + i);
    if (!bar) continue;
    const int32_t shown = RatingShown(Rating(*cls, i));
    SetBarInt(bar, ratingMax, shown);
    SetFormatted(Id(form, 240 + i), "%d", shown);
    if (Rating(*cls, i) == 0) {
      SetControlText(Id(form, 340 + i), "n/a");
    } else {
      SetFormatted(Id(form, 340 + i), "%d km", WholeFigure(UnitAttackRange(*cls, unit, i)));
    }
  }
  SetHidden(Id(form, 47), category == 0);
  SetHidden(Id(form, 58), category != 0);
  if (SlideBarControl* bar = IdAs<SlideBarControl>(form, 147); bar && category == 0) {
    SetBarInt(bar, RatingCurveMaximum(*bar), Rating(*cls, 12));
    SetFormatted(Id(form, 247), "%d", Rating(*cls, 12));
    SetControlText(Id(form, 347), "");
  }
  for (int i : {9, 10}) {
    SlideBarControl* bar = IdAs<SlideBarControl>(form, 139 + i);
    if (!bar) continue;
    SetBarInt(bar, RatingCurveMaximum(*bar), RatingShown(Rating(*cls, i)));
    SetFormatted(Id(form, 239 + i), "%d", RatingShown(Rating(*cls, i)));
  }
  for (int i = 16; i <= 20; ++i) {
    SlideBarControl* bar = IdAs<SlideBarControl>(form, 134 + i);
    if (!bar) continue;
    SetBarInt(bar, ratingMax, RatingShown(Rating(*cls, i)));
    SetFormatted(Id(form, 234 + i), "%d", RatingShown(Rating(*cls, i)));
  }
  ShowNumbersOrBars(form);
}

void UnitClassStatsPopup::OnOpen() {
  unitId = id > 0 ? static_cast<uint32_t>(id) : 0;
  if (unitId == 0) return;
  plat::CriticalSectionLock lock(g_simulationLock);
  if (const UnitRecord* unit = FindUnitById(g_world, unitId)) classIndex = unit->classIndex;
}

void UnitClassStatsPopup::Refresh() {
  if (!currentForm) return;
  plat::CriticalSectionLock lock(g_simulationLock);
  const UnitRecord* unit = unitId ? FindUnitById(g_world, unitId) : nullptr;
  if (unit && (unit->unitFlags & kUnitGone)) unit = nullptr;
  const UnitClassRecord* cls = ClassRecordAt(g_world, unit ? unit->classIndex : classIndex);
  FillUnitPerformance(currentForm, cls, unit);
}

void UnitClassStatsPopup::OnCommand(Control*, int32_t commandId) { FlipStrengthRowsOnCommand(commandId); }

BuildProgress UnitBuildProgress(const UnitClassRecord& cls, float sizeFactor, float daysLeft) {
  const float f = sizeFactor < 1.0f ? std::sqrt(std::max(sizeFactor, 0.0f)) : sizeFactor;
  BuildProgress p;
  p.total = static_cast<float>(cls.strengthPerSize) * cls.buildWorkPerPoint * f + 1.0f;
  p.elapsed = p.total - daysLeft;
  return p;
}

namespace {

class UnitProgressPanel : public Screen {
 public:
  UnitProgressPanel() : Screen("POPUP_MILITARY3B") {}
  void Refresh() override {
    if (!currentForm) return;
    plat::CriticalSectionLock lock(g_simulationLock);
    const UnitRecord* unit = id > 0 ? FindUnitById(g_world, static_cast<uint32_t>(id)) : nullptr;
    const UnitClassRecord* cls = unit ? ClassRecordAt(g_world, unit->classIndex) : nullptr;
    if (!cls) return;
    const BuildProgress p = UnitBuildProgress(*cls, unit->targetStrength, unit->buildWork);
    SetBarFloat(dynamic_cast<SlideBarControl*>(FormFindControlByTag(currentForm, "PROGBAR")), p.total, p.elapsed);
    SetControlText(FormFindControlByTag(currentForm, "TURNS"), FormatDuration(unit->buildWork).c_str());
  }
};

}  // namespace

std::unique_ptr<Screen> MakeUnitProgressPanel() { return std::make_unique<UnitProgressPanel>(); }
