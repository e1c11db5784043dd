// A diplomatic offer in a game of the sample scenario: Westholm offers
// Eastmark a monthly payment for a discovery through the negotiation
// pop-up, whose flags stand in the regions' colours; an offer of Eastmark's
// opened from the mail is answered; one accepted by reply becomes a
// recurring payment once the turn thread has run its command.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/gfx/renderer.h"
#include "platform/fpenv.h"
#include "screens/diplomacy/deals/deal_item_popups.h"
#include "screens/diplomacy/deals/deal_items.h"
#include "screens/diplomacy/deals/deal_popup.h"
#include "screens/diplomacy/mail/mail_popup.h"
#include "screens/screen_set.h"
#include "sim/command_log.h"
#include "sim/dip_offer.h"
#include "sim/mail_replies.h"
#include "sim/mail_ui_link.h"
#include "sim/message_ids.h"
#include "sim/player_messages.h"
#include "sim/region_names.h"
#include "sim/simulation_lock.h"
#include "support/global_guard.h"
#include "support/sample_game.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/string_control.h"
#include "units/class_fields.h"
#include "units/hex_geometry.h"
#include "units/hex_stack_commands.h"
#include "world/game_speed.h"
#include "world/id_lookups.h"
#include "world/list_items.h"
#include "world/recurring_item.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

std::vector<PlayerMessage*> Mail(World& w, int32_t player) {
  std::vector<PlayerMessage*> out;
  ListNode& head = w.messageLists[player];
  for (ListNode* n = head.next(); n && n != &head; n = n->next()) out.push_back(static_cast<PlayerMessage*>(n));
  return out;
}

bool SameGroup(const OfferItemGroup& a, const OfferItemGroup& b) {
  if (a.agreements != b.agreements || a.discoveries != b.discoveries || a.dealItems.size() != b.dealItems.size())
    return false;
  for (size_t i = 0; i < a.dealItems.size(); ++i) {
    const DealItem &x = a.dealItems[i], &y = b.dealItems[i];
    if (x.frequency != y.frequency || x.paymentCount != y.paymentCount || x.amount != y.amount) return false;
  }
  return true;
}

// An offer of `sender`'s in the local player's mail; its serial.
uint32_t Receive(World& w, int32_t sender, const std::string& text) {
  const int32_t local = w.gameState.localPlayer;
  DeliverPlayerMessage(w, w.players[local], kMsgOffer, sender, text.c_str(), MessageParams{static_cast<uint32_t>(sender)},
                       0, 0, false);
  WorldLockGuard hold(w, kLockMail);
  for (PlayerMessage* m : Mail(w, local))
    if (m->typeId == kMsgOffer && m->sender == sender) return m->serial;
  return 0;
}

// The share of the control's box drawn within a few shades of the colour.
double ShareInColour(const Control* c, uint32_t colour) {
  std::vector<uint32_t> pixels;
  uint32_t width = 0, height = 0;
  if (!c || g_renderer.device->ReadBackBuffer(&pixels, &width, &height) != plat::kOk) return 0.0;
  const plat::Rect box = ControlAbsoluteRect(c);
  int32_t coloured = 0, all = 0;
  for (int32_t y = box.top; y < box.bottom && y < static_cast<int32_t>(height); ++y)
    for (int32_t x = box.left; x < box.right && x < static_cast<int32_t>(width); ++x, ++all) {
      const uint32_t p = pixels[static_cast<size_t>(y) * width + static_cast<size_t>(x)];
      bool near = true;
      for (int shift : {0, 8, 16}) near = near && std::abs(int((p >> shift) & 0xFF) - int((colour >> shift) & 0xFF)) <= 8;
      coloured += near;
    }
  return all ? static_cast<double>(coloured) / all : 0.0;
}

const RecurringItem* PaymentOf(const World& w, int32_t payer, int32_t payee, float amount) {
  const RecurringItem* first = w.recurringItems;
  for (const ListNode* n = first; n; n = n->next() == first ? nullptr : n->next()) {
    const RecurringFields f = LoadRecurringFields(*static_cast<const RecurringItem*>(n));
    if (f.payer == payer && f.payee == payee && f.installment == amount && f.kind != kRecurringFinished)
      return static_cast<const RecurringItem*>(n);
  }
  return nullptr;
}

