#include "screens/military/units/unit_picture_panel.h"

#include "screens/military/facilities/base_sheets.h"
#include "screens/common/units/unit_header.h"
#include "screens/common/units/unit_sheets.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/screen_manager.h"
#include "world/data_tables.h"
#include "world/text/ui_options.h"
#include "world/unit_class.h"
#include "world/world.h"

InfoChoiceTable g_infoChoices;

namespace {

// The figures the specification variant of the form leaves out.
constexpr int32_t kFullFigureIds[] = {1034, 1036, 1040, 1041, 1042, 2040, 2041, 2042, 2043, 2046,
                                      2050, 2099, 3041, 3044, 3036, 3047, 3046, 3050, 3054, 4052,
                                      4037, 4053, 4039, 4045, 4043, 4099, 4046, 4042, 4034};
constexpr int32_t kSpecVariantId = 1100;
constexpr int32_t kNoSpecBoxType = 22;
constexpr int32_t kFirstChoice = 1000, kEndChoice = 5000;

}  // namespace

bool UnitSpecItems(int32_t type, std::array<int32_t, 4>& items) {
  switch (type) {
    case 0: items = {40, 41, 54, 53}; return true;
    case 1: items = {34, 41, 36, 37}; return true;
    case 2: items = {40, 41, 50, 52}; return true;
    case 4: items = {40, 41, 46, 39}; return true;
    case 5: items = {34, 43, 44, 45}; return true;
    case 6: case 13: case 14: case 16: case 19: case 21: items = {34, 99, 36, 37}; return true;
    case 7: items = {40, 41, 47, 99}; return true;
    case 8: items = {42, 40, 41, 46}; return true;
    case 9: items = {34, 43, 44, 39}; return true;
    case 10: items = {40, 41, 44, 39}; return true;
    case 11: items = {40, 41, 36, 34}; return true;
    case 12: items = {40, 41, 36, 39}; return true;
    case 15: case 17: case 18: items = {34, 46, 47, 39}; return true;
    case kNoSpecBoxType: return false;
    case 23: items = {36, 40, 41, 42}; return true;
    default: items = {41, 50, 36, 37}; return true;  // 3, 20 and the types past the table
  }
}

void UnitPicturePanel::OnOpen() {
  Control* form = currentForm;
  specViewShown = g_uiOptions.buishowspecsliders;
  if (!form) return;
  plat::CriticalSectionLock lock(g_simulationLock);
  const UnitClassRecord* cls = ClassRecordAt(g_world, static_cast<int32_t>(id));
  if (!cls) return;
  FillUnitClassHeader(form, *cls, classRow, secondRow);
  if (Control* picture = FormFindControlByTag(form, "UNITPIC")) {
    SetHidden(picture, false);
    DrawUnitPicture(form, *cls, nullptr, -1, 1);
  }
  if (!FormFindControlById(form, kSpecVariantId)) return;
  for (int32_t hidden : kFullFigureIds) SetHidden(FormFindControlById(form, hidden), true);
  std::array<int32_t, 4> items{};
  if (!UnitSpecItems(cls->typeByte, items)) return;
  const int32_t kinds[4] = {items[0], items[1], items[2], items[3]};
  FillUnitSpecRows(*cls, kinds, form);
}

void UnitPicturePanel::Refresh() {
  if (specViewShown != g_uiOptions.buishowspecsliders) OnOpen();
}

void UnitPicturePanel::OnCommand(Control*, int32_t controlId) {
  if (controlId >= kFirstViewSwitch && controlId <= kLastViewSwitch) {
    g_uiOptions.buishowspecsliders = g_uiOptions.buishowspecsliders ? 0 : 1;
    RequestFullRefresh(g_ui);
    return;
  }
  if (controlId < kFirstChoice || controlId >= kEndChoice) return;
  const int32_t entry = g_infoChoices.current;
  if (entry < 0 || entry >= static_cast<int32_t>(g_infoChoices.chosen.size())) return;
  g_infoChoices.chosen[static_cast<size_t>(entry)] = controlId;
  Screen* owner = host ? host->owner : nullptr;
  if (owner && owner != this) owner->Refresh();
}
