#include "sim/mail_replies.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/command_post.h"
#include "sim/dip_offer.h"
#include "sim/message_test_support.h"
#include "records/le_bytes.h"

namespace {

struct ReplyWorld : MessageTestWorld {
  ReplyWorld() {
    MessageTypeRecord& type = Type(20);
    type.paramKinds[0] = 8;
    type.paramKinds[1] = 36;
    type.paramKinds[2] = 31;
    type.paramKinds[3] = 6;
  }
  MailReplySource Message(uint8_t replySet, uint32_t p1 = 0, uint32_t p2 = 0, uint32_t p3 = 0, uint32_t p4 = 0) {
    g_ruleTables.messageTypes.records[20].replySet = replySet;
    MailReplySource m;
    m.serial = 1234;
    m.typeId = 20;
    m.sender = 3;
    m.params[0] = p1;
    m.params[1] = p2;
    m.params[2] = p3;
    m.params[3] = p4;
    return m;
  }
  struct Posted {
    uint32_t id, arg28, arg32, arg36;
    bool operator==(const Posted&) const = default;
  };
  std::vector<Posted> Commands() {
    std::vector<Posted> out;
    for (const GameCommand& c : log->Entries()) {
      EXPECT_EQ(static_cast<int>(c.player), world->gameState.localPlayer);
      out.push_back({c.id, c.arg28, c.arg32, c.arg36});
    }
    return out;
  }
};

using Posted = ReplyWorld::Posted;

TEST(MailReply, SocialSpendingMovesByATenth) {
  ReplyWorld t;
  t.P(1).displayPolicy.socialspend[2] = 10.0f;
  EXPECT_EQ(HandleMailReply(*t.world, t.Message(47, 2), 1), 1);
  EXPECT_EQ(t.Commands(), (std::vector<Posted>{{25, 2, MessageReal(9.0f), 0}}));
  EXPECT_EQ(t.P(1).displayPolicy.socialspend[2], 9.0f);  // the display pass ran at once
  t.P(1).displayPolicy.socialspend[4] = 10.0f;
  HandleMailReply(*t.world, t.Message(48, 4), 18);
  EXPECT_EQ(t.Commands().back(), (Posted{kCmdSocialSpend, 4, MessageReal(11.0f), 0}));
  HandleMailReply(*t.world, t.Message(47, 7), 29);  // no programme 7
  EXPECT_EQ(t.Commands().size(), 2u);
}

TEST(MailReply, MilitaryResearchShiftNeedsRoomOnBothSides) {
  ReplyWorld t;
  float* r = t.P(1).displayPolicy.milResearch;
  r[1] = 0.8f;
  r[2] = 0.5f;
  HandleMailReply(*t.world, t.Message(50), 1);
  EXPECT_TRUE(t.Commands().empty());
  r[1] = 0.5f;
  r[2] = 0.2f;
  HandleMailReply(*t.world, t.Message(50), 1);
  EXPECT_TRUE(t.Commands().empty());
  r[2] = 0.5f;
  HandleMailReply(*t.world, t.Message(50), 1);
  const std::vector<Posted> posted = t.Commands();
  ASSERT_EQ(posted.size(), 2u);
  EXPECT_EQ(posted[0].id, 138u);
  EXPECT_EQ(posted[0].arg28, 1u);
  EXPECT_NEAR(MessageRealOf(posted[0].arg32), 0.6f, 1e-6f);
  EXPECT_EQ(posted[1].arg28, 2u);
  EXPECT_NEAR(MessageRealOf(posted[1].arg32), 0.4f, 1e-6f);
  // And back.
  HandleMailReply(*t.world, t.Message(51), 1);
  ASSERT_EQ(t.Commands().size(), 4u);
  EXPECT_NEAR(MessageRealOf(t.Commands()[2].arg32), 0.5f, 1e-6f);
}

TEST(MailReply, ReplySetCommands) {
  ReplyWorld t;
  t.P(1).displayPolicy.defcon = 3;
  HandleMailReply(*t.world, t.Message(43, 5), 1);
  HandleMailReply(*t.world, t.Message(44, 6), 1);
  HandleMailReply(*t.world, t.Message(64, 2), 1);
  HandleMailReply(*t.world, t.Message(65), 1);
  HandleMailReply(*t.world, t.Message(73), 1);
  HandleMailReply(*t.world, t.Message(97), 1);
  HandleMailReply(*t.world, t.Message(102, 4), 1);
  HandleMailReply(*t.world, t.Message(99), 1);  // not a reply set
  const std::vector<Posted> want = {{70, 5, 1, 0},  {63, 5, 1, 0},  {54, 6, MessageReal(1.0f), 0},
                                    {64, 6, 0, 0},  {128, 2, 0, 0}, {128, 2, 0, 0},
                                    {139, 0, 0, 0}, {158, 1, 0, 0}, {276, 4, 0, 0}};
  // The defcon command's display pass runs at once, so reply set 65 posts
  // the defcon that 64 set.
  EXPECT_EQ(t.Commands(), want);
}

TEST(MailReply, AutoBuyMaximumIsThePeakValue) {
  ReplyWorld t;
  t.world->worldEconomy.assign(1024, 0);
  le::StoreF32(t.world->worldEconomy.data() + 64 * 2 + 52, 4.0f);  // 2.5 x 4 = 10
  le::Store32(t.P(3).products[2].bytes + 56, 0x41400000u);  // a flags word, no amount: 12.0 as a real
  t.world->gameState.highestPlayer = 4;
  HandleMailReply(*t.world, t.Message(62, 2), 1);
  ASSERT_EQ(t.Commands().size(), 1u);
  EXPECT_EQ(t.Commands()[0].id, 59u);
  EXPECT_NEAR(MessageRealOf(t.Commands()[0].arg32), 12.0f, 1e-5f);
}

TEST(MailReply, ResearchQueuesMissingPrerequisitesFirst) {
  ReplyWorld t;
  World& w = *t.world;
  w.gameState.techCount = 8;
  w.techs.resize(8);
  w.techRows.assign(32 * 8, PlayerTechState{});
  for (int i = 1; i < 8; ++i) w.techs[static_cast<size_t>(i)].category = 1;
  w.techs[6].prerequisites[0] = 2;
  w.techs[6].prerequisites[1] = 3;
  w.techRows[1 * 8 + 2].known = 2;  // 2 is known, 3 is not
  HandleMailReply(w, t.Message(98, 6), 1);
  EXPECT_EQ(t.Commands(), (std::vector<Posted>{{384, 1, 3, 0}, {384, 1, 6, 0}}));
  // Asked again: 3 is marked now and 6 has its project, which is taken up again.
  HandleMailReply(w, t.Message(98, 6), 1);
  const std::vector<Posted> posted = t.Commands();
  ASSERT_EQ(posted.size(), 5u);
  const uint32_t project = posted[2].arg28;
  EXPECT_EQ(posted[2], (Posted{kCmdAvailabilityBit, project, kProjectHeld, 0}));
  EXPECT_EQ(posted[3], (Posted{kCmdAvailabilityBit, project, kProjectPursued, 1}));
  EXPECT_EQ(posted[4], (Posted{kCmdAvailabilityBit, project, kProjectClosed | kProjectHeld, 0}));
  // A design names its prerequisites in its class.
  w.unitClasses.resize(5);
  w.unitClasses[4].requiredTechs[0] = 5;
  HandleMailReply(w, t.Message(91, 4), 1);
  EXPECT_EQ(t.Commands()[5], (Posted{kCmdProjectCreate, 1, 5, 0}));
  EXPECT_EQ(t.Commands()[6], (Posted{kCmdProjectCreate, 2, 4, 0}));
  HandleMailReply(w, t.Message(91, 5), 1);  // no class 5
  EXPECT_EQ(t.Commands().size(), 7u);
}

TEST(MailReply, AcceptingAnOfferPostsItAndItIsCarriedOutAtItsTick) {
  ReplyWorld t;
  for (uint32_t type : {402u, 403u, 404u}) t.Type(type);
  t.P(1).treasury = 10.0f;
  t.P(2).treasury = 100.0f;
  DipOffer offer;
  offer.firstPlayer = 1;
  offer.secondPlayer = 2;
  offer.expiryDay = kTestDay + 3;
  DealItem pay;
  pay.amount = 25.0f;
  offer.offered.dealItems.push_back(pay);
  MailReplySource m = t.Message(0, 2);
  m.hasAttachment = true;
  m.attachment = WriteDipOffer(*t.world, offer);
  EXPECT_EQ(HandleMailReply(*t.world, m, 12), 1);
  const std::vector<GameCommand> logged = t.log->Entries();
  ASSERT_EQ(logged.size(), 1u);
  EXPECT_EQ(logged[0].id, 180u);
  EXPECT_EQ(logged[0].arg28, 2u);
  EXPECT_EQ(std::string(logged[0].payload.begin(), logged[0].payload.end() - 1), m.attachment);
  EXPECT_EQ(t.P(1).treasury, 10.0f);  // nothing in the display pass
  EXPECT_EQ(DrainDueCommands(*t.log, logged[0].dueTick), 1);
  EXPECT_EQ(t.P(1).treasury, 35.0f);
  EXPECT_EQ(t.P(2).treasury, 75.0f);
  EXPECT_EQ(t.TypesOf(1), std::vector<uint32_t>{402});
  // Without an attachment there is nothing to accept.
  MailReplySource bare = t.Message(0, 2);
  HandleMailReply(*t.world, bare, 12);
  EXPECT_TRUE(t.log->Empty());
}

TEST(MailReply, MessagesAndMuting) {
  ReplyWorld t;
  for (uint32_t type : {88u, 401u, 474u, 30u}) t.Type(type);
  EXPECT_EQ(HandleMailReply(*t.world, t.Message(0, 3), 13), 1);
  ASSERT_EQ(t.TypesOf(3), std::vector<uint32_t>{401});
  EXPECT_EQ(t.Messages(3)[0]->params[0], 1u);
  EXPECT_EQ(t.Messages(3)[0]->sender, 1);
  HandleMailReply(*t.world, t.Message(0, 7, 8), 33);
  ASSERT_EQ(t.TypesOf(1), std::vector<uint32_t>{88});
  EXPECT_EQ(t.Messages(1)[0]->params[1], 8u);
  HandleMailReply(*t.world, t.Message(0), 44);
  EXPECT_EQ(t.TypesOf(1), (std::vector<uint32_t>{474, 88}));
  HandleMailReply(*t.world, t.Message(66, 9), 1);
  EXPECT_EQ(t.TypesOf(1)[0], 30u);
  EXPECT_EQ(t.Messages(1)[0]->params[1], 9u);

  MessageTypeRecord& type = g_ruleTables.messageTypes.records[20];
  type.muteFlags = 0;
  EXPECT_EQ(HandleMailReply(*t.world, t.Message(0), 2), 1);
  EXPECT_EQ(type.muteFlags, 1);
  type.muteFlags = 2;
  HandleMailReply(*t.world, t.Message(0), 30);
  EXPECT_EQ(type.muteFlags, 3);
}

TEST(MailReply, ScreensOpenThroughTheInterface) {
  ReplyWorld t;
  static std::vector<std::string> s_calls;
  s_calls.clear();
  g_mailUi.openSidePanel = [](int32_t p) { s_calls.push_back("panel " + std::to_string(p)); };
  g_mailUi.showRegionInDiplomacyPanel = [](int32_t r) { s_calls.push_back("region " + std::to_string(r)); };
  g_mailUi.openRegionPopup = [](int32_t r) { s_calls.push_back("popup " + std::to_string(r)); };
  g_mailUi.openOfferInDealEditor = [](uint32_t s) { s_calls.push_back("deal " + std::to_string(s)); };
  g_mailUi.centreMapOnHex = [](uint32_t h) { s_calls.push_back("hex " + std::to_string(h)); };
  g_mailUi.goToUnit = [](uint32_t u) { s_calls.push_back("unit " + std::to_string(u)); };
  g_mailUi.applyOrderAtHex = [](uint32_t s) { s_calls.push_back("order " + std::to_string(s)); };
  const MailReplySource m = t.Message(70, 1, 4, PackHex(3, 2), 77);
  EXPECT_EQ(HandleMailReply(*t.world, m, 5), 1);
  EXPECT_EQ(HandleMailReply(*t.world, m, 7), 1);
  EXPECT_EQ(HandleMailReply(*t.world, m, 6), 1);  // p2 4: panel 7
  EXPECT_EQ(HandleMailReply(*t.world, t.Message(0, 0, 5), 6), 1);  // p2 5: nothing
  EXPECT_EQ(HandleMailReply(*t.world, m, 9), 0);  // the first region parameter
  EXPECT_EQ(HandleMailReply(*t.world, m, 14), 1);
  for (int code = 39; code <= 43; ++code) HandleMailReply(*t.world, m, code);
  HandleMailReply(*t.world, m, 49);
  HandleMailReply(*t.world, m, 50);
  EXPECT_EQ(HandleMailReply(*t.world, m, 51), 0);
  HandleMailReply(*t.world, t.Message(70, 1, 4, PackHex(3, 2), 77), 1);  // reply set 70
  EXPECT_EQ(s_calls, (std::vector<std::string>{"region 1", "panel 4", "panel 7", "popup 4", "deal 1234", "panel 2",
                                                "panel 3", "panel 5", "panel 6", "panel 7",
                                                "hex " + std::to_string(PackHex(3, 2)), "unit 77", "popup 3",
                                                "order 1234"}));
  MailReplySource own = m;
  own.sender = 1;
  HandleMailReply(*t.world, own, 51);
  EXPECT_EQ(s_calls.size(), 14u);
}

TEST(MailReply, ResultsAndCommandsOfTheOtherCodes) {
  ReplyWorld t;
  EXPECT_EQ(HandleMailReply(*t.world, t.Message(0), 3), 0);
  EXPECT_EQ(HandleMailReply(*t.world, t.Message(0), 15), 0);
  EXPECT_EQ(HandleMailReply(*t.world, t.Message(0), 48), 1);
  HandleMailReply(*t.world, t.Message(0, 2, 900), 11);
  HandleMailReply(*t.world, t.Message(0, 5, 3, 1), 35);
  HandleMailReply(*t.world, t.Message(0, 3, 1), 36);
  EXPECT_EQ(t.Commands(), (std::vector<Posted>{{258, 2, 900, 0}, {182, 5, 3, 1}, {183, 3, 1, 0}}));
}

TEST(MailReply, AMessageThatIsGoneIsNotAnswered) {
  ReplyWorld t;
  t.Type(21).replySet = 73;
  DeliverPlayerMessage(*t.world, t.P(1), 21, 0, nullptr, MessageParams{});
  const uint32_t serial = t.Messages(1)[0]->serial;
  EXPECT_EQ(HandleMailReply(*t.world, serial, 1), 1);
  EXPECT_EQ(t.Commands().size(), 1u);
  DeletePlayerMessage(*t.world, 1, serial);
  EXPECT_EQ(HandleMailReply(*t.world, serial, 1), 0);
  EXPECT_EQ(t.Commands().size(), 1u);
}

}  // namespace
