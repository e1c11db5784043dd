// The map filter panel shows the value index and switches, and changes them.
#include "screens/main/panels/map_filter_panel.h"

#include <gtest/gtest.h>

#include "screens/common/owned_test_form.h"
#include "screens/main/map/map_view.h"
#include "screens/main/panels/map_filter_test_buttons.h"
#include "support/global_guard.h"
#include "ui/control_test_support.h"
#include "ui/control_tree.h"
#include "world/text/ui_options.h"

namespace {

TEST(MapFilterPanelTest, ShowsAndChangesTheValueIndexAndTheSwitches) {
  const GlobalGuard<UiOptions> options(g_uiOptions);
  const GlobalGuard<int32_t> valueIndex(g_mapView.valueIndex), redraw(g_mapView.redrawPending);
  MapFilterPanel panel;
  const OwnedTestForm owned(panel, new Control(controltest::Init("MAP1_FILTER", &panel, 0, 0, 800, 72)));
  Control* form = owned.root;
  Control* values = ControlAddChild(form, new Control(controltest::Init("VALUES", &panel, 0, 0, 400, 24)));
  Control* none = AddMapFilterTestButtons(&panel, values, form, kMapFilterIds);
  auto id = [&](int32_t n) { return FormFindControlById(form, n); };

  // Refresh never deselects a value button; the rows start from none.
  // Columns: terrain-value switch, value index, supply, the value button
  // selected (0: none), "NONE" selected, control 15 shown.
  struct Row { int32_t terrainValue, valueIndex, supply, wantSelectedId; bool wantNone, wantGroupShown; };
  const Row rows[] = {{1, 0, 0, 0, false, false}, {1, 3, 1, 4, false, true}, {0, 5, 0, 0, true, false}};
  for (const Row& r : rows) {
    for (int32_t n = kFilterFirstValueId; n <= kFilterLastValueId; ++n) SetControlFlag(id(n), kStateSelected, 0);
    SetControlFlag(none, kStateSelected, 0);
    g_uiOptions.terrainValueOverlay = r.terrainValue;
    g_mapView.valueIndex = r.valueIndex;
    g_uiOptions.ovshowsupply = r.supply;
    panel.Refresh();
    for (int32_t n = kFilterFirstValueId; n <= kFilterLastValueId; ++n)
      EXPECT_EQ(id(n)->Selected(), n == r.wantSelectedId) << "index " << r.valueIndex << " id " << n;
    EXPECT_EQ(none->Selected(), r.wantNone) << r.valueIndex;
    EXPECT_EQ(!id(kFilterValueGroupId)->Hidden(), r.wantGroupShown) << r.valueIndex;
    EXPECT_EQ(id(kFilterSupplyId)->Selected(), r.supply != 0);
  }

  // A switch takes its button's check state; a value button sets the index.
  SetControlFlag(id(kFilterCloseCombatId), kStateSelected, 1);
  panel.OnCommand(id(kFilterCloseCombatId), kFilterCloseCombatId);
  EXPECT_EQ(g_uiOptions.ovshowclosecombat, 1);
  panel.OnCommand(id(6), 6);
  EXPECT_TRUE(g_uiOptions.terrainValueOverlay == 1 && g_mapView.valueIndex == 5);
  EXPECT_TRUE(id(6)->Selected() && !none->Selected());
  panel.OnCommand(none, 0);
  EXPECT_EQ(g_uiOptions.terrainValueOverlay, 0);
  EXPECT_TRUE(!id(6)->Selected() && none->Selected() && id(kFilterValueGroupId)->Hidden());

}

}  // namespace
