// The map state the interface keeps for the world: the hover cells it
// publishes and the folders it asks for.
#include <gtest/gtest.h>

#include <memory>

#include "records/hex_unit_stack.h"
#include "records/unit_record.h"
#include "support/global_guard.h"
#include "ui/map_folders.h"
#include "ui/map_hover.h"
#include "world/game_file.h"
#include "world/map_data.h"
#include "world/map_file.h"
#include "world/map_folders.h"
#include "world/object_hex.h"
#include "world/world.h"

namespace {

class MapState : public ::testing::Test {
 protected:
  void SetUp() override {
    InstallMapHoverHooks();
    InstallMapFolderHooks();
    ASSERT_EQ(ResizeMap(*world_, 6, 4), 0);
    NewGameData(*world_);
  }
  void TearDown() override {
    FreeMapData(*world_);
    g_mapHover = MapHoverState{};
    g_mapFolders = MapFolderState{};
  }

  std::unique_ptr<World> world_ = std::make_unique<World>();
  GlobalGuard<ObjectHexHooks> hexHooks_{g_objectHexHooks};
  GlobalGuard<MapFolderHooks> folderHooks_{g_mapFolderHooks};
};

// The world's hex positions reach the hover state, and a new game or map
// clears it, so no cell of a freed map stays in the interface.
TEST_F(MapState, TheHoverFollowsTheWorldsHexes) {
  World& w = *world_;
  HexUnitStack stack;
  UnitRecord lead{};
  lead.classIndex = 12;
  stack.lead = &lead;
  w.cells[8].stack = &stack;

  HexPosition current{};
  HexPosition view{};
  SetObjectHex(w, 2, 1, current);
  SetViewObjectHex(w, 3, 2, view);
  EXPECT_EQ(g_mapHover.cell, &w.cells[8]);
  EXPECT_EQ(g_mapHover.leadClass, 12);
  EXPECT_EQ(g_mapHover.viewCell, &w.cells[15]);
  w.cells[8].stack = nullptr;

  NewGameData(w);
  EXPECT_EQ(g_mapHover.cell, nullptr);
  EXPECT_EQ(g_mapHover.viewCell, nullptr);
  EXPECT_EQ(g_mapHover.leadClass, 0);

  SetObjectHex(w, 1, 1, current);
  ASSERT_EQ(ResizeMap(w, 8, 4), 0);
  EXPECT_EQ(g_mapHover.cell, nullptr) << "the cells moved with the new size";
}

// The folders the interface chose decide where files are read and written.
TEST_F(MapState, FoldersFollowTheInterfacesMode) {
  struct Row {
    bool mapEditor;
    bool customScenario;
    const char* mapRead;
    const char* gameWrite;
  };
  const Row rows[] = {
      {false, false, "MAPS\\EUROPE.MAP", "MAPS\\EUROPE.GAM"},
      {false, true, "CUSTOM\\EUROPE.MAP", "MAPS\\EUROPE.GAM"},
      {true, false, "CUSTOM\\EUROPE.MAP", "CUSTOM\\EUROPE.GAM"},
  };
  for (const Row& row : rows) {
    g_mapFolders = {row.mapEditor, row.customScenario};
    EXPECT_EQ(MapReadPath("EUROPE"), row.mapRead) << row.mapEditor << row.customScenario;
    EXPECT_EQ(GameWritePath("EUROPE"), row.gameWrite) << row.mapEditor << row.customScenario;
    EXPECT_EQ(InMapEditor(), row.mapEditor);
  }
}

}  // namespace
