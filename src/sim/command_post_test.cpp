#include "sim/command_post.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <vector>

#include "sim/command_counts.h"
#include "sim/command_executor.h"
#include "sim/command_test_world.h"
#include "records/unit_record.h"
#include "world/id_lookups.h"
#include "world/region_figures.h"

namespace {

// Ids inside the table that do nothing: one no command has taken, and a
// hex id whose handler ignores it.
constexpr uint32_t kUnusedId = 137;
constexpr uint32_t kHexIdWithoutEffect = 302;

std::vector<std::vector<uint8_t>> g_sent;
int32_t Capture(const uint8_t* m, size_t n) {
  g_sent.emplace_back(m, m + n);
  return 0;
}

uint32_t Bits(float f) { return std::bit_cast<uint32_t>(f); }

class Posting : public ::testing::Test {
 protected:
  void SetUp() override { g_sent.clear(); }

  // A minimum-wage command of the player with the given value.
  GameCommand MinWage(int player, float value) {
    GameCommand c = MakeGameCommand(t.world->gameState, kCmdMinWage, player);
    c.arg28 = Bits(value);
    return c;
  }
  PlayerRecord& P(int p) { return t.world->players[p]; }
  void Drain() { DrainDueCommands(*t.log, 0xFFFFFFFFu); }

  CommandTestWorld t;
};

TEST_F(Posting, StampsTheNextCounterWithThePlayerInTheTopByte) {
  P(2).commandCounter = 41;
  PostCommand(*t.log, MinWage(2, 1.0f), false);
  PostCommand(*t.log, MinWage(2, 2.0f), false);
  EXPECT_EQ(P(2).commandCounter, 43u);
  const std::vector<GameCommand> log = t.log->Entries();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].sequence, 0x0200002Au);
  EXPECT_EQ(log[1].sequence, 0x0200002Bu);
}

TEST_F(Posting, RunsTheDisplayPassAtOnceAndTheSimulationPassAtTheDueTick) {
  PostCommand(*t.log, MinWage(1, 4.5f), false);  // due at 103
  EXPECT_EQ(P(1).displayPolicy.minwage, 4.5f);
  EXPECT_EQ(P(1).simPolicy.minwage, 0.0f);
  EXPECT_EQ(PendingCommands(P(1)), 1);
  EXPECT_EQ(DrainDueCommands(*t.log, 102), 0);
  EXPECT_EQ(P(1).simPolicy.minwage, 0.0f);
  EXPECT_EQ(DrainDueCommands(*t.log, 103), 1) << "due at the current tick runs in this minute";
  EXPECT_EQ(P(1).simPolicy.minwage, 4.5f);
  EXPECT_EQ(PendingCommands(P(1)), 0);
  EXPECT_TRUE(t.log->Empty());
}

TEST_F(Posting, SendsTheRecordAndItsPayloadOnlyWhenAskedInANetworkGame) {
  GameCommand named = MakeGameCommand(t.world->gameState, kCmdNameHex, 1);
  named.payload = {'H', 'i', 0};
  named.payloadLength = 3;
  {
    ScopedNetLink net(kNetGameClient, &Capture);
    PostCommand(*t.log, named, true);
    PostCommand(*t.log, MinWage(1, 1.0f), true);
    PostCommand(*t.log, MinWage(1, 2.0f), false);  // a peer's command posted again: not sent on
  }
  ASSERT_EQ(g_sent.size(), 2u);
  EXPECT_EQ(g_sent[0].size(), 64u + 3u);
  EXPECT_EQ(g_sent[1].size(), 64u);
  for (const auto& m : g_sent) {
    EXPECT_EQ(m[0], 0x01);
    EXPECT_EQ(m[1], 0x00);
    EXPECT_EQ(m[2], 0x02);
    EXPECT_EQ(m[3], 0x00);
  }
  EXPECT_EQ(std::memcmp(g_sent[0].data() + 64, "Hi", 3), 0);
  // The sent record carries the stamp.
  EXPECT_EQ(g_sent[1][20], 2);
  EXPECT_EQ(g_sent[1][23], 1);
  {
    ScopedNetLink net(kNetGameNone, &Capture);
    PostCommand(*t.log, MinWage(1, 3.0f), true);
  }
  {
    ScopedNetLink net(kNetGameHost, nullptr);
    PostCommand(*t.log, MinWage(1, 3.0f), true);
  }
  EXPECT_EQ(g_sent.size(), 2u) << "nothing sent outside a network game or without a network";
}

