#pragma once
// The unit rows of the unit lists, the templates every row of such a list is
// drawn with, its unit's id as the key. MILITARY_PROGRESS: the class badge
// and the unit's name, then a build bar while the unit is built, else its
// strength bar coloured by readiness and the mark of what it carries.
// MISSILE_PROGRESS: a missile stock's badges, count and name, its build bar
// while built, else the mark of a target when it has one.
// Window thread; the row reads the world under the simulation lock.
#include <cstdint>

#include "platform/window.h"
#include "screens/common/units/progress_row_controls.h"
#include "ui/screen.h"

class Control;
class SlideBarControl;
struct UnitClassRecord;
struct UnitRecord;
struct World;

// How ready a unit is, as its strength bar's colour: green when ready,
// turning red as its morale, efficiency, ammunition (against what it can
// hold beside its cargo) and fuel run short.
uint32_t ReadinessColour(const World& world, const UnitRecord& unit, const UnitClassRecord& cls);

// What a unit's row marks it as carrying: missiles before cargo; a unit
// carried itself shows no cargo of its own.
enum class CargoMark { kNone, kCargo, kMissiles };
CargoMark CargoMarkOf(const World& world, const UnitRecord& unit);

class UnitProgressRow : public Screen {
 public:
  UnitProgressRow() : Screen("MILITARY_PROGRESS") {}
  void BindControls() override;
  void OnOpen() override;
  void Refresh() override;
  // Code 99: the host row's width. A row too narrow for the name past the
  // badge shows the name alone, from the row's left end, with its bar under
  // it.
  void OnHostNotify(int32_t code, int32_t value) override;

  // The badge row it shows in "CLASSPAR" (one of the set's MILITARY_SCLASS
  // rows, given when the set is built).
  Screen* classRow = nullptr;

 private:
  ProgressRowControls c_;
  // The form's own places of what a narrow row moves.
  plat::Rect strengthRect_{};
  int32_t iconLeft_ = 0, progressLeft_ = 0;
};

inline constexpr const char* kMissileProgressTags[] = {"CLASSPAR", "CLASSPAR2", "PROGBAR", "TARGICON", "UNITPIC"};
inline constexpr int32_t kMissileProgressIds[] = {2};

class MissileProgressRow : public Screen {
 public:
  MissileProgressRow()
      : Screen("MISSILE_PROGRESS", FormLookups{.tags = kMissileProgressTags, .ids = kMissileProgressIds}) {}
  void BindControls() override;
  void OnOpen() override;
  void Refresh() override;
  // Code 99: the host row's width. A row too narrow for the count and name
  // past the badges shows them alone, from the row's left end.
  void OnHostNotify(int32_t code, int32_t value) override;

  // The badge rows it shows in "CLASSPAR" (MILITARY_SCLASS) and "CLASSPAR2"
  // (MISSILE_SCLASS), given when the set is built.
  Screen* classRow = nullptr;
  Screen* carrierRow = nullptr;

 private:
  Control* nameText_ = nullptr;
  SlideBarControl* progressBar_ = nullptr;
  Control* targetIcon_ = nullptr;
  // The class picture at the row's right end, shown with the pictured-list
  // option as the class rows show theirs.
  Control* picture_ = nullptr;
  int32_t targetIconLeft_ = 0, progressLeft_ = 0;
};
