#include "sim/player_messages.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "sim/message_test_support.h"
#include "sim/player_message_link.h"
#include "sim/player_message_wire.h"

namespace {

// Player 1 is the local player; 2 to 4 are computer regions.
struct PostWorld : MessageTestWorld {
  PostWorld() { Type(50, kMessageEmail, 5); }

  MessageTypeRecord& Frequency(uint8_t kind, uint8_t param) {
    MessageTypeRecord& type = g_ruleTables.messageTypes.records[50];
    type.frequencyKind = kind;
    type.frequencyParam = param;
    return type;
  }
  // Posts type 50 to the local player; true when a message arrived.
  bool Post() {
    const size_t before = Messages(1).size();
    PostPlayerMessage(*world, P(1), 2, 50, nullptr, MessageParams{});
    return Messages(1).size() > before;
  }
  // The day offsets from kTestDay, among `days`, on which a daily posting passes.
  std::vector<int> PassingDays(int days) {
    std::vector<int> passed;
    for (int d = 0; d < days; ++d) {
      world->gameState.currentDay = kTestDay + static_cast<uint32_t>(d);
      if (Post()) passed.push_back(d);
    }
    return passed;
  }
};

TEST(MessageFrequency, EveryParamPlusOneDaysForKindTwo) {
  PostWorld t;
  t.Frequency(2, 7);
  EXPECT_EQ(t.PassingDays(30), (std::vector<int>{0, 8, 16, 24}));
  const PlayerMessageState& state = g_ruleTables.messageTypes.playerMessageState[1][50];
  EXPECT_EQ(state.lastDay, kTestDay + 24);
  EXPECT_EQ(state.suppressed, 5u);  // days 25 to 29
}

TEST(MessageFrequency, KindFiftyPassesOnTheFifthPostingAfterAPass) {
  PostWorld t;
  t.Frequency(50, 3);
  std::vector<int> passed;
  for (int posting = 1; posting <= 12; ++posting)
    if (t.Post()) passed.push_back(posting);
  EXPECT_EQ(passed, (std::vector<int>{5, 10}));
}

TEST(MessageFrequency, KindElevenOnOddDaysOnlyAndNeverTwiceInARow) {
  PostWorld t;
  t.Frequency(11, 0);
  // kTestDay (2,451,545) is odd: the odd days are the even offsets.
  std::vector<int> passed = t.PassingDays(10);
  EXPECT_EQ(passed, (std::vector<int>{0, 2, 4, 6, 8}));
  for (size_t i = 1; i < passed.size(); ++i) EXPECT_GT(passed[i] - passed[i - 1], 1);
  t.world->gameState.currentDay = kTestDay + 10;
  EXPECT_TRUE(t.Post());
  EXPECT_FALSE(t.Post());  // once a day
}

TEST(MessageFrequency, DayRules) {
  PostWorld t;
  t.Frequency(12, 0);
  EXPECT_EQ(t.PassingDays(5), (std::vector<int>{1, 3}));
}

TEST(MessageFrequency, OncePerDay) {
  PostWorld t;
  t.Frequency(10, 0);
  EXPECT_TRUE(t.Post());
  EXPECT_FALSE(t.Post());
  t.world->gameState.currentDay += 1;
  EXPECT_TRUE(t.Post());
}

TEST(MessageFrequency, Weekday) {
  PostWorld t;
  // (2451545 + 2) mod 7 = 0: kTestDay is weekday 1.
  t.Frequency(20, 1);
  EXPECT_EQ(t.PassingDays(15), (std::vector<int>{0, 7, 14}));
  PostWorld u;
  u.Frequency(20, 3);
  EXPECT_EQ(u.PassingDays(15), (std::vector<int>{2, 9}));
}

TEST(MessageFrequency, DayOfTheMonthRules) {
  // kTestDay is 2 January 2000; 2 February is 31 days on, 2 March 60 (a leap year).
  const struct {
    uint8_t kind;
    std::vector<int> want;
  } cases[] = {{30, {0, 31, 60}}, {31, {0, 60}}, {32, {31}}, {40, {60}}};
  for (const auto& c : cases) {
    PostWorld t;
    t.Frequency(c.kind, 2);
    EXPECT_EQ(t.PassingDays(70), c.want) << int(c.kind);
  }
}

TEST(MessageFrequency, AlwaysAndNever) {
  PostWorld t;
  t.Frequency(0, 0);
  EXPECT_TRUE(t.Post());
  EXPECT_TRUE(t.Post());
  t.Frequency(99, 0);
  EXPECT_FALSE(t.Post());
  EXPECT_EQ(g_ruleTables.messageTypes.playerMessageState[1][50].suppressed, 1u);
}

TEST(MessageFrequency, KindFourAddsItsStatusLineEvenWhenRefused) {
  PostWorld t;
  MessageTypeRecord& type = t.Frequency(4, 5);
  type.flags = kMessageEmail | 4;
  type.statusTemplate.reset(TestCopy("line"));
  EXPECT_TRUE(t.Post());
  EXPECT_FALSE(t.Post());
  EXPECT_EQ(TakeStatusLines(*t.world).size(), 2u);
  t.Frequency(2, 5);
  EXPECT_FALSE(t.Post());
  EXPECT_EQ(TakeStatusLines(*t.world).size(), 0u);
}

TEST(PostPlayerMessage, RefusesUnknownDisabledAndRemoteRecipients) {
  PostWorld t;
  const uint32_t count = static_cast<uint32_t>(g_ruleTables.messageTypes.messageTypeCount());
  PostPlayerMessage(*t.world, t.P(1), 1, count, nullptr, MessageParams{});
  PostPlayerMessage(*t.world, t.P(1), 1, 51, nullptr, MessageParams{});  // type 51 is not enabled
  PostPlayerMessage(*t.world, t.P(3), 1, 50, nullptr, MessageParams{});  // not the local player
  EXPECT_TRUE(t.Messages(1).empty());
  EXPECT_TRUE(t.Messages(3).empty());
  EXPECT_EQ(g_ruleTables.messageTypes.playerMessageState[3][50].lastDay, 0u);
}

TEST(PostPlayerMessage, LevelsBonusSenderAndMinister) {
  PostWorld t;
  g_uiOptions.emaillevel = 6;
  EXPECT_FALSE(t.Post());  // priority 5 below the e-mail level
  g_uiOptions.emaillevel = 5;
  EXPECT_TRUE(t.Post());
  EXPECT_EQ(t.Messages(1)[0]->sender, 0);
  EXPECT_EQ(t.Messages(1)[0]->fromWord, 0);

  MessageTypeRecord& signed_ = t.Type(60, kMessageEmail, 5);
  signed_.enabled = 3;
  signed_.department = 4;  // cabinet post 2
  t.P(1).simPolicy.cabinetPolicy[2].bytes[0] = 77;
  PostPlayerMessage(*t.world, t.P(1), 2, 60, nullptr, MessageParams{});
  EXPECT_EQ(t.Messages(1)[0]->sender, 1);
  EXPECT_EQ(t.Messages(1)[0]->fromWord, 77);

  t.Type(61, kMessageNews, 5);
  g_uiOptions.newslevel = 10;
  PostPlayerMessage(*t.world, t.P(1), 2, 61, nullptr, MessageParams{});
  EXPECT_EQ(t.Messages(1)[0]->typeId, 60u);  // 5 is below the news level
  PostPlayerMessage(*t.world, t.P(1), 1, 61, nullptr, MessageParams{9, 8, 7, 6}, 4);
  PlayerMessage* news = t.Messages(1)[0];
  EXPECT_EQ(news->typeId, 61u);  // about itself: 5 + 10
  EXPECT_EQ(news->priority, 15);
  EXPECT_EQ(news->flags, kMessageNews);
  EXPECT_EQ(news->extra, 4);
  EXPECT_EQ(news->params[0], 9u);
  EXPECT_EQ(news->params[3], 6u);
  EXPECT_EQ(news->day, kTestDay);
  EXPECT_EQ(news->tick, t.world->gameState.currentTick);
  EXPECT_EQ(news->recipientMasks[0], 1u << 1);
  EXPECT_EQ(news->owner, 1);
}

TEST(BroadcastPlayerMessage, ChoosesTheTypeByRelationAndSkipsPlayerZeroAndTheSurrendered) {
  // Types 101 self, 102 friendly, 103 others, 104 hostile. Messages are only
  // posted to the local player, so each player in turn plays locally.
  const uint32_t want[7] = {0, 103, 101, 102, 104, 0, 103};
  for (int local = 0; local < 7; ++local) {
    PostWorld t;
    for (uint32_t type = 101; type <= 104; ++type) t.Type(type);
    t.P(0).kind = kKindWorld;
    t.P(5).kind = kKindOut;
    t.P(6).kind = kKindComputer;
    t.P(2).simPolicy.friendlyMask = (1u << 3) | (1u << 5);
    t.P(2).simPolicy.hostileMask = (1u << 4) | (1u << 0);
    t.world->gameState.localPlayer = local;
    BroadcastPlayerMessage(*t.world, t.P(2), 101, 102, 103, 104, nullptr, MessageParams{});
    for (int p = 0; p < 8; ++p) {
      const std::vector<uint32_t> got = t.TypesOf(p);
      if (p == local && want[local] != 0)
        EXPECT_EQ(got, std::vector<uint32_t>{want[local]}) << "local " << local;
      else
        EXPECT_TRUE(got.empty()) << "local " << local << " player " << p;
    }
  }
}

TEST(BroadcastPlayerMessage, TypeZeroSendsNothing) {
  PostWorld t;
  t.Type(101);
  BroadcastPlayerMessage(*t.world, t.P(2), 101, 101, 0, 101, nullptr, MessageParams{});
  EXPECT_TRUE(t.Messages(1).empty());
}

TEST(DeliverPlayerMessage, RemoteChecks) {
  PostWorld t;
  t.P(4).kind = kKindOut;
  // Outside a network game every region's messages live here.
  DeliverPlayerMessage(*t.world, t.P(3), 50, 0, "att", MessageParams{});
  DeliverPlayerMessage(*t.world, t.P(4), 50, 0, nullptr, MessageParams{});
  ASSERT_EQ(t.Messages(3).size(), 1u);
  EXPECT_STREQ(t.Messages(3)[0]->texts[2], "att");
  EXPECT_TRUE(t.Messages(4).empty());
  // Without the checks the surrendered region's copy is still not made.
  DeliverPlayerMessage(*t.world, t.P(4), 50, 0, nullptr, MessageParams{}, 0, 0, false);
  EXPECT_TRUE(t.Messages(4).empty());
  {
    ScopedNetLink client(kNetGameClient, nullptr);
    DeliverPlayerMessage(*t.world, t.P(3), 50, 0, nullptr, MessageParams{});
    EXPECT_EQ(t.Messages(3).size(), 1u);
  }
  {
    ScopedNetLink host(kNetGameHost, nullptr);
    t.P(2).networkSlot = 6;
    t.world->slotTable[6].state = kSlotHuman;
    DeliverPlayerMessage(*t.world, t.P(3), 50, 0, nullptr, MessageParams{});
    DeliverPlayerMessage(*t.world, t.P(2), 50, 0, nullptr, MessageParams{});
    EXPECT_EQ(t.Messages(3).size(), 2u);
    EXPECT_TRUE(t.Messages(2).empty());
  }
}

struct Sent {
  uint32_t kind;
  int32_t player;
  std::vector<uint8_t> payload;
};
std::vector<Sent>* g_sent = nullptr;
int32_t RecordSend(uint32_t kind, int32_t player, const uint8_t* payload, size_t length) {
  g_sent->push_back(Sent{kind, player, std::vector<uint8_t>(payload, payload + length)});
  return 0;
}

TEST(DistributePlayerMessage, FilesHereAndSendsToThePeersOfRemotePeople) {
  PostWorld t;
  std::vector<Sent> sent;
  g_sent = &sent;
  g_messageNet.sendToPlayer = &RecordSend;
  t.P(4).networkSlot = 9;
  t.world->slotTable[9].state = kSlotHuman;
  t.P(5).kind = kKindOut;
  PlayerMessage* m = InitPlayerMessage(1);
  m->recipientMasks[0] = (1u << 1) | (1u << 3);
  m->recipientMasks[2] = (1u << 4) | (1u << 5) | (1u << 7);  // 5 surrendered, 7 empty
  m->flags |= 0x3Cu;
  m->texts[0] = TestCopy("Subject");
  m->texts[1] = TestCopy("Hello there");
  {
    ScopedNetLink host(kNetGameHost, nullptr);
    DistributePlayerMessage(*t.world, *m);
  }
  EXPECT_EQ(m->flags & 0x3Cu, 0u);
  EXPECT_EQ(m->day, kTestDay);
  ASSERT_EQ(t.Messages(1).size(), 1u);
  ASSERT_EQ(t.Messages(3).size(), 1u);
  EXPECT_EQ(t.Messages(3)[0]->owner, 3);
  EXPECT_STREQ(t.Messages(3)[0]->texts[1], "Hello there");
  EXPECT_NE(t.Messages(3)[0]->texts[1], m->texts[1]);  // each copy owns its texts
  EXPECT_TRUE(t.Messages(4).empty());
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].kind, 106u);
  EXPECT_EQ(sent[0].player, 4);
  PlayerMessage* received = DecodePlayerMessage(sent[0].payload.data(), sent[0].payload.size());
  ASSERT_NE(received, nullptr);
  EXPECT_EQ(received->owner, 4);
  EXPECT_EQ(received->sender, 1);
  EXPECT_EQ(received->recipientMasks[2], m->recipientMasks[2]);
  EXPECT_STREQ(received->texts[0], "Subject");
  EXPECT_STREQ(received->texts[1], "Hello there");
  EXPECT_EQ(received->texts[2], nullptr);
  DeleteZeroed(received);

  // A client keeps only the local player's copy; the host gets the computer's.
  sent.clear();
  {
    ScopedNetLink client(kNetGameClient, nullptr);
    DistributePlayerMessage(*t.world, *m);
  }
  EXPECT_EQ(t.Messages(1).size(), 2u);
  EXPECT_EQ(t.Messages(3).size(), 1u);
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[0].player, 3);
  EXPECT_EQ(sent[1].player, 4);
  DeleteZeroed(m);
}