TEST(DealOfferPlay, SubmitAnswerAndAcceptAMonthlyPaymentForADiscovery) {
  plat::SetGameFloatMode();
  SampleGame game;
  GlobalGuard options(g_uiOptions);
  GlobalGuard<uint32_t> replySource(g_replySourceMessage);
  ASSERT_NO_FATAL_FAILURE(game.Start());
  g_uiOptions.bnoconfirmturn = 1;
  World& w = g_world;
  SetGameSpeed(w.gameState, 0);
  const int32_t local = w.gameState.localPlayer;
  const int32_t eastmark = SampleGame::RegionNamed("Eastmark");
  ASSERT_NE(eastmark, 0);

  ScreenSet& s = g_screens;
  DealPopup& popup = s.dealPopup;
  DealEditor& editor = s.dealEditor;
  popup.Popup(eastmark, nullptr);
  ASSERT_NE(popup.offer, nullptr);
  SampleGame::Pump();
  SampleGame::Pump();
  // Each side's flag (the picture its region line carries) in its colour.
  const auto flag = [&](const char* line) {
    Control* c = FormFindControlByTag(popup.currentForm, line);
    Control* first = c ? c->firstChild : nullptr;
    for (Control* k = first; k; k = k->NextInRing() == first ? nullptr : k->NextInRing())
      if (ControlTagMatches(k->tag, "REGIONFLAG")) return k;
    return static_cast<Control*>(nullptr);
  };
  EXPECT_GT(ShareInColour(flag("FLAG1"), g_uiOptions.playercolor[local]), 0.25);
  EXPECT_GT(ShareInColour(flag("FLAG2"), g_uiOptions.playercolor[eastmark]), 0.25);

  // Delete-all empties the side at once, whatever row is selected.
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    for (const float amount : {10.0f, 20.0f, 30.0f}) {
      DealItem* payment = DealTemplate(editor.templates[0], kDealPayment, 3);
      ASSERT_NE(payment, nullptr);
      payment->amount = amount;
      payment->paymentCount = 1;
      AddDealItem(w, popup.offer->offered, kDealPayment, 3, local, eastmark, payment);
    }
  }
  editor.Refresh();
  SampleGame::Pump();
  ASSERT_EQ(popup.offer->offered.dealItems.size(), 3u);
  Control* deleteAll = FormFindControlByTag(editor.currentForm, "DELALL1BUT");
  ASSERT_NE(deleteAll, nullptr);
  ASSERT_FALSE(deleteAll->Hidden());
  SampleGame::ClickControl(deleteAll);
  EXPECT_TRUE(popup.offer->offered.dealItems.empty());

  // 1,000 monthly, twelve times, for a discovery of Eastmark's.
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    w.players[eastmark].displayPolicy.friendlyMask &= ~(1u << local);  // Eastmark turns hostile
    w.players[eastmark].displayPolicy.hostileMask |= 1u << local;
    DealItem* monthly = DealTemplate(editor.templates[0], kDealPayment, 3);
    ASSERT_NE(monthly, nullptr);
    monthly->amount = 1000.0f;
    monthly->paymentCount = 12;
    AddDealItem(w, popup.offer->offered, kDealPayment, 3, local, eastmark, monthly);
    uint32_t discovery = 0;
    for (uint32_t t = 1; t < w.techs.size() && discovery == 0; ++t)
      if (TechRow(w, eastmark)[t].known) discovery = t;
    ASSERT_NE(discovery, 0u);
    AddDealItem(w, popup.offer->requested, kDealDiscovery, discovery, eastmark, local);
  }
  editor.Refresh();
  SampleGame::Pump();
  const DipOffer made = *popup.offer;
  Control* submit = FormFindControlByTag(editor.currentForm, "SUBMITBUT");
  ASSERT_FALSE(submit->Hidden());
  SampleGame::ClickControl(submit);
  EXPECT_EQ(popup.offer, nullptr);
  std::string sentText;
  {
    WorldLockGuard hold(w, kLockMail);
    for (PlayerMessage* m : Mail(w, eastmark))
      if (m->typeId == kMsgOffer && m->sender == local && m->texts[2]) sentText = m->texts[2];
  }
  ASSERT_FALSE(sentText.empty()) << "Eastmark's list holds the offer";
  DipOffer sent;
  ParseDipOffer(w, sentText.c_str(), sent, false, false);
  EXPECT_TRUE(SameGroup(sent.offered, made.offered));
  EXPECT_TRUE(SameGroup(sent.requested, made.requested));
  EXPECT_EQ(sent.sentDay, w.gameState.currentDay);
  EXPECT_NE(sent.flags & kOfferWhileHostile, 0u);

  // Eastmark's offer in Westholm's mail, opened to answer and sent back.
  DipOffer theirs;
  ParseDipOffer(w, sentText.c_str(), theirs, true, false);
  const std::string theirText = WriteDipOffer(w, theirs);
  const uint32_t serial = Receive(w, eastmark, theirText);
  ASSERT_NE(serial, 0u);
  ASSERT_TRUE(g_mailUi.openOfferInDealEditor);
  g_mailUi.openOfferInDealEditor(serial);
  SampleGame::Pump();
  ASSERT_NE(popup.offer, nullptr);
  EXPECT_TRUE(SameGroup(popup.offer->offered, made.offered)) << "opened swapped: Westholm's side again";
  editor.OnCommand(submit, 0);
  {
    WorldLockGuard hold(w, kLockMail);
    int answers = 0;
    for (PlayerMessage* m : Mail(w, eastmark)) answers += m->typeId == kMsgOfferAnswer && m->sender == local;
    EXPECT_EQ(answers, 1);
  }
  EXPECT_EQ(FindPlayerMessage(w, local, serial), nullptr) << "the answered mail is gone";

  // Another of Eastmark's offers (1,500 a month, to tell it apart), accepted
  // by the mail's reply 12.
  theirs.requested.dealItems.at(0).amount = 1500.0f;
  const std::string acceptedText = WriteDipOffer(w, theirs);
  const uint32_t accepted = Receive(w, eastmark, acceptedText);
  ASSERT_NE(accepted, 0u);
  EXPECT_EQ(HandleMailReply(w, accepted, 12), 1);
  GameCommand posted;
  bool found = false;
  CommandLog* log = CommandLogOf(w);
  ASSERT_NE(log, nullptr);
  for (const GameCommand& c : log->Entries())
    if (c.id == kCmdDipOffer && c.player == local) posted = c, found = true;
  ASSERT_TRUE(found) << "reply 12 posts the offer command";
  EXPECT_EQ(posted.arg28, static_cast<uint32_t>(eastmark));
  std::vector<uint8_t> payload(acceptedText.begin(), acceptedText.end());
  payload.push_back(0);
  EXPECT_EQ(posted.payload, payload);

  SetGameSpeed(w.gameState, 4);
  while (std::atomic_ref<uint32_t>(w.gameState.currentTick).load() <= posted.dueTick + 1) {
    SampleGame::Pump();
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  SetGameSpeed(w.gameState, 0);
  SampleGame::Pump();
  WorldLockGuard hold(w, kLockRecurring);
  const RecurringItem* item = PaymentOf(w, local, eastmark, 1500.0f);
  ASSERT_NE(item, nullptr) << "the payment runs as a recurring item";
  const RecurringFields f = LoadRecurringFields(*item);
  EXPECT_EQ(f.periodKind, kPeriodMonthly);
  EXPECT_EQ(f.paymentsLeft, 11) << "the first payment is made at once";
}

