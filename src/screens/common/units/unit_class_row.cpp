#include "screens/common/units/unit_class_row.h"

#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "world/text/text_lists.h"

namespace {

// Every group icon the "milclass" list can name, so a template row never
// keeps the icon of the row drawn before it.
constexpr int32_t kGroupIcons = 100, kLastGroupIcon = 125;
constexpr int32_t kCategoryIcons = 10, kLastCategoryIcon = 16;
constexpr int32_t kFirstBadge = 200, kLastBadge = 206;
constexpr int32_t kFirstCarrierBadge = 300, kLastCarrierBadge = 303;

void HideRange(Control* form, int32_t first, int32_t last) {
  for (int32_t id = first; id <= last; ++id) SetHidden(FormFindControlById(form, id), true);
}

void ShowWithText(Control* control, const char* text) {
  if (!control) return;
  SetHidden(control, false);
  if (text) SetControlText(control, text);
}

}  // namespace

void UnitClassRow::OnOpen() {
  Control* form = currentForm;
  if (!form) return;
  HideRange(form, kGroupIcons, kLastGroupIcon);
  HideRange(form, kCategoryIcons, kLastCategoryIcon);
  HideRange(form, kFirstBadge, kLastBadge);
  const intptr_t v = id;
  if (v >= kFirstBadge) {
    if (v <= kLastBadge) SetHidden(FormFindControlById(form, static_cast<int32_t>(v)), false);
  } else if (v >= 0) {
    const int32_t group = static_cast<int32_t>(v);
    ShowWithText(FormFindControlById(form, kGroupIcons + group), TextListText(kListMilclass, group));
  } else if (v >= kCategoryIcons - kLastCategoryIcon) {
    const int32_t category = static_cast<int32_t>(-v);
    ShowWithText(FormFindControlById(form, kCategoryIcons + category), TextListText(kListTechcategory, category));
  }
}

void MissileClassRow::OnOpen() {
  Control* form = currentForm;
  if (!form) return;
  HideRange(form, kFirstCarrierBadge, kLastCarrierBadge);
  if (id >= kFirstCarrierBadge && id <= kLastCarrierBadge)
    SetHidden(FormFindControlById(form, static_cast<int32_t>(id)), false);
}
