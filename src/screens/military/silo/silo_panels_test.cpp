// The silo panel on a small world: its missile list and storage figures,
// a missile's row and target box, and the orders its buttons post.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "records/command_ids.h"
#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/order_words.h"
#include "records/player_record.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "screens/military/silo/silo_panels.h"
#include "screens/military/silo/silo_test_world.h"
#include "sim/command_log.h"
#include "sim/game_command.h"
#include "support/global_guard.h"
#include "ui/control.h"
#include "ui/control_test_support.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/string_control.h"
#include "world/hex_extra.h"
#include "world/text/text_lists.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

using namespace silotest;

constexpr int kOther = 5;

struct Cmd {
  uint32_t id, arg24, arg28, arg32, arg36;
  bool operator==(const Cmd&) const = default;
};
std::vector<Cmd> Logged() {
  std::vector<Cmd> got;
  for (const GameCommand& c : g_commandLog.Entries()) got.push_back({c.id, c.arg24, c.arg28, c.arg32, c.arg36});
  return got;
}

using TestForm = controltest::PanelForm;

std::vector<std::string> RowTexts(const ListBoxControl* list) {
  std::vector<std::string> texts;
  for (Control* row = ListNextRow(list, nullptr); row; row = ListNextRow(list, row))
    texts.emplace_back(row->text);
  return texts;
}

// A 6 x 6 map whose hex (2, 2) holds the local region's silo with three
// missiles aboard (strength 1, 0.5 and 0), and (4, 1) a town of another
// region named "Harbour".
class SiloPanelsTest : public SiloWorldTest {
 protected:
  void SetUp() override {
    PlaceSilo(0.75f, {1.0f, 0.5f, 0.0f});
    World& w = g_world;
    w.cells[Cell(4, 1)].word = WithCellOwner(0, kOther);
    Class(kSiloClass, "Missile Silo", kClassFacility | kClassSettlement).cargoSlots = 40;
    UnitClassRecord& nuclear = Class(kMissileClass, "Nuclear Missile", kClassStock | kClassSpecialWeaponA);
    nuclear.slotSize = 10;
    nuclear.strikeYield = 15.0f;
    w.players[kOther] = PlayerRecord{};
    std::strcpy(w.players[kOther].name, "Oren Vale");

    townExtra_.text = strdup("Harbour");
    townStack_.extra = &townExtra_;
    w.cells[Cell(4, 1)].stack = &townStack_;
    SetText(kListUgstatus, 0, "Active");
    SetText(kListUgstatus, 1, "Inactive");
    const char* weapons[] = {"Nuclear", "Biological", "Chemical", "Conventional"};
    for (int i = 0; i < 4; ++i) SetText(kListWeaptype, i, weapons[i]);
    const char* relations[] = {"Own", "Ally", "Neutral", "Enemy"};
    for (int i = 0; i < 4; ++i) SetText(kListDiprel, i, relations[i]);
    g_commandLog.Clear();
  }
  void TearDown() override {
    g_commandLog.Clear();
    SiloWorldTest::TearDown();
    std::free(townExtra_.text);
    townExtra_.text = nullptr;
    for (const auto& [list, index] : texts_) {
      char*& entry = g_textLists.entries[TextListInfoOf(list).first + index];
      std::free(entry);
      entry = nullptr;
    }
  }
  static UnitClassRecord& Class(int32_t c, const char* name, uint32_t flags) {
    UnitClassRecord& r = g_world.unitClasses[static_cast<size_t>(c)];
    std::strncpy(r.name, name, sizeof r.name - 1);
    r.flags = flags;
    return r;
  }
  void SetText(TextListId list, int index, const char* text) {
    char*& entry = g_textLists.entries[TextListInfoOf(list).first + index];
    std::free(entry);
    entry = strdup(text);
    texts_.emplace_back(list, index);
  }

