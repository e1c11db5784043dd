// The filter bar's buttons change the terrain value, its index and the
// overlay switches, and its refresh shows them.
#include "screens/main/bars/filter_bar.h"

#include <memory>

#include <gtest/gtest.h>

#include "screens/common/owned_test_form.h"
#include "screens/main/map/map_view.h"
#include "screens/main/panels/map_filter_test_buttons.h"
#include "support/global_guard.h"
#include "ui/control_test_support.h"
#include "ui/control_tree.h"
#include "world/text/ui_options.h"

namespace {

TEST(FilterBarTest, ButtonsSetTheValueIndexAndOnlyTheirOwnSwitch) {
  const GlobalGuard<UiOptions> options(g_uiOptions);
  const GlobalGuard<int32_t> valueIndex(g_mapView.valueIndex), redraw(g_mapView.redrawPending);
  std::unique_ptr<Screen> bar = MakeFilterBar();
  const OwnedTestForm owned(*bar, new Control(controltest::Init("FILTER1", bar.get(), 0, 0, 224, 375)));
  Control* form = owned.root;
  Control* none = AddMapFilterTestButtons(bar.get(), form, form, kFilterBarIds);
  auto byId = [&](int32_t n) { return FormFindControlById(form, n); };

  // Each row starts from the overlay on at index 5 with control 15 shown,
  // the units layer and the borders on.
  struct Row {
    int32_t id;        // 0: the "NONE" button
    bool pressedDown;  // the button's check state after the press
    int32_t wantOverlay, wantIndex;
    bool wantGroupHidden;
    int32_t wantUnits;
  };
  const Row rows[] = {
      {kFilterChoiceId, true, 1, 0, true, 1},  // the choice: index 0 and no value options
      {5, true, 1, 4, false, 1},               // "button 4" of the products: index id - 1
      {4, true, 1, 3, false, 1},
      {0, true, 0, 5, true, 1},                // off, the index kept
      {kFilterUnitsId, false, 1, 5, false, 0}, // only the units layer flips
      {kFilterUnitsId, true, 1, 5, false, 1},
  };
  for (const Row& r : rows) {
    g_uiOptions.terrainValueOverlay = 1;
    g_mapView.valueIndex = 5;
    g_uiOptions.showUnitsLayer = 1;
    g_uiOptions.ovshowborders = 1;
    SetControlFlag(byId(kFilterValueGroupId), kStateHidden, 0);
    Control* button = r.id ? byId(r.id) : none;
    SetControlFlag(button, kStateSelected, r.pressedDown ? 1 : 0);
    bar->OnCommand(button, r.id);
    EXPECT_EQ(g_uiOptions.terrainValueOverlay, r.wantOverlay) << r.id;
    EXPECT_EQ(g_mapView.valueIndex, r.wantIndex) << r.id;
    EXPECT_EQ(byId(kFilterValueGroupId)->Hidden(), r.wantGroupHidden) << r.id;
    EXPECT_EQ(g_uiOptions.showUnitsLayer, r.wantUnits) << r.id;
    EXPECT_EQ(g_uiOptions.ovshowborders, 1) << r.id;
    // The refresh selects the chosen button, or "NONE".
    bar->Refresh();
    EXPECT_TRUE(r.wantOverlay ? byId(r.wantIndex + 1)->Selected() : none->Selected()) << r.id;
    EXPECT_EQ(byId(kFilterUnitsId)->Selected(), r.wantUnits != 0) << r.id;
  }

}

}  // namespace
