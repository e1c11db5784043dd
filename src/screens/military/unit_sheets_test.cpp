// The class sheet's fields and badges on a form of tagged text controls.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "records/player_record.h"
#include "screens/military/unit_sheets.h"
#include "support/global_guard.h"
#include "ui/control_test_support.h"
#include "ui/control_tree.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "world/text/text_lists.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

constexpr int kLocal = 2;

// Takes the id it is shown with and nothing else.
class BadgeRow : public Screen {
 public:
  BadgeRow() : Screen("BADGE") {}
  int32_t Show(intptr_t shownId, Control* host) override {
    shown = shownId;
    shownIn = host;
    return 0;
  }
  intptr_t shown = -1;
  Control* shownIn = nullptr;
};

class UnitSheetTest : public ::testing::Test {
 protected:
  UnitSheetTest() {
    const char* tags[] = {"CLASSPAR", "CLASSPAR2", "ARMOR",  "HORSES", "MSIZE",  "UCREW",
                          "CHOURS",   "GUNSIZE",   "GOODSCOST", "DOLCOST", "UREGION", "YIELD", "YIELDPAR", "DEFSTR"};
    root = new Control(controltest::Init("SHEET", &owner, 0, 0, 400, 300));
    for (const char* tag : tags)
      ControlAddChild(root, new StringControl(controltest::Init(tag, &owner, 0, 0, 60, 20), StringInit{.bufferSize = 31}));
    g_world.gameState.localPlayer = kLocal;
    g_world.players[kLocal].costFactor = 2.0f;
    for (int i = 0; i < 4; ++i) SetText(kListOrdinitiative, i, "word" + std::to_string(i));
    f.elements = 10;
  }
  ~UnitSheetTest() override {
    delete root;
    for (const auto& [index, saved] : saved_) {
      char*& entry = g_textLists.entries[index];
      std::free(entry);
      entry = saved;
    }
  }
  void SetText(TextListId list, int index, const std::string& text) {
    const int at = TextListInfoOf(list).first + index;
    saved_.push_back({at, g_textLists.entries[at]});
    g_textLists.entries[at] = strdup(text.c_str());
  }
  std::string Text(const char* tag) const {
    return static_cast<StringControl*>(FormFindControlByTag(root, tag))->GetText();
  }
  void Fill() { FillClassSheetFigures(root, f, &row, &second); }

  GlobalGuard<GameState> state_{g_world.gameState};
  GlobalGuard<PlayerRecord> local_{g_world.players[kLocal]};
  std::vector<std::pair<int, char*>> saved_;
  controltest::RecordingScreen owner;
  Control* root;
  BadgeRow row, second;
  ClassSheetFigures f;
};

TEST_F(UnitSheetTest, RatingWordsAndCargoSize) {
  const struct {
    int32_t armour, power, elements, cargo;
    const char *armourWord, *powerWord, *size;
  } rows[] = {
      {180, 7, 1, 25, "word3", "word3", "2"}, {89, 5, 10, 25, "word1", "word2", "25"},
      {90, 0, 2, 9, "word2", "word0", "9"},   {500, 1, 1, 9, "word3", "word0", "0"},
  };
  for (const auto& r : rows) {
    f.armour = r.armour, f.power = r.power, f.elements = r.elements, f.cargoCapacity = r.cargo;
    Fill();
    EXPECT_EQ(Text("ARMOR"), r.armourWord) << r.armour;
    EXPECT_EQ(Text("HORSES"), r.powerWord) << r.power;
    EXPECT_EQ(Text("MSIZE"), r.size) << r.elements << " " << r.cargo;
    EXPECT_EQ(Text("DEFSTR"), std::to_string(r.elements));
  }
}

