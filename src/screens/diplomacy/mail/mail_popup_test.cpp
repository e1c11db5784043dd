// Reading, answering and writing mail, and the offer view, on a small world.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "net/command_network.h"
#include "records/player_kinds.h"
#include "screens/diplomacy/mail/contact_masks.h"
#include "screens/diplomacy/mail/mail_popup.h"
#include "screens/diplomacy/mail/mail_window.h"
#include "screens/diplomacy/mail/offer_mail_view.h"
#include "screens/screen_set.h"
#include "sim/game_command.h"
#include "sim/message_test_support.h"
#include "sim/player_message_wire.h"
#include "support/global_guard.h"
#include "ui/control_test_support.h"
#include "ui/list_control.h"
#include "records/net_slot.h"
#include "world/data_tables.h"
#include "world/text/policy_fields.h"

namespace {

struct MailWorld : MessageTestWorld {
  uint32_t File(const char* subject, uint32_t type = 0, const char* attachment = nullptr, int32_t day = kTestDay) {
    auto* m = NewZeroed<PlayerMessage>();
    m->flags = kMessageEmail;
    m->typeId = type;
    m->sender = 2;
    m->day = static_cast<uint32_t>(day);
    m->texts[0] = TestCopy(subject);
    m->texts[1] = TestCopy("Body");
    if (attachment) m->texts[2] = TestCopy(attachment);
    world->messageLists[1].Prepend(m);
    return m->serial;
  }
  std::vector<uint32_t> Serials() {
    std::vector<uint32_t> out;
    for (PlayerMessage* m : Messages(1)) out.push_back(m->serial);
    return out;
  }
};

// The game's pop-up, given back empty.
struct PopupScope {
  MailPopup& popup = g_screens.emailPopup;
  GlobalGuard<uint32_t> source{g_replySourceMessage};
  GlobalGuard<MailList*> page{g_screens.mailWindow.page};
  GlobalGuard<uint32_t> hex{g_screens.mailWindow.targetHex};
  GlobalGuard<int32_t> reply{g_screens.mailWindow.replyAllowed};
  GlobalGuard<uint32_t> refresh{g_screens.mailList.refreshRequest};
  ~PopupScope() { popup.Forget(); }
};

TEST(MailReply, ModesSubjectAndQuotedBody) {
  struct Row {
    int32_t mode;
    uint32_t to, cc;
  };
  const uint32_t to = (1u << 1) | (1u << 3), cc = 1u << 5;
  for (const Row& r : {Row{kReplyToSender, 1u << 2, 0}, Row{kReplyToAll, (1u << 2) | (1u << 3), 1u << 5},
                       Row{62, 0, 0}}) {
    const MailReplyDraft d = MakeMailReply(r.mode, 1, 2, to, cc, "Hello", "");
    EXPECT_EQ(d.to, r.to) << r.mode;
    EXPECT_EQ(d.cc, r.cc) << r.mode;
  }
  for (const auto& [subject, want] : {std::pair{"Hello", "RE: Hello"}, {"RE: Hello", "RE: Hello"}})
    EXPECT_EQ(MakeMailReply(kReplyToSender, 1, 2, 0, 0, subject, "").subject, want);
  const MailReplyDraft quoted = MakeMailReply(kReplyToSender, 1, 2, 0, 0, "S", std::string(3000, 'x'));
  EXPECT_EQ(quoted.body.size(), kMailBodyLimit);
  EXPECT_EQ(quoted.body.rfind("\n\n---------Previous Message---------\nxx", 0), 0u);
}

TEST(MailLifetimes, ExpirySparesTheOpenAndSelectedMailAndDeletingClosesThePopup) {
  struct Row {
    int32_t deleteDays;
    bool keepsAll;
  };
  for (const Row& r : {Row{1, false}, Row{-5, true}}) {
    SCOPED_TRACE(r.deleteDays);
    MailWorld w;
    PopupScope scope;
    GlobalGuard<MailUiLink> hooks(g_mailUi);
    InstallMailWindowHooks();
    InstallMailPopupHooks();
    const uint32_t m = w.File("M"), n = w.File("N"), o = w.File("O");
    w.world->gameState.currentDay = kTestDay + 5;
    g_uiOptions.emaildeldays = r.deleteDays;
    scope.popup.id = m;
    scope.popup.Open(*w.world);
    g_screens.mailWindow.SelectMail(*w.world, n);
    ExpirePlayerMessages(*w.world, w.world->players[1]);
    g_screens.mailWindow.SelectMail(*w.world, 0);
    EXPECT_EQ(w.Serials(), r.keepsAll ? (std::vector<uint32_t>{o, n, m}) : (std::vector<uint32_t>{n, m}));
    EXPECT_EQ(scope.popup.Shown(), m);
    DeleteMailLocked(*w.world, g_screens.mailList, g_screens.mailWindow, m);
    EXPECT_EQ(scope.popup.Shown(), 0u);
  }
}

TEST(MailAddressPicker, RowsOkButtonAndBlindCopies) {
  MailWorld w;
  MailAddressPicker picker;
  controltest::PanelForm form(picker, "POPUP_EMAIL2", {"OKBUT"});
  std::unique_ptr<ListBoxControl> lists[3];
  for (int i = 0; i < 3; ++i) {
    lists[i].reset(ListBoxConstruct(0, 0, 150, 200, 0, 0, nullptr));
    picker.lists[i] = lists[i].get();
  }
  const auto players = [](ListBoxControl* list) {
    std::vector<intptr_t> out;
    for (Control* row = list->firstRow; row; row = ListNextRow(list, row)) out.push_back(ListRowValue(row) % 100);
    return out;
  };
  PlayerMessage* letter = InitPlayerMessage(1);
  letter->recipientMasks[2] = 1u << 3;
  picker.Pick(*w.world, *letter, 0);
  EXPECT_EQ(players(lists[0].get()), (std::vector<intptr_t>{1, 2, 4}));
  EXPECT_FALSE(form.Shown("OKBUT"));
  picker.Add(102, 0);
  picker.Fill(*w.world);
  EXPECT_EQ(picker.to, 1u << 2);
  EXPECT_EQ(players(lists[1].get()), std::vector<intptr_t>{2});
  EXPECT_TRUE(form.Shown("OKBUT"));
  for (auto& list : lists) {
    const std::vector<intptr_t> rows = players(list.get());
    EXPECT_EQ(std::count(rows.begin(), rows.end(), 3), 0);
  }
  DeleteZeroed(letter);
}

TEST(MailHide, ASenderOutsideThePlayersCannotBeHidden) {
  MailWorld w;
  PopupScope scope;
  GlobalGuard<ContactMasks> masks(g_contactMasks);
  for (const auto& [sender, bits] : {std::pair{2, 1u << 2}, {255, 0u}}) {
    g_contactMasks.ignoredSenders = 0;
    scope.popup.id = w.File("Hi");
    w.Messages(1).front()->sender = static_cast<uint8_t>(sender);
    scope.popup.Open(*w.world);
    scope.popup.SetHideMessages(*w.world, true);
    EXPECT_EQ(g_contactMasks.ignoredSenders, bits) << sender;
  }
}

std::vector<std::vector<uint8_t>>* s_sent = nullptr;
int32_t CaptureSend(uint32_t kind, int32_t, const uint8_t* payload, size_t length) {
  if (kind == 106) s_sent->emplace_back(payload, payload + length);
  return 0;
}

TEST(MailSend, ToARemotePersonOnlyInANetworkGame) {
  for (const bool network : {false, true}) {
    SCOPED_TRACE(network);
    MailWorld w;
    PopupScope scope;
    controltest::PanelForm form(scope.popup, "POPUP_EMAIL1", {"SENDBUT", "SUBJECT"});
    std::vector<std::vector<uint8_t>> sent;
    s_sent = &sent;
    g_messageNet.sendToPlayer = &CaptureSend;
    w.world->players[2].kind = kKindHuman;
    w.world->players[2].networkSlot = 6;
    w.world->slotTable[6].state = kSlotHuman;
    ScopedNetLink link(network ? kNetGameHost : kNetGameNone, nullptr);
    scope.popup.Compose(*w.world, 1u << 2);
    EXPECT_EQ(form.Shown("SENDBUT"), network);
    if (!network) continue;
    SetControlText(form["SUBJECT"], "Terms");
    scope.popup.Send(*w.world);
    ASSERT_EQ(sent.size(), 1u);
    PlayerMessage* received = DecodePlayerMessage(sent[0].data(), sent[0].size());
    ASSERT_NE(received, nullptr);
    EXPECT_STREQ(received->texts[0], "Terms");
    EXPECT_EQ(received->sender, 1);
    DeleteZeroed(received);
    EXPECT_EQ(scope.popup.letter, nullptr);
  }
}

TEST(OfferMailView, LandTagsAndAnswers) {
  MailWorld w;
  PopupScope scope;
  MessageTypeRecord& type = w.Type(400);
  type.attachmentKind = 20;
  type.replyCodes[0] = 13;
  type.replyCodes[1] = 51;
  DipOffer offer;
  offer.offered.areaMask = 0b1010;
  offer.offered.areas[1] = {PackHex(2, 1)};
  offer.offered.areas[3] = {PackHex(5, 4)};
  const std::string text = WriteDipOffer(*w.world, offer);
  static std::vector<uint32_t>* centred = nullptr;
  std::vector<uint32_t> hexes;
  centred = &hexes;
  g_mailUi.centreMapOnHex = [](uint32_t hex) { centred->push_back(hex); };

  struct Row {
    int k;
    bool kept;
  };
  for (const Row& r : {Row{0, false}, Row{1, true}}) {
    hexes.clear();
    const uint32_t serial = w.File("Offer", 400, text.c_str());
    OfferMailView view;
    view.Open(*w.world, serial);
    std::vector<int32_t> steps;
    for (int i = 0; i < 3; ++i) steps.push_back(view.StepLandTag());
    EXPECT_EQ(steps, (std::vector<int32_t>{1, 3, 1}));
    view.Answer(*w.world, r.k);
    const std::vector<uint32_t> left = w.Serials();
    EXPECT_EQ(std::count(left.begin(), left.end(), serial), r.kept ? 1 : 0) << r.k;
    EXPECT_EQ(hexes, (std::vector<uint32_t>{PackHex(2, 1), PackHex(5, 4), PackHex(2, 1)}));
  }
}

}  // namespace