  GlobalGuard<PlayerRecord> other_{g_world.players[kOther]};
  HexUnitStack townStack_;
  HexExtra townExtra_{};
  std::vector<std::pair<TextListId, int>> texts_;
};

TEST_F(SiloPanelsTest, PostSiloOrderPostsTheFiveLaunchOrdersOnlyForAFullMissileWithATarget) {
  const uint32_t target = PackHex(4, 1);
  const std::vector<Cmd> launch = {
      {kCmdUnitSetDestination, target, kMissileIds[0], 0, 0},
      {kCmdUnitSetFireHex, target, kMissileIds[0], 0, 0},
      {kCmdUnitSetOrdersHeaderBits, 0, kMissileIds[0], 0x2000, 1},
      {kCmdUnitSetOrderLevel, 0, kMissileIds[0], 1, 0},
      {kCmdAddOrderFlags, 0, kMissileIds[0], 0xA00, 0},
  };
  const struct {
    const char* name;
    float strength;
    uint32_t target;
    uint32_t missile;
    bool posts;
  } rows[] = {
      {"full, targeted", 1.0f, target, kMissileIds[0], true},
      {"strength 0.99", 0.99f, target, kMissileIds[0], false},
      {"target (0, 0)", 1.0f, 0, kMissileIds[0], false},
      {"target row off the map", 1.0f, PackHex(4, kSide), kMissileIds[0], false},
      {"no such missile", 1.0f, target, 0x03000099, false},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    missiles_[0].strength = r.strength;
    missiles_[0].ordersShown[kFireHex] = r.target;
    g_commandLog.Clear();
    PostSiloOrder(r.missile);
    EXPECT_EQ(Logged(), r.posts ? launch : std::vector<Cmd>{});
  }
}

TEST_F(SiloPanelsTest, TheButtonsPostTheirOrders) {
  const uint32_t target = PackHex(4, 1);
  const uint32_t m = kMissileIds[0];
  const struct {
    const char* tag;
    uint32_t target;
    std::vector<Cmd> log;
  } rows[] = {
      {"CANCLAUNCH", target, {{kCmdUnitCancelOrders, 0, m, 0, 0}, {kCmdUnitSetFireHex, target, m, 0, 0}}},
      {"CANCLAUNCH", 0, {{kCmdUnitCancelOrders, 0, m, 0, 0}}},
      {"CLEARTARG", target, {{kCmdUnitSetFireHex, 0, m, 0, 0}}},
      {"UNLOAD", 0, {{kCmdUnitAddOrderLevel, 0, m, 1, 0}, {kCmdAddOrderFlags, 0, m, 0x4000000, 0}}},
      {"AUTOTARGET", target, {}},
      {"LAUNCH", 0, {}},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.tag);
    missiles_[0].ordersShown[kFireHex] = r.target;
    Control button(controltest::Init(r.tag, nullptr, 0, 0, 20, 12));
    g_commandLog.Clear();
    OnSiloCommand({}, m, &button, nullptr, 0);
    EXPECT_EQ(Logged(), r.log);
  }
}

