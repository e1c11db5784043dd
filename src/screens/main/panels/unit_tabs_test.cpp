#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "records/command_ids.h"
#include "records/order_words.h"
#include "screens/main/map/map_view.h"
#include "screens/main/panels/cargo_panel.h"
#include "screens/common/units/unit_tab_figures.h"
#include "screens/main/panels/unit_tab_panels.h"
#include "support/global_guard.h"
#include "sim/command_log.h"
#include "sim/game_command.h"
#include "world/data_tables.h"
#include "world/text/ui_options.h"

namespace {

// Detail tab: alert and morale words, worked by hand: 0.3 / 0.4 = 0.75 is
// level 0 (word 1), 0.4 is 1 (word 2), 0.8 and more stay at 2 (word 3);
// below zero stays at 0.
TEST(UnitDetailFigures, InitiativeLevelsAreTruncatedAndHeld) {
  const struct {
    float value;
    int32_t level;
  } rows[] = {{0.3f, 0}, {0.4f, 1}, {0.79f, 1}, {0.8f, 2}, {3.0f, 2}, {-0.5f, 0}, {NAN, 0}};
  for (const auto& r : rows) EXPECT_EQ(InitiativeLevel(r.value), r.level) << r.value;
}

// A = ((k w n + 0.9) f + n c + 0.9) / 2 with w 2, c 3, f 1.5, strength 5:
// land n 10: (20.9 x 1.5 + 30.9) / 2 = 31.125, cost at alert 0.44 is
// 3.1125 + 15.5625 x 1.2 = 21.7875; sea: (10.9 x 1.5 + 30.9) / 2 = 23.625,
// 2.3625 + 11.8125 x 1.2 = 16.5375. n 0: A = 2.25 / 2 = 1.125, only A / 10;
// n -4: A = (-7.1 x 1.5 - 11.1) / 2 = -10.875, only A / 10. Alert -3 takes
// sqrt(0): A / 10 alone.
TEST(UnitDetailFigures, AnnualCost) {
  const struct {
    bool sea;
    int16_t n;
    float alert;
    float base;
    float cost;
  } rows[] = {
      {false, 10, 0.44f, 31.125f, 21.7875f}, {true, 10, 0.44f, 23.625f, 16.5375f},
      {false, 0, 0.44f, 1.125f, 0.1125f},    {false, -4, 0.44f, -10.875f, -1.0875f},
      {false, 10, -3.0f, 31.125f, 3.1125f},
  };
  for (const auto& r : rows) {
    const AnnualCostInputs in{.atSea = r.sea, .weight = 2.0f, .defaultStrength = r.n, .runningCost = 3.0f,
                              .costFactor = 1.5f, .strength = 5.0f, .alert = r.alert};
    EXPECT_NEAR(AnnualCostBase(in), r.base, 1e-3f) << r.sea << " " << r.n;
    EXPECT_NEAR(AnnualCost(in), r.cost, 1e-3f) << r.sea << " " << r.n << " " << r.alert;
  }
}

// Stance from posture bit 1 and state bit 30.
TEST(UnitDetailFigures, StanceFollowsPostureBitOne) {
  const struct {
    uint32_t posture, state;
    const char* text;
  } rows[] = {
      {0, 1u << 30, "Normal"}, {1, 1u << 30, "Normal"}, {2, 1u << 30, "ON HOLD"}, {2, 0, "Construction"},
      {0xFFFFFFFDu, 0xFFFFFFFFu, "Normal"},
  };
  for (const auto& r : rows) EXPECT_STREQ(StanceText(r.posture, r.state), r.text) << r.posture << " " << r.state;
}

// Supply row: supplies 30, strength 2, daily use 1.5 and a supply capacity
// of 40 a point give room 80: 30 / 3 = 10 days, 80 / 3 = 26 days. Strength
// or daily use 0 gives 0 days. A carrier whose units overrun its cargo room
// (capacity 40, carried 55) loses 15 of supply room unless it holds goods,
// is carried itself or carries nothing; the room never drops below 0.
TEST(UnitStrengthFigures, SupplyRow) {
  const struct {
    float strength, daily, goods;
    bool carries, carried;
    float carriedLoad;
    float room;
    int32_t days, roomDays;
  } rows[] = {
      {2, 1.5f, 0, false, false, 0, 80, 10, 26},  {0, 1.5f, 0, false, false, 0, 0, 0, 0},
      {2, 0, 0, false, false, 0, 80, 0, 0},       {2, -1, 0, false, false, 0, 80, 0, 0},
      {2, 1.5f, 0, true, false, 55, 65, 10, 21},  {2, 1.5f, 5, true, false, 55, 80, 10, 26},
      {2, 1.5f, 0, true, true, 55, 80, 10, 26},   {2, 1.5f, 0, false, false, 55, 80, 10, 26},
      {2, 1.5f, 0, true, false, 500, 0, 10, 0},
  };
  for (const auto& r : rows) {
    CarrierLoad load;
    load.capacity = 40.0f;
    load.goods = r.goods;
    load.carried = r.carriedLoad;
    load.total = r.goods + r.carriedLoad;
    load.carriesUnits = r.carries;
    const SupplyRow row = SupplyRowOf(40.0f, r.daily, r.strength, 30.0f, r.carried, load);
    EXPECT_FLOAT_EQ(row.room, r.room) << r.strength << " " << r.daily << " " << r.carriedLoad;
    EXPECT_EQ(row.days, r.days) << r.strength << " " << r.daily;
    EXPECT_EQ(row.roomDays, r.roomDays) << r.strength << " " << r.daily << " " << r.carriedLoad;
  }
}

// Any id from 900 to 999 flips the bars switch and asks for a redraw.
TEST(UnitStrengthFigures, SwitchIdsFlipTheRows) {
  GlobalGuard<int32_t> bars(g_uiOptions.buishowspecsliders);
  GlobalGuard<int32_t> redraw(g_mapView.redrawPending);
  const struct {
    int32_t before, id, after, redraw;
  } rows[] = {{0, 900, 1, 1}, {1, 999, 0, 1}, {5, 950, 0, 1}, {0, 899, 0, 0}, {1, 1000, 1, 0}, {0, 155, 0, 0}};
  for (const auto& r : rows) {
    g_uiOptions.buishowspecsliders = r.before;
    g_mapView.redrawPending = 0;
    FlipStrengthRowsOnCommand(r.id);
    EXPECT_EQ(g_uiOptions.buishowspecsliders, r.after) << r.id;
    EXPECT_EQ(g_mapView.redrawPending, r.redraw) << r.id;
  }
}

// Class sheet: which icons a flag set shows.
TEST(UnitClassSheet, IconsFollowTheClassFlags) {
  const struct {
    uint32_t flags;
    int32_t id;
    bool shown;
  } rows[] = {
      {(1u << 10) | (1u << 11), 8, true},  {(1u << 10) | (1u << 11), 9, false},
      {(1u << 12) | (1u << 13), 9, true},  {(1u << 12) | (1u << 13), 8, false},
      {1u << 11, 9, true},                 {1u << 13, 8, true},
      {0xFFFFFFFFu, 4, false},             {1u << 1, 1, true},
      {(1u << 1) | (1u << 28), 1, false},  {1u << 30, 20, true},
      {1u << 29, 18, true},                {1u << 0, 10, true},
      {0, 10, false},
  };
  for (const auto& r : rows) {
    UnitClassImage cls{};
    cls.flags = r.flags;
    cls.targetType = 2;
    bool found = false;
    for (const ClassIconRule& rule : ClassIconRules()) {
      if (rule.id != r.id) continue;
      found = true;
      EXPECT_EQ(rule.shown(cls), r.shown) << std::hex << r.flags << std::dec << " icon " << r.id;
    }
    EXPECT_TRUE(found) << r.id;
  }
}

// The kind icons: exactly the one of the kind, none for kind 2, which has
// no rule and keeps what the form holds.
TEST(UnitClassSheet, OneKindIcon) {
  for (uint8_t kind = 0; kind < 8; ++kind) {
    UnitClassImage cls{};
    cls.targetType = kind;
    int shown = 0;
    for (const ClassIconRule& rule : ClassIconRules()) {
      EXPECT_NE(rule.id, 32);
      if (rule.id >= 30 && rule.shown(cls)) {
        ++shown;
        EXPECT_EQ(rule.id, 30 + kind);
      }
    }
    EXPECT_EQ(shown, kind == 2 ? 0 : 1) << int{kind};
  }
}

// Cargo: the text of an empty carrier by its capacities.
TEST(CargoPanelOrders, EmptyCarrierText) {
  const struct {
    bool cargo, missiles;
    const char* text;
  } rows[] = {{true, true, "No Cargo/Missiles"}, {false, true, "No Missiles"}, {true, false, "No Cargo"},
              {false, false, "No Cargo"}};
  for (const auto& r : rows) EXPECT_STREQ(EmptyCargoText(r.cargo, r.missiles), r.text) << r.cargo << r.missiles;
}

// Unloading all: the carrier's no-load bit first, then per missile the
// order level 255 and the unload flag, in that order, as the log holds them.
TEST(CargoPanelOrders, UnloadAllPostsInOrder) {
  struct Cmd {
    uint32_t id, arg28, arg32, arg36;
    bool operator==(const Cmd&) const = default;
  };
  const struct {
    uint32_t carrier;
    std::vector<uint32_t> missiles;
    std::vector<Cmd> log;
  } rows[] = {
      {7, {}, {{kCmdUnitSetOrdersHeaderBits, 7, 0x10000, 1}}},
      {7,
       {11, 12},
       {{kCmdUnitSetOrdersHeaderBits, 7, 0x10000, 1},
        {kCmdUnitSetOrderLevel, 11, 255, 0},
        {kCmdAddOrderFlags, 11, 0x4000000, 0},
        {kCmdUnitSetOrderLevel, 12, 255, 0},
        {kCmdAddOrderFlags, 12, 0x4000000, 0}}},
      {0, {11}, {{kCmdUnitSetOrderLevel, 11, 255, 0}, {kCmdAddOrderFlags, 11, 0x4000000, 0}}},
  };
  for (const auto& r : rows) {
    g_commandLog.Clear();
    PostUnloadAll(r.carrier, r.missiles);
    std::vector<Cmd> got;
    for (const GameCommand& c : g_commandLog.Entries()) got.push_back({c.id, c.arg28, c.arg32, c.arg36});
    EXPECT_EQ(got, r.log) << r.carrier << " " << r.missiles.size();
  }
  g_commandLog.Clear();
}

}  // namespace
