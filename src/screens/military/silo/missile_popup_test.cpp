// The missile pop-up's views over a small world: the design's panel, the
// stock's panel and order toggles, and the price of a missile build.
#include "screens/military/silo/missile_popup.h"

#include <gtest/gtest.h>

#include <array>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "records/command_ids.h"
#include "records/hex_cell.h"
#include "records/order_words.h"
#include "records/player_record.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "screens/common/local_region_fixture.h"
#include "screens/common/military_test_support.h"
#include "screens/military/silo/missile_panels.h"
#include "screens/military/production/unit_build_popup.h"
#include "sim/command_log.h"
#include "sim/game_command.h"
#include "support/global_guard.h"
#include "ui/control_bits.h"
#include "ui/list_control.h"
#include "world/data_tables.h"
#include "world/id_lookups.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

using militarytest::TestSheet;

constexpr int kLocal = 2;
constexpr int32_t kShells = 1;

class MissilePopupTest : public militarytest::LocalRegionTest<kLocal, 3> {
 protected:
  void SetUp() override {
    LocalRegionTest::SetUp();
    World& w = g_world;
    std::strncpy(w.unitClasses[kShells].name, "Shells", sizeof w.unitClasses[kShells].name - 1);
    w.unitClasses[kShells].flags = kClassStock;
    w.unitClasses[kShells].availability = 1;
    w.gameState.designRowBytes = 3;
    w.designRows.assign(32 * 3, 0);
    w.players[kLocal] = PlayerRecord{};
    w.players[kLocal].classMask = 1;
    w.players[kLocal].techLevel = 4.4f;
  }
  // One stock, alone in the world's ring.
  UnitRecord& Stock(int owner) {
    ring_.KeepFirst(0);
    return ring_.Add(77, owner, kShells);
  }

  GlobalGuard<std::vector<uint8_t>> rows_{g_world.designRows};
  GlobalGuard<int32_t> width_{g_world.mapWidth}, height_{g_world.mapHeight};
  GlobalGuard<std::vector<HexCell>> cells_{g_world.cells};
};

TEST_F(MissilePopupTest, DesignPanelFollowsTheDesignState) {
  const struct {
    const char* what;
    uint8_t bits, obsoleteLevel, level;
    MissileDesignPanel panel;
  } rows[] = {
      {"available though obsolete", kDesignAvailable, 2, 9, MissileDesignPanel::kBuild},
      {"researchable at the rounded level", 0, 4, 4, MissileDesignPanel::kResearch},
      {"obsolete", 0, 3, 0, MissileDesignPanel::kNone},
      {"above the rounded level", 0, 0, 5, MissileDesignPanel::kNone},
  };
  for (const auto& r : rows) {
    UnitClassRecord& c = g_world.unitClasses[kShells];
    c.buildThreshold = r.obsoleteLevel, c.level = r.level;
    g_world.designRows[kLocal * 3 + kShells] = r.bits;
    EXPECT_EQ(ChooseMissileDesignPanel(g_world, kLocal, kShells), r.panel) << r.what;
  }
}

TEST_F(MissilePopupTest, StockPanelFollowsTheStockState) {
  const struct {
    const char* what;
    uint32_t shownPosture, posture, flags, carrier;
    int16_t x;
    StockPanel panel;
  } rows[] = {
      {"being built", kPostureUnderConstruction, kPostureInReserve, 0, 0, 0, StockPanel::kConstruction},
      {"in reserve", 0, kPostureInReserve, 0, 0, 0, StockPanel::kDeployment},
      {"in reserve, inactive", 0, kPostureInReserve, kUnitGone, 0, 0, StockPanel::kStatus},
      {"not in reserve", 0, 0, 0, 0, 0, StockPanel::kStatus},
      {"carried", 0, kPostureInReserve, 0, 9, 0, StockPanel::kPlatform},
      {"on the map", 0, 0, 0, 0, 5, StockPanel::kPlatform},
      {"in reserve by its silo", 0, kPostureInReserve, 0, 0, 5, StockPanel::kDeployment},
      {"in reserve by its silo, inactive", 0, kPostureInReserve, kUnitGone, 0, 5, StockPanel::kStatus},
  };
  for (const auto& r : rows) {
    UnitRecord& s = Stock(kLocal);
    s.ordersShown[kPostureBits] = r.shownPosture, s.orders[kPostureBits] = r.posture;
    s.unitFlags = r.flags, s.carrier = r.carrier, s.x = r.x;
    EXPECT_EQ(ChooseStockPanel(s), r.panel) << r.what;
  }
}

