#pragma once
// The class rows: small forms shown inside another screen's form, or as the
// template of list rows, with a key as their id. UnitClassRow (MILITARY_CLASS,
// also MILITARY_SCLASS) shows one icon with its name: a class group (0-199,
// icon 100 + group), a technology category (negative, icon 10 + category) or
// a badge by its own id (200 and up). MissileClassRow (MISSILE_CLASS, also
// MISSILE_SCLASS) shows one of the carrier badges 300-303.
#include "ui/screen.h"

class UnitClassRow : public Screen {
 public:
  explicit UnitClassRow(const char* formName = "MILITARY_CLASS") : Screen(formName) {}
  void OnOpen() override;
};

class MissileClassRow : public Screen {
 public:
  explicit MissileClassRow(const char* formName = "MISSILE_CLASS") : Screen(formName) {}
  void OnOpen() override;
};
