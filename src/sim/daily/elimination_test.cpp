#include "sim/daily/elimination.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "net/command_network.h"
#include "net/text_message.h"
#include "sim/sim_ui_link.h"
#include "records/hex_cell.h"
#include "records/player_record.h"
#include "support/global_guard.h"
#include "world/world.h"

namespace {

std::vector<uint32_t> g_codes;
std::vector<std::string> g_lines;

struct Board {
  std::unique_ptr<World> w = std::make_unique<World>();
  GlobalGuard<SimUiLink> ui{g_simUi};
  Board(int width, int height, std::initializer_list<int> regions, int local) {
    w->mapWidth = width;
    w->mapHeight = height;
    w->mapHeader.width = static_cast<uint32_t>(width);
    w->mapHeader.height = static_cast<uint32_t>(height);
    w->cells.assign(static_cast<size_t>(width * height), HexCell{});
    w->gameState.localPlayer = local;
    w->gameState.highestPlayer = 8;
    for (int p : regions) {
      PlayerRecord& r = w->players[p];
      r.kind = kKindComputer;
      r.number = static_cast<uint8_t>(p);
      std::snprintf(r.name, sizeof r.name, "Land%d", p);
      r.dayHexCount = 1;
      r.dayPopulation = 100.0f;
    }
    g_codes.clear();
    g_lines.clear();
    g_simUi.postTurnEvent = [](uint32_t code) { g_codes.push_back(code); };
    SetTextMessageTransport([](const TextMessage& m) { g_lines.emplace_back(m.text); });
  }
  ~Board() {
    SetTextMessageTransport(nullptr);
  }
  void Own(int x, int y, int player) {
    HexCell& c = w->cells[static_cast<size_t>(y * w->mapWidth + x)];
    c.word = WithCellOwner(c.word, player);
  }
  int Owner(int x, int y) const { return CellOwner(w->cells[static_cast<size_t>(y * w->mapWidth + x)].word); }
};

TEST(Elimination, TheLocalRegionLosingItsLastHexLosesTheGame) {
  Board b(4, 3, {1, 2, 3}, 1);
  PlayerRecord& r = b.w->players[1];
  r.dayHexCount = 0;
  SetCapitalHex(r.simPolicy, {2, 1});
  CheckElimination(*b.w, r, 0, 2, 96);
  EXPECT_EQ(r.kind, kKindOut);
  EXPECT_EQ(b.w->gameState.endReason, 96u);
  ASSERT_EQ(g_codes.size(), 1u);
  EXPECT_EQ(g_codes[0], 98u);
  ASSERT_EQ(g_lines.size(), 1u);
  EXPECT_EQ(g_lines[0], "Player 1 (Land1) is ELIMINATED.");
}

// Every peer's simulation eliminates the region: in a network game each
// shows the line itself and sends it to nobody, so it reads once a peer.
TEST(Elimination, TheLineIsSentOnlyOutsideANetworkGame) {
  struct Row {
    NetGameRole role;
    size_t sent;
  };
  const Row rows[] = {{kNetGameNone, 1}, {kNetGameHost, 0}, {kNetGameClient, 0}};
  for (const Row& row : rows) {
    Board b(4, 3, {1, 2, 3}, 3);
    GlobalGuard<CommandNetLink> net(g_commandNet);
    g_commandNet.role = row.role;
    (void)TakeQueuedTextLines(g_textLines);
    PlayerRecord& r = b.w->players[2];
    r.dayHexCount = 0;
    SetCapitalHex(r.simPolicy, {2, 1});
    CheckElimination(*b.w, r, 0, 2, 96);
    EXPECT_EQ(r.kind, kKindOut);
    EXPECT_EQ(g_lines.size(), row.sent) << "role " << row.role;
    const std::vector<TextLine> shown = TakeQueuedTextLines(g_textLines);
    ASSERT_EQ(shown.size(), 1u) << "role " << row.role;
    EXPECT_EQ(shown[0].text, "Player 2 (Land2) is ELIMINATED.");
  }
}

TEST(Elimination, TheLastRegionStandingWins) {
  Board b(4, 3, {1, 2}, 1);
  PlayerRecord& loser = b.w->players[2];
  loser.dayPopulation = 0.5f;  // below one person
  SetCapitalHex(loser.simPolicy, {2, 1});
  b.w->players[1].simPolicy.hostileMask = 1u << 2;
  b.w->players[1].displayPolicy.friendlyMask = 1u << 2;
  CheckElimination(*b.w, loser, 0, 2, 96);
  EXPECT_EQ(loser.kind, kKindOut);
  EXPECT_EQ(b.w->gameState.endReason, 2u);
  EXPECT_EQ(b.w->gameState.winnersMask, 1u << 1);
  ASSERT_EQ(g_codes.size(), 1u);
  EXPECT_EQ(g_codes[0], 99u);
  EXPECT_EQ(b.w->players[1].simPolicy.hostileMask, 0u);
  EXPECT_EQ(b.w->players[1].displayPolicy.friendlyMask, 0u);
}

TEST(Elimination, TheLocalRegionEliminatedWithOneLeftGets98AndTheWinners) {
  Board b(4, 3, {1, 2}, 1);
  PlayerRecord& r = b.w->players[1];
  r.dayHexCount = 0;
  CheckElimination(*b.w, r, 0, 2, 96);
  EXPECT_EQ(b.w->gameState.endReason, 2u);
  EXPECT_EQ(b.w->gameState.winnersMask, 1u << 2);
  ASSERT_EQ(g_codes.size(), 1u);
  EXPECT_EQ(g_codes[0], 98u);
}

TEST(Elimination, AnotherRegionGoingWhileSeveralRemainPostsNothing) {
  Board b(4, 3, {1, 2, 3}, 1);
  PlayerRecord& r = b.w->players[3];
  r.dayHexCount = 0;
  CheckElimination(*b.w, r, 0, 2, 96);
  EXPECT_EQ(r.kind, kKindOut);
  EXPECT_TRUE(g_codes.empty());
  EXPECT_EQ(b.w->gameState.endReason, 0u);
}

TEST(Elimination, ALostCapitalMovesToTheBestHexAndTheRegionSurvives) {
  Board b(4, 3, {1, 2, 3}, 1);
  PlayerRecord& r = b.w->players[2];
  SetCapitalHex(r.simPolicy, {1, 1});
  SetCapitalHex(r.displayPolicy, {1, 1});
  b.Own(1, 1, 3);  // taken
  r.turnBestHex[0] = 3;
  r.turnBestHex[1] = 2;
  CheckElimination(*b.w, r, 0, 2, 96);
  EXPECT_EQ(r.kind, kKindComputer);
  EXPECT_EQ(CapitalHex(r.simPolicy), (CapitalPosition{3, 2}));
  EXPECT_EQ(CapitalHex(r.displayPolicy), (CapitalPosition{3, 2}));
  // Without a best hex the capital is lost and so is the region.
  SetCapitalHex(r.simPolicy, {1, 1});
  r.turnBestHex[0] = r.turnBestHex[1] = 0;
  CheckElimination(*b.w, r, 0, 2, 96);
  EXPECT_EQ(CapitalHex(r.simPolicy), (CapitalPosition{}));
  EXPECT_EQ(r.kind, kKindOut);
}

TEST(Elimination, HexesGoToTheNeighbourWithMostSidesFirst) {
  Board b(5, 5, {1, 2, 3}, 3);
  // Player 1 holds (2, 2). Its neighbours in an even column: (2, 1), (3, 1),
  // (3, 2), (2, 3), (1, 2), (1, 1). Three of them are player 2's, one is
  // player 3's, the rest player 0's.
  b.Own(2, 2, 1);
  b.Own(2, 1, 2);
  b.Own(3, 1, 2);
  b.Own(3, 2, 2);
  b.Own(1, 2, 3);
  b.w->players[1].dayHexCount = 1;
  DistributeHexes(*b.w, 1);
  EXPECT_EQ(b.Owner(2, 2), 2);
  EXPECT_EQ(b.w->players[2].dayHexCount, 2);
  EXPECT_EQ(b.w->players[1].dayHexCount, 0);
}

TEST(Elimination, HexesAmongUnownedHexesGoToPlayerZeroInTheSecondPhase) {
  Board b(5, 5, {1, 2}, 2);
  b.Own(2, 2, 1);
  b.Own(2, 3, 1);
  b.w->players[1].dayHexCount = 2;
  DistributeHexes(*b.w, 1);
  EXPECT_EQ(b.Owner(2, 2), 0);
  EXPECT_EQ(b.Owner(2, 3), 0);
  EXPECT_EQ(b.w->players[1].dayHexCount, 0);
}

TEST(Elimination, ComputerTreasuriesAreToppedUp) {
  Board b(2, 2, {1, 2, 3}, 1);
  b.w->players[1].kind = kKindHuman;
  b.w->players[2].treasury = 100.0f;
  b.w->players[3].treasury = 2.5e9f;
  TopUpKind3Reserve(*b.w);
  EXPECT_EQ(b.w->players[1].treasury, 0.0f);
  EXPECT_EQ(b.w->players[2].treasury, 100.0f + 5.0e8f);
  EXPECT_EQ(b.w->players[3].treasury, 2.5e9f);
}

TEST(TextMessage, LongTextsAreCutAndNoTextFails) {
  TextMessage m;
  const std::string longText(200, 'x');
  TextMessageCtor(m, 1, 0xFF, longText.c_str());
  EXPECT_EQ(std::strlen(m.text), 111u);
  EXPECT_EQ(SendTextMessage(m, 1), 0);
  TextMessageCtor(m, 1, 0xFF, nullptr);
  EXPECT_EQ(SendTextMessage(m, 1), static_cast<int32_t>(0x80004005u));
}

}  // namespace
