#pragma once
// The unit inventory's build list (MILITARY1_ss4a): the classes the player
// can order, by the category of the pressed radio button and optionally
// only the weapons of mass destruction, over the shared build list. Docks
// at the third level. Window thread.
#include <cstdint>

#include "screens/common/units/build_lists.h"
#include "ui/screen.h"

class ListBoxControl;

// The category buttons: ids 201 to 204 give categories 1 to 4; none
// pressed, 0.
inline constexpr int32_t kClassListCategoryButtons[] = {201, 202, 203, 204};

inline constexpr const char* kUnitClassListTags[] = {"LIST5", "STATPARENT", "AUTOBUT", "CONTBUT", "WMDFILTER"};

class UnitClassListPanel : public Screen {
 public:
  UnitClassListPanel()
      : Screen("MILITARY1_ss4a", FormLookups{.tags = kUnitClassListTags, .ids = kClassListCategoryButtons}) {}
  void BindControls() override;
  // Starts with no class chosen.
  void OnOpen() override;
  void Refresh() override;
  void OnCommand(Control* control, int32_t id) override;
  void OnActivate(Control* control, int32_t id) override;
  void OnControlChange(Control* control, int32_t id) override;

  // The list kind handed to the shared list: 1, or 2 with the weapons
  // filter on; the refresh takes 3 for 2.
  static int32_t Kind();

  BuildListState state;
  ListBoxControl* list = nullptr;
  Control* statParent = nullptr;
};