TEST(StorePlayerMessage, MutedTypesAreFormattedButNeverFiled) {
  PostWorld t;
  static int s_email, s_news;
  static std::vector<int> s_sounds;
  s_email = s_news = 0;
  s_sounds.clear();
  g_mailUi.emailArrived = [] { ++s_email; };
  g_mailUi.newsArrived = [] { ++s_news; };
  g_simUi.playUiSound = [](int n) { s_sounds.push_back(n); };
  MessageTypeRecord& type = t.Type(70, kMessageEmail);
  type.subject.reset(TestCopy("Budget"));
  t.SetTemplate(70, "Body");
  DeliverPlayerMessage(*t.world, t.P(1), 70, 0, nullptr, MessageParams{});
  ASSERT_EQ(t.Messages(1).size(), 1u);
  EXPECT_STREQ(t.Messages(1)[0]->texts[0], "Budget");
  EXPECT_STREQ(t.Messages(1)[0]->texts[1], "Body");
  EXPECT_EQ(s_email, 1);
  EXPECT_EQ(s_sounds, std::vector<int>{1});

  type.muteFlags = 1;  // muted by the user; the table did not protect it
  DeliverPlayerMessage(*t.world, t.P(1), 70, 0, nullptr, MessageParams{});
  EXPECT_EQ(t.Messages(1).size(), 1u);
  EXPECT_EQ(s_sounds.size(), 1u);
  type.muteFlags = 3;  // the table's 2 keeps it
  type.sound = 12;
  DeliverPlayerMessage(*t.world, t.P(1), 70, 0, nullptr, MessageParams{});
  EXPECT_EQ(t.Messages(1).size(), 2u);
  EXPECT_EQ(s_sounds.back(), 12);

  MessageTypeRecord& news = t.Type(71, kMessageNews, 20);
  news.sound = 5;
  DeliverPlayerMessage(*t.world, t.P(1), 71, 0, nullptr, MessageParams{});
  EXPECT_EQ(s_sounds.back(), 2);  // loud news
  EXPECT_EQ(s_news, 1);
  // Another player's copy is filed silently.
  const size_t sounds = s_sounds.size();
  DeliverPlayerMessage(*t.world, t.P(3), 71, 0, nullptr, MessageParams{});
  EXPECT_EQ(t.Messages(3).size(), 1u);
  EXPECT_EQ(s_sounds.size(), sounds);
  EXPECT_EQ(s_news, 1);
  // Newest first.
  EXPECT_EQ(t.TypesOf(1), (std::vector<uint32_t>{71, 70, 70}));
}