namespace {

// A ministry's report (type 300, the second ministry's) comes without a
// sender and is signed by our minister in that post; other mail without a
// sender is the world's news.
TEST(MailSender, AMinistrysReportIsSignedByItsMinister) {
  struct Row {
    int32_t department;
    uint8_t minister;  // 0: the post is empty
    const char* begins;
    const char* ends;
  } rows[] = {
      {3, 7, "Ada Vance (", "Dept)"},
      {3, 0, "Minister (", "Dept)"},
      {0, 7, "", " News"},
  };
  for (const Row& row : rows) {
    MailWorld w;
    World& world = *w.world;
    world.people.assign(kPeopleEntries * kPeopleEntrySize, 0);
    std::memcpy(world.people.data() + 7 * kPeopleEntrySize + 40, "Ada Vance", 9);
    // Seat filled (1) with the minister in the second byte, as the cabinet
    // shows it.
    SetCabinetId(world.players[1].simPolicy.cabinetPolicy[1], 0, row.minister ? 1 : 0);
    SetCabinetId(world.players[1].simPolicy.cabinetPolicy[1], 1, row.minister);
    w.Type(300).department = static_cast<uint8_t>(row.department);
    const std::string from = MailSenderLine(world, 300, 0, 0, 1);
    EXPECT_EQ(from.rfind(row.begins, 0), 0u) << from;
    EXPECT_TRUE(from.size() >= std::strlen(row.ends) &&
                from.compare(from.size() - std::strlen(row.ends), std::string::npos, row.ends) == 0)
        << from;
  }
}

}  // namespace
