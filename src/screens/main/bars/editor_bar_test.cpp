#include "screens/main/bars/editor_bar.h"

#include <gtest/gtest.h>

#include "support/global_guard.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/string_control.h"
#include "world/world.h"

namespace {

Control* Tagged(const char* tag) {
  auto* c = new Control;
  SetControlTag(c, tag);
  return c;
}

class EditorBarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_world.cells.assign(20, HexCell{});
    g_world.terrains.assign(kTerrainCount, TerrainRecord{});
    std::memcpy(g_world.terrains[2].bytes + 100, "Forest", 7);
    g_world.cells[5].word = WithCellTerrain(0, 2);
    g_world.gameState.currentHex = HexPosition{5, 0, 5, 0};
    g_world.gameState.viewHex = HexPosition{5, 0, 5, 0};
  }
  GlobalGuard<GameState> state_{g_world.gameState};
  GlobalGuard<std::vector<HexCell>> cells_{g_world.cells};
  GlobalGuard<std::vector<TerrainRecord>> terrains_{g_world.terrains};
};

TEST_F(EditorBarTest, TheReadoutsGoIntoTheTaggedFieldsAndMissingTagsAreSkipped) {
  Control root;
  SetControlTag(&root, "EDITORBAR");
  Control* population = ControlAddChild(&root, Tagged("POPULATION"));
  Control* size = ControlAddChild(&root, Tagged("SIZE"));
  Control* box = ControlAddChild(&root, Tagged("BOX1"));
  Control* country = ControlAddChild(box, Tagged("COUNTRY"));  // found at any depth
  Control* other = ControlAddChild(&root, Tagged("GDPX"));     // a longer tag is another tag
  // A string field shows its readout as its own text.
  auto* date = new StringControl(ControlInit{.tag = "DATE"}, StringInit{});
  ControlAddChild(box, date);

  EditorBar bar;
  bar.form = &root;
  bar.InspectHexText(nullptr);
  ASSERT_NE(bar.FieldText(population), nullptr);
  EXPECT_EQ(*bar.FieldText(population), "Selected Hex :");
  EXPECT_EQ(*bar.FieldText(size), "X: 005    Y: 000");
  EXPECT_EQ(*bar.FieldText(country), "Inspect Hex :");
  EXPECT_EQ(bar.FieldText(other), nullptr);  // GDP and TREASURY are not in this layout
  EXPECT_EQ(bar.FieldText(box), nullptr);
  ASSERT_NE(bar.FieldText(date), nullptr);
  EXPECT_EQ(date->text, *bar.FieldText(date));

  g_world.gameState.currentHex = HexPosition{0, 0, 0, 0};
  bar.InspectHexText(nullptr);
  EXPECT_EQ(*bar.FieldText(population), "");
  EXPECT_EQ(*bar.FieldText(country), "Inspect Hex :");
}

TEST_F(EditorBarTest, TheRootItselfCanBeTheField) {
  Control root;
  SetControlTag(&root, "TREASURY");
  EditorBar bar;
  bar.form = &root;
  bar.InspectHexText(nullptr);
  ASSERT_NE(bar.FieldText(&root), nullptr);
  EXPECT_EQ(*bar.FieldText(&root), "(Forest)");
}

TEST_F(EditorBarTest, ABarWithoutAFormShowsNothing) {
  EditorBar bar;
  bar.InspectHexText(nullptr);
  EXPECT_EQ(FormFindControlByTag(nullptr, "SIZE"), nullptr);
}

}  // namespace