TEST_F(MissilePopupTest, OrderTogglesPostOnlyForTheLocalPlayersStock) {
  const struct {
    int owner;
    const char* tag;
    bool checked;
    std::vector<uint32_t> posted;  // 338's words: unit, bit, set
  } rows[] = {
      {kLocal, "AUTOBUT", true, {77, kStateDeployRefused, 1}},
      {kLocal, "CONTBUT", false, {77, kStateDeployDue, 0}},
      {kLocal + 1, "AUTOBUT", true, {}},
  };
  for (const auto& r : rows) {
    Stock(r.owner);
    TestSheet sheet;
    Control* button = sheet.Add(r.tag);
    SetControlFlag(button, kStateSelected, r.checked ? 1 : 0);
    MissilePopupB view;
    view.stockId = 77;
    view.OnCommand(button, 0);
    std::vector<uint32_t> got;
    for (const GameCommand& c : g_commandLog.Entries()) {
      EXPECT_EQ(c.id, kCmdUnitSetStateBits);
      got.insert(got.end(), {c.arg28, c.arg32, c.arg36});
    }
    EXPECT_EQ(got, r.posted) << r.owner << r.tag;
    g_commandLog.Clear();
  }
}

TEST_F(MissilePopupTest, BuildPriceAndDays) {
  UnitClassRecord c{};
  c.strengthPerSize = 4, c.price = 100.0f, c.resourceB = 10.0f, c.kind = 2, c.buildWorkPerPoint = 3.0f;
  c.costPerElement = 5.0f, c.weight = 2.0f;
  c.loadableMask = 0x10;
  // Money 4 x 5 x sqrt(0.25), half the goods of a sea class at the strength
  // itself, (4 x 2 x 0.5 x 0.25 + 0.9) at 3 a unit, and 0.9; the money price
  // prices facilities.
  EXPECT_FLOAT_EQ(MissileBuildPrice(c, 0.25f, 3.0f), 10.0f + 5.7f + 0.9f);
  c.kind = 1;
  EXPECT_FLOAT_EQ(MissileBuildPrice(c, 2.0f, 3.0f), 40.0f + 50.7f + 0.9f) << "a whole goods share at twice the strength";
  EXPECT_EQ(MissileBuildDays(c, 0.25f), 7);
  EXPECT_TRUE(SiloBasedDesign(c));
}

TEST_F(MissilePopupTest, DeployKindsCoverWhatTheDesignCannotUse) {
  const struct {
    const char* what;
    uint8_t mask;
    bool checked[5];
    uint32_t covered, checkedAfter;  // bit per kind
    int32_t kind;
  } rows[] = {
      {"no usable kind", 0, {false, false, false, true, false}, 0x1F, 0x01, 0},
      {"200 checked", 0x1F, {true, false, false, false, false}, 0x00, 0x01, 0},
      {"a covered check moves to the lowest usable", 0x0C, {false, true, false, false, false}, 0x13, 0x04, 2},
      {"sea checked", 0x1F, {false, false, true, false, false}, 0x00, 0x04, 2},
  };
  for (const auto& r : rows) {
    const DeployKinds k = ChooseDeployKinds(r.mask, r.checked);
    uint32_t covered = 0, checked = 0;
    for (int i = 0; i < 5; ++i) covered |= k.covered[i] ? 1u << i : 0, checked |= k.checked[i] ? 1u << i : 0;
    EXPECT_EQ(covered, r.covered) << r.what;
    EXPECT_EQ(checked, r.checkedAfter) << r.what;
    EXPECT_EQ(k.kind, r.kind) << r.what;
  }
}

