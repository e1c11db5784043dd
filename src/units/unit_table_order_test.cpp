#include "units/unit_table_order.h"

#include <gtest/gtest.h>

#include <vector>

#include "units/step/unit_step_test_world.h"
#include "world/unit_tables.h"
#include "world/id_lookups.h"
#include "world/save_extension.h"

namespace {

using namespace step_test;

class UnitTableOrderTest : public ::testing::Test, public StepWorld {
 protected:
  // The ids and timings of one array, in table order.
  std::vector<std::array<uint32_t, 3>> Array(int table, int category) {
    std::vector<std::array<uint32_t, 3>> out;
    const UnitTableArray* a = world->unitTables.Slot(table, kOwner, category);
    for (int32_t i = 1; a && i < a->Count(); ++i) {
      const UnitTableEntry& e = a->At(i);
      if (!e.unit) continue;
      EXPECT_EQ(e.unit->tableEntry, &e);
      out.push_back({e.unit->id, e.countdown, e.minutesSince});
    }
    return out;
  }
  std::span<const uint8_t> TablesBlock(const std::vector<uint8_t>& section) {
    std::vector<SaveExtensionBlock> blocks;
    std::string why;
    EXPECT_TRUE(SplitSaveExtension(section, blocks, why)) << why;
    for (const SaveExtensionBlock& b : blocks)
      if (b.tag == kSaveBlockUnitTables) return b.payload;
    return {};
  }
};

// Refiled in ring order with fresh countdowns, the tables come back in the
// saved order with the saved countdowns; a unit the save did not list
// follows the listed ones.
TEST_F(UnitTableOrderTest, TheSavedOrderAndCountdownsComeBackAfterRefiling) {
  UnitRecord& a = Tank(1, 1);
  UnitRecord& b = Tank(2, 2);
  UnitRecord& c = Tank(3, 3);
  // The walk has moved them: c first, a hole, then a and b.
  AppendUnitPtr(*world, kUnitTableOnMap, kOwner, 0, a);
  AppendUnitPtr(*world, kUnitTableOnMap, kOwner, 0, b);
  a.tableEntry->countdown = 7;
  a.tableEntry->minutesSince = 2;
  b.tableEntry->countdown = 0;
  b.tableEntry->minutesSince = 9;
  c.tableEntry->countdown = 200;
  const auto saved = Array(kUnitTableOnMap, 0);
  ASSERT_EQ(saved.size(), 3u);

  const std::vector<uint8_t> section = BuildSaveExtension(*world);
  std::string why;
  ASSERT_TRUE(ReadUnitTablesBlock(TablesBlock(section), [&](uint32_t id) { return FindUnitById(*world, id); },
                                  world->savedUnitTables, why))
      << why;
  UnitRecord& late = Tank(4, 4);  // made after the save
  RebuildUnitTables(*world);
  EXPECT_NE(Array(kUnitTableOnMap, 0), saved);
  RestoreSavedTableOrder(*world);
  auto restored = Array(kUnitTableOnMap, 0);
  ASSERT_EQ(restored.size(), 4u);
  EXPECT_EQ(restored.back()[0], late.id);
  restored.pop_back();
  EXPECT_EQ(restored, saved);
  EXPECT_TRUE(world->savedUnitTables.empty());
}

// Every cut of the block is refused and leaves the output alone; so is a
// table that does not exist and a unit the game lacks.
TEST_F(UnitTableOrderTest, ACutOrWrongBlockIsRefused) {
  Tank(1, 1);
  Tank(2, 2);
  const std::vector<uint8_t> section = BuildSaveExtension(*world);
  const std::span<const uint8_t> block = TablesBlock(section);
  ASSERT_FALSE(block.empty());
  const auto find = [&](uint32_t id) { return FindUnitById(*world, id); };
  std::vector<SavedTableArray> out;
  std::string why;
  for (size_t n = 0; n < block.size(); ++n) {
    EXPECT_FALSE(ReadUnitTablesBlock(block.first(n), find, out, why)) << n;
    EXPECT_TRUE(out.empty());
  }
  std::vector<uint8_t> bad(block.begin(), block.end());
  bad.push_back(0);
  EXPECT_FALSE(ReadUnitTablesBlock(bad, find, out, why));
  bad.pop_back();
  bad[4] = 4;  // table 4 is never saved
  EXPECT_FALSE(ReadUnitTablesBlock(bad, find, out, why));
  bad[4] = 1;
  bad[11] ^= 0x5A;  // the first unit's id
  EXPECT_FALSE(ReadUnitTablesBlock(bad, find, out, why));
  EXPECT_TRUE(out.empty());
  EXPECT_TRUE(ReadUnitTablesBlock(block, find, out, why)) << why;
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0].entries.size(), 2u);
}

}  // namespace
