#pragma once
// The military department's build page (MILITARY1_ss1c): the region's best
// base for a unit category (land, air or sea), the unit designs it can
// build and the shared build list's buttons to order them. Docks at the
// third level. Window thread; walks of the world hold the simulation lock.
#include <cstdint>

#include "screens/common/units/build_lists.h"
#include "ui/screen.h"

class ListBoxControl;
struct UnitRecord;
struct World;

// The player's base with the most free build slots for the category (0
// land, 1 air, 2 sea): its capacity less the units its hex's lead facility
// has queued; the first in the unit ring of equals. Null when the player
// has none.
const UnitRecord* FindBestBuildBase(const World& world, int32_t player, int32_t category);

// Ids of the category buttons (20 land, 21 air, 22 sea) and of the three
// category pictures.
inline constexpr int32_t kBaseCategoryButtons[] = {20, 21, 22};
inline constexpr int32_t kBaseCategoryPictures[] = {30, 31, 32};

inline constexpr const char* kBaseUnitListTags[] = {"LIST5", "STATPARENT", "BASENAME", "AUTOBUT", "CONTBUT"};
inline constexpr int32_t kBaseUnitListIds[] = {20, 21, 22, 30, 31, 32};

class BaseUnitListPanel : public Screen {
 public:
  BaseUnitListPanel() : Screen("MILITARY1_ss1c", FormLookups{.tags = kBaseUnitListTags, .ids = kBaseUnitListIds}) {}
  void BindControls() override;
  // Starts the list afresh for the pressed category and picks the base,
  // scrolling the map to it.
  void OnOpen() override;
  void Refresh() override;
  // A category button picks its category; BASENAME scrolls to the base;
  // the rest is the build list's, after which the page shows anew.
  void OnCommand(Control* control, int32_t id) override;
  void OnControlChange(Control* control, int32_t id) override;
  // A double click on a design opens the unit build pop-up for it.
  void OnActivate(Control* control, int32_t id) override;

  BuildListState state;  // quantity and strength are the list's mode and scale
  uint32_t baseId = 0;   // the chosen base, 0 for none
  ListBoxControl* list = nullptr;
  Control* statParent = nullptr;
};