TEST_F(MissilePopupTest, DeployTargetsAndPlatformNames) {
  g_world.mapWidth = 32, g_world.mapHeight = 8;
  g_world.cells.assign(32 * 8, HexCell{});
  UnitRecord& s = Stock(kLocal);
  s.ordersShown[kDestination] = PackHex(17, 3);
  const DeployTargetShown facilities = DeployTargetOf(g_world, s, false);
  EXPECT_EQ(facilities.text, "First Available");
  EXPECT_EQ(facilities.hex, 0u) << "CENTRE2 stays hidden";
  const DeployTargetShown platforms = DeployTargetOf(g_world, s, true);
  EXPECT_EQ(platforms.text, "");
  EXPECT_EQ(platforms.hex, PackHex(17, 3));
  UnitRecord silo{};
  silo.x = 17, silo.y = 3;
  EXPECT_EQ(LaunchFacilityName(g_world, silo), "X:017 Y:003");
}

TEST_F(MissilePopupTest, CancellingConstructionReleasesTheStock) {
  UnitRecord& s = Stock(kLocal);
  s.ordersShown[kPostureBits] = kPostureUnderConstruction;
  TestSheet sheet;
  Control* cancel = sheet.Add("CANCEL");
  MissileCancelPanel panel;
  panel.id = 77;
  panel.OnCommand(cancel, 0);
  std::vector<uint32_t> ids;
  for (const GameCommand& c : g_commandLog.Entries()) ids.push_back(c.id);
  EXPECT_EQ(ids, (std::vector<uint32_t>{kCmdUnitSetStateBits, kCmdUnitSetStateBits, kCmdUnitSetStateBits,
                                        kCmdDisbandUnit}));
}

// The deployment panel's load buttons act on its stock (77) and the
// platform picked in its list (90).
TEST_F(MissilePopupTest, TheDeploymentPanelLoadsAndStopsItsStock) {
  Stock(kLocal);
  using Cmd = std::array<uint32_t, 3>;
  const struct {
    const char* button;
    std::vector<Cmd> want;  // command, unit, value, in order
  } rows[] = {
      {"LOAD", {{kCmdUnitSetLeaderUnit, 77, 90}, {kCmdUnitAddOrderLevel, 77, 1}}},
      {"LOADFILL", {{kCmdUnitSetLeaderUnit, 77, 90}, {kCmdUnitSetOrderLevel, 77, 255}}},
      {"LOADSTOP", {{kCmdUnitCancelOrders, 77, 0}}},
  };
  for (const auto& r : rows) {
    TestSheet sheet;
    Control* button = sheet.Add(r.button);
    std::unique_ptr<ListBoxControl> sites(ListBoxConstruct(0, 0, 100, 100, 0, 0x2000, nullptr));
    ListAddTextItem(sites.get(), "platform", 90, 90, 0, 0, 1);
    ListSetSelection(0, sites.get(), 90, 0);
    MissileDeployPanel panel;
    panel.id = 77;
    panel.currentForm = sheet.root;
    panel.sites = sites.get();
    g_commandLog.Clear();
    panel.OnCommand(button, 0);
    std::vector<Cmd> got;
    for (const GameCommand& c : g_commandLog.Entries()) got.push_back({c.id, c.arg28, c.arg32});
    ASSERT_GE(got.size(), r.want.size()) << r.button;
    got.resize(r.want.size());
    EXPECT_EQ(got, r.want) << r.button;
    panel.currentForm = nullptr;
    panel.sites = nullptr;
  }
}

}  // namespace
