#include "sim/game_command.h"

#include <gtest/gtest.h>

#include <cstring>
#include <mutex>
#include <vector>

#include "sim/command_post.h"
#include "sim/command_test_world.h"
#include "support/global_guard.h"

namespace {

// The bytes of a message in the order the wire has them.
uint32_t Word(const std::vector<uint8_t>& m, size_t at) {
  return static_cast<uint32_t>(m[at]) | (static_cast<uint32_t>(m[at + 1]) << 8) |
         (static_cast<uint32_t>(m[at + 2]) << 16) | (static_cast<uint32_t>(m[at + 3]) << 24);
}

GameCommand Sample() {
  GameCommand c;
  c.id = kCmdDipOffer;
  c.dueTick = 0x01020304;
  c.player = 7;
  c.sequence = 0x07000042;
  c.arg24 = 0xFFFF0003;  // column 3, row -1
  c.arg28 = 0x11223344;
  c.arg32 = 0x80000000;
  c.arg36 = 0xDEADBEEF;
  c.payload = {'D', 'I', 'P', 0, 0xFF};
  c.payloadLength = 5;
  return c;
}

TEST(GameCommand, EncodesEveryFieldLittleEndianAtItsOffset) {
  const std::vector<uint8_t> m = EncodeGameCommand(Sample());
  ASSERT_EQ(m.size(), 64u + 5u);
  EXPECT_EQ(Word(m, 0), 0x20001u);
  EXPECT_EQ(Word(m, 4), 64u);
  EXPECT_EQ(Word(m, 8), 180u);
  EXPECT_EQ(Word(m, 12), 0x01020304u);
  EXPECT_EQ(m[16], 7);
  EXPECT_EQ(m[17] | m[18] | m[19], 0);
  EXPECT_EQ(Word(m, 20), 0x07000042u);
  EXPECT_EQ(Word(m, 24), 0xFFFF0003u);
  EXPECT_EQ(Word(m, 28), 0x11223344u);
  EXPECT_EQ(Word(m, 32), 0x80000000u);
  EXPECT_EQ(Word(m, 36), 0xDEADBEEFu);
  for (size_t i = 40; i < 56; ++i) EXPECT_EQ(m[i], 0) << i;
  EXPECT_EQ(Word(m, 56), 5u);
  EXPECT_EQ(Word(m, 60), 0u) << "no address of this process goes on the wire";
  EXPECT_EQ(std::memcmp(m.data() + 64, "DIP\0\xFF", 5), 0);
}

TEST(GameCommand, DecodesWhatItEncodesByteForByte) {
  const std::vector<uint8_t> m = EncodeGameCommand(Sample());
  GameCommand back;
  std::string why;
  ASSERT_TRUE(DecodeGameCommand(m.data(), m.size(), back, &why)) << why;
  EXPECT_EQ(EncodeGameCommand(back), m);
  EXPECT_EQ(back.payload, Sample().payload);
  EXPECT_EQ(PackedHexColumn(back.arg24), 3);
  EXPECT_EQ(PackedHexRow(back.arg24), -1);
}

TEST(GameCommand, RefusesMessagesThatAreNotOneWellFormedCommand) {
  const std::vector<uint8_t> good = EncodeGameCommand(Sample());
  GameCommand out = Sample();
  out.arg28 = 99;
  auto refused = [&](std::vector<uint8_t> m) {
    GameCommand copy = out;
    std::string why;
    const bool ok = DecodeGameCommand(m.data(), m.size(), out, &why);
    EXPECT_FALSE(why.empty());
    EXPECT_EQ(out.arg28, 99u) << "a refused message leaves the target as it was";
    out = copy;
    return !ok;
  };
  EXPECT_TRUE(refused(std::vector<uint8_t>(good.begin(), good.begin() + 63)));
  EXPECT_TRUE(refused(std::vector<uint8_t>(good.begin(), good.end() - 1))) << "payload cut short";
  std::vector<uint8_t> longer = good;
  longer.push_back(0);
  EXPECT_TRUE(refused(longer)) << "bytes past the payload";
  std::vector<uint8_t> m = good;
  m[0] = 2;
  EXPECT_TRUE(refused(m)) << "header";
  m = good;
  m[4] = 65;
  EXPECT_TRUE(refused(m)) << "size";
  m = good;
  m[16] = 32;
  EXPECT_TRUE(refused(m)) << "player 32";
  m = good;
  m[8] = 15;
  EXPECT_TRUE(refused(m)) << "id 15";
  m = good;
  m[8] = 0x83;  // 387
  m[9] = 0x01;
  EXPECT_TRUE(refused(m)) << "id 387";
  m = good;
  m[58] = 0x01;  // 65,541 bytes announced
  EXPECT_TRUE(refused(m)) << "oversized payload";
  EXPECT_TRUE(refused({}));
}

TEST(GameCommand, KnowsExactlyTheTableIdsAndTheTwoSystemIds) {
  EXPECT_FALSE(IsKnownCommandId(15));
  EXPECT_TRUE(IsKnownCommandId(16));
  EXPECT_TRUE(IsKnownCommandId(386));
  EXPECT_FALSE(IsKnownCommandId(387));
  EXPECT_FALSE(IsKnownCommandId(0x8000));
  EXPECT_TRUE(IsKnownCommandId(0x8001));
  EXPECT_TRUE(IsKnownCommandId(0x8002));
  EXPECT_FALSE(IsKnownCommandId(0x8003));
}

TEST(GameCommand, IsDueAtTheCurrentTickPlusTheLead) {
  GameState s{};
  s.currentTick = 5000;
  s.commandLead = 12;
  const GameCommand c = MakeGameCommand(s, kCmdDefcon, 3);
  EXPECT_EQ(c.dueTick, 5012u);
  EXPECT_EQ(c.player, 3);
  EXPECT_EQ(c.header, 0x20001u);
  EXPECT_EQ(c.size, 64u);
  EXPECT_EQ(c.sequence, 0u) << "stamped only when posted";
  EXPECT_EQ(c.payloadLength, 0u);
  EXPECT_EQ(MakeGameCommand(s, kCmdDefcon, -1).player, 0xFF) << "an impossible player stays impossible";
  EXPECT_EQ(MakeGameCommand(s, kCmdDefcon, 256).player, 0xFF);
}

// The builders post to the game world's log; the tests give that world a
// state of their own and put the old one back.
class Builders : public ::testing::Test {
 protected:
  void SetUp() override {
    g_commandLog.Clear();
    std::memset(static_cast<void*>(g_world.players), 0, sizeof g_world.players);
    g_world.gameState.localPlayer = 2;
    g_world.gameState.currentTick = 700;
    g_world.gameState.commandLead = 4;
    g_world.players[2].kind = kKindHuman;
    g_world.players[3].kind = kKindComputer;
    sent().clear();
  }
  void TearDown() override {
    g_commandLog.Clear();
  }
  static std::vector<std::vector<uint8_t>>& sent() {
    static std::vector<std::vector<uint8_t>> messages;
    return messages;
  }
  static int32_t Capture(const uint8_t* m, size_t n) {
    sent().emplace_back(m, m + n);
    return 0;
  }

