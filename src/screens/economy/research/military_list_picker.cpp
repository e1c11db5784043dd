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

class MilitaryListPicker : public Screen {
 public:
  MilitaryListPicker() : Screen("MILITARY1_ss7", FormLookups{.tags = kListPickerTags, .ids = kTechCategoryIds}) {}
  void BindControls() override {
    DockInSecondBotbar2(*this);
    list = MakeListBox("LIST2", 0, currentForm, kListIndicators, this);
  }
  void OnOpen() override {
    // Only as the department's docked page; hosted elsewhere the host opens.
    const Control* host = DockHost(g_screens, 3);
    if (host && currentForm && currentForm->parent == host) ScreenSlotSelectMapMode(g_screens);
  }
  void Refresh() override { ShowTechCategory(currentForm, list, false); }
  void OnCommand(Control* control, int32_t controlId) override {
    if (PressTechCategory(*this, g_screens.techDetail.currentForm, controlId)) return;
    if (Is(control, "OKBUT")) g_screens.researchFunding.Show(kKeepScreenId, nullptr);
  }
  void OnActivate(Control* control, int32_t) override {
    if (!control || control != list) return;
    if (const intptr_t tech = list->selectedValue; tech != 0) g_screens.techPopup.Popup(tech, nullptr);
  }

  ListBoxControl* list = nullptr;  // LIST2
};

}  // namespace

std::unique_ptr<Screen> MakeMilitaryListPicker() { return std::make_unique<MilitaryListPicker>(); }
