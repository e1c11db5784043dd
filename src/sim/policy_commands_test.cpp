#include "sim/policy_commands.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <functional>
#include <map>
#include <random>
#include <set>
#include <vector>

#include "sim/command_counts.h"
#include "sim/command_executor.h"
#include "sim/command_test_world.h"
#include "sim/policy_block_fields.h"
#include "world/text/policy_fields.h"

namespace {

// One settings command: given the old copy, it picks arguments that change
// the field and states, independently of the executor, what the copy must
// look like afterwards.
using Effect = std::function<void(const PlayerPolicyBlock& old, GameCommand& c, PlayerPolicyBlock& want)>;
struct Case {
  uint32_t id;
  Effect effect;
};

uint32_t BitsOf(float f) { return std::bit_cast<uint32_t>(f); }
uint32_t Flip(uint32_t old) { return old ^ 0x00C30001u; }
void PutBit(uint32_t& w, int n, uint32_t v) { w = (w & ~(1u << n)) | ((v & 1u) << n); }

Case Real(uint32_t id, float PlayerPolicyBlock::*field) {
  return {id, [field](const PlayerPolicyBlock& old, GameCommand& c, PlayerPolicyBlock& want) {
            c.arg28 = Flip(BitsOf(old.*field));
            std::memcpy(&(want.*field), &c.arg28, 4);
          }};
}

// bit n of the word = arg28 bit 0; the other bits of arg28 do not matter.
Case Switch(uint32_t id, uint32_t PlayerPolicyBlock::*word, int n) {
  return {id, [word, n](const PlayerPolicyBlock& old, GameCommand& c, PlayerPolicyBlock& want) {
            const uint32_t v = ((old.*word >> n) & 1u) ^ 1u;
            c.arg28 = v | 0xBEEF0000u;
            PutBit(want.*word, n, v);
          }};
}

Case Byte(uint32_t id, uint8_t PlayerPolicyBlock::*field) {
  return {id, [field](const PlayerPolicyBlock& old, GameCommand& c, PlayerPolicyBlock& want) {
            c.arg28 = 0x7700u | static_cast<uint8_t>(old.*field ^ 0x5Au);
            want.*field = static_cast<uint8_t>(c.arg28);
          }};
}

Case ProductValue(uint32_t id, int word, uint32_t product) {
  return {id, [word, product](const PlayerPolicyBlock& old, GameCommand& c, PlayerPolicyBlock& want) {
            c.arg28 = product;
            c.arg32 = Flip(ProductWord(old.productPolicy[product], word));
            SetProductWord(want.productPolicy[product], word, c.arg32);
          }};
}

Case ProductSwitch(uint32_t id, int bit, uint32_t product) {
  return {id, [bit, product](const PlayerPolicyBlock& old, GameCommand& c, PlayerPolicyBlock& want) {
            uint32_t flags = ProductWord(old.productPolicy[product], kProductFlags);
            const uint32_t v = ((flags >> bit) & 1u) ^ 1u;
            c.arg28 = product;
            c.arg32 = v | 0x10u;
            PutBit(flags, bit, v);
            SetProductWord(want.productPolicy[product], kProductFlags, flags);
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

std::vector<Case> Cases() {
  using B = PlayerPolicyBlock;
  std::vector<Case> cases = {
      Real(16, &B::minwage),
      Real(18, &B::wagepricemax),
      Real(20, &B::userfees),
      Real(21, &B::immigrationtax),
      Real(22, &B::uispend),
      Real(23, &B::welfspend),
      Real(24, &B::pensspend),
      Real(81, &B::immlimit),
      Real(82, &B::refuglimit),
      Real(83, &B::emlimit),
      Real(129, &B::soldiertarget),
      Real(130, &B::recruitlimit),
      Real(132, &B::milspendsalary),
      Real(133, &B::milspendintel),
      Real(134, &B::milspendmaint),
      Real(135, &B::intelspendforfocus),
      Real(136, &B::milspendresearch),
      Switch(26, &B::wageFlags, 0),
      Switch(27, &B::wageFlags, 1),
      Switch(29, &B::wageFlags, 4),
      Switch(69, &B::productionFlags, 1),
      Switch(84, &B::migrationFlags, 0),
      Switch(85, &B::migrationFlags, 1),
      Switch(103, &B::migrationFlags, 4),
      Switch(139, &B::militaryFlags, 0),
      Switch(140, &B::militaryFlags, 1),
      Switch(158, &B::militaryFlags, 3),
      Switch(163, &B::militaryFlags, 4),
      Byte(104, &B::religionstate),
      Byte(105, &B::religionofftol),
      Byte(131, &B::soldierminage),
      Byte(142, &B::milinitiativeoff),
      Byte(143, &B::milinitiativedef),
      ProductValue(51, kProductDomesticMargin, 0),
      ProductValue(53, kProductSubsidy, 11),
      ProductValue(54, kProductProductionCap, 3),
      ProductValue(57, kProductAutoSellSurplusPercent, 4),
      ProductValue(58, kProductAutoSellMargin, 5),
      ProductValue(59, kProductAutoBuyMax, 6),
      ProductValue(65, kProductSellParam, 7),
      ProductValue(66, kProductSellParam2, 8),
      ProductValue(67, kProductBuyParam, 9),
      ProductValue(68, kProductPurchaseMax, 10),
      ProductSwitch(60, 0, 1),
      ProductSwitch(61, 1, 2),
      ProductSwitch(62, 2, 3),
      ProductSwitch(63, 3, 4),
      ProductSwitch(64, 5, 5),
      ProductSwitch(70, 4, 6),
      ProductPlayerBit(71, kProductPlayerMask, 7, 31),
      ProductPlayerBit(72, kProductPlayerMask2, 2, 0),
  };
  // The migration switches with bits of their own, and the rules of
  // engagement.
  const std::pair<uint32_t, int> migration[] = {{87, 5},   {88, 6},   {89, 7},   {90, 8},   {91, 9},
                                                {92, 10},  {93, 14},  {94, 15},  {95, 16},  {96, 17},
                                                {97, 18},  {98, 19},  {99, 20},  {100, 21}, {101, 22},
                                                {102, 23}};
  for (auto [id, bit] : migration) cases.push_back(Switch(id, &B::migrationFlags, bit));
  const std::pair<uint32_t, int> roe[] = {{150, 0}, {161, 1}, {162, 2}, {153, 3},  {154, 4},  {144, 5},  {145, 6},
                                          {146, 7}, {147, 8}, {149, 9}, {148, 10}, {156, 11}, {152, 12}, {151, 13}};
  for (auto [id, bit] : roe) cases.push_back(Switch(id, &B::roeFlags, bit));

  cases.push_back({19, [](const B& old, GameCommand& c, B& want) {
                     c.arg28 = 11;
                     c.arg32 = Flip(BitsOf(old.taxRates[11]));
                     std::memcpy(&want.taxRates[11], &c.arg32, 4);
                   }});
  cases.push_back({25, [](const B& old, GameCommand& c, B& want) {
                     c.arg28 = 6;
                     c.arg32 = Flip(BitsOf(old.socialspend[6]));
                     std::memcpy(&want.socialspend[6], &c.arg32, 4);
                   }});
  cases.push_back({86, [](const B& old, GameCommand& c, B& want) {
                     const uint32_t v = (((old.migrationFlags >> 2) & 3u) + 1u) & 3u;
                     c.arg28 = v | 0xF0u;
                     want.migrationFlags = (old.migrationFlags & ~0xCu) | (v << 2);
                   }});
  cases.push_back({128, [](const B& old, GameCommand& c, B& want) {
                     // Within 2..3 the value stands whatever the masks say.
                     c.arg28 = old.defcon == 2 ? 3u : 2u;
                     want.defcon = static_cast<int32_t>(c.arg28);
                   }});
  cases.push_back({138, [](const B& old, GameCommand& c, B& want) {
                     c.arg28 = 2;
                     c.arg32 = Flip(BitsOf(old.milResearch[2]));
                     std::memcpy(&want.milResearch[2], &c.arg32, 4);
                   }});
  cases.push_back({155, [](const B& old, GameCommand& c, B& want) { want.roescorchedtype = c.arg28 = Flip(old.roescorchedtype); }});
  cases.push_back({157, [](const B& old, GameCommand& c, B& want) {
                     const uint32_t flags = RoeRegionFlag(old.regionPolicy[17]);
                     c.arg28 = ~flags | 0x3u;
                     c.arg32 = 17;
                     c.arg36 = 1;
                     SetRoeRegionFlag(want.regionPolicy[17], flags | c.arg28);
                   }});
  cases.push_back({157, [](const B& old, GameCommand& c, B& want) {
                     const uint32_t flags = RoeRegionFlag(old.regionPolicy[0]);
                     c.arg28 = flags | 0x100u;
                     c.arg32 = 0;
                     c.arg36 = 0;
                     SetRoeRegionFlag(want.regionPolicy[0], flags & ~c.arg28);
                   }});
  cases.push_back({159, [](const B& old, GameCommand& c, B& want) {
                     c.arg28 = 0x1200u | static_cast<uint8_t>(old.autobuildvalues[0] ^ 0x55);
                     c.arg32 = static_cast<uint8_t>(old.autobuildvalues[1] ^ 0xAA);
                     want.autobuildvalues[0] = static_cast<uint8_t>(c.arg28);
                     want.autobuildvalues[1] = static_cast<uint8_t>(c.arg32);
                   }});
  cases.push_back({160, [](const B& old, GameCommand& c, B& want) {
                     c.arg28 = static_cast<uint8_t>(old.autobuildmissiles[0] ^ 0x0F);
                     c.arg32 = 0x3400u | static_cast<uint8_t>(old.autobuildmissiles[1] ^ 0xF0);
                     want.autobuildmissiles[0] = static_cast<uint8_t>(c.arg28);
                     want.autobuildmissiles[1] = static_cast<uint8_t>(c.arg32);
                   }});
  for (uint32_t friendly : {0u, 1u}) {
    cases.push_back({164, [friendly](const B& old, GameCommand& c, B& want) {
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
  cases.push_back({165, [](const B& old, GameCommand& c, B& want) {
                     const bool on = !(PairMask2(old) & (1u << 12));
                     c.arg28 = 12;
                     c.arg32 = on ? 5u : 0u;
                     SetPairMask2(want, on ? (PairMask2(old) | (1u << 12)) : (PairMask2(old) & ~(1u << 12)));
                   }});
  cases.push_back({184, [](const B& old, GameCommand& c, B& want) {
                     c.arg28 = kBuildListValues - 1;
                     c.arg24 = Flip(static_cast<uint32_t>(BuildListValue(old, kBuildListValues - 1)));
                     SetBuildListValue(want, kBuildListValues - 1, static_cast<int32_t>(c.arg24));
                   }});
  cases.push_back({256, [](const B& old, GameCommand& c, B& want) {
                     c.arg28 = 5;
                     c.arg32 = 0xAB00u | static_cast<uint8_t>(CabinetId(old.cabinetPolicy[5], 0) ^ 1);
                     c.arg36 = static_cast<uint8_t>(CabinetId(old.cabinetPolicy[5], 1) ^ 2);
                     SetCabinetId(want.cabinetPolicy[5], 0, static_cast<uint8_t>(c.arg32));
                     SetCabinetId(want.cabinetPolicy[5], 1, static_cast<uint8_t>(c.arg36));
                   }});
  cases.push_back({257, [](const B& old, GameCommand& c, B& want) {
                     c.arg28 = 0;
                     c.arg32 = 0x12340000u | static_cast<uint16_t>(CabinetControl(old.cabinetPolicy[0]) ^ 0x8001);
                     SetCabinetControl(want.cabinetPolicy[0], static_cast<int16_t>(c.arg32 & 0xFFFF));
                   }});
  cases.push_back({258, [](const B& old, GameCommand& c, B& want) {
                     c.arg28 = 3;
                     c.arg32 = Flip(CabinetPriorities(old.cabinetPolicy[3]));
                     SetCabinetPriorities(want.cabinetPolicy[3], c.arg32);
                   }});
  cases.push_back({259, [](const B& old, GameCommand& c, B& want) {
                     c.arg28 = 2;
                     c.arg32 = Flip(CabinetLocks(old.cabinetPolicy[2]));
                     SetCabinetLocks(want.cabinetPolicy[2], c.arg32);
                   }});
  cases.push_back({261, [](const B& old, GameCommand& c, B& want) {
                     const uint32_t locks = CabinetLocks(old.cabinetPolicy[1]);
                     c.arg28 = 1;
                     c.arg32 = locks | 0x40u;
                     c.arg36 = 0;
                     SetCabinetLocks(want.cabinetPolicy[1], locks & ~c.arg32);
                   }});
  cases.push_back({260, [](const B& old, GameCommand& c, B& want) {
                     want.defsetadvorders[0] = c.arg28 = Flip(old.defsetadvorders[0]);
                     want.defsetadvorders[1] = c.arg32 = ~old.defsetadvorders[1];
                   }});
  cases.push_back({276, [](const B& old, GameCommand& c, B& want) {
                     uint32_t bit = 0;
                     while (bit < 7 && (LaunchBits(old) & (1u << bit))) ++bit;
                     c.arg28 = bit;
                     SetLaunchBits(want, static_cast<uint8_t>(LaunchBits(old) | (1u << bit)));
                   }});
  cases.push_back({277, [](const B& old, GameCommand& c, B& want) {
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
  EXPECT_EQ(Run(128, 1).defcon, 1);
  EXPECT_EQ(Run(128, 5).defcon, 3);
  b.hostileMask = 1u << 7;
  EXPECT_EQ(Run(128, 1).defcon, 2);
  EXPECT_EQ(Run(128, 5).defcon, 5);
  EXPECT_EQ(Run(128, static_cast<uint32_t>(-4)).defcon, 2) << "the argument is signed";
}

TEST_F(PolicyEdges, RefugeeSettingTakesTwoBitsAndLeavesTheOthers) {
  t.world->players[2].displayPolicy.migrationFlags = 0xFFFFFFF3u;
  EXPECT_EQ(Run(86, 6).migrationFlags, 0xFFFFFFFBu);
  t.world->players[2].displayPolicy.migrationFlags = 0x13u;
  EXPECT_EQ(Run(86, 6).migrationFlags, 0x1Bu);
}

TEST_F(PolicyEdges, LaunchCountsStopAtZeroAndKeepTheLowByte) {
  EXPECT_EQ(LaunchCount(Run(277, 2, 5), 2), 5);
  EXPECT_EQ(LaunchCount(Run(277, 2, static_cast<uint32_t>(-9)), 2), 0) << "5 - 9 stores 0";
  EXPECT_EQ(LaunchCount(Run(277, 2, 300), 2), 300 & 0xFF);
  EXPECT_EQ(LaunchCount(Run(277, 2, 0x7FFFFFFF), 2), (44 + 0x7FFFFFFFLL) & 0xFF) << "no overflow";
}

TEST_F(PolicyEdges, OutOfRangeIndexesChangeNothingButAreCounted) {
  struct Bad {
    uint32_t id, a28, a32, a36;
  };
  const Bad bad[] = {{19, 12, 1, 0},  {19, 0xFFFFFFFF, 1, 0}, {25, 7, 1, 0},  {51, 12, 1, 0}, {60, 99, 1, 0},
                     {71, 0, 32, 1},  {72, 12, 0, 1},         {138, 3, 1, 0}, {157, 1, 32, 1}, {164, 32, 1, 0},
                     {165, 0x80000000, 1, 0}, {184, 16, 0, 0}, {256, 6, 1, 1}, {257, 6, 1, 0}, {258, 7, 1, 0},
                     {259, 100, 1, 0}, {261, 6, 1, 1},        {276, 8, 0, 0}, {277, 8, 1, 0}};
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
  GameCommand c = MakeGameCommand(t.world->gameState, 22, 2);
  c.arg28 = BitsOf(0.25f);
  ExecuteCommand(*t.world, c, 0);
  EXPECT_EQ(t.world->players[2].displayPolicy.uispend, 0.25f);
  EXPECT_EQ(t.world->players[2].simPolicy.uispend, 0.0f);
  ExecuteCommand(*t.world, c, 1);
  EXPECT_EQ(t.world->players[2].simPolicy.uispend, 0.25f);
}

}  // namespace
