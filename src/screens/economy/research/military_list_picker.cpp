#include "screens/economy/research/military_list_picker.h"

#include "screens/economy/policy/policy_figures.h"
#include "screens/economy/research/tech_category_lists.h"
#include "screens/common/frame/side_bars.h"
#include "screens/screen_set.h"
#include "ui/control.h"
#include "ui/list_control.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"

namespace {

}  // namespace

void MilitaryListPicker::BindControls() {
  DockInSecondBotbar2(*this);
  list = MakeListBox("LIST2", 0, currentForm, kListIndicators, this);
}

void MilitaryListPicker::OnOpen() {
  // Only as the department's docked page; hosted elsewhere the host opens.
  const Control* host = DockHost(g_screens, 3);
  if (host && currentForm && currentForm->parent == host) ScreenSlotSelectMapMode(g_screens);
}

void MilitaryListPicker::Refresh() { ShowTechCategory(currentForm, list, false); }

void MilitaryListPicker::OnCommand(Control* control, int32_t controlId) {
  if (PressTechCategory(*this, g_screens.techDetail.currentForm, controlId)) return;
  if (Is(control, "OKBUT")) g_screens.researchFunding.Show(kKeepScreenId, nullptr);
}

void MilitaryListPicker::OnActivate(Control* control, int32_t) {
  if (!control || control != list) return;
  if (const intptr_t tech = list->selectedValue; tech != 0) g_screens.techPopup.Popup(tech, nullptr);
}
