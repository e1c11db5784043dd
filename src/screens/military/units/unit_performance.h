#pragma once
// The performance sheet of a unit class, or of one unit of it: a column of
// rows, each a bar, a value text and for most a maximum or range, shown as
// bars or as numbers by one interface-wide switch. And the construction
// progress of a unit being built. Window thread; the fills run under the
// simulation lock.
#include <cstdint>
#include <memory>

#include "ui/screen.h"

class Control;
struct UnitClassRecord;
struct UnitRecord;
struct World;

// A rating byte as the sheet shows it: above 150 it grows with the square.
int32_t RatingShown(uint8_t rating);
// Ranges below the limit are stretched by scale, falling to 1 at the limit,
// and given the game's addend; the scenario may switch the stretch off.
float ShortRangeScaled(const World& world, float range, float limit, float scale);
// A stock class's main range below 1,000 km, stretched the same way.
float StockRangeScaled(const World& world, float range);

// The range an attack value reaches: the stock range for a stock class,
// else the range of its kind, stretched and, for long-range classes, scaled
// by the owner's factor (the local player's for a design). Call under the
// simulation lock.
float UnitAttackRange(const UnitClassRecord& cls, const UnitRecord* unit, int32_t attack);

// Every row of the sheet the form carries, for the class and, where one is
// given, the unit of it. No class leaves the form as it is.
void FillUnitPerformance(Control* form, const UnitClassRecord* cls, const UnitRecord* unit);

// POPUP_MILITARY3, also POPUP_MISSILE_SS2. Shown with a unit id it shows
// that unit; with 0 the class its owner set.
class UnitClassStatsPopup : public Screen {
 public:
  explicit UnitClassStatsPopup(const char* formName = "POPUP_MILITARY3") : Screen(formName) {}
  void OnOpen() override;
  void Refresh() override;
  void OnCommand(Control* control, int32_t id) override;

  int32_t classIndex = 0;
  uint32_t unitId = 0;
};

// POPUP_MILITARY3B: how far the unit of its id has been built.
std::unique_ptr<Screen> MakeUnitProgressPanel();

// The build time of a unit being built and how much of it has passed: a
// size factor below 1 counts as its square root.
struct BuildProgress {
  float total = 0.0f;
  float elapsed = 0.0f;
};
BuildProgress UnitBuildProgress(const UnitClassRecord& cls, float sizeFactor, float daysLeft);