// The display pass runs for the local player's commands, for the ids that
// make units and projects of every player, and for other regions' commands
// only where the rules say.
TEST_F(Posting, DisplayPassFilterMatrix) {
  P(2).kind = kKindComputer;
  P(3).kind = kKindHuman;  // a person at another peer
  P(3).networkSlot = 4;
  t.world->slotTable[4].state = kSlotHuman;
  P(5).kind = kKindEmpty;
  P(6).kind = kKindOut;
  P(7).kind = kKindHuman;  // a person on this machine taking turns (hot seat)
  struct Case {
    NetGameRole role;
    int player;
    uint32_t id;
    bool runs;
  };
  const Case cases[] = {
      // Single process.
      {kNetGameNone, 1, 16, true},
      {kNetGameNone, 2, 16, true},
      {kNetGameNone, 7, 16, true},
      {kNetGameNone, 5, 16, false},
      {kNetGameNone, 6, 16, false},
      {kNetGameNone, 5, 272, true},
      {kNetGameNone, 6, 384, true},
      // Network client: only the local player and the three making ids.
      {kNetGameClient, 1, 16, true},
      {kNetGameClient, 2, 16, false},
      {kNetGameClient, 3, 16, false},
      {kNetGameClient, 3, 272, true},
      {kNetGameClient, 2, 275, true},
      {kNetGameClient, 3, 384, true},
      {kNetGameClient, 2, 385, false},
      {kNetGameClient, 5, 16, false},
      // Host: computer regions too, but not another peer's person.
      {kNetGameHost, 1, 16, true},
      {kNetGameHost, 2, 16, true},
      {kNetGameHost, 3, 16, false},
      {kNetGameHost, 3, 272, true},
      {kNetGameHost, 6, 16, false},
      {kNetGameHost, 6, 275, true},
      // The local player whatever its kind.
      {kNetGameClient, 1, 0x8002, true},
  };
  for (const Case& c : cases) {
    ScopedNetLink net(c.role, nullptr);
    GameCommand command = MakeGameCommand(t.world->gameState, c.id, c.player);
    EXPECT_EQ(RunsDisplayPass(*t.world, command), c.runs)
        << "role " << c.role << " player " << c.player << " id " << c.id;
  }
  // The local player's kind does not matter.
  P(1).kind = kKindOut;
  EXPECT_TRUE(RunsDisplayPass(*t.world, MakeGameCommand(t.world->gameState, kCmdMinWage, 1)));
}

TEST_F(Posting, ACommandWhoseDisplayPassIsSkippedChangesAndCountsNothingUntilItsSimulationPass) {
  P(3).kind = kKindHuman;
  P(3).networkSlot = 4;
  t.world->slotTable[4].state = kSlotHuman;
  ScopedNetLink net(kNetGameClient, nullptr);
  PostCommand(*t.log, MinWage(3, 7.0f), false);
  EXPECT_EQ(P(3).displayPolicy.minwage, 0.0f);
  EXPECT_EQ(PendingCommands(P(3)), 0);
  EXPECT_EQ(P(3).commandCounter, 1u) << "the receiver stamps it from its own counter";
  Drain();
  EXPECT_EQ(P(3).simPolicy.minwage, 7.0f);
  EXPECT_EQ(P(3).displayPolicy.minwage, 0.0f) << "it ran once, in the simulation pass";
  EXPECT_EQ(PendingCommands(P(3)), 0) << "never below zero";
}

