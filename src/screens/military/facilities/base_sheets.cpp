#include "screens/military/facilities/base_sheets.h"

#include <algorithm>
#include <cstdio>

#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "screens/common/units/orders_summary.h"
#include "screens/common/units/unit_header.h"
#include "screens/common/units/strength_rows.h"
#include "screens/military/units/unit_performance.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "ui/slide_bar.h"
#include "ui/string_control.h"
#include "units/unit_queries.h"
#include "world/id_lookups.h"
#include "world/text/ui_options.h"
#include "world/unit_class.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

constexpr float kRangeLimit = 200.0f;
constexpr int32_t kRatingMax = 60;
constexpr int32_t kSeaRatingMax = 240;
constexpr int kSea = 2;

float ScaledSight(const UnitClassRecord& cls) {
  plat::CriticalSectionLock lock(g_simulationLock);
  return ShortRangeScaled(g_world, cls.sightDistance, kRangeLimit, g_world.gameState.sightRangeBoost);
}

}  // namespace

void FillUnitSpecRows(const UnitClassRecord& cls, const int32_t (&kinds)[4], Control* form) {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (!form) return;
  const int category = cls.kind;
  for (int32_t i = 0; i < 4; ++i) {
    const int32_t b = (i + 1) * 1000, kind = kinds[i];
    Control* extra = Id(form, b + 101);
    SetHidden(extra, true);
    SetHidden(Id(form, b + kind), false);
    SlideBarControl* bar = IdAs<SlideBarControl>(form, b + 102);
    Control* text = Id(form, b + 100);
    auto rating = [&](uint8_t v) {
      const int32_t shown = RatingShown(v);
      SliderSetMaxAndValueFloat(bar, static_cast<float>(kRatingMax), static_cast<float>(shown));
      SetFormatted(text, "%d", shown);
    };
    if (kind == 34) {
      const float range = ScaledSight(cls);
      SliderSetMaxAndValueFloat(bar, 100.0f, range);
      SetFormatted(text, "%d km", WholeFigure(range));
    } else if (kind == 36) {
      const float range = (cls.flags & kClassStock) ? StockRangeScaled(g_world, cls.stockRange) : cls.stockRange;
      SliderSetMaxAndValueFloat(bar, category == 1 ? 10000.0f : category == 0 ? 1000.0f : 2000.0f, range);
      SetFormatted(text, "%d km", WholeFigure(range));
    } else if (kind == 37) {
      SliderSetMaxAndValueFloat(bar, category == 1 ? 3500.0f : category == 0 ? 120.0f : 100.0f, static_cast<float>(cls.speed));
      SetFormatted(text, "%d km/h", cls.speed);
    } else if (kind == 39) {
      SliderSetMaxAndValueFloat(bar, 250.0f, static_cast<float>(cls.slotSize));
      SetFormatted(text, "%d", cls.slotSize);
    } else if (kind >= 40 && kind <= 47) {
      const int32_t attack = kind - 40;
      rating(cls.attackValues[attack]);
      SetHidden(extra, false);
      if (cls.attackValues[attack] == 0) {
        SetControlText(extra, "n/a");
      } else {
        SetFormatted(extra, "%d km", WholeFigure(UnitAttackRange(cls, nullptr, attack)));
      }
    } else if (kind >= 50 && kind <= 53) {
      rating(cls.defenceValues[kind - 50]);
    } else if (kind == 54) {
      rating(static_cast<uint8_t>(std::min<uint16_t>(cls.spotValue, 255)));
    } else if (kind == 99) {
      SliderSetMaxAndValueFloat(bar, 15.0f, cls.carryCapacity);
      SetFormatted(text, "%d", WholeFigure(cls.carryCapacity));
    } else {
      continue;
    }
    ApplySpecView(bar, text, Id(form, b + 900));
  }
}

