// The pipeline as a whole: the same commands on two worlds end in the same
// state whatever the order the posting threads ran in, and many threads
// posting while the minute loop drains run each command exactly twice.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <bit>
#include <cstring>
#include <mutex>
#include <random>
#include <set>
#include <thread>
#include <vector>

#include "sim/command_counts.h"
#include "sim/command_post.h"
#include "sim/command_test_world.h"
#include "sim/policy_block_fields.h"
#include "world/unit_create.h"
#include "records/unit_record.h"
#include "world/id_lookups.h"
#include "world/list_items.h"

namespace {

struct Scripted {
  uint32_t id, a24, a28, a32, a36;
  std::vector<uint8_t> payload;
};

// Player p's commands. Its k-th command gets the sequence word p << 24 | k,
// so the script names the units and projects its own commands make.
std::vector<Scripted> Script(int p, uint32_t seed) {
  std::mt19937 random(seed * 31 + static_cast<uint32_t>(p));
  std::vector<Scripted> s;
  auto r = [&](uint32_t n) { return static_cast<uint32_t>(random() % n); };
  auto seq = [&](size_t k) { return (static_cast<uint32_t>(p) << 24) | static_cast<uint32_t>(k); };
  s.push_back({272, PackHex(p, 1), 3, std::bit_cast<uint32_t>(2.0f), 0, {}});  // unit seq(1)
  s.push_back({384, 0, kProjectDesign, 3, 0, {}});                               // project seq(2)
  for (int i = 0; i < 60; ++i) {
    switch (r(9)) {
      case 0: s.push_back({16, 0, std::bit_cast<uint32_t>(static_cast<float>(r(1000)) / 8.0f), 0, 0, {}}); break;
      case 1: s.push_back({19, 0, r(12), static_cast<uint32_t>(random()), 0, {}}); break;
      case 2: s.push_back({277, 0, r(8), r(7), 0, {}}); break;
      case 3: s.push_back({353, 0, seq(1), r(255), 0, {}}); break;
      case 4: s.push_back({352, 0, seq(1), static_cast<uint32_t>(static_cast<int32_t>(r(21)) - 10), 0, {}}); break;
      case 5: s.push_back({336, 0, seq(1), 0, 0, {}}); break;
      case 6: s.push_back({386, 0, seq(2), 1u << (r(8)), r(2), {}}); break;
      case 7: s.push_back({128, 0, r(6), 0, 0, {}}); break;
      default: s.push_back({80, 0, r(4), 0, 0, {}}); break;
    }
  }
  return s;
}

GameCommand Build(const World& world, int player, const Scripted& s) {
  GameCommand c = MakeGameCommand(world.gameState, s.id, player);
  c.arg24 = s.a24;
  c.arg28 = s.a28;
  c.arg32 = s.a32;
  c.arg36 = s.a36;
  c.payload = s.payload;
  c.payloadLength = static_cast<uint32_t>(s.payload.size());
  return c;
}

void Prepare(CommandTestWorld& t) {
  t.world->unitClasses.resize(4);
  t.world->unitClasses[3].strengthPerSize = 5;
  t.world->unitClasses[3].buildWorkPerPoint = 0.5f;
  t.world->gameState.designRowBytes = 4;
  t.world->designRows.assign(kMaxPlayers * 4, 0);
}

// Everything the commands can reach: the region records, the units and the
// projects.
std::vector<uint8_t> Image(const World& w) {
  std::vector<uint8_t> out(reinterpret_cast<const uint8_t*>(w.players),
                           reinterpret_cast<const uint8_t*>(w.players) + sizeof w.players);
  if (const UnitRecord* first = w.units) {
    const UnitRecord* u = first;
    do {
      const auto* b = reinterpret_cast<const uint8_t*>(static_cast<const UnitImage*>(u));
      out.insert(out.end(), b, b + sizeof(UnitImage));
      u = u->next;
    } while (u && u != first);
  }
  for (const ProjectEntry& head : w.projectLists)
    for (const ListNode* n = head.next(); n && n != &head; n = n->next()) {
      const auto* e = static_cast<const ProjectEntry*>(n);
      const auto* b = reinterpret_cast<const uint8_t*>(static_cast<const ProjectEntryFields*>(e));
      out.insert(out.end(), b, b + sizeof(ProjectEntryFields));
    }
  out.insert(out.end(), w.designRows.begin(), w.designRows.end());
  return out;
}

TEST(CommandPipeline, TwoWorldsGivenTheSameCommandsInDifferentInterleavingsEndByteIdentical) {
  for (uint32_t seed = 1; seed <= 3; ++seed) {
    CommandTestWorld a;
    CommandTestWorld b;
    Prepare(a);
    Prepare(b);
    std::vector<std::vector<Scripted>> scripts;
    for (int p = 1; p <= 4; ++p) scripts.push_back(Script(p, seed));

    // World a: one thread per region, posting as fast as it can.
    std::vector<std::thread> threads;
    for (int p = 1; p <= 4; ++p)
      threads.emplace_back([&, p] {
        for (const Scripted& s : scripts[p - 1]) {
          PostCommand(*a.log, Build(*a.world, p, s), false);
          if (s.id % 3 == 0) std::this_thread::yield();
        }
      });
    for (auto& th : threads) th.join();

    // World b: one thread, the regions' commands shuffled together (each
    // region's own commands still in their order).
    std::mt19937 random(seed);
    std::vector<size_t> next(4, 0);
    for (size_t left = 4 * scripts[0].size(); left > 0;) {
      const int p = static_cast<int>(random() % 4);
      if (next[p] == scripts[p].size()) continue;
      PostCommand(*b.log, Build(*b.world, p + 1, scripts[p][next[p]++]), false);
      --left;
    }

    EXPECT_EQ(a.log->Size(), b.log->Size());
    DrainDueCommands(*a.log, 0xFFFFFFFFu);
    DrainDueCommands(*b.log, 0xFFFFFFFFu);
    const std::vector<uint8_t> imageA = Image(*a.world);
    const std::vector<uint8_t> imageB = Image(*b.world);
    ASSERT_EQ(imageA.size(), imageB.size());
    EXPECT_GT(imageA.size(), sizeof(PlayerRecord) * kMaxPlayers + 4 * sizeof(UnitImage));
    EXPECT_TRUE(imageA == imageB) << "seed " << seed;
    for (int p = 1; p <= 4; ++p) {
      EXPECT_EQ(PendingCommands(a.world->players[p]), 0);
      EXPECT_EQ(a.world->players[p].commandCounter, scripts[p - 1].size());
    }
  }
}

std::mutex g_sentLock;
std::vector<uint32_t> g_sentSequences;
int32_t RecordSequence(const uint8_t* m, size_t n) {
  if (n < 64) return -1;
  uint32_t sequence;
  std::memcpy(&sequence, m + 20, 4);
  std::lock_guard hold(g_sentLock);
  g_sentSequences.push_back(sequence);
  return 0;
}

// Four regions post while the minute loop drains. Each launch counter and
// each unit's order level counts its commands: one missing or one extra run
// of either pass would show.
void StressRound() {
  CommandTestWorld t;
  Prepare(t);
  {
    std::lock_guard hold(g_sentLock);
    g_sentSequences.clear();
  }
  ScopedNetLink net(kNetGameHost, &RecordSequence);
  constexpr int kPerCounter = 150;
  constexpr int kLevelSteps = 40;
  std::vector<UnitRecord*> units;
  for (int p = 1; p <= 4; ++p) {
    t.world->players[p].kind = kKindComputer;
    UnitRecord* u = CreateUnit(*t.world, t.world->players[p], 0x40000000u + static_cast<uint32_t>(p), 3, 1.0f, 0, 0, 0);
    u->unitFlags &= ~kUnitProvisional;
    units.push_back(u);
  }
  const uint32_t due = t.world->gameState.currentTick + t.world->gameState.commandLead;
  std::atomic<int> posting{4};
  std::thread drain([&] {
    while (posting.load() > 0) {
      DrainDueCommands(*t.log, due);
      std::this_thread::yield();
    }
  });
  std::vector<std::thread> threads;
  for (int p = 1; p <= 4; ++p)
    threads.emplace_back([&, p] {
      for (int i = 0; i < 8 * kPerCounter; ++i) {
        GameCommand c = MakeGameCommand(t.world->gameState, kCmdLaunchCount, p);
        c.arg28 = static_cast<uint32_t>(i % 8);
        c.arg32 = 1;
        PostCommand(*t.log, std::move(c), true);
        if (i % 30 == 0) {
          GameCommand level = MakeGameCommand(t.world->gameState, kCmdUnitAddOrderLevel, p);
          level.arg28 = units[p - 1]->id;
          level.arg32 = 1;
          PostCommand(*t.log, std::move(level), true);
        }
      }
      posting.fetch_sub(1);
    });
  for (auto& th : threads) th.join();
  drain.join();
  DrainDueCommands(*t.log, due);

  EXPECT_TRUE(t.log->Empty());
  const size_t perPlayer = 8 * kPerCounter + kLevelSteps;
  for (int p = 1; p <= 4; ++p) {
    const PlayerRecord& r = t.world->players[p];
    EXPECT_EQ(PendingCommands(r), 0);
    EXPECT_EQ(r.commandCounter, perPlayer);
    for (int i = 0; i < 8; ++i) {
      EXPECT_EQ(LaunchCount(r.displayPolicy, i), kPerCounter) << "display, player " << p << " counter " << i;
      EXPECT_EQ(LaunchCount(r.simPolicy, i), kPerCounter) << "simulation, player " << p << " counter " << i;
    }
    const UnitRecord& u = *units[p - 1];
    EXPECT_EQ(UnitOutstanding(u), 0);
    EXPECT_EQ(u.orders[10] >> 24, static_cast<uint32_t>(kLevelSteps));
    EXPECT_EQ(u.ordersShown[10] >> 24, static_cast<uint32_t>(kLevelSteps));
  }
  std::lock_guard hold(g_sentLock);
  EXPECT_EQ(g_sentSequences.size(), 4 * perPlayer);
  const std::set<uint32_t> distinct(g_sentSequences.begin(), g_sentSequences.end());
  EXPECT_EQ(distinct.size(), g_sentSequences.size()) << "no two commands share a sequence word";
}

TEST(CommandPipeline, FourPostingThreadsAndTheDrainRunEveryCommandExactlyTwice) {
  for (int round = 0; round < 5; ++round) {
    SCOPED_TRACE(round);
    StressRound();
  }
}

}  // namespace
