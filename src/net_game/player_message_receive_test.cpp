// A player message that a peer sends as session message 106 is filed for its
// owner when the owner's messages live on this peer, and dropped otherwise.
#include <gtest/gtest.h>

#include <vector>

#include "net_game/session_message_handler.h"
#include "net/net_message_queue.h"
#include "sim/message_test_support.h"
#include "sim/player_message_wire.h"

namespace {

// The game world as the main thread's handler sees it: player 1 local, 3 a
// computer region. Put back as it was afterwards.
struct GameWorldPlayers {
  GameWorldPlayers() : savedLocal(g_world.gameState.localPlayer) {
    for (int p = 0; p < kMaxPlayers; ++p) savedKinds[p] = g_world.players[p].kind;
    g_world.gameState.localPlayer = 1;
    g_world.players[1].kind = kKindHuman;
    g_world.players[3].kind = kKindComputer;
    g_world.players[4].kind = kKindOut;
  }
  ~GameWorldPlayers() {
    for (ListNode& head : g_world.messageLists) FreeRingItems(head);
    for (int p = 0; p < kMaxPlayers; ++p) g_world.players[p].kind = savedKinds[p];
    g_world.gameState.localPlayer = savedLocal;
  }
  size_t Count(int p) {
    size_t n = 0;
    ListNode& head = g_world.messageLists[p];
    for (ListNode* node = head.next(); node && node != &head; node = node->next()) ++n;
    return n;
  }
  int32_t savedLocal;
  int32_t savedKinds[kMaxPlayers];
};

void Receive(std::vector<uint8_t> payload) {
  SessionMessage m{};
  m.id = kSessionMessageId;
  m.size = 64;
  m.kind = kSmPlayerMessage;
  m.sender = 2;
  m.payload = payload.data();
  m.payloadLength = static_cast<uint32_t>(payload.size());
  HandleSessionMessage(m);
}

std::vector<uint8_t> Wire(uint32_t type, uint8_t owner) {
  PlayerMessage* m = InitPlayerMessage(2);
  m->typeId = type;
  m->recipientMasks[0] = owner < 32 ? 1u << owner : 0;
  m->texts[0] = TestCopy("From afar");
  std::vector<uint8_t> wire = EncodePlayerMessage(*m, owner);
  DeleteZeroed(m);
  return wire;
}

TEST(PlayerMessageReceive, FiledForPlayersWhoseMessagesLiveHere) {
  MessageTestWorld tables;
  tables.Type(50);
  tables.SetTemplate(50, "Formatted here");
  GameWorldPlayers players;
  Receive(Wire(50, 1));
  ASSERT_EQ(players.Count(1), 1u);
  auto* filed = static_cast<PlayerMessage*>(g_world.messageLists[1].next());
  EXPECT_EQ(filed->owner, 1);
  EXPECT_EQ(filed->sender, 2);
  EXPECT_STREQ(filed->texts[0], "From afar");
  EXPECT_STREQ(filed->texts[1], "Formatted here");
  Receive(Wire(50, 3));  // outside a network game every region's mail lives here
  EXPECT_EQ(players.Count(3), 1u);
}

TEST(PlayerMessageReceive, OthersAndDamagedMessagesAreDropped) {
  MessageTestWorld tables;
  tables.Type(50);
  GameWorldPlayers players;
  {
    ScopedNetLink client(kNetGameClient, nullptr);
    Receive(Wire(50, 3));  // a computer region lives on the host
  }
  Receive(Wire(50, 4));   // surrendered
  Receive(Wire(50, 40));  // no such player
  Receive(Wire(9999, 1));  // a type the table lacks
  std::vector<uint8_t> cut = Wire(50, 1);
  cut.resize(cut.size() - 1);  // the subject loses its end
  Receive(cut);
  Receive({1, 2, 3});
  for (int p = 0; p < kMaxPlayers; ++p) EXPECT_EQ(players.Count(p), 0u) << p;
}

}  // namespace