void BaseSheet::OnOpen() {
  unitId = id > 0 ? static_cast<uint32_t>(id) : 0;
  plat::CriticalSectionLock lock(g_simulationLock);
  if (const UnitRecord* unit = unitId ? FindUnitById(g_world, unitId) : nullptr) classIndex = unit->classIndex;
}

void BaseSheet::Refresh() {
  if (!currentForm) return;
  plat::CriticalSectionLock lock(g_simulationLock);
  const UnitRecord* unit = unitId ? FindUnitById(g_world, unitId) : nullptr;
  // A unit that is gone keeps its record a while; the sheet then shows its
  // class, as the unit's own class sheet does.
  if (unit && (unit->unitFlags & kUnitGone)) unit = nullptr;
  const UnitClassRecord* cls = ClassRecordAt(g_world, unit ? unit->classIndex : classIndex);
  if (!cls) return;
  Fill(unit, *cls);
  ShowNumbersOrBars(currentForm);
}

namespace {

class BasePopup2 : public BaseSheet {
 public:
  BasePopup2() : BaseSheet("POPUP_BASE2", FormLookups{.tags = {}, .ids = kIds}) {}

 protected:
  void Fill(const UnitRecord* unit, const UnitClassRecord& cls) override {
    plat::CriticalSectionLock lock(g_simulationLock);
    float maximum = static_cast<float>(cls.strengthPerSize) * cls.ammoCapacity, value = maximum;
    if (unit) {
      maximum = std::max(AmmunitionRoomOf(g_world, *unit, cls).capacity, 0.0f);
      value = unit->ammo;
    }
    SliderSetMaxAndValueFloat(IdAs<SlideBarControl>(currentForm, 131), maximum, value);
    SetFormatted(Id(currentForm, 231), "%d", WholeFigure(value));
    SetFormatted(Id(currentForm, 331), "%d", WholeFigure(maximum));
    const float range = ScaledSight(cls);
    SliderSetMaxAndValueFloat(IdAs<SlideBarControl>(currentForm, 134), 100.0f, range);
    SetFormatted(Id(currentForm, 234), "%d km", WholeFigure(range));
  }

 private:
  static constexpr int32_t kIds[] = {131, 231, 331, 134, 234};
};

class BasePopup3 : public BaseSheet {
 public:
  BasePopup3() : BaseSheet("POPUP_BASE3", FormLookups{.tags = kTags, .ids = kIds}) {}

 protected:
  void Fill(const UnitRecord* unit, const UnitClassRecord& cls) override {
    const float maximum = static_cast<float>(cls.kind == kSea ? kSeaRatingMax : kRatingMax);
    bool armed = false;
    for (int32_t i = 0; i < 8; ++i) {
      armed = armed || cls.attackValues[i] != 0;
      const int32_t shown = RatingShown(cls.attackValues[i]);
      SliderSetMaxAndValueFloat(IdAs<SlideBarControl>(currentForm, 140 + i), maximum, static_cast<float>(shown));
      SetFormatted(Id(currentForm, 240 + i), "%d", shown);
      if (cls.attackValues[i] == 0) {
        SetControlText(Id(currentForm, 340 + i), "n/a");
      } else {
        SetFormatted(Id(currentForm, 340 + i), "%d km", WholeFigure(UnitAttackRange(cls, unit, i)));
      }
    }
    // Eight noughts read as a fault; a class that cannot strike says so.
    SetHidden(Tag(currentForm, "UNARMED"), armed);
  }

 private:
  static constexpr const char* kTags[] = {"UNARMED"};
  static constexpr int32_t kIds[] = {140, 141, 142, 143, 144, 145, 146, 147, 240, 241, 242,
                                     243, 244, 245, 246, 247, 340, 341, 342, 343, 344, 345, 346, 347};
};

}  // namespace

std::unique_ptr<Screen> MakeBasePopup2() { return std::make_unique<BasePopup2>(); }
std::unique_ptr<Screen> MakeBasePopup3() { return std::make_unique<BasePopup3>(); }
