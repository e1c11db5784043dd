// The inventory's build list takes its category from the pressed carrier
// button and its list kind from the weapons filter.
#include <gtest/gtest.h>

#include <vector>

#include "screens/military/build_lists.h"
#include "screens/military/inventory/unit_class_list_panel.h"
#include "support/global_guard.h"
#include "ui/control_bits.h"
#include "ui/control_test_support.h"
#include "ui/control_tree.h"
#include "world/text/ui_options.h"

namespace {

TEST(UnitClassListPanelTest, TheCategoryAndKindFollowTheButtonsAndTheFilter) {
  GlobalGuard<UiOptions> options(g_uiOptions);
  GlobalGuard<BuildListFilters> filters(g_buildListFilters);
  UnitClassListPanel panel;
  controltest::PanelForm form(panel, "MIL1_ss4a", {"WMDFILTER"}, {201, 202, 203, 204});
  struct Row { std::vector<int32_t> pressed; int32_t category; };
  const Row rows[] = {{{}, 0}, {{203}, 3}, {{202, 204}, 2}};
  for (const Row& r : rows) {
    for (int32_t id : {201, 202, 203, 204}) SetControlFlag(form[id], kStateSelected, 0);
    for (int32_t id : r.pressed) SetControlFlag(form[id], kStateSelected, 1);
    panel.Refresh();
    EXPECT_EQ(panel.state.category, r.category);
  }
  for (int32_t on : {1, 0}) {
    SetControlFlag(form["WMDFILTER"], kStateSelected, on);
    panel.OnCommand(form["WMDFILTER"], 0);
    EXPECT_EQ(g_uiOptions.bfiltershownbc, on);
    EXPECT_EQ(UnitClassListPanel::Kind(), on + 1);
  }
}

}  // namespace