TEST(StorePlayerMessage, AMessageOfATypeTheTableLacksIsDropped) {
  PostWorld t;
  PlayerMessage* m = NewZeroed<PlayerMessage>();
  m->typeId = 5000;
  StorePlayerMessage(*t.world, m, 1);
  m = NewZeroed<PlayerMessage>();
  StorePlayerMessage(*t.world, m, 40);
  EXPECT_TRUE(t.Messages(1).empty());
}

TEST(AddLocalNewsItem, StatusLinesReachTheQueue) {
  PostWorld t;
  static std::vector<int> s_sounds;
  s_sounds.clear();
  g_simUi.playUiSound = [](int n) { s_sounds.push_back(n); };
  MessageTypeRecord& type = t.Type(80, 4, 6);
  type.paramKinds[0] = 3;
  type.statusTemplate.reset(TestCopy("Line %s"));
  type.sound = 9;
  g_uiOptions.statuslevel = 7;
  AddLocalNewsItem(*t.world, t.P(1), 80, 0, MessageParams{5});
  EXPECT_TRUE(TakeStatusLines(*t.world).empty());
  EXPECT_EQ(s_sounds, std::vector<int>{9});  // flags exactly 4: the sound plays anyway
  t.world->gameState.currentTick = 4321;
  AddLocalNewsItem(*t.world, t.P(1), 80, 1, MessageParams{5});
  AddLocalNewsItem(*t.world, t.P(3), 80, 1, MessageParams{6});  // not the local player
  const std::vector<StatusLine> lines = TakeStatusLines(*t.world);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].text, "Line 5");
  EXPECT_EQ(lines[0].tick, 4321u);
  EXPECT_EQ(lines[0].priority, 7u);
  type.statusTemplate.reset();
  AddLocalNewsItem(*t.world, t.P(1), 80, 1, MessageParams{5});
  EXPECT_TRUE(TakeStatusLines(*t.world).empty());  // an empty line is not queued
}

