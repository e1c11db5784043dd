// The negotiation pop-up in a game of the sample scenario at the default
// 1024 x 768: the whole pop-up is on the screen, and an offer made with
// clicks alone (a kind, an item, Offer, "Ask for nothing", Submit) reaches
// the other region's mail. On the way it looks at what the player sees:
// both leaders' pictures, the chosen approach button lit and its picture on
// the approach panel, and the notice that the offer went.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/gfx/renderer.h"
#include "net/text_message.h"
#include "platform/fpenv.h"
#include "screens/diplomacy/deals/deal_popup.h"
#include "screens/screen_set.h"
#include "sim/dip_offer.h"
#include "sim/message_ids.h"
#include "sim/player_messages.h"
#include "sim/region_names.h"
#include "sim/simulation_lock.h"
#include "support/global_guard.h"
#include "support/sample_game.h"
#include "ui/bitmap_control.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/screen_manager.h"
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

// The back buffer's pixel (RGB) at (dx, dy) inside the control's box.
uint32_t PixelIn(const Control* c, int32_t dx, int32_t dy) {
  std::vector<uint32_t> pixels;
  uint32_t width = 0, height = 0;
  SampleGame::Pump();
  if (!c || g_renderer.device->ReadBackBuffer(&pixels, &width, &height) != plat::kOk) return 0;
  const plat::Rect box = ControlAbsoluteRect(c);
  return pixels[static_cast<size_t>(box.top + dy) * width + static_cast<size_t>(box.left + dx)] & 0xFFFFFF;
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
  const int32_t eastmark = SampleGame::RegionNamed("Eastmark");
  ASSERT_NE(eastmark, 0);

  // Led by a person, Eastmark gets the approach panel with its picture first.
  GlobalGuard eastmarkKind(w.players[eastmark].kind, static_cast<int32_t>(kKindHuman));
  DealPopup& popup = g_screens.dealPopup;
  DealEditor& editor = g_screens.dealEditor;
  popup.Popup(eastmark, nullptr);
  SampleGame::Pump();
  ASSERT_NE(popup.offer, nullptr);
  EXPECT_TRUE(OnScreen(popup.currentForm)) << "the pop-up reaches past the screen";

  // What the player sees, row by row: each leader's picture drawn from the
  // leaders' sheet (not the panel's fill 0x1C2630); then ALTER opens the
  // chooser, the approach clicked stays lit (fill 0x5A7896, the others
  // 0x2E3C4A) and becomes the offer's, and OK brings back the panel whose
  // ALTER shows that approach's picture, on green for warm, red for stern.
  for (const char* tag : {"LEADPIC1", "LEADPIC2"}) {
    auto* picture = dynamic_cast<BitmapControl*>(FormFindControlByTag(popup.currentForm, tag));
    ASSERT_NE(picture, nullptr) << tag;
    EXPECT_EQ(picture->pictureSlot, &g_ui.bitmaps.avatar) << tag;
    EXPECT_NE(PixelIn(picture, 35, 28), 0x1C2630u) << tag;
  }
  Screen& chooser = *g_screens.dealApproachChooser;
  Screen& panel = *g_screens.dealApproachPanel;
  const struct {
    int32_t approach;
    bool greenGround;
  } approaches[] = {{0, true}, {6, false}, {1, true}};
  ASSERT_NE(panel.currentForm, nullptr) << "a person's region gets the approach panel first";
  for (const auto& row : approaches) {
    SCOPED_TRACE(row.approach);
    SampleGame::ClickControl(FormFindControlByTag(panel.currentForm, "ALTER"));
    ASSERT_NE(chooser.currentForm, nullptr);
    SampleGame::ClickControl(FormFindControlById(chooser.currentForm, 101 + row.approach));
    SampleGame::Post(plat::kWmMouseMove, 0, 1000, 760);  // the hover text out of the way
    EXPECT_EQ(popup.offer->kind, row.approach);
    for (int32_t a = 0; a < 7; ++a)
      EXPECT_EQ(PixelIn(FormFindControlById(chooser.currentForm, 101 + a), 3, 3),
                a == row.approach ? 0x5A7896u : 0x2E3C4Au) << a;
    SampleGame::ClickControl(FormFindControlByTag(chooser.currentForm, "OK"));
    const uint32_t ground = PixelIn(FormFindControlByTag(panel.currentForm, "ALTER"), 5, 5);
    EXPECT_EQ((ground >> 8 & 0xFF) > (ground >> 16 & 0xFF), row.greenGround) << std::hex << ground;
  }
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
  Screen& amountPanel = g_screens.dealAmountPicker[0];
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
  const std::vector<TextLine> lines = QueuedTextLines(g_textLines);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back().text, "Offer sent to Eastmark.") << "the player is told the offer went";
  ClearTextMessageQueue(g_textLines);
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
