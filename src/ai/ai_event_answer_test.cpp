#include "ai/ai_event_answer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <optional>

#include "ai/ai_player_fields.h"
#include "ai/ai_worker_state.h"
#include "records/hex_cell.h"
#include "records/le_bytes.h"
#include "records/unit_record.h"
#include "records/command_ids.h"
#include "sim/command_log.h"
#include "support/global_guard.h"
#include "units/hex_geometry.h"
#include "world/unit_create.h"
#include "world/map_data.h"
#include "world/text/rule_tables.h"
#include "world/world.h"

namespace {

constexpr int kOwner = 3;
constexpr int kTankClass = 4;
constexpr int kLand = 1;

// A 24 x 4 land map of hex size 20, all of it region 3's, with a tank class
// of role 0 whose operating range is 300 (so it reaches 300 / 3 + 4 x 20 =
// 180), and a response table whose kind-0 and kind-15 rows take land units
// of role 0 (as does kind 1's).
class EventAnswer : public ::testing::Test {
 protected:
  EventAnswer() : world(std::make_unique<World>()) {
    World& w = *world;
    if (ResizeMap(w, 24, 4) != 0) std::abort();
    w.terrains.assign(kTerrainCount, TerrainRecord{});
    for (HexCell& c : w.cells) c.word = WithCellOwner(WithCellTerrain(0, kLand), kOwner);
    w.mapHeader.hexScale = 20;
    w.unitClasses.assign(8, UnitClassRecord{});
    UnitClassRecord& tank = w.unitClasses[kTankClass];
    std::strcpy(tank.name, "Tank");
    tank.strengthPerSize = 10;
    tank.valuePerPoint = 1;
    tank.attackValues[0] = 5;  // rated against land targets
    tank.attackValues[2] = 4;
    tank.stockRange = 300.0f;
    for (int p = 0; p < kMaxPlayers; ++p) w.players[p].number = static_cast<uint8_t>(p);
    w.players[kOwner].kind = kKindComputer;
    w.players[kOwner].displayPolicy.milinitiativeoff = 100;
    w.gameState.highestPlayer = kOwner;
    w.gameState.localPlayer = kOwner;
    w.gameState.currentTick = 101;  // low bits not 0: slots are tried from `assigned`
    for (AiRequestResponse& r : g_ruleTables.aiParams.requestResponses) r = AiRequestResponse{0, 3, 31};
    for (int kind : {0, 1, 15}) g_ruleTables.aiParams.requestResponses[kind * 8] = AiRequestResponse{0, 0, 0};
    log.emplace(w);
  }
  ~EventAnswer() override {
    ClearAiWorkers();
    g_aiEvents.Clear();
  }

  UnitRecord& Tank(int x, int y) {
    World& w = *world;
    UnitRecord* u = CreateUnit(w, w.players[kOwner], ++nextId, kTankClass, 1.0f, MakeHexPos(x, y), 0, 0);
    u->unitFlags &= ~kUnitProvisional;
    u->orders[kPostureBits] = 0;
    u->buildWork = 0.0f;
    u->strength = 10.0f;
    u->efficiency = 1.0f;
    return *u;
  }

  void Prepare() {
    g_aiWorkers[kOwner] = AiWorkerState{};
    for (UnitRecord* u = world->units; u; u = u->next == world->units ? nullptr : u->next)
      g_aiWorkers[kOwner].fieldUnits[0].push_back(u->id);
    aifields::SetFieldUnitCount(world->players[kOwner], 0, static_cast<uint16_t>(g_aiWorkers[kOwner].fieldUnits[0].size()));
  }

  void Queue(uint16_t kind, uint16_t value, int x, int y, uint32_t tick = 101, uint16_t count = 1) {
    g_aiEvents.Push(kOwner, new AiEvent{tick, MakeHexPos(x, y), 0, value, kind, static_cast<uint16_t>(6 * count), nullptr});
  }

  // The order and setting sent to the unit, if any.
  struct Sent {
    uint32_t order = 0;
    std::optional<uint32_t> setting;
  };
  std::optional<Sent> SentTo(const UnitRecord& u) {
    std::optional<Sent> sent;
    for (const GameCommand& c : log->Entries()) {
      if (c.arg28 != u.id) continue;
      if (c.id == kCmdUnitSetOrderId) {
        if (!sent) sent = Sent{};
        sent->order = c.arg32;
      }
      if (c.id == kCmdUnitSetOrderSetting) {
        if (!sent) sent = Sent{};
        sent->setting = c.arg36;
      }
    }
    return sent;
  }

