// Chat lines between three peers over TCP at 127.0.0.1: who hears a line
// in the lobby and in a game, and the cut to 111 characters; the queue's
// limit and the lines shown outside any session. (A line forged in another
// player's name is among the bad messages of game_messages_test.cpp.)
#include "net/text_message.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "net/net_test_support.h"
#include "world/text/ui_options.h"

namespace {

bool g_inGame = false;
bool InGame() { return g_inGame; }

bool Has(TestPeer& p, const std::string& text) {
  const auto lines = p.Lines();
  return std::find(lines.begin(), lines.end(), text) != lines.end();
}

void Say(TestPeer& p, int32_t sender, uint32_t mask, const std::string& text, bool loopback) {
  TextMessage line;
  TextMessageCtor(line, sender, mask, text.c_str());
  EXPECT_EQ(SendTextMessage(p.session, line, loopback), 0);
  TextMessageDtor(line);
}

TEST(Chat, LinesReachTheirPeopleInTheLobbyAndInAGame) {
  TestPeer host("Hera", nullptr), ann("Ann", nullptr), bob("Bob", nullptr);
  for (TestPeer* p : {&host, &ann, &bob}) p->game.inGame = InGame;
  host.Host();
  ann.Join(host);
  ASSERT_TRUE(Eventually([&] { return ann.session.slotAssigned.load() == 1; }));
  bob.Join(host);
  ASSERT_EQ(NetSetSlotFields(host.session, 1, 1, 0), 0);
  ASSERT_EQ(NetSetSlotFields(host.session, 2, 5, 0), 0);  // Bob in slot 3 plays no region
  ASSERT_TRUE(Eventually([&] { return ann.Slot(2).region == 5 && bob.Slot(2).region == 5 && bob.Slot(1).region == 1; }));
  for (TestPeer* p : {&host, &ann, &bob}) {
    p->world->players[1].networkSlot = 1;
    p->world->players[5].networkSlot = 2;
  }
  host.world->gameState.localPlayer = 1;
  ann.world->gameState.localPlayer = 5;
  const struct {
    bool inGame;
    TestPeer* from;
    int32_t sender;
    uint32_t mask;
    bool loopback;
    std::string text;
    bool host, ann, bob;  // who hears it
  } rows[] = {
      // The lobby: everybody whatever the mask, the sender too.
      {false, &host, 1, 1u << 5, false, "lobby line", true, true, true},
      {false, &ann, 5, 1u << 1, false, std::string(150, 'x'), true, true, true},
      // A game: the mask's people; a line to all reaches the observer.
      {true, &host, 1, 1u << 5, false, "to region 5", false, true, false},
      {true, &ann, 5, 1u << 1, true, "to region 1 and back", true, true, false},
      {true, &host, 1, kTextToAll, true, "to all", true, true, true},
  };
  for (const auto& row : rows) {
    g_inGame = row.inGame;
    Say(*row.from, row.sender, row.mask, row.text, row.loopback);
    // The line to all comes after in every peer's stream: once it is there,
    // this one would be too.
    // What is sent comes before the marker: once the marker is in, a line
    // not there was never sent.
    Say(host, 1, kTextToAll, "marker", false);
    const std::string heard = row.text.substr(0, 111);
    for (const std::pair<TestPeer*, bool>& to : {std::pair{&host, row.host}, {&ann, row.ann}, {&bob, row.bob}}) {
      ASSERT_TRUE(Eventually([&] { return Has(*to.first, "marker") && (!to.second || Has(*to.first, heard)); }))
          << row.text;
      EXPECT_EQ(Has(*to.first, heard), to.second) << row.text << " at " << to.first->session.identity.playerName;
    }
    for (TestPeer* p : {&host, &ann, &bob}) ClearTextMessageQueue(p->lines);
  }
}

TEST(Chat, TheQueueKeepsTheHistoryLimitPlusOneAndLocalLinesNeedTheirAddress) {
  TestPeer solo("Solo", nullptr);
  solo.world->gameState.localPlayer = 3;
  const int32_t keep = g_uiOptions.chatsavehistory;
  g_uiOptions.chatsavehistory = 10;
  for (int i = 1; i <= 12; ++i) QueueTextMessage2(solo.session, "line %d", i);
  const auto lines = solo.Lines();
  ASSERT_EQ(lines.size(), 11u);
  EXPECT_EQ(lines.front(), "line 2");
  EXPECT_EQ(lines.back(), "line 12");
  g_uiOptions.chatsavehistory = keep;

  // Outside a session: shown when addressed here, or sent from here with loopback.
  const struct {
    int32_t sender;
    uint32_t mask;
    bool loopback, shown;
  } rows[] = {{3, 1u << 4, false, false}, {3, 1u << 4, true, true}, {4, 1u << 4, true, false}, {4, 1u << 3, false, true}};
  for (const auto& row : rows) {
    ClearTextMessageQueue(solo.lines);
    Say(solo, row.sender, row.mask, "hello", row.loopback);
    EXPECT_EQ(solo.Lines().size(), row.shown ? 1u : 0u) << row.sender << " " << row.mask << " " << row.loopback;
  }
}

}  // namespace