std::string TextOf(Control* c) {
  auto* text = dynamic_cast<StringControl*>(c);
  return text && text->GetText() ? text->GetText() : "";
}

// The pickers of the deal editor: a unit of ours picked from the offer list
// shows its class sheet, the name of its hex and its strength as a figure
// or, after the switch, as a bar; Inspect opens its detail. A discovery
// asked for shows its category row.
TEST(DealOfferPlay, PickedItemsShowTheirSheetPlaceStrengthAndCategory) {
  plat::SetGameFloatMode();
  SampleGame game;
  GlobalGuard options(g_uiOptions);
  ASSERT_NO_FATAL_FAILURE(game.Start());
  World& w = g_world;
  SetGameSpeed(w.gameState, 0);
  g_uiOptions.buishowspecsliders = 0;
  const int32_t eastmark = SampleGame::RegionNamed("Eastmark");
  ASSERT_NE(eastmark, 0);
  ScreenSet& s = g_screens;
  DealEditor& editor = s.dealEditor;
  s.dealPopup.Popup(eastmark, nullptr);
  SampleGame::Pump();
  SampleGame::ClickControl(FormFindControlById(editor.currentForm, 11 + kDealReserveUnit));
  SampleGame::Pump();

  // The first of our units standing on the map, its hex named.
  ListBoxControl* list = editor.lists[0];
  int row = 0;
  uint32_t unitId = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    for (const Control* r = ListNextRow(list, nullptr); r && !unitId; r = ListNextRow(list, r), ++row) {
      const UnitRecord* u = FindUnitById(w, static_cast<uint32_t>(r->id));
      if (!u || (u->x == 0 && u->y == 0)) continue;
      const int64_t cell = HexCellIndex(MapShape(w), unitbytes::UnitPosition(*u));
      if (cell < 0) continue;
      HexCell& hex = w.cells[static_cast<size_t>(cell)];
      const std::string name = "Harbour Gate";
      HexStackCommand304(w, hex, w.players[CellOwner(hex.word)].number, std::vector<uint8_t>(name.begin(), name.end()));
      unitId = u->id;
    }
  }
  ASSERT_NE(unitId, 0u) << "a unit of ours on the map";
  SampleGame::ClickControl(list, row - 1);
  SampleGame::Pump();
  DealUnitPicker& picker = s.dealUnitPicker[0];
  ASSERT_EQ(picker.unitId, unitId);
  Control* f = picker.currentForm;
  EXPECT_EQ(TextOf(FormFindControlByTag(f, "LOCATION")), "Harbour Gate");
  Control* sheetHost = FormFindControlByTag(f, "STATPARENT");
  ASSERT_NE(sheetHost, nullptr);
  EXPECT_EQ(sheetHost->firstChild, s.unitPicturePanels[kDealClassSheet].currentForm) << "the class sheet";
  Control* bar = FormFindControlById(f, kStrengthBar);
  Control* figure = FormFindControlById(f, kStrengthText);
  EXPECT_TRUE(bar->Hidden());
  EXPECT_FALSE(figure->Hidden());
  const std::string strength = TextOf(figure);
  EXPECT_FALSE(strength.empty());
  SampleGame::ClickControl(FormFindControlByTag(f, "SWITCH"));
  SampleGame::Pump();
  EXPECT_FALSE(bar->Hidden()) << "the switch shows the bar";
  EXPECT_TRUE(figure->Hidden());
  EXPECT_EQ(TextOf(FormFindControlById(f, kStrengthHint)), strength);
  SampleGame::ClickControl(FormFindControlByTag(f, "INSPECT"));
  SampleGame::Pump();
  ASSERT_NE(s.unitDetail.currentForm, nullptr);
  EXPECT_FALSE(s.unitDetail.currentForm->Hidden());
  EXPECT_EQ(s.unitDetail.id, static_cast<intptr_t>(unitId)) << "Inspect opens the unit's detail";
  s.unitDetail.Close(0);
  SampleGame::Pump();

  SampleGame::ClickControl(FormFindControlById(editor.currentForm, 11 + kDealDiscovery));
  SampleGame::Pump();
  ASSERT_NE(ListNextRow(editor.lists[0], nullptr), nullptr) << "a discovery of ours to offer";
  SampleGame::ClickControl(editor.lists[0], 0);
  SampleGame::Pump();
  Control* categoryHost = FormFindControlByTag(s.dealDiscoveryInfo[0].currentForm, "CLASSPAR");
  ASSERT_NE(categoryHost, nullptr);
  EXPECT_EQ(categoryHost->firstChild, s.militaryClass[kDealCategoryRow].currentForm) << "the category row";
}

}  // namespace
