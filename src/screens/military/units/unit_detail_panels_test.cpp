// The unit detail pop-up's order panels: the engagement boxes, the
// stand-down figures and order, and the queue buttons.
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <vector>

#include "records/command_ids.h"
#include "records/order_words.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "screens/common/local_region_fixture.h"
#include "screens/common/military_test_support.h"
#include "screens/military/units/unit_detail_panels.h"
#include "screens/screen_set.h"
#include "sim/command_log.h"
#include "support/global_guard.h"
#include "units/unit_player_fields.h"
#include "world/id_lookups.h"
#include "world/world.h"

namespace {

constexpr int kLocal = 1;
using Posted = std::array<uint32_t, 4>;

std::vector<Posted> PostedCommands() {
  std::vector<Posted> out;
  for (const GameCommand& c : g_commandLog.Entries()) out.push_back({c.id, c.arg28, c.arg32, c.arg36});
  return out;
}

class UnitDetailPanelsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_world.gameState.localPlayer = kLocal;
    g_world.unitClasses.assign(2, UnitClassRecord{});
    unit_.id = 77, unit_.owner = kLocal, unit_.classIndex = 1;
    unit_.next = unit_.prev = &unit_;
    g_world.units = &unit_;
    ReindexUnits(g_world);
    ++g_unitRecordEpoch;
    g_commandLog.Clear();
  }
  void TearDown() override {
    g_world.units = nullptr;
    ReindexUnits(g_world);
    ++g_unitRecordEpoch;
    g_commandLog.Clear();
  }
  GlobalGuard<GameState> state_{g_world.gameState};
  GlobalGuard<std::vector<UnitClassRecord>> classes_{g_world.unitClasses};
  GlobalGuard<PlayerRecord> owner_{g_world.players[kLocal]};
  UnitRecord unit_{};
};

TEST_F(UnitDetailPanelsTest, EngagementBoxes) {
  Screen& panel = *g_screens.unitEngagement;
  GlobalGuard<intptr_t> id{panel.id};
  militarytest::TestSheet form;
  Control* aggressive = form.Add(nullptr, 142);
  Control* own = form.Add(nullptr, 151);
  panel.id = unit_.id;
  panel.OnOpen();
  SetControlFlag(aggressive, kStateSelected, 1);
  panel.OnControlChange(aggressive, 142);
  const std::vector<Posted> expected = {{kCmdUnitSetOrdersHeaderBits, 77, 0x100, 1},
                                        {kCmdUnitSetOrdersHeaderBits, 77, 0x20, 0}};
  EXPECT_EQ(PostedCommands(), expected);
  g_commandLog.Clear();
  for (uint32_t pressed : {1u, 0u}) {
    SetControlFlag(own, kStateSelected, static_cast<int32_t>(pressed));
    panel.OnControlChange(own, 151);
    EXPECT_EQ((unit_.unitFlags2 >> 12) & 1u, pressed);
  }
  EXPECT_TRUE(g_commandLog.Empty());
}

// s = 100, goods upkeep 20, land, price 2, cash upkeep 50, strength 100,
// service 3: base = ((2000 + 0.9) x 2 + 5000.9) / 2 = 4501.35 and the day
// cost (450.135 + 4501.35 x 2) / 365 = 25.9. Without elements the shares
// per element are 0, not infinite.
TEST_F(UnitDetailPanelsTest, StandDownFiguresAndOrder) {
  UnitClassRecord& cls = g_world.unitClasses[1];
  cls.strengthPerSize = 100, cls.weight = 20.0f, cls.costPerElement = 50.0f, cls.valuePerPoint = 3;
  unit_.strength = 100.0f, unit_.training = 3.0f;
  unitfields::SetProductReal(g_world.players[kLocal], unitfields::kSupplyProduct, kProductPriceLimitAt, 2.0f);
  militarytest::TestSheet form;
  form.Texts({"DAYCOST", "TROOPS", "RECOVERED"});
  Screen& panel = *g_screens.unitRecover;
  GlobalGuard<intptr_t> id{panel.id};
  GlobalGuard<Control*> shown{panel.currentForm};
  panel.currentForm = form.root;
  panel.id = unit_.id;
  panel.OnOpen();
  panel.Refresh();
  // The day's upkeep: q = (100 x 50 + (100 x 20 + 0.9) x 2 + 0.9) / 2 =
  // 4501.35, a tenth of it plus q x sqrt(3 + 1) for the full unit.
  EXPECT_EQ(form.Text("DAYCOST"), "$ 9,452");
  EXPECT_EQ(form.Text("TROOPS"), "300");
  cls.strengthPerSize = 0;
  const RecoveryFigures none = UnitRecoveryFigures(unit_, cls, g_world.players[kLocal]);
  EXPECT_FLOAT_EQ(none.dayCost, (2.0f * 0.9f + 0.9f) / 2.0f / 10.0f);
  EXPECT_FLOAT_EQ(none.recovered, 0.81f);

  cls.kind = 3;
  Control ok;
  SetControlTag(&ok, "OKBUT");
  panel.OnCommand(&ok, 0);
  const std::vector<Posted> posted = PostedCommands();
  ASSERT_FALSE(posted.empty());
  EXPECT_EQ(posted.back(), (Posted{kCmdUnitSetOrderId, 77, 48, 0}));
}

// One row per case: queued (word 12 bit 31), held (bit 30), eligible.
TEST_F(UnitDetailPanelsTest, QueueButtons) {
  const char* tags[] = {"REQUEBUT", "HOLD", "UNHOLD", "CANCEL", "REMBUT"};
  const struct {
    bool queued, held, eligible;
    std::array<bool, 5> shown;
  } rows[] = {
      {true, false, true, {true, false, false, true, false}},
      {true, true, true, {false, false, false, true, false}},
      {false, false, true, {false, true, false, false, true}},
      {false, true, true, {false, false, true, false, true}},
      {true, false, false, {false, false, false, false, false}},
      {false, true, false, {false, false, false, false, false}},
  };
  militarytest::TestSheet form;
  form.Texts({"REQUEBUT", "HOLD", "UNHOLD", "CANCEL", "REMBUT"});
  for (const auto& r : rows) {
    unit_.ordersShown[kStateFlags] = (r.queued ? kStateHeldSlot : 0u) | (r.held ? kStatePausedBuild : 0u);
    unit_.orders[kPostureBits] = kPostureUnderConstruction;
    unit_.unitFlags = r.eligible ? 0u : kUnitGone;
    UpdateQueueButtons(form.root, unit_);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(!form.Find(tags[i])->Hidden(), r.shown[i]) << tags[i] << r.queued << r.held;
  }
}

}  // namespace
