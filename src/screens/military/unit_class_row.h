#pragma once
// The class row (MILITARY_CLASS, also MILITARY_SCLASS): one class's type
// icon and name, shown inside another screen's form with the class's
// military-class number as its id. Its icon and name come with the military
// screens; until then it shows its form as it stands.
#include "ui/screen.h"

class UnitClassRow : public Screen {
 public:
  explicit UnitClassRow(const char* formName = "MILITARY_CLASS") : Screen(formName) {}
};
