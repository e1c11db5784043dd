#pragma once
// The build list (MAP1_ss1): the facility types the local player may build,
// on five pages picked by tab buttons; a picked type starts placing it on
// the map. Docks at the second level. Window thread.
#include <cstdint>

#include "screens/common/screen_types_fwd.h"
#include "ui/screen.h"

// A row's id is its class plus this.
inline constexpr int32_t kBuildRowBase = 1000;
// The page tabs' ids.
inline constexpr int32_t kBuildPageFirst = 1;
inline constexpr int32_t kBuildPageLast = 5;
// The page the list opens on after its controls are bound.
inline constexpr int32_t kBuildPageStart = 3;

inline constexpr const char* kBuildListTags[] = {"LIST1", "CANBUT"};
inline constexpr int32_t kBuildListIds[] = {1, 2, 3, 4, 5};

// The classes of a page, in list order: pages 1 and 5 a fixed choice (those
// the table has in use, whoever may build them), 2 the settlement types, 3 the production types the
// local player may build, 4 none.
void BuildPageClasses(World& world, int32_t page, void (*add)(void* context, int32_t classIndex), void* context);

// The screen's id is the page shown (1 to 5).
class BuildListPanel : public Screen {
 public:
  BuildListPanel() : Screen("MAP1_ss1", FormLookups{.tags = kBuildListTags, .ids = kBuildListIds}) {}
  // Docks at the second level, makes the list, opens on page 3 and resets
  // the placement options (ask before building, stop after one).
  void BindControls() override;
  // Ends a placement in progress and fills the list for the page, keeping
  // its scroll and selecting no row.
  void OnOpen() override;
  // CANBUT ends placement; a tab shows its page; a row starts placing its
  // class and shows the build panel for it.
  void OnCommand(Control* control, int32_t id) override;

  ListBoxControl* list = nullptr;
};
