#include "ai/ai_unit_build.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <optional>

#include "ai/ai_player_fields.h"
#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/le_bytes.h"
#include "records/unit_record.h"
#include "records/command_ids.h"
#include "sim/command_counts.h"
#include "sim/command_log.h"
#include "support/global_guard.h"
#include "units/hex_geometry.h"
#include "world/unit_ring.h"
#include "world/hex_extra.h"
#include "world/map_data.h"
#include "world/text/rule_tables.h"
#include "world/world.h"

namespace {

constexpr int kOwner = 2;
constexpr int kClasses = 12;
constexpr int kBaseClass = 10;

// Classes 1 to 9 are land classes of the role the test gives them, all
// alike (speed 20); class 10 a producing base with one slot. Only weight 4
// (speed) counts: a class is worth its speed / 2. The region is rich, so
// no weight is adjusted.
class UnitBuild : public ::testing::Test {
 protected:
  UnitBuild() : world(std::make_unique<World>()) {
    World& w = *world;
    if (ResizeMap(w, 6, 6) != 0) std::abort();
    w.unitClasses.assign(kClasses, UnitClassRecord{});
    for (int c = 1; c < kBaseClass; ++c) {
      UnitClassRecord& k = w.unitClasses[static_cast<size_t>(c)];
      std::snprintf(k.name, sizeof k.name, "Class%d", c);
      k.strengthPerSize = 10;
      k.typeByte = 31;  // no role a test asks for, until it says so
      k.speed = 20;
    }
    UnitClassRecord& base = w.unitClasses[kBaseClass];
    std::strcpy(base.name, "Base");
    base.strengthPerSize = 1;
    base.flags = kClassFacility | kClassSettlement;
    base.baseSlots = 1;
    w.gameState.designRowBytes = kClasses;
    w.designRows.assign(static_cast<size_t>(kMaxPlayers * kClasses), 0);
    for (int c = 1; c < kClasses; ++c) Available(c, true);
    for (int p = 0; p < kMaxPlayers; ++p) w.players[p].number = static_cast<uint8_t>(p);
    PlayerRecord& r = w.players[kOwner];
    r.kind = kKindComputer;
    r.treasury = 1e9f;
    w.gameState.highestPlayer = kOwner;
    for (float& f : g_ruleTables.aiParams.unitWeighting) f = 0.0f;
    for (float& f : g_ruleTables.aiParams.missileWeighting) f = 0.0f;
    for (int role = 0; role < kWeightedRoles; ++role) g_ruleTables.aiParams.unitWeighting[role * 60 + 4] = 1.0f;
    for (int type = 0; type < 4; ++type) g_ruleTables.aiParams.missileWeighting[type * 60 + 4] = 1.0f;
    log.emplace(w);
  }

  UnitClassRecord& Class(int c) { return world->unitClasses[static_cast<size_t>(c)]; }
  void Available(int c, bool on) {
    uint8_t& b = world->designRows[static_cast<size_t>(kOwner * kClasses + c)];
    b = static_cast<uint8_t>(on ? (b | 1u) : (b & ~1u));
  }
  void Speed(int c, int16_t speed) { Class(c).speed = speed; }

  // A finished producing base of the region at (2, 3), its hex's lead, under
  // the region's id with that serial.
  UnitRecord& Base(uint32_t serial = 900) {
    auto* u = new UnitRecord{};
    u->owner = kOwner;
    u->controller = kOwner;
    u->id = (kOwner << 24) | serial;
    u->classIndex = kBaseClass;
    u->unitFlags = kUnitFacility;
    u->x = 2;
    u->y = 3;
    u->strength = 1.0f;
    InsertUnitInRing(*world, *u);
    MakeHexStack(world->cells[3 * 6 + 2])->lead = u;
    return *u;
  }

  std::vector<GameCommand> Posted(uint32_t id) {
    std::vector<GameCommand> out;
    for (const GameCommand& c : log->Entries())
      if (c.id == id) out.push_back(c);
    return out;
  }

