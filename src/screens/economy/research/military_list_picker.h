#pragma once
// The technology list picker of the military department (MILITARY1_ss7):
// six category buttons, kept in step with those of the technology list
// page, over the category's technologies; a double click opens the
// technology's pop-up. Posts nothing. Window thread.
#include <cstdint>

#include "screens/common/screen_types_fwd.h"
#include "screens/economy/research/tech_list_panels.h"
#include "ui/screen.h"

inline constexpr const char* kListPickerTags[] = {"LIST2", "OKBUT"};

class MilitaryListPicker : public Screen {
 public:
  MilitaryListPicker() : Screen("MILITARY1_ss7", FormLookups{.tags = kListPickerTags, .ids = kTechCategoryIds}) {}
  void BindControls() override;
  void OnOpen() override;
  void Refresh() override;
  void OnCommand(Control* control, int32_t id) override;
  void OnActivate(Control* control, int32_t id) override;

  ListBoxControl* list = nullptr;  // LIST2
};
