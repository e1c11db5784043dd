#include "sim/policy_commands.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <functional>
#include <random>
#include <set>
#include <vector>

#include "sim/command_counts.h"
#include "sim/command_executor.h"
#include "sim/command_test_world.h"
#include "sim/policy_block_fields.h"
#include "world/text/player_settings.h"
#include "world/text/policy_fields.h"

namespace {

// One settings command: given the old copy, it picks arguments that change
// the field and states what the copy must look like afterwards.
using Effect = std::function<void(const PlayerPolicyBlock& old, GameCommand& c, PlayerPolicyBlock& want)>;
struct Case {
  uint32_t id;
  Effect effect;
};

uint32_t BitsOf(float f) { return std::bit_cast<uint32_t>(f); }
uint32_t Flip(uint32_t old) { return old ^ 0x00C30001u; }

Case ProductValue(uint32_t id, int word, uint32_t product) {
  return {id, [word, product](const PlayerPolicyBlock& old, GameCommand& c, PlayerPolicyBlock& want) {
            c.arg28 = product;
            c.arg32 = Flip(ProductWord(old.productPolicy[product], word));
            SetProductWord(want.productPolicy[product], word, c.arg32);
          }};
}

Case ProductPlayerBit(uint32_t id, int word, uint32_t product, uint32_t player) {
  return {id, [=](const PlayerPolicyBlock& old, GameCommand& c, PlayerPolicyBlock& want) {
            const uint32_t mask = ProductWord(old.productPolicy[product], word);
            const bool on = !(mask & (1u << player));
            c.arg28 = product;
            c.arg32 = player;
            c.arg36 = on ? 0x100u : 0u;
            SetProductWord(want.productPolicy[product], word, on ? (mask | (1u << player)) : (mask & ~(1u << player)));
          }};
}

// A settings key's command, with the words its key posts and a value that
// differs from the old one in every bit the key keeps. Region flags are
// added to, as the settings loader asks.
Case FromKey(const SettingKey& k, int i) {
  return {k.command, [&k, i](const PlayerPolicyBlock& old, GameCommand& c, PlayerPolicyBlock& want) {
            using Post = SettingKey::Post;
            // The keys that post two values in one command post the other as it is.
            uint32_t values[2] = {};
            if (k.post == Post::kPair || k.post == Post::kCabinet)
              for (int j : {0, 1}) values[j] = SettingValue(old, k, (i & ~1) + j);
            const uint32_t v = ~SettingValue(old, k, i);
            values[i & 1] = v;
            const uint32_t index = static_cast<uint32_t>(i);
            switch (k.post) {
              case Post::kOne: c.arg28 = v; break;
              case Post::kFixed: c.arg28 = k.arg, c.arg32 = v; break;
              case Post::kEach: c.arg28 = index, c.arg32 = v; break;
              case Post::kPair: c.arg28 = values[0], c.arg32 = values[1]; break;
              case Post::kRegions: c.arg28 = v, c.arg32 = index, c.arg36 = 1; break;
              case Post::kCabinet: c.arg28 = index / 2, c.arg32 = values[0], c.arg36 = values[1]; break;
            }
            SetSettingValue(want, k, i, k.post == Post::kRegions ? (v | SettingValue(old, k, i)) : v);
          }};
}

std::vector<Case> Cases() {
  using B = PlayerPolicyBlock;
  std::vector<Case> cases;
  // Every key of the settings table, at its first and its last value; the
  // defcon key is weighed against the hostile mask below.
  for (const SettingKey& k : SettingKeys())
    if (k.command != kCmdDefcon)
      for (int i : {0, k.count - 1}) cases.push_back(FromKey(k, i));
  // The settings ids that no key posts.
  cases.push_back(ProductValue(kCmdProdSellParam, kProductSellParam, 7));
  cases.push_back(ProductValue(kCmdProdSellParam2, kProductSellParam2, 8));
  cases.push_back(ProductValue(kCmdProdBuyParam, kProductBuyParam, 9));
  cases.push_back(ProductPlayerBit(kCmdProdPlayerMask, kProductPlayerMask, 7, 31));
  cases.push_back(ProductPlayerBit(kCmdProdPlayerMask2, kProductPlayerMask2, 2, 0));
  cases.push_back({kCmdDefcon, [](const B& old, GameCommand& c, B& want) {
                     // Within 2..3 the value stands whatever the masks say.
                     c.arg28 = old.defcon == 2 ? 3u : 2u;
                     want.defcon = static_cast<int32_t>(c.arg28);
                   }});
  for (uint32_t friendly : {0u, 1u}) {
    cases.push_back({kCmdPairMaskSwap, [friendly](const B& old, GameCommand& c, B& want) {
                       // A player whose two bits the command changes.
                       uint32_t q = 0;
                       auto changes = [&](uint32_t p) {
                         const bool paired = PairMask1(old) & (1u << p), hostile = old.hostileMask & (1u << p);
                         return friendly ? (!paired || hostile) : (paired || !hostile);
                       };
                       while (q < 31 && !changes(q)) ++q;
                       c.arg28 = q;
                       c.arg32 = friendly ? 77u : 0u;
                       const uint32_t pair = PairMask1(old);
                       SetPairMask1(want, friendly ? (pair | (1u << q)) : (pair & ~(1u << q)));
                       want.hostileMask = friendly ? (old.hostileMask & ~(1u << q)) : (old.hostileMask | (1u << q));
                     }});
  }
  cases.push_back({kCmdPairMask, [](const B& old, GameCommand& c, B& want) {
                     const bool on = !(PairMask2(old) & (1u << 12));
                     c.arg28 = 12;
                     c.arg32 = on ? 5u : 0u;
                     SetPairMask2(want, on ? (PairMask2(old) | (1u << 12)) : (PairMask2(old) & ~(1u << 12)));
                   }});
  cases.push_back({kCmdBuildListValue, [](const B& old, GameCommand& c, B& want) {
                     c.arg28 = kBuildListValues - 1;
                     c.arg24 = Flip(static_cast<uint32_t>(BuildListValue(old, kBuildListValues - 1)));
                     SetBuildListValue(want, kBuildListValues - 1, static_cast<int32_t>(c.arg24));
                   }});
  cases.push_back({kCmdCabSetMask, [](const B& old, GameCommand& c, B& want) {
                     const uint32_t locks = CabinetLocks(old.cabinetPolicy[1]);
                     c.arg28 = 1;
                     c.arg32 = locks | 0x40u;
                     c.arg36 = 0;
                     SetCabinetLocks(want.cabinetPolicy[1], locks & ~c.arg32);
                   }});
  cases.push_back({kCmdLaunchBit, [](const B& old, GameCommand& c, B& want) {
                     uint32_t bit = 0;
                     while (bit < 7 && (LaunchBits(old) & (1u << bit))) ++bit;
                     c.arg28 = bit;
                     SetLaunchBits(want, static_cast<uint8_t>(LaunchBits(old) | (1u << bit)));
                   }});
  cases.push_back({kCmdLaunchCount, [](const B& old, GameCommand& c, B& want) {
                     c.arg28 = 7;
                     c.arg32 = 3;
                     SetLaunchCount(want, 7, static_cast<uint8_t>(LaunchCount(old, 7) + 3));
                   }});
  return cases;
}

// A region record full of arbitrary bytes: every field has a value a
// command could overwrite by mistake.
void Scribble(PlayerRecord& r, std::mt19937& random) {
  auto* b = reinterpret_cast<uint8_t*>(&r);
  for (size_t i = 0; i < sizeof r; ++i) b[i] = static_cast<uint8_t>(random());
  r.kind = kKindComputer;
  r.commandCounter = 0x00FFFFF0;
  r.pendingCommands = 5;
}

// The record must be `want` in every byte, except the count of outstanding
// commands, which must have moved by `delta`.
void ExpectRecord(const PlayerRecord& got, PlayerRecord want, int delta, uint32_t id, int pass) {
  want.pendingCommands = static_cast<int16_t>(want.pendingCommands + delta);
  const auto* g = reinterpret_cast<const uint8_t*>(&got);
  const auto* w = reinterpret_cast<const uint8_t*>(&want);
  for (size_t i = 0; i < sizeof got; ++i)
    if (g[i] != w[i]) {
      ADD_FAILURE() << "id " << id << " pass " << pass << ": record byte " << i << " is " << int{g[i]}
                    << ", should be " << int{w[i]};
      return;
    }
}

TEST(PolicyCommands, EachWritesExactlyItsFieldInTheCopyOfItsPass) {
  std::mt19937 random(1207);
  CommandTestWorld t;
  PlayerRecord& r = t.world->players[2];
  for (int round = 0; round < 3; ++round) {
    for (const Case& k : Cases()) {
      for (int pass = 0; pass < 2; ++pass) {
        Scribble(r, random);
        const PlayerRecord before = r;
        GameCommand c = MakeGameCommand(t.world->gameState, k.id, 2);
        PlayerRecord want = before;
        PlayerPolicyBlock& block = pass == 0 ? want.displayPolicy : want.simPolicy;
        k.effect(pass == 0 ? before.displayPolicy : before.simPolicy, c, block);
        ASSERT_NE(std::memcmp(&want, &before, sizeof want), 0) << "case for id " << k.id << " changes nothing";
        ExecuteCommand(*t.world, c, pass);
        ExpectRecord(r, want, pass == 0 ? 1 : -1, k.id, pass);
      }
    }
  }
}

TEST(PolicyCommands, EverySettingsIdHasACaseAndEveryCaseIsASettingsId) {
  std::set<uint32_t> covered;
  for (const Case& k : Cases()) {
    EXPECT_NE(PolicyCommandHandler(k.id), nullptr) << k.id;
    covered.insert(k.id);
  }
  for (uint32_t id = kCommandIdFirst; id <= kCommandIdLast; ++id)
    if (PolicyCommandHandler(id)) {
      EXPECT_TRUE(covered.count(id)) << "no case for settings id " << id;
    }
  EXPECT_EQ(covered.size(), 101u) << "the settings ids of the command table";
}

class PolicyEdges : public ::testing::Test {
 protected:
  PlayerPolicyBlock& Run(uint32_t id, uint32_t a28, uint32_t a32 = 0, uint32_t a36 = 0) {
    GameCommand c = MakeGameCommand(t.world->gameState, id, 2);
    c.arg28 = a28;
    c.arg32 = a32;
    c.arg36 = a36;
    ExecuteCommand(*t.world, c, 0);
    return t.world->players[2].displayPolicy;
  }
  CommandTestWorld t;
};

TEST_F(PolicyEdges, DefconStaysAtLeastTwoAtWarAndAtMostThreeAtPeace) {
  PlayerPolicyBlock& b = t.world->players[2].displayPolicy;
  b.hostileMask = 0;
  EXPECT_EQ(Run(kCmdDefcon, 1).defcon, 1);
  EXPECT_EQ(Run(kCmdDefcon, 5).defcon, 3);
  b.hostileMask = 1u << 7;
  EXPECT_EQ(Run(kCmdDefcon, 1).defcon, 2);
  EXPECT_EQ(Run(kCmdDefcon, 5).defcon, 5);
  EXPECT_EQ(Run(kCmdDefcon, static_cast<uint32_t>(-4)).defcon, 2) << "the argument is signed";
}

TEST_F(PolicyEdges, RefugeeSettingTakesTwoBitsAndLeavesTheOthers) {
  t.world->players[2].displayPolicy.migrationFlags = 0xFFFFFFF3u;
  EXPECT_EQ(Run(kCmdImRefugee, 6).migrationFlags, 0xFFFFFFFBu);
  t.world->players[2].displayPolicy.migrationFlags = 0x13u;
  EXPECT_EQ(Run(kCmdImRefugee, 6).migrationFlags, 0x1Bu);
}

TEST_F(PolicyEdges, LaunchCountsStopAtZeroAndKeepTheLowByte) {
  EXPECT_EQ(LaunchCount(Run(kCmdLaunchCount, 2, 5), 2), 5);
  EXPECT_EQ(LaunchCount(Run(kCmdLaunchCount, 2, static_cast<uint32_t>(-9)), 2), 0) << "5 - 9 stores 0";
  EXPECT_EQ(LaunchCount(Run(kCmdLaunchCount, 2, 300), 2), 300 & 0xFF);
  EXPECT_EQ(LaunchCount(Run(kCmdLaunchCount, 2, 0x7FFFFFFF), 2), (44 + 0x7FFFFFFFLL) & 0xFF) << "no overflow";
}

TEST_F(PolicyEdges, OutOfRangeIndexesChangeNothingButAreCounted) {
  struct Bad {
    uint32_t id, a28, a32, a36;
  };
  const Bad bad[] = {{kCmdTaxRate, 12, 1, 0}, {kCmdTaxRate, 0xFFFFFFFF, 1, 0}, {kCmdSocialSpend, 7, 1, 0},
                     {kCmdDomesticMargin, 12, 1, 0}, {kCmdBAutoPurchase, 99, 1, 0}, {kCmdProdPlayerMask, 0, 32, 1},
                     {kCmdProdPlayerMask2, 12, 0, 1}, {kCmdMilResearch, 3, 1, 0}, {kCmdRoeRegionFlag, 1, 32, 1},
                     {kCmdPairMaskSwap, 32, 1, 0}, {kCmdPairMask, 0x80000000, 1, 0}, {kCmdBuildListValue, 16, 0, 0},
                     {kCmdCabSetSid, 6, 1, 1}, {kCmdCabSetControl, 6, 1, 0}, {kCmdCabSetPriorities, 7, 1, 0},
                     {kCmdCabSetLocks, 100, 1, 0}, {kCmdCabSetMask, 6, 1, 1}, {kCmdLaunchBit, 8, 0, 0},
                     {kCmdLaunchCount, 8, 1, 0}};
  std::mt19937 random(3);
  PlayerRecord& r = t.world->players[2];
  for (const Bad& b : bad) {
    for (int pass = 0; pass < 2; ++pass) {
      Scribble(r, random);
      const PlayerRecord before = r;
      GameCommand c = MakeGameCommand(t.world->gameState, b.id, 2);
      c.arg28 = b.a28;
      c.arg32 = b.a32;
      c.arg36 = b.a36;
      c.arg24 = 5;
      ExecuteCommand(*t.world, c, pass);
      ExpectRecord(r, before, pass == 0 ? 1 : -1, b.id, pass);
    }
  }
}

TEST_F(PolicyEdges, APolicyCommandChangesTheSimulationCopyOnlyInItsSimulationPass) {
  GameCommand c = MakeGameCommand(t.world->gameState, kCmdUiSpend, 2);
  c.arg28 = BitsOf(0.25f);
  ExecuteCommand(*t.world, c, 0);
  EXPECT_EQ(t.world->players[2].displayPolicy.uispend, 0.25f);
  EXPECT_EQ(t.world->players[2].simPolicy.uispend, 0.0f);
  ExecuteCommand(*t.world, c, 1);
  EXPECT_EQ(t.world->players[2].simPolicy.uispend, 0.25f);
}

}  // namespace