TEST_F(SiloPanelsTest, TheSiloPanelShowsItsMissilesAndStorage) {
  // Missiles of size 10 at 1.0, 0.5 and 0: 15 points, two listed; a
  // capacity of 40 at strength 0.75: 30. Inactive: its status line alone.
  const struct {
    const char* name;
    uint32_t posture;
    float firstStrength;
    std::vector<std::string> rows;
    bool offline;
    const char* stored;
  } rows[] = {
      {"active", 0, 1.0f, {"", ""}, false, "15"},
      {"inactive", kPostureInReserve, 1.0f, {"Inactive"}, true, "15"},
      {"only empty missiles", 0, 0.0f, {"No Missiles"}, false, "0"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    silo_.ordersShown[kPostureBits] = r.posture;
    missiles_[0].strength = r.firstStrength;
    missiles_[1].strength = r.firstStrength == 0.0f ? 0.0f : 0.5f;
    SiloPanel panel;
    TestForm form(panel, "FORM", {"LIST1", "ICBMHEADER", "SILO1", "SILO2", "OFFLINE", "NOTE", "CONDITION"});
    panel.BindControls();
    ASSERT_NE(panel.list, nullptr);
    panel.Refresh();
    std::vector<std::string> texts = RowTexts(panel.list);
    // Missile rows carry the missiles' names, which the test does not fix.
    for (std::string& t : texts)
      if (t != "Inactive" && t != "No Missiles") t.clear();
    EXPECT_EQ(texts, r.rows);
    EXPECT_EQ(form.Shown("OFFLINE"), r.offline);
    EXPECT_EQ(form["ICBMHEADER"]->Selected(), !r.offline);
    EXPECT_EQ(form.Text("SILO1"), r.stored);
    EXPECT_EQ(form.Text("SILO2"), "30");
    EXPECT_EQ(form.Text("CONDITION"), " 75 %");
  }
}

TEST_F(SiloPanelsTest, TheTargetBoxNamesTheHexItsOwnerAndTheWarhead) {
  const struct {
    const char* name;
    uint32_t target;
    uint32_t otherRelation;  // 1 friendly mask, 2 war mask
    uint32_t classFlags;
    float yield;
    const char* targetName;
    const char* owner;
    const char* relation;
    const char* yieldText;
  } rows[] = {
      {"named hex", PackHex(4, 1), 0, kClassStock | kClassSpecialWeaponA, 15.0f, "Harbour", "Oren Vale", "Neutral",
       "15.0 kt Nuc"},
      {"ally", PackHex(4, 1), 1, kClassStock | kClassSpecialWeaponB, 0.0f, "Harbour", "Oren Vale", "Ally", "Nuclear"},
      {"enemy", PackHex(4, 1), 2, kClassStock | kClassSpecialImmune, 0.0f, "Harbour", "Oren Vale", "Enemy",
       "Chemical"},
      {"column past the width", PackHex(kSide + 3, 2), 0, kClassStock, 0.0f, "X:003 Y:002", "", "Own",
       "Conventional"},
      {"no target", 0, 0, kClassStock, 0.0f, "No Target", "", "", "Conventional"},
      {"conventional with a yield", 0, 0, kClassStock, 0.8f, "No Target", "", "", "Conventional"},
      {"chemical with a yield", 0, 0, kClassStock | kClassSpecialImmune, 2.0f, "No Target", "", "", "Chemical"},
      {"row off the map", PackHex(3, -1), 0, kClassStock, 0.0f, "No Target", "", "", "Conventional"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    PlayerPolicyBlock& policy = g_world.players[kLocal].displayPolicy;
    policy.friendlyMask = r.otherRelation == 1 ? 1u << kOther : 0u;
    policy.hostileMask = r.otherRelation == 2 ? 1u << kOther : 0u;
    g_world.unitClasses[kMissileClass].flags = r.classFlags;
    g_world.unitClasses[kMissileClass].strikeYield = r.yield;
    missiles_[0].ordersShown[kFireHex] = r.target;
    MissileTargetPanel panel;
    TestForm form(panel, "FORM", {"MISSILE", "HIDE1", "TARGNAME", "OWNER", "RELATION", "YIELD", "TARGET", "CLEARTARG"});
    FillMissileTarget(form.root, kMissileIds[0]);
    EXPECT_EQ(form.Text("MISSILE"), "Nuclear Missile");
    EXPECT_EQ(form.Text("TARGNAME"), r.targetName);
    EXPECT_EQ(form.Text("OWNER"), r.owner);
    EXPECT_EQ(form.Text("RELATION"), r.relation);
    EXPECT_EQ(form.Text("YIELD"), r.yieldText);
    const bool targeted = std::string(r.targetName) != "No Target";
    EXPECT_EQ(form.Shown("HIDE1"), targeted);
    EXPECT_EQ(form.Shown("TARGET"), !targeted);
    EXPECT_EQ(form.Shown("CLEARTARG"), targeted);
  }
}

TEST_F(SiloPanelsTest, AMissilesRowShowsTheLaunchControlsItsOrdersAllow) {
  // GRIDLAUNCH covers the launch of a missile whose warhead is not released
  // until its launch is ordered; then only CANCLAUNCH shows. The special
  // weapons' bit decides before the first special kind's.
  const struct {
    const char* name;
    uint32_t classFlags;
    uint32_t release;
    bool ordered;
    bool targeted;
    bool launch, grid, cancel, target;
  } rows[] = {
      {"nuclear, released", kClassSpecialWeaponA, kRoeLaunchSpecialWeapons, false, true, true, false, false, false},
      {"nuclear, withheld", kClassSpecialWeaponA, kRoeLaunchFirstSpecialKind, false, true, true, true, false, false},
      {"first kind, withheld", kClassSpecialImmune, kRoeLaunchSpecialWeapons, false, true, true, true, false, false},
      {"conventional", 0, 0, false, true, true, false, false, false},
      {"every kind, bit 1 only", kClassSpecialKinds, kRoeLaunchSpecialWeapons, false, true, true, false, false, false},
      {"withheld, ordered", kClassSpecialWeaponB, 0, true, true, false, false, true, false},
      {"no target", kClassSpecialWeaponA, 0, false, false, false, false, false, true},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    g_world.unitClasses[kMissileClass].flags = kClassStock | r.classFlags;
    g_world.players[kLocal].displayPolicy.roeFlags = r.release;
    missiles_[0].ordersShown[kOrderFlags] = r.ordered ? kOrderLaunchCargo : 0u;
    missiles_[0].ordersShown[kFireHex] = r.targeted ? PackHex(4, 1) : 0u;
    SiloPanel panel;
    TestForm form(panel, "FORM", {"LIST1", "MISPARENT2", "LAUNCH", "GRIDLAUNCH", "CANCLAUNCH", "TARGET", "UNLOAD"});
    DrawSiloMissileRow(form["LIST1"], form.root, kMissileIds[0]);
    EXPECT_EQ(form.Shown("LAUNCH"), r.launch);
    EXPECT_EQ(form.Shown("GRIDLAUNCH"), r.grid);
    EXPECT_EQ(form.Shown("CANCLAUNCH"), r.cancel);
    EXPECT_EQ(form.Shown("TARGET"), r.target);
    EXPECT_TRUE(form.Shown("UNLOAD"));
    DrawSiloMissileRow(form["LIST1"], form.root, 0);
    EXPECT_FALSE(form.Shown("MISPARENT2"));
    EXPECT_FALSE(form.Shown("TARGET"));
  }
}

// Columns wrap round the map both ways; rows off the map are no hex.
TEST(SiloFigures, TargetCellsWrapColumnsAndRefuseRowsOffTheMap) {
  GlobalGuard<int32_t> width(g_world.mapWidth), height(g_world.mapHeight);
  GlobalGuard<std::vector<HexCell>> cells(g_world.cells);
  g_world.mapWidth = 10;
  g_world.mapHeight = 5;
  g_world.cells.assign(50, HexCell{});
  const struct {
    int32_t x, y;
    int64_t cell;
    int32_t column;
  } rows[] = {{13, 2, 23, 3}, {-1, 1, 19, 9}, {0, 0, -1, 0}, {4, 5, -1, 0}, {4, -2, -1, 0}, {9, 4, 49, 9}};
  for (const auto& r : rows) {
    int32_t column = 0, row = 0;
    EXPECT_EQ(MissileTargetCell(g_world, PackHex(r.x, r.y), &column, &row), r.cell) << r.x << "," << r.y;
    if (r.cell >= 0) {
      EXPECT_EQ(column, r.column) << r.x;
    }
  }
}

}  // namespace
