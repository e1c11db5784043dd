#include "screens/military/inventory/unit_class_list_panel.h"

#include "screens/common/facilities/object_popups.h"
#include "screens/common/units/build_lists.h"
#include "screens/military/production/production_lists.h"
#include "screens/screen_set.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/panel_vocabulary.h"
#include "world/text/ui_options.h"

namespace {

constexpr int32_t kRefreshFiltered = 3;

bool Pressed(Control* form, int32_t id) {
  const Control* c = form ? (form->id == id ? form : FormFindControlById(form, id)) : nullptr;
  return c && c->Selected();
}

}  // namespace

int32_t UnitClassListPanel::Kind() { return g_uiOptions.bfiltershownbc ? 2 : 1; }

void UnitClassListPanel::BindControls() {
  BindDockedBuildList(*this, state, list, statParent);
}

void UnitClassListPanel::OnOpen() {
  OpenDockedBuildList(currentForm, state, Kind(), nullptr);
  ScreenSlotSelectMapMode(g_screens);
}

void UnitClassListPanel::Refresh() {
  SetControlFlag(Tag(currentForm, "WMDFILTER"), kStateSelected, g_uiOptions.bfiltershownbc ? 1 : 0);
  state.category = 0;
  for (int32_t i = 0; i < 4; ++i) {
    if (!Pressed(currentForm, kClassListCategoryButtons[i])) continue;
    state.category = i + 1;
    break;
  }
  FillBuildList(currentForm, state, 0, g_uiOptions.bfiltershownbc ? kRefreshFiltered : 1);
}

void UnitClassListPanel::OnCommand(Control* control, int32_t controlId) {
  if (!control) return;
  // The filter is the player's option, kept with the other options.
  if (ControlTagMatches(control->tag, "WMDFILTER")) g_uiOptions.bfiltershownbc = control->Selected() ? 1 : 0;
  const int32_t value = control == list ? static_cast<int32_t>(list->selectedValue) : controlId;
  OnBuildListCommand(currentForm, state, SelectedHexCell(), control, value, &g_screens.unitInventory, this);
  Refresh();
}

void UnitClassListPanel::OnActivate(Control* control, int32_t) {
  if (!control || control != list) return;
  if (const intptr_t item = list->selectedValue; item != 0) g_screens.unitBuild.Popup(item, &BuildListClasses());
}

void UnitClassListPanel::OnControlChange(Control* control, int32_t) {
  const intptr_t value = control && control == list ? list->selectedValue : 0;
  OnBuildListChange(control, currentForm, state, value,
                    BuildListChange{.listMode = Kind(), .detailsParent = statParent});
}
