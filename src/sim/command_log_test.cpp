#include "sim/command_log.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <tuple>
#include <vector>

#include "sim/command_post.h"
#include "sim/command_test_world.h"
#include "world/command_log_access.h"
#include "world/game_file.h"

namespace {

// An id inside the table that no command has taken: it does nothing.
constexpr uint32_t kUnusedId = 137;

GameCommand Logged(uint32_t dueTick, uint32_t sequence, uint32_t tag) {
  GameCommand c;
  c.id = kUnusedId;
  c.dueTick = dueTick;
  c.player = static_cast<uint8_t>(sequence >> 24);
  c.sequence = sequence;
  c.arg36 = tag;
  return c;
}

std::vector<uint32_t> DrainTags(CommandLog& log, uint32_t tick) {
  std::vector<uint32_t> tags;
  GameCommand c;
  while (log.TakeDue(tick, c)) tags.push_back(c.arg36);
  return tags;
}

TEST(CommandLog, AnEmptyLogTakesTheFirstCommandAndRunsASmallerTickFirst) {
  CommandTestWorld t;
  EXPECT_TRUE(t.log->Empty());
  t.log->Insert(Logged(50, 0x01000001, 1));
  EXPECT_EQ(t.log->Size(), 1u);
  t.log->Insert(Logged(40, 0x01000002, 2));
  EXPECT_EQ(DrainTags(*t.log, 100), (std::vector<uint32_t>{2, 1}));
}

TEST(CommandLog, GivesNothingBeforeItsDueTick) {
  CommandTestWorld t;
  t.log->Insert(Logged(50, 0x01000001, 1));
  GameCommand c;
  EXPECT_FALSE(t.log->TakeDue(49, c));
  EXPECT_TRUE(t.log->TakeDue(50, c));
  EXPECT_FALSE(t.log->TakeDue(50, c));
}

TEST(CommandLog, TicksAndSequencesCompareUnsigned) {
  CommandTestWorld t;
  t.log->Insert(Logged(0x80000000u, 0x01000001, 1));
  t.log->Insert(Logged(0x7FFFFFFFu, 0x1F000001, 2));
  t.log->Insert(Logged(0x7FFFFFFFu, 0x02000001, 3));
  EXPECT_EQ(DrainTags(*t.log, 0xFFFFFFFFu), (std::vector<uint32_t>{3, 2, 1}));
}

// Random commands in random order come out sorted by due tick, then player,
// then counter; commands with equal keys in the order they were logged.
TEST(CommandLog, DrainsInTickPlayerCounterOrderAgainstABruteForceSort) {
  std::mt19937 random(20261207);
  for (int round = 0; round < 20; ++round) {
    CommandTestWorld t;
    struct Item {
      uint32_t tick, player, counter, tag;
    };
    std::vector<Item> items;
    for (uint32_t tag = 0; tag < 300; ++tag) {
      // Few distinct values, so equal keys happen often.
      items.push_back({static_cast<uint32_t>(random() % 6), static_cast<uint32_t>(random() % 4),
                       static_cast<uint32_t>(random() % 5 + 1), tag});
    }
    for (const Item& i : items) t.log->Insert(Logged(i.tick, (i.player << 24) | i.counter, i.tag));
    std::vector<Item> sorted = items;
    std::stable_sort(sorted.begin(), sorted.end(), [](const Item& a, const Item& b) {
      return std::tie(a.tick, a.player, a.counter) < std::tie(b.tick, b.player, b.counter);
    });
    std::vector<uint32_t> want;
    for (const Item& i : sorted) want.push_back(i.tag);
    const std::vector<GameCommand> listed = t.log->Entries();
    ASSERT_EQ(listed.size(), items.size());
    for (size_t i = 0; i < listed.size(); ++i) ASSERT_EQ(listed[i].arg36, want[i]) << "entry " << i;
    ASSERT_EQ(DrainTags(*t.log, 0xFFFFFFFFu), want) << "round " << round;
    EXPECT_TRUE(t.log->Empty());
  }
}

TEST(CommandLog, TwoPlayersOfOneTickRunLowerPlayerFirstWhateverTheOrderOfPosting) {
  CommandTestWorld t;
  t.world->players[4].commandCounter = 0;
  t.world->players[1].commandCounter = 900;  // a higher counter does not matter
  GameCommand c4 = MakeGameCommand(t.world->gameState, kUnusedId, 4);
  c4.arg36 = 4;
  PostCommand(*t.log, c4, false);
  GameCommand c1 = MakeGameCommand(t.world->gameState, kUnusedId, 1);
  c1.arg36 = 1;
  PostCommand(*t.log, c1, false);
  EXPECT_EQ(DrainTags(*t.log, 1000), (std::vector<uint32_t>{1, 4}));
}

TEST(CommandLog, ClearDestroysEveryCommand) {
  CommandTestWorld t;
  GameCommand c = Logged(5, 0x01000001, 1);
  c.payload.assign(1000, 7);
  c.payloadLength = 1000;
  t.log->Insert(c);
  t.log->Insert(Logged(6, 0x01000002, 2));
  t.log->Clear();
  EXPECT_TRUE(t.log->Empty());
  GameCommand out;
  EXPECT_FALSE(t.log->TakeDue(100, out));
}

TEST(CommandLog, EachWorldKnowsItsOwnLog) {
  CommandTestWorld a;
  CommandTestWorld b;
  EXPECT_EQ(CommandLogOf(*a.world), a.log.get());
  EXPECT_EQ(CommandLogOf(*b.world), b.log.get());
  EXPECT_EQ(CommandLogOf(g_world), &g_commandLog);
  a.log.reset();
  EXPECT_EQ(CommandLogOf(*a.world), nullptr);
}

// The game file stores the waiting commands with their payloads and fills
// the log of the world it is read into.
TEST(CommandLog, WaitingCommandsTravelThroughTheGameFile) {
  CommandTestWorld a;
  a.world->gameState.designRowBytes = 4;
  a.world->designRows.assign(kMaxPlayers * 4, 0);
  a.world->gameState.techCount = 2;
  a.world->techRows.assign(kMaxPlayers * 2, PlayerTechState{});
  GameCommand named = MakeGameCommand(a.world->gameState, kCmdNameHex, 1);
  named.arg24 = PackHex(2, 3);
  named.payload = {'N', 'o', 'r', 't', 'h', 0};
  named.payloadLength = 6;
  PostCommand(*a.log, named, false);
  GameCommand tax = MakeGameCommand(a.world->gameState, kCmdTaxRate, 2);
  tax.arg28 = 4;
  tax.arg32 = 0x3E800000;
  PostCommand(*a.log, tax, false);
  a.world->gameState.currentTick = 90;
  PostCommand(*a.log, MakeGameCommand(a.world->gameState, kUnusedId, 3), false);
  const std::vector<GameCommand> waiting = a.log->Entries();
  const std::vector<uint8_t> image = BuildGameImage(*a.world);

  CommandTestWorld b;
  // A command of the game that ran before must not survive the load.
  PostCommand(*b.log, MakeGameCommand(b.world->gameState, kCmdMinWage, 4), false);
  ASSERT_FALSE(b.log->Empty());
  ASSERT_GE(ReadGamFile(*b.world, "", image), 0);
  const std::vector<GameCommand> restored = b.log->Entries();
  ASSERT_EQ(restored.size(), waiting.size());
  for (size_t i = 0; i < waiting.size(); ++i)
    EXPECT_EQ(EncodeGameCommand(restored[i]), EncodeGameCommand(waiting[i])) << "command " << i;
  EXPECT_EQ(restored[0].id, kUnusedId) << "still in due order: the one due at 93 first";
  EXPECT_EQ(restored[1].payload, named.payload);
}

TEST(CommandLog, AStoredCommandThatIsNotWellFormedIsDropped) {
  CommandTestWorld t;
  ASSERT_NE(g_commandLogAccess.insert, nullptr);
  PendingCommandImage stored;
  GameCommand c = MakeGameCommand(t.world->gameState, kCmdMinWage, 2);
  c.sequence = 0x02000009;
  std::vector<uint8_t> m = EncodeGameCommand(c);
  std::copy(m.begin(), m.end(), stored.bytes);
  PendingCommandImage bad = stored;
  bad.bytes[16] = 40;  // player 40
  g_commandLogAccess.insert(*t.world, std::move(bad));
  EXPECT_TRUE(t.log->Empty());
  g_commandLogAccess.insert(*t.world, std::move(stored));
  ASSERT_EQ(t.log->Size(), 1u);
  EXPECT_EQ(t.log->Entries()[0].sequence, 0x02000009u) << "kept as it was stamped";
}

}  // namespace
