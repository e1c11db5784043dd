#include "screens/military/units/unit_row.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>

#include "app/duration_text.h"
#include "screens/common/units/unit_header.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "ui/text_fit.h"
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
// The icons of the row's icon line, in the form's order from the left.
constexpr int32_t kPackedIcons[] = {30, 31, 32, 33, 34, 35, 36, 37, 10, 6, 5, 205, 206};
static_assert(std::size(kPackedIcons) == UnitRow::kIconCount);
constexpr int32_t kFigureGap = 4;
constexpr int32_t kNarrowestPicture = 32;
// The room a class name needs beside the picture (the sample's longest read
// about 95 pixels); a row that cannot give it puts the name on a line of
// its own.
constexpr int32_t kNameRoom = 100;
constexpr int32_t kIconStep = 11;

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
  // The form's own places, which each row's fitting starts from again.
  pictures_[0] = f ? FormFindControlByTag(f, "UNITPIC") : nullptr;
  pictures_[1] = f ? FormFindControlByTag(f, "UNITPICT") : nullptr;
  for (int i = 0; i < 2; ++i)
    if (pictures_[i]) pictureRects_[i] = pictures_[i]->rect;
  if (nameText_) nameLeft_ = nameText_->rect.left, nameTop_ = nameText_->rect.top, nameBottom_ = nameText_->rect.bottom;
  if (strengthText_) strengthRect_ = strengthText_->rect;
  if (daysText_) daysRect_ = daysText_->rect;
  iconsPlaced_ = false;
  for (size_t i = 0; f && i < std::size(iconRects_); ++i) {
    const Control* icon = FormFindControlById(f, kPackedIcons[i]);
    iconRects_[i] = icon ? icon->rect : plat::Rect{};
    if (icon && (!iconsPlaced_ || icon->rect.left < iconsLeft_)) iconsLeft_ = icon->rect.left;
    iconsPlaced_ = iconsPlaced_ || icon;
  }
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
  // A whole unit's work and a day to start it, any part of a day whole: the
  // figure its class sheet and its build row beside the list show.
  SetControlText(daysText_,
                 FormatDuration(static_cast<float>(cls->strengthPerSize) * cls->buildWorkPerPoint + 1.0f).c_str());
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
  FitToWidth(width);
}

// A row narrower than the form keeps its figures whole rather than cut to
// read as other figures. The strength and the build time close up at the
// ends of their line; when both no longer fit, the strength takes the line
// and the build time, which the class sheet beside the list shows, is left
// out. The class's icons close up from the left of their line, in the
// form's order. A row too narrow for the name beside the picture is
// stacked instead (StackToWidth).
void UnitRow::FitToWidth(int32_t width) {
  Control* form = currentForm;
  if (iconsPlaced_)
    for (size_t i = 0; i < std::size(iconRects_); ++i)
      if (Control* icon = FormFindControlById(form, kPackedIcons[i])) icon->rect = iconRects_[i];
  if (nameText_ && width - nameLeft_ < kNameRoom) return StackToWidth(width);
  auto* strength = dynamic_cast<StringControl*>(strengthText_);
  auto* days = dynamic_cast<StringControl*>(daysText_);
  // The picture gives up room to a strength that would not fit beside it.
  int32_t shift = 0;
  for (int i = 0; i < 2; ++i)
    if (pictures_[i]) pictures_[i]->rect = pictureRects_[i];
  if (strength && pictures_[0]) {
    const int32_t need = TextWidth(strength->Font(), strength->text) + 1;
    const int32_t spare = Width(pictures_[0]) - kNarrowestPicture;
    shift = std::clamp(strengthRect_.left + need - width, 0, std::max(spare, 0));
    for (int i = 0; i < 2; ++i)
      if (pictures_[i]) pictures_[i]->rect.right -= shift;
  }
  if (nameText_) nameText_->rect.left = nameLeft_ - shift;
  if (strength && days) {
    strength->rect = strengthRect_;
    strength->rect.left -= shift;
    days->rect = daysRect_;
    SetHidden(days, false);
    if (daysRect_.right > width) {
      const int32_t need = TextWidth(strength->Font(), strength->text) + 1;
      const int32_t needDays = TextWidth(days->Font(), days->text) + 1;
      const int32_t left = strength->rect.left;
      if (left + need + kFigureGap + needDays <= width) {
        strength->rect.right = left + need;
        days->rect.left = width - needDays;
        days->rect.right = width;
      } else {
        strength->rect.right = width;
        SetHidden(days, true);
      }
    }
  }
  if (!iconsPlaced_) return;
  bool narrow = false;
  for (const plat::Rect& r : iconRects_) narrow = narrow || r.right > width;
  int32_t x = iconsLeft_ - shift;
  for (size_t i = 0; i < std::size(iconRects_); ++i) {
    Control* icon = FormFindControlById(form, kPackedIcons[i]);
    if (!icon) continue;
    icon->rect = iconRects_[i];
    if ((!narrow && !shift) || icon->Hidden()) continue;
    RectMoveTo(&icon->rect, x, iconRects_[i].top);
    x = icon->rect.right + 1;
  }
}