  std::unique_ptr<World> world;
  GlobalGuard<AiParams> params_{g_ruleTables.aiParams};
  std::optional<CommandLog> log;
};

TEST_F(UnitBuild, TheBestClassOfTheRoleWinsAndATieKeepsTheLowerClass) {
  const struct {
    const char* what;
    int16_t speed3, speed5;
    bool available3;
    float cost5;  // build cost: weight 29 is 1 for the last row
    int32_t chosen;
  } cases[] = {
      {"a tie", 20, 20, true, 0, 3},
      {"the faster", 20, 30, true, 0, 5},
      {"the slower is the only one available", 20, 30, true, -1, 3},
      {"unavailable", 40, 10, false, 0, 5},
      {"a score of -10000 or less never wins", 0, 0, false, 201, 0},
  };
  for (const auto& c : cases) {
    for (int k = 1; k < kBaseClass; ++k) Class(k).typeByte = 31;
    Class(3).typeByte = 6;
    Class(5).typeByte = 6;
    Speed(3, c.speed3);
    Speed(5, c.speed5);
    Available(3, c.available3);
    Available(5, c.cost5 >= 0);
    Class(5).buildWorkPerPoint = c.cost5 > 0 ? c.cost5 : 0.0f;
    if (c.cost5 > 0) {
      Available(5, true);
      g_ruleTables.aiParams.unitWeighting[6 * 60 + 29] = 1.0f;
    }
    ClassChoice choice;
    choice.role = 6;
    float score = 0;
    EXPECT_EQ(AiChooseUnitClass(*world, world->players[kOwner], choice, &score), c.chosen) << c.what;
    g_ruleTables.aiParams.unitWeighting[6 * 60 + 29] = 0.0f;
  }
}

TEST_F(UnitBuild, TheFirstAutoBuildValueChoosesTheTier) {
  const struct {
    uint8_t value;
    int tier;
  } cases[] = {{0, 0}, {33, 0}, {34, 1}, {67, 1}, {68, 2}, {100, 2}, {255, 2}};
  for (const auto& c : cases) EXPECT_EQ(AiBuildTier(c.value), c.tier) << int(c.value);
}

// The land sequence of tier 0 holds role 0 at step 3 and 33 (role 1 with
// option bit 5) at step 4: a poor region skips to the next entry, whose
// role is 1; its option bit stays an option.
TEST_F(UnitBuild, APoorRegionSkipsARoleZeroEntry) {
  const struct {
    float funds;
    uint8_t cursor;
    int32_t chosen;
  } cases[] = {{9999, 3, 2}, {10000, 3, 1}, {9999, 15, 1}};
  Class(1).typeByte = 0;
  Class(2).typeByte = 1;
  Class(4).typeByte = 1;  // worse than 2
  Speed(4, 10);
  int32_t* sequence = g_ruleTables.aiParams.buildSequence;
  for (int i = 0; i < 16; ++i) sequence[i] = 31;
  sequence[3] = 0;
  sequence[4] = 33;
  sequence[15] = 0;
  Base();
  for (const auto& c : cases) {
    log->Clear();
    // The unit the last case ordered would hold the base's one slot.
    for (UnitRecord* u = world->units; u; u = u->next == world->units ? nullptr : u->next)
      if (u->classIndex != kBaseClass) u->unitFlags |= kUnitGone;
    PlayerRecord& r = world->players[kOwner];
    r.treasury = c.funds;
    aifields::BuildCursor(r, 0) = c.cursor;
    AiOrderUnitBuild(*world, r);
    const auto made = Posted(kCmdCreateUnit);
    ASSERT_EQ(made.size(), 1u) << c.funds;
    EXPECT_EQ(made[0].arg28, static_cast<uint32_t>(c.chosen)) << c.funds << " at " << int(c.cursor);
    EXPECT_EQ(made[0].arg24, MakeHexPos(2, 3));
    EXPECT_EQ(aifields::BuildCursor(r, 0), (c.cursor + 1) % 16);
  }
}

// A role beyond the weight table finds no class, and the pick gives way to
// another, up to 16 picks.
TEST_F(UnitBuild, APickThatFindsNothingGivesWayToTheNext) {
  int32_t* sequence = g_ruleTables.aiParams.buildSequence;
  for (int i = 0; i < 16; ++i) sequence[i] = 30;  // role 30: no weights
  sequence[9] = 7;
  Class(6).typeByte = 7;
  Base();
  AiOrderUnitBuild(*world, world->players[kOwner]);
  const auto made = Posted(kCmdCreateUnit);
  ASSERT_EQ(made.size(), 1u);
  EXPECT_EQ(made[0].arg28, 6u);
  EXPECT_EQ(aifields::BuildCursor(world->players[kOwner], 0), 10);
}

// Two one-slot bases share a hex: the unit the first orders is queued there
// and fills the second's slot, unless a unit already holds the id the order
// would give it (then nothing is made and the second base orders too).
TEST_F(UnitBuild, AUnitOrderedAtOneBaseHoldsASlotOfTheNext) {
  const struct {
    bool idTaken;
    size_t orders;
  } cases[] = {{false, 1}, {true, 2}};
  for (int i = 0; i < 16; ++i) g_ruleTables.aiParams.buildSequence[i] = 7;
  Class(6).typeByte = 7;
  for (const auto& c : cases) {
    log->Clear();
    for (UnitRecord* u = world->units; u; u = u->next == world->units ? nullptr : u->next) u->unitFlags |= kUnitGone;
    Base(900);
    Base(901);
    PlayerRecord& r = world->players[kOwner];
    if (c.idTaken) {
      auto* holder = new UnitRecord{};
      holder->id = MakeSequence(CommandCounter(r) + 1, kOwner);
      InsertUnitInRing(*world, *holder);
    }
    AiOrderUnitBuild(*world, r);
    EXPECT_EQ(Posted(kCmdCreateUnit).size(), c.orders) << c.idTaken;
  }
}

// Missiles of domain 0 and type 0 (batch limit 1: budget 4): each of the
// cell's four picks is posted twice when the class carries less than 3,
// else once; a class none may have posts nothing and keeps the cursors. A
// player's region orders no more than its store's room: limit 3 with 1
// used leaves room for 2 (budget 2, and the cell's walk stops there).
TEST_F(UnitBuild, MissileBatchesFollowTheBudgetAndTheCursors) {
  const struct {
    bool available;
    float carry;
    size_t posts;
    uint8_t domainCursor, subRoleCursor;
    int32_t kind = kKindComputer;
    uint16_t limit = 1, used = 0;
  } cases[] = {{true, 1.0f, 8, 1, 1},
               {true, 5.0f, 4, 1, 1},
               {false, 1.0f, 0, 0, 0},
               {true, 1.0f, 2, 1, 1, kKindHuman, 3, 1},
               {true, 5.0f, 2, 1, 1, kKindHuman, 3, 1},
               {true, 1.0f, 0, 0, 0, kKindHuman, 3, 3}};
  UnitClassRecord& missile = Class(8);
  missile.typeByte = kMissileRole;
  missile.flags = 1u << 15;
  missile.attackValues[0] = 1;  // can strike land
  missile.baseSlots = 1;  // serves domain 0
  missile.targetSize = 1;  // size class 1
  for (const auto& c : cases) {
    log->Clear();
    PlayerRecord& r = world->players[kOwner];
    r.displayPolicy.autobuildmissiles[0] = 1;
    r.displayPolicy.autobuildmissiles[1] = 1;
    r.displayPolicy.autobuildvalues[0] = 50;
    r.kind = c.kind;
    aifields::SetBatchLimit(r, c.limit);
    aifields::SetBatchCount(r, c.used);
    aifields::BatchMaxLevel(r, 0) = 2;
    aifields::BatchMinLevel(r, 0) = 1;
    aifields::BatchDomainCursor(r) = 0;
    aifields::BatchSubRoleCursor(r) = 0;
    Available(8, c.available);
    missile.carryCapacity = c.carry;
    AiOrderUnitBatch(*world, r);
    const auto made = Posted(kCmdCreateUnitAt);
    EXPECT_EQ(made.size(), c.posts) << c.carry << " kind " << c.kind;
    for (const GameCommand& m : made) {
      EXPECT_EQ(m.arg28, 8u);
      EXPECT_EQ(m.arg32, 1u);
      EXPECT_EQ(m.arg36, 5u) << "a class that batches all";
    }
    EXPECT_EQ(aifields::BatchDomainCursor(r), c.domainCursor);
    EXPECT_EQ(aifields::BatchSubRoleCursor(r), c.subRoleCursor);
  }
}

}  // namespace