TEST_F(Posting, UnitCreationRunsBothPassesOnEveryPeer) {
  t.world->unitClasses.resize(3);
  t.world->unitClasses[2].strengthPerSize = 10;
  P(3).kind = kKindHuman;
  P(3).networkSlot = 4;
  t.world->slotTable[4].state = kSlotHuman;
  ScopedNetLink net(kNetGameClient, nullptr);
  GameCommand make = MakeGameCommand(t.world->gameState, kCmdCreateUnit, 3);
  make.arg28 = 2;
  make.arg32 = Bits(1.0f);
  make.arg24 = 0x00020003;  // column 3, row 2
  PostCommand(*t.log, make, false);
  const uint32_t id = 0x03000001;
  UnitRecord* unit = FindUnitById(*t.world, id);
  ASSERT_NE(unit, nullptr) << "made at once on this peer too, under the command's sequence word";
  EXPECT_TRUE(unit->unitFlags & kUnitProvisional);
  EXPECT_EQ(unit->owner, 3);
  EXPECT_EQ(unit->x, 3);
  EXPECT_EQ(unit->y, 2);
  EXPECT_EQ(PendingCommands(P(3)), 1);
  Drain();
  EXPECT_FALSE(unit->unitFlags & kUnitProvisional) << "confirmed by the simulation pass";
  EXPECT_EQ(PendingCommands(P(3)), 0);
}

TEST_F(Posting, AnIdWithoutEffectStillCountsUpAndDown) {
  PostCommand(*t.log, MakeGameCommand(t.world->gameState, kUnusedId, 2), false);
  PostCommand(*t.log, MakeGameCommand(t.world->gameState, kHexIdWithoutEffect, 2), false);
  EXPECT_EQ(PendingCommands(P(2)), 2);
  Drain();
  EXPECT_EQ(PendingCommands(P(2)), 0);
  // A stray simulation pass finds nothing to take away.
  GameCommand stray = MakeGameCommand(t.world->gameState, kUnusedId, 2);
  ExecuteCommand(*t.world, stray, 1);
  EXPECT_EQ(PendingCommands(P(2)), 0);
}

TEST_F(Posting, TheCounterCatchesUpWithSeenCommandsAndNeverGoesBack) {
  GameCommand seen = MinWage(2, 1.0f);
  seen.sequence = 0x02000032;  // counter 50, as a stored game brings it
  t.log->Insert(seen);
  P(2).commandCounter = 7;
  Drain();
  EXPECT_EQ(P(2).commandCounter, 50u);
  GameCommand older = MinWage(2, 1.0f);
  older.sequence = 0x02000005;
  t.log->Insert(older);
  Drain();
  EXPECT_EQ(P(2).commandCounter, 50u);
  PostCommand(*t.log, MinWage(2, 1.0f), false);
  EXPECT_EQ(t.log->Entries().at(0).sequence, 0x02000033u);
}

TEST_F(Posting, MalformedCommandsAreDroppedWithoutAnyEffect) {
  ScopedNetLink net(kNetGameHost, &Capture);
  const auto before = std::make_unique<PlayerRecord[]>(kMaxPlayers);
  std::memcpy(static_cast<void*>(before.get()), static_cast<const void*>(t.world->players),
              sizeof t.world->players);
  GameCommand unknown = MinWage(1, 1.0f);
  unknown.id = 400;
  GameCommand badPlayer = MinWage(1, 1.0f);
  badPlayer.player = 32;
  GameCommand oversized = MakeGameCommand(t.world->gameState, kCmdDipOffer, 1);
  oversized.payload.assign(kMaxCommandPayload + 1, 'x');
  oversized.payloadLength = kMaxCommandPayload + 1;
  GameCommand lying = MakeGameCommand(t.world->gameState, kCmdDipOffer, 1);
  lying.payload.assign(10, 'x');
  lying.payloadLength = 9;
  GameCommand badHeader = MinWage(1, 1.0f);
  badHeader.header = 0x20002;
  for (GameCommand* c : {&unknown, &badPlayer, &oversized, &lying, &badHeader}) PostCommand(*t.log, *c, true);
  EXPECT_TRUE(t.log->Empty());
  EXPECT_TRUE(g_sent.empty());
  EXPECT_EQ(std::memcmp(before.get(), t.world->players, sizeof t.world->players), 0);
  // The executor refuses them too when they come by another road.
  ExecuteCommand(*t.world, unknown, 1);
  ExecuteCommand(*t.world, badPlayer, 0);
  EXPECT_EQ(std::memcmp(before.get(), t.world->players, sizeof t.world->players), 0);
}

