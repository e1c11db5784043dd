// The class sheet's fields and badges on a form of tagged text controls.
#include <gtest/gtest.h>

#include "records/player_record.h"
#include "screens/common/military_test_support.h"
#include "screens/common/units/unit_sheets.h"
#include "support/global_guard.h"
#include "ui/screen_manager.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

constexpr int kLocal = 2;

// Takes the id it is shown with and nothing else.
class BadgeRow : public Screen {
 public:
  BadgeRow() : Screen("BADGE") {}
  int32_t Show(intptr_t shownId, Control*) override { return static_cast<int32_t>(shown = shownId); }
  intptr_t shown = -1;
};

class UnitSheetTest : public ::testing::Test {
 protected:
  UnitSheetTest() {
    sheet.Texts({"CLASSPAR", "CLASSPAR2", "ARMOR", "HORSES", "MSIZE", "UCREW", "CHOURS", "GUNSIZE", "GOODSCOST",
                 "DOLCOST", "YIELD", "YIELDPAR"});
    g_world.gameState.localPlayer = kLocal;
    g_world.players[kLocal].costFactor = 2.0f;
    for (int i = 0; i < 4; ++i) texts_.Set(kListOrdinitiative, i, "word" + std::to_string(i));
    f.elements = 10;
  }
  void Fill() { FillClassSheetFigures(sheet.root, f, &row, &second); }

  GlobalGuard<GameState> state_{g_world.gameState};
  GlobalGuard<PlayerRecord> local_{g_world.players[kLocal]};
  militarytest::TextPatch texts_;
  militarytest::TestSheet sheet;
  BadgeRow row, second;
  ClassSheetFigures f;
};

// Goods 10 x 2.0 x 0.5 + 0.9 = 10.9 at sea, 20.9 on land; money 10 x 1.0 +
// goods x price 2 + 0.9: 32.7 and 52.7; endurance 48 / rate, none at rate 0.
TEST_F(UnitSheetTest, FieldsOfAnOrdinaryClass) {
  const struct {
    int32_t category, armour, power, elements, cargo;
    float endurance;
    const char *armourWord, *powerWord, *size, *goods, *money, *hours;
  } rows[] = {
      {2, 180, 7, 1, 25, 4.0f, "word3", "word3", "2", "1", "$ 5", "12 h"},
      {3, 89, 5, 10, 25, 0.0f, "word1", "word2", "25", "10", "$ 32", "0 h"},
      {0, 90, 0, 10, 9, 8.0f, "word2", "word0", "9", "20", "$ 52", "6 h"},
  };
  f.goodsUpkeep = 2.0f, f.cashUpkeep = 1.0f, f.baseWeight = 48.0f;
  for (const auto& r : rows) {
    f.category = r.category, f.armour = r.armour, f.power = r.power, f.elements = r.elements;
    f.cargoCapacity = r.cargo, f.enduranceRate = r.endurance;
    Fill();
    EXPECT_EQ(sheet.Text("ARMOR"), r.armourWord) << r.armour;
    EXPECT_EQ(sheet.Text("HORSES"), r.powerWord) << r.power;
    EXPECT_EQ(sheet.Text("MSIZE"), r.size) << r.elements << " " << r.cargo;
    EXPECT_EQ(sheet.Text("GOODSCOST"), r.goods) << r.category;
    EXPECT_EQ(sheet.Text("DOLCOST"), r.money) << r.category;
    EXPECT_EQ(sheet.Text("CHOURS"), r.hours) << r.endurance;
    EXPECT_EQ(sheet.Text("GUNSIZE"), "n/a");
  }
  const struct {
    uint32_t mask;
    int32_t entry;
  } regions[] = {{0xFFFFFFFFu, 0}, {1u << 3, 3}, {1u, 0}, {1u << 31, 31}, {(1u << 3) | (1u << 5), 32}, {0, 32}};
  for (const auto& r : regions) EXPECT_EQ(ClassRegionEntry(r.mask), r.entry) << r.mask;
}

// A stock class ends the sheet with its yield: no crew, no gun.
TEST_F(UnitSheetTest, BadgesAndStockYield) {
  const struct {
    uint32_t flags;
    int32_t r1, r2, r3, stockKind;
    float range;
    int32_t badge, second;
    const char* crew;
  } rows[] = {
      {0, 0, 0, 0, 0, 0.0f, 7, -1, "40"},
      {kClassStock | 0x2 | 0x4, 0, 0, 0, 0, 0.0f, 206, 300, ""},
      {kClassStock | 0x8, 0, 0, 0, 4, 0.0f, 205, 302, ""},
      {kClassStock | 0x1, 0, 0, 0, 0, 200.0f, 203, 301, ""},
      {kClassStock | 0x40000000, 1, 5, 2, 0, 500.0f, 202, 303, ""},
      {kClassStock, 5, 1, 2, 0, 0.0f, 201, 300, ""},
      {kClassStock, 1, 1, 2, 0, 0.0f, 200, 300, ""},
      {kClassStock, 2, 2, 2, 0, 0.0f, 204, 300, ""},
  };
  f.group = 7, f.yield = 2.6f, f.crewPerPoint = 4;
  for (const auto& r : rows) {
    f.flags = r.flags, f.ratings[0] = r.r1, f.ratings[1] = r.r2, f.ratings[2] = r.r3;
    f.stockKind = r.stockKind, f.range = r.range;
    row.shown = second.shown = -1;
    for (const char* tag : {"YIELD", "UCREW"}) SetControlText(sheet.Find(tag), "");
    SetHidden(sheet.Find("YIELDPAR"), false);
    Fill();
    const bool stock = (r.flags & kClassStock) != 0;
    EXPECT_EQ(row.shown, r.badge) << r.flags;
    EXPECT_EQ(second.shown, r.second) << r.flags;
    EXPECT_EQ(sheet.Find("CLASSPAR2")->Hidden(), !stock);
    EXPECT_EQ(sheet.Text("UCREW"), r.crew) << r.flags;
    EXPECT_EQ(sheet.Text("YIELD"), stock ? "3" : "") << r.flags;
    EXPECT_EQ(sheet.Find("YIELDPAR")->Hidden(), stock && !(r.flags & 0xC)) << r.flags;
  }
}

}  // namespace
