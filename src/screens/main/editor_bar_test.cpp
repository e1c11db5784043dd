#include "screens/main/editor_bar.h"

#include <gtest/gtest.h>

#include <cstring>

#include "ui/control.h"
#include "world/world.h"

namespace {

void Tag(Control& c, const char* tag) {
  std::memset(c.tag, 0, sizeof c.tag);
  std::memcpy(c.tag, tag, strnlen(tag, sizeof c.tag));
}

class EditorBarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = g_world.gameState;
    savedCells_.swap(g_world.cells);
    savedTerrains_.swap(g_world.terrains);
    g_world.cells.resize(20);
    g_world.terrains.assign(kTerrainCount, TerrainRecord{});
    std::memcpy(g_world.terrains[2].bytes + 100, "Forest", 7);
    g_world.cells[5].word = WithCellTerrain(0, 2);
    g_world.gameState.currentHex = HexPosition{5, 0, 5, 0};
    g_world.gameState.viewHex = HexPosition{5, 0, 5, 0};
  }
  void TearDown() override {
    g_world.gameState = saved_;
    g_world.cells.swap(savedCells_);
    g_world.terrains.swap(savedTerrains_);
  }

  GameState saved_{};
  std::vector<HexCell> savedCells_;
  std::vector<TerrainRecord> savedTerrains_;
};

TEST_F(EditorBarTest, TheReadoutsGoIntoTheTaggedFieldsAndMissingTagsAreSkipped) {
  Control root, population, size, box, country, other;
  Tag(root, "EDITORBAR");
  Tag(population, "POPULATION");
  Tag(size, "SIZE");
  Tag(box, "BOX1");
  Tag(country, "COUNTRY");
  Tag(other, "GDPX");
  root.AddChild(&population);
  root.AddChild(&size);
  root.AddChild(&box);
  box.AddChild(&country);  // found at any depth
  root.AddChild(&other);   // a longer tag is another tag

  EditorBar bar;
  bar.form = &root;
  bar.InspectHexText(nullptr);
  ASSERT_NE(bar.FieldText(&population), nullptr);
  EXPECT_EQ(*bar.FieldText(&population), "Selected Hex :");
  EXPECT_EQ(*bar.FieldText(&size), "X: 005    Y: 000");
  EXPECT_EQ(*bar.FieldText(&country), "Inspect Hex :");
  EXPECT_EQ(bar.FieldText(&other), nullptr);  // GDP, DATE and TREASURY are not in this layout
  EXPECT_EQ(bar.FieldText(&box), nullptr);

  g_world.gameState.currentHex = HexPosition{0, 0, 0, 0};
  bar.InspectHexText(nullptr);
  EXPECT_EQ(*bar.FieldText(&population), "");
  EXPECT_EQ(*bar.FieldText(&country), "Inspect Hex :");
}

TEST_F(EditorBarTest, TheRootItselfCanBeTheField) {
  Control root;
  Tag(root, "TREASURY");
  EditorBar bar;
  bar.form = &root;
  bar.InspectHexText(nullptr);
  ASSERT_NE(bar.FieldText(&root), nullptr);
  EXPECT_EQ(*bar.FieldText(&root), "(Forest)");
}

TEST_F(EditorBarTest, ABarWithoutAFormShowsNothing) {
  EditorBar bar;
  bar.InspectHexText(nullptr);
  EXPECT_EQ(FindTaggedControl(nullptr, "SIZE"), nullptr);
}

}  // namespace