TEST(ExpirePlayerMessages, NewsByPriorityAndEmailByDays) {
  PostWorld t;
  static uint32_t s_shownNews, s_shownEmail;
  s_shownNews = s_shownEmail = 0;
  g_mailUi.shownNewsSerial = [] { return s_shownNews; };
  g_mailUi.shownEmailSerial = [] { return s_shownEmail; };
  g_uiOptions.newsdeldays = 7;
  g_uiOptions.emaildeldays = 30;
  const auto add = [&](uint32_t flags, uint8_t priority, uint32_t age) {
    PlayerMessage* m = NewZeroed<PlayerMessage>();
    m->flags = flags;
    m->priority = priority;
    m->day = kTestDay + 100 - age;
    t.world->messageLists[1].Prepend(m);
    return m;
  };
  t.world->gameState.currentDay = kTestDay + 100;
  PlayerMessage* news12 = add(kMessageNews, 10, 12);
  add(kMessageNews, 10, 13);
  PlayerMessage* shownNews = add(kMessageNews, 10, 40);
  PlayerMessage* mail30 = add(kMessageEmail, 0, 30);
  add(kMessageEmail, 0, 31);
  PlayerMessage* kept = add(kMessageEmail | kMessageKept, 0, 90);
  PlayerMessage* shownMail = add(kMessageEmail, 0, 50);
  PlayerMessage* neither = add(0, 0, 500);
  s_shownNews = shownNews->serial;
  s_shownEmail = shownMail->serial;
  ExpirePlayerMessages(*t.world, t.P(1));
  EXPECT_EQ(t.Messages(1), (std::vector<PlayerMessage*>{neither, shownMail, kept, mail30, shownNews, news12}));
  g_uiOptions.emaildeldays = 0;
  s_shownEmail = 0;
  ExpirePlayerMessages(*t.world, t.P(1));
  EXPECT_EQ(t.Messages(1).size(), 6u);
  g_uiOptions.emaildeldays = 1;
  ExpirePlayerMessages(*t.world, t.P(1));
  EXPECT_EQ(t.Messages(1), (std::vector<PlayerMessage*>{neither, kept, shownNews, news12}));
}