  std::unique_ptr<World> world;
  GlobalGuard<AiParams> params_{g_ruleTables.aiParams};
  std::optional<CommandLog> log;
  uint32_t nextId = (kOwner << 24) | 1;
};

TEST(AiHexDistance, MeasuresColumnsAndTheRowsBeyondHalfThem) {
  const struct {
    int ax, ay, bx, by, width;
    bool wraps;
    int32_t distance;
  } cases[] = {
      {0, 0, 1, 0, 10, false, 1},  {0, 0, 1, 1, 10, false, 2}, {0, 0, 2, 2, 10, false, 3},
      {0, 5, 99, 5, 100, true, 1}, {0, 5, 99, 5, 100, false, 99}, {3, 4, 3, 1, 10, false, 3},
  };
  for (const auto& c : cases) {
    const HexMapShape map{c.width, 10, c.wraps};
    EXPECT_EQ(HexRangeDistance(map, MakeHexPos(c.ax, c.ay), MakeHexPos(c.bx, c.by)), c.distance)
        << "(" << c.ax << "," << c.ay << ")-(" << c.bx << "," << c.by << ")";
  }
}

// An event is answered only above (100 - milinitiativeoff) x 100.
TEST_F(EventAnswer, TheInitiativeSettingSetsTheBar) {
  const struct {
    uint8_t initiative;
    uint16_t value;
    bool answered;
  } cases[] = {{0, 10000, false}, {0, 10001, true}, {100, 1, true}, {100, 0, false}, {50, 5000, false}, {50, 5001, true}};
  for (const auto& c : cases) {
    log->Clear();
    ClearAiWorkers();
    world->players[kOwner].displayPolicy.milinitiativeoff = c.initiative;
    if (!world->units) Tank(3, 1);  // on the event's hex: near enough for any value
    Prepare();
    Queue(1, c.value, 3, 1);
    AnswerMapEvents(*world, world->players[kOwner]);
    EXPECT_EQ(SentTo(*world->units).has_value(), c.answered) << int(c.initiative) << " " << c.value;
    ASSERT_EQ(g_aiWorkers[kOwner].standing.size(), 1u);
    EXPECT_EQ(g_aiWorkers[kOwner].standing[0].assigned, c.answered ? 1 : 0);
  }
}

TEST_F(EventAnswer, ASecondAlarmBesideAStandingOneAtTheSameMomentWantsNoUnits) {
  const struct {
    int x, y;
    uint32_t tick;
    uint16_t kind;
    uint16_t wanted;
  } cases[] = {
      {4, 1, 50, 15, 0},   // 2 hexes away, same moment: covered by the first
      {5, 1, 50, 15, 6},   // 3 hexes away
      {4, 1, 51, 15, 6},   // another moment
      {4, 1, 50, 14, 6},   // another kind
  };
  for (const auto& c : cases) {
    ClearAiWorkers();
    Queue(c.kind, 500, 2, 1, 50);
    AnswerMapEvents(*world, world->players[kOwner]);
    Queue(c.kind, 500, c.x, c.y, c.tick);
    AnswerMapEvents(*world, world->players[kOwner]);
    const auto& standing = g_aiWorkers[kOwner].standing;
    ASSERT_EQ(standing.size(), 2u);
    EXPECT_EQ(standing[0].event.position, MakeHexPos(c.x, c.y)) << "the new one goes in front of an equal value";
    EXPECT_EQ(standing[0].event.subKind, c.wanted) << c.x << " " << c.tick << " " << c.kind;
    EXPECT_EQ(standing[1].event.subKind, 6) << "the standing one keeps its count";
  }
}

// Hex size 20, reach 180, an attack on the region's own ground (V = value /
// 4): at value 2000 a tank 8 hexes away (160 < 180) is sent with order 41
// and the distance 160; one 9 away (180) is not. At value 4000 the setting
// is the reach, 180.
TEST_F(EventAnswer, AUnitIsSentWithinReachAndUrgency) {
  const struct {
    int tankX;
    uint16_t value;
    std::optional<uint32_t> setting;
  } cases[] = {{10, 2000, 160}, {11, 2000, std::nullopt}, {10, 4000, 180}, {10, 600, std::nullopt}};
  for (const auto& c : cases) {
    log->Clear();
    ClearAiWorkers();
    for (UnitRecord* u = world->units; u; u = u->next == world->units ? nullptr : u->next) u->unitFlags |= kUnitGone;
    UnitRecord& tank = Tank(c.tankX, 1);
    Prepare();
    Queue(0, c.value, 2, 1);
    AnswerMapEvents(*world, world->players[kOwner]);
    const auto sent = SentTo(tank);
    ASSERT_EQ(sent.has_value(), c.setting.has_value()) << c.tankX << " " << c.value;
    if (!sent) continue;
    EXPECT_EQ(sent->order, static_cast<uint32_t>(kAnswerAttackOrder));
    EXPECT_EQ(sent->setting, c.setting);
    EXPECT_EQ(aifields::FieldUnitCount(world->players[kOwner], 0), 0) << "the sent unit leaves the count";
  }
}

}  // namespace
