// The upgrade preview shows the upgrade class's statistics sheet in its
// STATPARENT, for the class it previews.
#include "screens/military/units/unit_refit_panels.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "screens/screen_set.h"
#include "support/global_guard.h"
#include "ui/control_test_support.h"
#include "world/world.h"

namespace {

TEST(UnitUpgradePreview, ShowsTheClassSheetInItsStatParent) {
  const GlobalGuard<std::vector<UnitClassRecord>> classes(g_world.unitClasses);
  const GlobalGuard<GameState> state(g_world.gameState);
  g_world.unitClasses.assign(8, UnitClassRecord{});
  g_world.gameState.localPlayer = 1;
  Screen& panel = *g_screens.unitUpgrade;
  Screen& sheet = g_screens.unitPicturePanels[14];
  const GlobalGuard<intptr_t> id(panel.id), sheetId(sheet.id);
  controltest::PanelForm form(panel, "POPUP_MILITARY1A5", {"COST", "TIME", "UPGNAME", "STATPARENT"}, {},
                              {"STATPARENT"});
  controltest::PanelForm sheetForm(sheet, "MILITARY1_ss4a1", {"UNITPIC"}, {}, {"UNITPIC"});
  for (intptr_t shown : {5, 6}) {
    panel.id = shown;
    panel.Refresh();
    EXPECT_EQ(sheet.id, shown);
    EXPECT_EQ(sheetForm.root->parent, form["STATPARENT"]);
  }
  sheetForm.root->Unlink();
}

}  // namespace
