// The negotiation pop-up in a game of the sample scenario at the default
// 1024 x 768: the whole pop-up is on the screen, and an offer made with
// clicks alone (a kind, an item, Offer, "Ask for nothing", Submit) reaches
// the other region's mail.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/fpenv.h"
#include "screens/diplomacy/deal_popup.h"
#include "screens/screen_set.h"
#include "sim/dip_offer.h"
#include "sim/message_ids.h"
#include "sim/player_messages.h"
#include "sim/region_names.h"
#include "sim/simulation_lock.h"
#include "support/global_guard.h"
#include "support/sample_game.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "world/game_speed.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

// The offer text of the last offer `sender` sent to `to`, empty for none.
std::string OfferSent(World& w, int32_t to, int32_t sender) {
  WorldLockGuard hold(w, kLockMail);
  std::string text;
  ListNode& head = w.messageLists[to];
  for (ListNode* n = head.next(); n && n != &head; n = n->next()) {
    const auto* m = static_cast<PlayerMessage*>(n);
    if (m->typeId == kMsgOffer && m->sender == sender && m->texts[2]) text = m->texts[2];
  }
  return text;
}

bool OnScreen(const Control* c) {
  const plat::Rect r = ControlAbsoluteRect(c);
  return r.left >= 0 && r.top >= 0 && r.right <= 1024 && r.bottom <= 768;
}

TEST(NegotiationFitPlay, AtTheDefaultResolutionAnOfferIsSubmittedWithClicks) {
  plat::SetGameFloatMode();
  SampleGame game;
  GlobalGuard options(g_uiOptions);
  ASSERT_NO_FATAL_FAILURE(game.Start());
  ASSERT_EQ(g_platform.clientRect.right - g_platform.clientRect.left, 1024);
  ASSERT_EQ(g_platform.clientRect.bottom - g_platform.clientRect.top, 768);
  World& w = g_world;
  SetGameSpeed(w.gameState, 0);
  const int32_t local = w.gameState.localPlayer;
  int32_t eastmark = 0;
  for (int32_t p = 1; p < kMaxPlayers && !eastmark; ++p)
    if (std::strcmp(RegionDisplayName(w, p), "Eastmark") == 0) eastmark = p;
  ASSERT_NE(eastmark, 0);

  DealPopup& popup = g_screens.popupDiplomacy;
  DealEditor& editor = g_screens.popupDiplomacySs1;
  popup.Popup(eastmark, nullptr);
  SampleGame::Pump();
  ASSERT_NE(popup.offer, nullptr);
  EXPECT_TRUE(OnScreen(popup.currentForm)) << "the pop-up reaches past the screen";
  const auto find = [&](const char* tag) { return FormFindControlByTag(editor.currentForm, tag); };
  Control* submit = find("SUBMITBUT");
  ASSERT_NE(submit, nullptr);
  EXPECT_TRUE(OnScreen(submit));

  // Money, its first item, Offer; nothing asked for; Submit.
  SampleGame::ClickControl(find("KIND2"));
  auto* catalogue = static_cast<ListBoxControl*>(find("DIPLIST1"));
  ASSERT_NE(catalogue, nullptr);
  ASSERT_GT(catalogue->rowCount, 0);
  SampleGame::ClickControl(catalogue, 0);
  // The payment's panel opens under the list; its slide bar sets the amount.
  Screen& amountPanel = g_screens.popupDiplomacySs1b[0];
  ASSERT_NE(amountPanel.currentForm, nullptr);
  Control* slider = FormFindControlByTag(amountPanel.currentForm, "AMNTSLDR");
  ASSERT_NE(slider, nullptr);
  EXPECT_TRUE(OnScreen(slider));
  SampleGame::ClickControl(slider);
  SampleGame::ClickControl(find("OFFERBUT"));
  ASSERT_FALSE(popup.offer->offered.dealItems.empty()) << "the item is in the offer";
  SampleGame::ClickControl(find("NONE3"));
  ASSERT_FALSE(submit->Hidden());
  const DipOffer made = *popup.offer;
  SampleGame::ClickControl(submit);

  EXPECT_EQ(popup.offer, nullptr) << "the pop-up closes";
  const std::string sent = OfferSent(w, eastmark, local);
  ASSERT_FALSE(sent.empty()) << "Eastmark's mail holds the offer";
  DipOffer read;
  ParseDipOffer(w, sent.c_str(), read, false, false);
  ASSERT_EQ(read.offered.dealItems.size(), made.offered.dealItems.size());
  EXPECT_EQ(read.offered.dealItems[0].product, made.offered.dealItems[0].product);
  EXPECT_EQ(read.offered.dealItems[0].amount, made.offered.dealItems[0].amount);
  EXPECT_TRUE(read.requested.dealItems.empty());
  ASSERT_NO_FATAL_FAILURE(game.Stop());
}

}  // namespace