  GlobalGuard<GameState> state_{g_world.gameState};
  GlobalGuard<decltype(g_world.players)> players_{g_world.players};
};

TEST_F(Builders, EachWritesItsWordsForTheLocalPlayer) {
  PostCommand_28(100, 2);
  PostCommand_28_32(100, 7, 8);
  PostCommand_28_32_36(100, 12, 13, 14);
  PostCommandWords(100, {15, 16, 17, 18});
  PostCommand_28_32_36p(100, 3, 19, 20, 21);
  PostSimpleCommand(100, 3, -26);
  const std::vector<GameCommand> log = g_commandLog.Entries();
  ASSERT_EQ(log.size(), 6u);
  struct Want {
    uint8_t player;
    uint32_t a24, a28, a32, a36;
  };
  const Want want[] = {{2, 0, 2, 0, 0},    {2, 0, 7, 8, 0}, {2, 0, 12, 13, 14}, {2, 15, 16, 17, 18},
                       {3, 0, 19, 20, 21}, {3, 0, static_cast<uint32_t>(-26), 0, 0}};
  // The log runs player 2's commands first, then player 3's, each in
  // posting order: the list above is in that order already.
  for (size_t i = 0; i < log.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(log[i].id, 100u);
    EXPECT_EQ(log[i].dueTick, 704u);
    EXPECT_EQ(log[i].player, want[i].player);
    EXPECT_EQ(log[i].arg24, want[i].a24);
    EXPECT_EQ(log[i].arg28, want[i].a28);
    EXPECT_EQ(log[i].arg32, want[i].a32);
    EXPECT_EQ(log[i].arg36, want[i].a36);
    EXPECT_EQ(log[i].payloadLength, 0u);
  }
  // Consecutive counters per player, the player in the top byte.
  for (uint32_t i = 0; i < 4; ++i) EXPECT_EQ(log[i].sequence, 0x02000000u | (i + 1));
  for (uint32_t i = 0; i < 2; ++i) EXPECT_EQ(log[4 + i].sequence, 0x03000000u | (i + 1));
}

TEST_F(Builders, PayloadsBecomeTheCommandsOwnAndTravelAfterTheRecord) {
  ScopedNetLink net(kNetGameHost, &Capture);
  std::vector<uint8_t> text = {'a', 'b', 'c'};
  PostCommandWords(kCmdNameHex, {.arg28 = 9}, text);
  text[0] = 'z';  // the caller's buffer is not the command's
  PostCommandWords(kCmdNameHex, {.arg24 = 8});
  PostCommand_28(kCmdDefcon, 2);
  ASSERT_EQ(sent().size(), 3u);
  EXPECT_EQ(sent()[0].size(), 64u + 3u);
  EXPECT_EQ(Word(sent()[0], 0), 0x20001u);
  EXPECT_EQ(Word(sent()[0], 56), 3u);
  EXPECT_EQ(sent()[0][64], 'a');
  EXPECT_EQ(sent()[1].size(), 64u) << "no payload: exactly the record";
  EXPECT_EQ(sent()[2].size(), 64u);
  const std::vector<GameCommand> log = g_commandLog.Entries();
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(log[0].payload, (std::vector<uint8_t>{'a', 'b', 'c'}));
  EXPECT_EQ(log[0].payloadLength, 3u);
}

}  // namespace