TEST(ExpirePlayerMessages, EveryActivePlayerAtTheEndOfATurn) {
  PostWorld t;
  t.P(3).kind = kKindOut;
  t.world->gameState.highestPlayer = 4;
  for (int p : {1, 2, 3, 4, 5}) {
    PlayerMessage* m = NewZeroed<PlayerMessage>();
    m->flags = kMessageNews;
    m->day = kTestDay - 100;
    t.world->messageLists[p].Prepend(m);
  }
  ExpireAllPlayerMessages(*t.world);
  EXPECT_TRUE(t.Messages(1).empty());
  EXPECT_TRUE(t.Messages(2).empty());
  EXPECT_EQ(t.Messages(3).size(), 1u);  // surrendered
  EXPECT_TRUE(t.Messages(4).empty());
  EXPECT_EQ(t.Messages(5).size(), 1u);  // above the highest player
}

TEST(PlayerMessageSerial, FoundAndDeletedByItsSerial) {
  PostWorld t;
  DeliverPlayerMessage(*t.world, t.P(1), 50, 0, nullptr, MessageParams{});
  DeliverPlayerMessage(*t.world, t.P(1), 50, 0, nullptr, MessageParams{});
  const uint32_t older = t.Messages(1)[1]->serial;
  EXPECT_NE(older, t.Messages(1)[0]->serial);
  EXPECT_EQ(FindPlayerMessage(*t.world, 1, older), t.Messages(1)[1]);
  EXPECT_TRUE(DeletePlayerMessage(*t.world, 1, older));
  EXPECT_FALSE(DeletePlayerMessage(*t.world, 1, older));
  EXPECT_EQ(FindPlayerMessage(*t.world, 1, older), nullptr);
  EXPECT_EQ(FindPlayerMessage(*t.world, 1, 0), nullptr);
  EXPECT_EQ(t.Messages(1).size(), 1u);
}

TEST(PlayerMessageLink, TurnMessageIsDeliveredOnceAndPostingGoesThroughTheLink) {
  PostWorld t;
  t.Type(499);
  t.world->gameState.pendingTurnMessage = 499;
  ASSERT_TRUE(g_playerMessageLink.deliverTurnMessage);
  g_playerMessageLink.deliverTurnMessage(*t.world, t.P(1));
  g_playerMessageLink.deliverTurnMessage(*t.world, t.P(1));
  EXPECT_EQ(t.TypesOf(1), std::vector<uint32_t>{499});
  EXPECT_EQ(t.world->gameState.pendingTurnMessage, 0u);
  PostPlayerMessageTo(*t.world, t.P(1), 1, 50, 77);
  EXPECT_EQ(t.Messages(1)[0]->params[0], 77u);
}

}  // namespace
