// A new map reads the data files its header names ("DEFAULT"), from the
// folder of the mode it is made in.
#include <gtest/gtest.h>

#include <cstring>

#include "world/data_file_test_support.h"
#include "world/map_data.h"
#include "world/people_file.h"
#include "world/tech_file.h"
#include "world/terrain_file.h"
#include "records/text_field.h"
#include "world/unit_class_file.h"
#include "world/map_folders_test_support.h"
#include "world/world.h"

namespace {

using filetest::DataRootScope;

// Writes DEFAULT files into a folder: n classes, n technologies, people
// bytes of value n and terrain 9 with a mark n.
void WriteDefaults(bool editorFolder, int n) {
  World source;
  TestMapFolders folders(editorFolder, false);
  ResetWorldDataTables(source);
  source.unitClasses.assign(static_cast<size_t>(n), UnitClassRecord{});
  SetFieldText(source.unitClasses[0].name, "First");
  source.techs.assign(static_cast<size_t>(n), TechRecord{});
  source.people.assign(source.people.size(), static_cast<uint8_t>(n));
  source.terrains[9].bytes[0] = static_cast<uint8_t>(n);
  ASSERT_EQ(WriteUniFile(source, "DEFAULT"), 0);
  ASSERT_EQ(WriteTtrFile(source, "DEFAULT"), 0);
  ASSERT_EQ(WritePplFile(source, "DEFAULT"), 0);
  ASSERT_EQ(WriteTerFile(source, "DEFAULT"), 0);
}

class NewWorldData : public ::testing::Test {
 protected:
  void TearDown() override {
    FreeMapData(g_world);
    FreeGameData(g_world);
    g_world.gameState.designRowBytes = 0;
    g_world.gameState.techCount = 0;
    ResetWorldDataTables(g_world);
    FreeTechTable(g_world);
  }

  DataRootScope root_;
  TestMapFolders folders_;
};

TEST_F(NewWorldData, TheGameReadsTheDefaultsUnderMapsData) {
  WriteDefaults(false, 3);
  WriteDefaults(true, 5);
  folders_.Set(false, false);
  ASSERT_EQ(LoadNewWorld(8, 6), 0);
  EXPECT_EQ(g_world.unitClasses.size(), 3u);
  EXPECT_STREQ(g_world.unitClasses[0].name, "First");
  EXPECT_EQ(g_world.techs.size(), 3u);
  EXPECT_EQ(g_world.people[100], 3);
  EXPECT_EQ(g_world.terrains[9].bytes[0], 3);
  EXPECT_EQ(g_world.cells.size(), 48u);
}

TEST_F(NewWorldData, TheEditorReadsTheDefaultsUnderCustomData) {
  WriteDefaults(false, 3);
  WriteDefaults(true, 5);
  folders_.Set(true, false);
  ASSERT_EQ(LoadNewWorld(8, 6), 0);
  EXPECT_EQ(g_world.unitClasses.size(), 5u);
  EXPECT_EQ(g_world.people[100], 5);
  EXPECT_EQ(g_world.terrains[9].bytes[0], 5);
}

TEST_F(NewWorldData, MissingDefaultsLeaveTheTablesAsTheyWere) {
  ResetWorldDataTables(g_world);
  folders_.Set(false, false);
  ASSERT_EQ(LoadNewWorld(8, 6), 0);
  EXPECT_TRUE(g_world.unitClasses.empty());
  EXPECT_EQ(g_world.terrains.size(), 256u);
  EXPECT_EQ(g_world.terrains[17].imageLeft, 32);
  EXPECT_EQ(g_world.people.size(), kPeopleBlockSize);
}

}  // namespace