TEST_F(Posting, TheGovernmentTypeRefreshesTheDisplayOnlyWhenNoCommandIsLeft) {
  P(1).displayPolicy.readinessValue = 9.0f;  // a display value no command sets
  PostCommand(*t.log, MinWage(1, 2.0f), false);  // due at 103
  t.world->gameState.currentTick = 105;
  GameCommand govtype = MakeGameCommand(t.world->gameState, kCmdSetGovType, 1);  // due at 108
  govtype.arg28 = 4;
  PostCommand(*t.log, govtype, false);
  EXPECT_EQ(P(1).displayPolicy.word0 & 0xFF, 4u) << "the request shows at once";
  EXPECT_EQ(PendingCommands(P(1)), 2);
  DrainDueCommands(*t.log, 103);
  EXPECT_EQ(PendingCommands(P(1)), 1);
  EXPECT_EQ(P(1).displayPolicy.readinessValue, 9.0f);
  DrainDueCommands(*t.log, 108);
  EXPECT_EQ(PendingCommands(P(1)), 0);
  EXPECT_EQ(P(1).govtype, 4);
  EXPECT_EQ(std::memcmp(&P(1).displayPolicy, &P(1).simPolicy, sizeof(PlayerPolicyBlock)), 0)
      << "the simulation settings replace the displayed ones when the count reaches zero";
  EXPECT_EQ(P(1).displayPolicy.word0 & 0xFF, 0u);
}

TEST_F(Posting, WorldMarketMembershipShowsItsRequestUntilTheSimulationPass) {
  P(1).treasury = 1000.0f;
  P(1).gdp = 100000.0f;
  StoreRegionFloat(P(1), kRegionWmIntegrity, 0.5f);
  GameCommand join = MakeGameCommand(t.world->gameState, kCmdPolicyFlag2, 1);
  join.arg28 = 1;
  PostCommand(*t.log, join, false);
  EXPECT_EQ(P(1).displayPolicy.wageFlags, (1u << 8) | (1u << 2)) << "member, and the request waiting";
  EXPECT_EQ(P(1).simPolicy.wageFlags, 0u);
  EXPECT_EQ(P(1).treasury, 1000.0f) << "the display pass charges nothing";
  Drain();
  EXPECT_EQ(P(1).simPolicy.wageFlags, 1u << 2);
  EXPECT_EQ(P(1).displayPolicy.wageFlags, 1u << 2) << "the request is done";
  // The fee: (0.02 - 0.01 x 0.5) x 100000 x 0.05 = 0.015 x 5000 = 75.
  EXPECT_NEAR(P(1).treasury, 925.0f, 0.001f);
  GameCommand again = MakeGameCommand(t.world->gameState, kCmdPolicyFlag2, 1);
  again.arg28 = 1;
  PostCommand(*t.log, again, false);
  Drain();
  EXPECT_NEAR(P(1).treasury, 925.0f, 0.001f) << "a member joins for nothing";
  GameCommand leave = MakeGameCommand(t.world->gameState, kCmdPolicyFlag2, 1);
  leave.arg28 = 2;  // only bit 0 of the word counts: leave
  PostCommand(*t.log, leave, false);
  Drain();
  EXPECT_EQ(P(1).simPolicy.wageFlags, 0u);
}

}  // namespace
