#pragma once
// The unit row of the unit lists (MILITARY_PROGRESS), the template every row
// of such a list is drawn with, its unit's id as the key: the class badge and
// the unit's name, then a build bar while the unit is built, else its
// strength bar coloured by readiness and the mark of what it carries.
// Window thread; the row reads the world under the simulation lock.
#include <cstdint>

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

class UnitProgressRow : public Screen {
 public:
  UnitProgressRow() : Screen("MILITARY_PROGRESS") {}
  void BindControls() override;
  void OnOpen() override;
  void Refresh() override;
  // Code 99: the host row's width.
  void OnHostNotify(int32_t code, int32_t value) override;

  // The badge row it shows in "CLASSPAR" (one of the set's MILITARY_SCLASS
  // rows, given when the set is built).
  Screen* classRow = nullptr;

 private:
  Control* nameText_ = nullptr;
  SlideBarControl* progressBar_ = nullptr;
  SlideBarControl* strengthBar_ = nullptr;
  Control* icons_[4] = {};  // cargo, missiles, research, landed
};
