#include "screens/military/unit_row.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "app/duration_text.h"
#include "screens/military/unit_header.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "world/unit_class.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

constexpr int32_t kFirstRowIcon = 30, kLastRowIcon = 37;
// Icon 32 belongs to the form: the row leaves it as the form has it.
constexpr int32_t kFormOwnedRowIcon = 32;
constexpr int32_t kLongRangeIcon = 10, kAirLiftIcon = 6, kAmphibiousIcon = 5;
constexpr int32_t kChemicalIcon = 206, kNuclearIcon = 205;
// The frame the rows show the class picture in, turned but not turning.
constexpr int32_t kRowPictureFrame = 9;

void SetTextf(Control* control, const char* format, int32_t value) {
  char text[32];
  std::snprintf(text, sizeof text, format, value);
  SetControlText(control, text);
}

void ShowIf(Control* form, int32_t id, bool shown) { SetHidden(FormFindControlById(form, id), !shown); }

}  // namespace

int32_t UnitRowIcon(const UnitClassRecord& cls) { return kFirstRowIcon + cls.movementType; }

void UnitRow::BindControls() {
  Control* f = currentForm;
  nameText_ = f ? FormFindControlByTag(f, "UNAME") : nullptr;
  strengthText_ = f ? FormFindControlByTag(f, "USTR") : nullptr;
  daysText_ = f ? FormFindControlByTag(f, "UDAYS") : nullptr;
}

void UnitRow::OnOpen() {
  Control* form = currentForm;
  if (!form) return;
  plat::CriticalSectionLock lock(g_simulationLock);
  const UnitClassRecord* cls = ClassRecordAt(g_world, static_cast<int32_t>(id));
  if (!cls) return;
  DrawUnitPicture(form, *cls, nullptr, kRowPictureFrame, 0);
  SetControlText(nameText_, std::string(cls->name, strnlen(cls->name, sizeof cls->name)).c_str());
  const bool stock = (cls->flags & kClassStock) != 0;
  if (stock) {
    SetTextf(strengthText_, "Size %d", cls->slotSize);
  } else {
    SetTextf(strengthText_, "Str %d", cls->strengthPerSize);
  }
  const float days = static_cast<float>(cls->strengthPerSize) * cls->buildWorkPerPoint + 1.0f;
  SetControlText(daysText_, FormatDuration(days).c_str());
  const int32_t icon = UnitRowIcon(*cls);
  for (int32_t i = kFirstRowIcon; i <= kLastRowIcon; ++i)
    if (i != kFormOwnedRowIcon) ShowIf(form, i, i == icon);
  // A template row draws every class in turn: each mark is set both ways so
  // none stays from the class drawn before.
  const uint32_t f = cls->flags;
  ShowIf(form, kLongRangeIcon, (f & kClassLongRange) != 0);
  ShowIf(form, kAirLiftIcon, (f & kClassFreeAirLift) != 0);
  ShowIf(form, kAmphibiousIcon, !(f & kClassFreeAirLift) && (f & kClassAmphibious));
  ShowIf(form, kChemicalIcon, stock && (f & kClassSpecialImmune));
  ShowIf(form, kNuclearIcon, stock && (f & (kClassSpecialWeaponA | kClassSpecialWeaponB)));
}

void UnitRow::OnHostNotify(int32_t code, int32_t width) {
  if (code != 99 || !currentForm) return;
  currentForm->rect.right = width;
  if (nameText_) nameText_->rect.right = width;
}