// Goods 10 x 2.0 x 0.5 + 0.9 = 10.9 at sea, 20.9 on land; money
// 10 x 1.0 + goods x price 2 + 0.9: 32.7 and 52.7. Endurance 48 / rate;
// rate 0 shows 0 h, not a division by zero.
TEST_F(UnitSheetTest, CostsAndEndurance) {
  const struct {
    int32_t category;
    float endurance;
    const char *goods, *money, *hours;
  } rows[] = {
      {2, 4.0f, "10", "$ 32", "12 h"}, {3, 0.0f, "10", "$ 32", "0 h"}, {0, 8.0f, "20", "$ 52", "6 h"},
  };
  f.goodsUpkeep = 2.0f, f.cashUpkeep = 1.0f, f.baseWeight = 48.0f;
  for (const auto& r : rows) {
    f.category = r.category, f.enduranceRate = r.endurance;
    Fill();
    EXPECT_EQ(Text("GOODSCOST"), r.goods) << r.category;
    EXPECT_EQ(Text("DOLCOST"), r.money) << r.category;
    EXPECT_EQ(Text("CHOURS"), r.hours) << r.endurance;
  }
}

TEST_F(UnitSheetTest, RegionEntries) {
  const struct {
    uint32_t mask;
    int32_t entry;
  } rows[] = {{0xFFFFFFFFu, 0}, {1u << 3, 3}, {1u, 0}, {1u << 31, 31}, {(1u << 3) | (1u << 5), 32}, {0, 32}};
  for (const auto& r : rows) EXPECT_EQ(ClassRegionEntry(r.mask), r.entry) << r.mask;
}

TEST_F(UnitSheetTest, Badges) {
  const struct {
    uint32_t flags;
    int32_t r1, r2, r3, stockKind;
    float range;
    int32_t badge, second;
  } rows[] = {
      {0, 0, 0, 0, 0, 0.0f, 7, -1},
      {kClassStock | 0x2 | 0x4, 0, 0, 0, 0, 0.0f, 206, 300},
      {kClassStock | 0x8, 0, 0, 0, 4, 0.0f, 205, 302},
      {kClassStock | 0x1, 0, 0, 0, 0, 200.0f, 203, 301},
      {kClassStock | 0x40000000, 1, 5, 2, 0, 500.0f, 202, 303},
      {kClassStock, 5, 1, 2, 0, 0.0f, 201, 300},
      {kClassStock, 1, 1, 2, 0, 0.0f, 200, 300},
      {kClassStock, 2, 2, 2, 0, 0.0f, 204, 300},
  };
  f.group = 7;
  for (const auto& r : rows) {
    f.flags = r.flags, f.ratings[0] = r.r1, f.ratings[1] = r.r2, f.ratings[2] = r.r3;
    f.stockKind = r.stockKind, f.range = r.range;
    row.shown = second.shown = -1;
    Fill();
    EXPECT_EQ(row.shown, r.badge) << r.flags;
    EXPECT_EQ(row.shownIn, FormFindControlByTag(root, "CLASSPAR"));
    EXPECT_EQ(second.shown, r.second) << r.flags;
    EXPECT_EQ(FormFindControlByTag(root, "CLASSPAR2")->Hidden(), r.second == -1);
  }
}

// A stock class ends the sheet with its yield: no crew, no gun.
TEST_F(UnitSheetTest, StockClassShowsYieldOnly) {
  const struct {
    uint32_t flags;
    const char *yield, *crew, *gun;
    bool yieldHidden;
  } rows[] = {
      {kClassStock | 0x4, "3", "", "", false},
      {kClassStock, "3", "", "", true},
      {0, "", "40", "n/a", false},
  };
  f.yield = 2.6f, f.crewPerPoint = 4;
  for (const auto& r : rows) {
    for (const char* tag : {"YIELD", "UCREW", "GUNSIZE"}) SetControlText(FormFindControlByTag(root, tag), "");
    SetHidden(FormFindControlByTag(root, "YIELDPAR"), false);
    f.flags = r.flags;
    Fill();
    EXPECT_EQ(Text("YIELD"), r.yield) << r.flags;
    EXPECT_EQ(Text("UCREW"), r.crew) << r.flags;
    EXPECT_EQ(Text("GUNSIZE"), r.gun) << r.flags;
    EXPECT_EQ(FormFindControlByTag(root, "YIELDPAR")->Hidden(), r.yieldHidden) << r.flags;
  }
}

}  // namespace