// A row too narrow for the name beside the picture gives the name the top
// line whole; below it the picture, as wide as its frames are for that
// height unless the figures need the room, with the strength and the build
// time on two lines beside it. The class's icons close up at the right end
// of the first of the three lines that has room for all of them; with none,
// they are left out (the class sheet beside the list shows the class).
void UnitRow::StackToWidth(int32_t width) {
  Control* form = currentForm;
  auto* name = dynamic_cast<StringControl*>(nameText_);
  auto* strength = dynamic_cast<StringControl*>(strengthText_);
  auto* days = dynamic_cast<StringControl*>(daysText_);
  const int32_t bottom = Height(form);
  const int32_t lineHeight = nameBottom_ - nameTop_;
  nameText_->rect = {0, nameTop_, width, nameBottom_};
  const int32_t top = nameBottom_ + 1;
  auto need = [](const StringControl* t) { return t ? TextWidth(t->Font(), t->text) + 1 : 0; };
  const int32_t figures = std::max(need(strength), need(days));
  const int32_t framesWidth = std::max(2 * (bottom - top), kNarrowestPicture);
  const int32_t picture = std::clamp(width - kFigureGap - figures, kNarrowestPicture, framesWidth);
  for (Control* p : pictures_)
    if (p) p->rect = {0, top, picture, bottom};
  const int32_t left = picture + kFigureGap;
  if (strengthText_) strengthText_->rect = {left, top, width, top + lineHeight};
  if (daysText_) {
    daysText_->rect = {left, top + lineHeight + 1, width, top + 2 * lineHeight + 1};
    SetHidden(daysText_, false);
  }
  if (!iconsPlaced_) return;
  int32_t shown = 0;
  for (int32_t id : kPackedIcons)
    if (const Control* icon = FormFindControlById(form, id); icon && !icon->Hidden()) ++shown;
  const int32_t icons = shown * kIconStep - 1;
  // Each line's text end and top, the name's first.
  const struct {
    int32_t end, top;
  } lines[] = {{need(name), nameTop_}, {left + need(strength), top}, {left + need(days), top + lineHeight + 1}};
  int32_t line = -1;
  for (int32_t i = 0; i < 3 && line < 0; ++i)
    if (lines[i].end + kFigureGap + icons <= width) line = i;
  int32_t x = width - icons;
  for (int32_t id : kPackedIcons) {
    Control* icon = FormFindControlById(form, id);
    if (!icon || icon->Hidden()) continue;
    if (line < 0) {
      SetHidden(icon, true);
      continue;
    }
    RectMoveTo(&icon->rect, x, lines[line].top + (lineHeight - Height(icon)) / 2);
    x += kIconStep;
  }
}
