// The typed arguments of the settings, tax, cabinet, relations and network
// commands travel in exactly the bytes the word-by-word builders wrote
// before them: each row posts through its struct and compares the 64-byte
// wire record with one worked out by hand from the old call.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "records/command_ids.h"
#include "records/player_kinds.h"
#include "sim/command_args_test_support.h"
#include "sim/command_log.h"
#include "sim/game_command.h"
#include "sim/network_command_args.h"
#include "sim/policy_command_args.h"
#include "sim/relation_command_args.h"
#include "support/global_guard.h"
#include "world/world.h"

namespace {

// The local player 2 at tick 700 with a lead of 4: every command is due at
// 704 (0x2C0).
class CommandArgsWire : public ::testing::Test {
 protected:
  void SetUp() override {
    g_commandLog.Clear();
    g_world.gameState.localPlayer = 2;
    g_world.gameState.currentTick = 700;
    g_world.gameState.commandLead = 4;
    g_world.players[2].kind = kKindHuman;
    g_world.players[5].kind = kKindComputer;
  }
  void TearDown() override { g_commandLog.Clear(); }

  GlobalGuard<GameState> state_{g_world.gameState};
  GlobalGuard<decltype(g_world.players)> players_{g_world.players};
};

struct Row {
  const char* old;  // the call the struct replaces
  void (*post)();
  uint8_t bytes[64];
};

// The record of player 2's first command, id `lo` + 256 * `hi`, with the
// hand-laid argument bytes from offset 24 to 40.
#define RECORD(lo, hi, player, ...)                                                  \
  {0x01, 0x00, 0x02, 0x00, 0x40, 0x00, 0x00, 0x00, lo, hi, 0x00, 0x00,               \
   0xC0, 0x02, 0x00, 0x00, player, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, player,       \
   __VA_ARGS__, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}

const Row kRows[] = {
    {"PostCommand_28_32(kCmdTaxRate, 3, bit_cast(0.25f))",
     [] { PostArgs(kCmdTaxRate, TaxRateArgs{.tax = 3, .rate = 0.25f}); },
     RECORD(19, 0, 2, 0, 0, 0, 0, 3, 0, 0, 0, 0x00, 0x00, 0x80, 0x3E, 0, 0, 0, 0)},
    {"PostCommand_28(kCmdUserFees, bit_cast(-1.5f))",
     [] { PostArgs(kCmdUserFees, RealSettingArgs{.value = -1.5f}); },
     RECORD(20, 0, 2, 0, 0, 0, 0, 0x00, 0x00, 0xC0, 0xBF, 0, 0, 0, 0, 0, 0, 0, 0)},
    {"PostCommand_28(kCmdBConscript, 1)", [] { PostArgs(kCmdBConscript, SettingArgs{.value = 1}); },
     RECORD(139, 0, 2, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0)},
    {"PostCommand_28_32(kCmdSocialSpend, 6, 0x01020304)",
     [] { PostArgs(kCmdSocialSpend, IndexedSettingArgs{.index = 6, .value = 0x01020304}); },
     RECORD(25, 0, 2, 0, 0, 0, 0, 6, 0, 0, 0, 0x04, 0x03, 0x02, 0x01, 0, 0, 0, 0)},
    {"PostCommand_28_32(kCmdDefSetAdvOrders, orders | 0x80000000, 135493)",
     [] { PostArgs(kCmdDefSetAdvOrders, SettingPairArgs{.first = 0x80003000u, .second = 135493u}); },
     RECORD(4, 1, 2, 0, 0, 0, 0, 0x00, 0x30, 0x00, 0x80, 0x45, 0x11, 0x02, 0x00, 0, 0, 0, 0)},
    {"PostCommand_28_32_36(kCmdCabSetSid, 0, 2, 14)",
     [] { PostArgs(kCmdCabSetSid, CabinetSeatArgs{.post = 0, .first = 2, .second = 14}); },
     RECORD(0, 1, 2, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0, 14, 0, 0, 0)},
    {"PostCommand_28_32(kCmdCabSetPriorities, 4, 0x8001)",
     [] { PostArgs(kCmdCabSetPriorities, IndexedSettingArgs{.index = 4, .value = 0x8001}); },
     RECORD(2, 1, 2, 0, 0, 0, 0, 4, 0, 0, 0, 0x01, 0x80, 0, 0, 0, 0, 0, 0)},
    {"PostCommand_28_32_36(kCmdCabSetMask, 5, 0x30, 1)",
     [] { PostArgs(kCmdCabSetMask, CabinetLockArgs{.post = 5, .bits = 0x30, .set = 1}); },
     RECORD(5, 1, 2, 0, 0, 0, 0, 5, 0, 0, 0, 0x30, 0, 0, 0, 1, 0, 0, 0)},
    {"PostCommand_28_32_36(kCmdDeclareWar, 7, 0, 0)",
     [] { PostArgs(kCmdDeclareWar, RegionArgs{.region = 7}); },
     RECORD(177, 0, 2, 0, 0, 0, 0, 7, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0)},
    {"PostCommand_28_32_36(kCmdSurrender, 9, 0, 0)",
     [] { PostArgs(kCmdSurrender, SurrenderArgs{.winner = 9}); },
     RECORD(181, 0, 2, 0, 0, 0, 0, 9, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0)},
    {"PostCommand_28_32_36(kCmdPairMaskSwap, 31, 1, 0)",
     [] { PostArgs(kCmdPairMaskSwap, PairMaskArgs{.region = 31, .set = 1}); },
     RECORD(164, 0, 2, 0, 0, 0, 0, 31, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0)},
    {"PostCommand_28_32_36(kCmdRoeRegionFlag, kNeutralityBit, 12, 1)",
     [] { PostArgs(kCmdRoeRegionFlag, RegionFlagArgs{.bits = 0x80000000u, .region = 12, .set = 1}); },
     RECORD(157, 0, 2, 0, 0, 0, 0, 0x00, 0x00, 0x00, 0x80, 12, 0, 0, 0, 1, 0, 0, 0)},
    {"PostCommand_28_32_36(kCmdProdPlayerMask2, 10, 3, 1)",
     [] { PostArgs(kCmdProdPlayerMask2, TradeRefusalArgs{.product = 10, .region = 3, .refuse = 1}); },
     RECORD(72, 0, 2, 0, 0, 0, 0, 10, 0, 0, 0, 3, 0, 0, 0, 1, 0, 0, 0)},
    {"PostCommand_28_32_36(kCmdDeleteAgreement, 4, 6, 0)",
     [] { PostArgs(kCmdDeleteAgreement, EndTreatyArgs{.type = 4, .partner = 6}); },
     RECORD(182, 0, 2, 0, 0, 0, 0, 4, 0, 0, 0, 6, 0, 0, 0, 0, 0, 0, 0)},
    {"PostSimpleCommand(kCmdSetPlayerKind, 5, 3)",
     [] { PostArgsAs(kCmdSetPlayerKind, 5, PlayerKindArgs{.kind = kKindComputer}); },
     RECORD(0x02, 0x80, 5, 0, 0, 0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0)},
    {"PostSimpleCommand(kCmdMilInitiativeOff, 5, 100)",
     [] { PostArgsAs(kCmdMilInitiativeOff, 5, SettingArgs{.value = 100}); },
     RECORD(142, 0, 5, 0, 0, 0, 0, 100, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0)},
};
#undef RECORD

TEST_F(CommandArgsWire, EachStructPostsTheBytesItsWordByWordCallWrote) {
  for (const Row& r : kRows) {
    SCOPED_TRACE(r.old);
    g_commandLog.Clear();
    // Each row's command is its player's first.
    g_world.players[2].commandCounter = g_world.players[5].commandCounter = 0;
    r.post();
    const std::vector<GameCommand> log = g_commandLog.Entries();
    ASSERT_EQ(log.size(), 1u);
    const std::vector<uint8_t> wire = EncodeGameCommand(log[0]);
    EXPECT_EQ(wire, std::vector<uint8_t>(r.bytes, r.bytes + 64));
  }
}

// Each struct unpacks what it packs, from the words its handler reads.
TEST(CommandArgsFamilies, EachPacksIntoTheWordsItsHandlerReads) {
  const ArgsRow<SettingArgs> settings[] = {{"16..165 one value", {.value = 0xA5A5A5A5}, {0, 0xA5A5A5A5, 0, 0}}};
  const ArgsRow<RealSettingArgs> reals[] = {{"a real", {.value = 2.0f}, {0, 0x40000000, 0, 0}}};
  const ArgsRow<IndexedSettingArgs> indexed[] = {{"25 138 257 258 259", {.index = 5, .value = 9}, {0, 5, 9, 0}}};
  const ArgsRow<SettingPairArgs> pairs[] = {{"159 160 260", {.first = 1, .second = 2}, {0, 1, 2, 0}}};
  const ArgsRow<TaxRateArgs> taxes[] = {{"19", {.tax = 11, .rate = -0.5f}, {0, 11, 0xBF000000, 0}}};
  const ArgsRow<CabinetSeatArgs> seats[] = {{"256", {.post = 3, .first = 1, .second = 17}, {0, 3, 1, 17}}};
  const ArgsRow<CabinetLockArgs> locks[] = {{"261", {.post = 2, .bits = 0xF0, .set = 0}, {0, 2, 0xF0, 0}}};
  const ArgsRow<RegionArgs> regions[] = {{"177", {.region = 31}, {0, 31, 0, 0}}};
  const ArgsRow<SurrenderArgs> surrenders[] = {{"181", {.winner = 4, .merger = 1}, {0, 4, 1, 0}}};
  const ArgsRow<PairMaskArgs> masks[] = {{"164 165", {.region = 8, .set = 1}, {0, 8, 1, 0}}};
  const ArgsRow<RegionFlagArgs> flags[] = {{"157", {.bits = 0x600, .region = 3, .set = 1}, {0, 0x600, 3, 1}}};
  const ArgsRow<TradeRefusalArgs> trades[] = {{"71 72", {.product = 2, .region = 30, .refuse = 0}, {0, 2, 30, 0}}};
  const ArgsRow<EndTreatyArgs> treaties[] = {{"182", {.type = 1, .partner = 2, .flag = 3}, {0, 1, 2, 3}}};
  const ArgsRow<PlayerKindArgs> kinds[] = {{"0x8002", {.kind = kKindOut}, {0, 5, 0, 0}}};
  ExpectArgsRoundTrip(settings);
  ExpectArgsRoundTrip(reals);
  ExpectArgsRoundTrip(indexed);
  ExpectArgsRoundTrip(pairs);
  ExpectArgsRoundTrip(taxes);
  ExpectArgsRoundTrip(seats);
  ExpectArgsRoundTrip(locks);
  ExpectArgsRoundTrip(regions);
  ExpectArgsRoundTrip(surrenders);
  ExpectArgsRoundTrip(masks);
  ExpectArgsRoundTrip(flags);
  ExpectArgsRoundTrip(trades);
  ExpectArgsRoundTrip(treaties);
  ExpectArgsRoundTrip(kinds);
}

}  // namespace
