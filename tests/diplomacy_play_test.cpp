// The diplomacy department in a game of the sample scenario: F5 docks it
// with the other regions' rows, each flagged in its region's colour; a
// contact tick survives a save and its load; ten days on, Eastmark's
// dossier shows what its record holds. War on an ally waits for the
// declaration panel's answer; an answered question leaves the dock.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/gfx/renderer.h"
#include "platform/fpenv.h"
#include "platform/messages.h"
#include "records/hex_cell.h"
#include "records/player_record.h"
#include "screens/diplomacy/mail/contact_masks.h"
#include "screens/diplomacy/deals/deal_item_popups.h"
#include "screens/diplomacy/deals/deal_items.h"
#include "screens/diplomacy/deals/deal_popup.h"
#include "screens/common/frame/main_layout.h"
#include "screens/screen_set.h"
#include "sim/daily/product_fields.h"
#include "sim/message_ids.h"
#include "sim/player_messages.h"
#include "sim/region_names.h"
#include "sim/save_file.h"
#include "sim/simulation_lock.h"
#include "support/global_guard.h"
#include "support/play_days.h"
#include "support/sample_game.h"
#include "ui/control_bits.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/string_control.h"
#include "units/hex_geometry.h"
#include "world/game_speed.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

void PressF5() {
  plat::PostWindowMessage(g_platform.mainWindow, plat::kWmKeyDown, plat::kVkF1 + 4, 0);
  plat::PostWindowMessage(g_platform.mainWindow, plat::kWmKeyUp, plat::kVkF1 + 4, 0);
  SampleGame::Pump();
}

std::vector<Control*> Rows(const ListBoxControl* list) {
  std::vector<Control*> rows;
  for (Control* r = ListNextRow(list, nullptr); r; r = ListNextRow(list, r)) rows.push_back(r);
  return rows;
}

// Clicks the region's row of LIST1 (the click scrolls it into view).
void PickRegion(DiplomacyScreen& d, int32_t region) {
  const std::vector<Control*> rows = Rows(d.regionList);
  for (size_t i = 0; i < rows.size(); ++i) {
    if (rows[i]->id != region) continue;
    SampleGame::ClickControl(d.regionList, static_cast<int>(i));
    return;
  }
  ADD_FAILURE() << "no row for region " << region;
}

std::string Shown(const Screen& s, const char* tag) {
  auto* c = dynamic_cast<StringControl*>(FormFindControlByTag(s.currentForm, tag));
  return c && c->GetText() ? c->GetText() : "";
}

// The text a dossier figure of that kind shows for the value.
std::string Figure(int32_t kind, int32_t abbreviated, double value) {
  StringControl c;
  SetControlNumberText(kind, 0, "", abbreviated, "", 0, value, &c);
  return c.GetText() ? c.GetText() : "";
}

TEST(DiplomacyPlay, RowsFlagsContactTicksThroughASaveAndADossierTenDaysOn) {
  plat::SetGameFloatMode();
  SampleGame game;
  GlobalGuard options(g_uiOptions);
  const GlobalGuard<ContactMasks> masks(g_contactMasks);
  ASSERT_NO_FATAL_FAILURE(game.Start());
  g_uiOptions.bnoconfirmturn = 1;
  ScreenSet& s = g_screens;
  World& w = g_world;
  SetGameSpeed(w.gameState, 0);
  if (!g_uiOptions.sidescreens) {
    g_uiOptions.sidescreens = 1;
    ApplySideScreensLayout(*g_ui.mapView);
  }
  const int32_t eastmark = SampleGame::RegionNamed("Eastmark");
  ASSERT_NE(eastmark, 0);

  PressF5();
  DiplomacyScreen& d = s.diplomacyScreen;
  ASSERT_NE(d.currentForm->parent, nullptr) << "F5 docks the department";
  ASSERT_NE(d.regionList, nullptr);
  const std::vector<Control*> rows = Rows(d.regionList);
  EXPECT_EQ(rows.size(), 8u);
  for (const Control* r : rows) EXPECT_TRUE(r->id != 0 && r->id != 100) << r->id;

  // The first row's flag is drawn in its region's colour (a row takes its
  // picture when first drawn).
  SampleGame::Pump();
  SampleGame::Pump();
  const std::vector<Control*> drawn = Rows(d.regionList);
  ASSERT_FALSE(drawn.empty());
  const Control* flag = FormFindControlByTag(s.dipPlayerList.currentForm, "FLAG");
  ASSERT_NE(flag, nullptr);
  std::vector<uint32_t> pixels;
  uint32_t width = 0, height = 0;
  ASSERT_EQ(g_renderer.device->ReadBackBuffer(&pixels, &width, &height), plat::kOk);
  const uint32_t colour = g_uiOptions.playercolor[drawn[0]->id % 100];
  // Rows stand in the list's frame, scrolled.
  const plat::Rect on = ListRowScreenRect(d.regionList, drawn[0]);
  const int32_t dx = on.left, dy = on.top;
  const plat::Rect box{flag->rect.left + dx, flag->rect.top + dy, flag->rect.right + dx, flag->rect.bottom + dy};
  int32_t coloured = 0, all = 0;
  for (int32_t y = box.top; y < box.bottom && y < static_cast<int32_t>(height); ++y)
    for (int32_t x = box.left; x < box.right && x < static_cast<int32_t>(width); ++x, ++all) {
      const uint32_t p = pixels[static_cast<size_t>(y) * width + static_cast<size_t>(x)];
      bool near = true;
      for (int shift : {0, 8, 16}) near = near && std::abs(int((p >> shift) & 0xFF) - int((colour >> shift) & 0xFF)) <= 8;
      coloured += near;
    }
  EXPECT_GT(coloured * 4, all) << "a quarter of the flag or more in the region's colour";

  // A contact tick (the CHAT box's handler: the box shows for human
  // regions only) is kept through a save and its load.
  PickRegion(d, eastmark);
  ASSERT_EQ(d.regionList->selectedId, eastmark);
  Control* chat = FormFindControlByTag(d.currentForm, "CHAT");
  ASSERT_NE(chat, nullptr);
  SetControlFlag(chat, kStateSelected, 1);
  d.DiplomacyOnClick(chat, 0);
  ASSERT_NE(g_contactMasks.chat & ContactBit(eastmark), 0u);
  const std::string saved = "DiplomacyProbe";
  ASSERT_EQ(SaveGame(w, saved), plat::kOk);
  s.gameMenu.loadDialog.Load(saved);
  if (const auto path = plat::ResolveGamePath(SaveGamePath(saved))) std::filesystem::remove(*path);
  SampleGame::Pump();
  // A loaded game opens on its briefing, as a new one does.
  SampleGame::ClickControl(FormFindControlByTag(s.briefing.currentForm, "START"));
  ASSERT_EQ(g_ui.mode, kUiInGame);
  SetGameSpeed(w.gameState, 0);
  PressF5();
  ASSERT_NE(d.currentForm->parent, nullptr);
  PickRegion(d, eastmark);
  EXPECT_TRUE(FormFindControlByTag(d.currentForm, "CHAT")->Selected()) << "the tick came back with the save";

  // Ten days on, the dossier shows Eastmark's record as it stands.
  const uint32_t today = w.gameState.currentDay;
  ASSERT_TRUE(PlayUntilDay(today + 10));
  SampleGame::Pump();
  Screen& dossier = *s.regionDossier;
  ASSERT_NE(dossier.currentForm, nullptr);
  EXPECT_FALSE(dossier.currentForm->Hidden());
  plat::CriticalSectionLock lock(g_simulationLock);
  dossier.Refresh();
  const PlayerRecord& r = w.players[eastmark];
  EXPECT_EQ(Shown(dossier, "REGNAME"), "Eastmark");
  EXPECT_EQ(Shown(dossier, "REGPOP"), Figure(0, 0, r.population));
  EXPECT_EQ(Shown(dossier, "REGGDP"), Figure(1, 0, r.gdpPerCapita));
  EXPECT_EQ(Shown(dossier, "REGTREASURE"), Figure(1, 1, r.treasury));
}

// The page's region buttons wait for a region to act on; the deal editor
// offers each treaty only where the relation suits it: no ceasefire with an
// ally, no alliance with an enemy, peace with a neutral or an enemy.
TEST(DiplomacyPlay, RegionButtonsWaitForARegionAndTreatiesSuitTheRelation) {
  plat::SetGameFloatMode();
  SampleGame game;
  GlobalGuard options(g_uiOptions);
  ASSERT_NO_FATAL_FAILURE(game.Start());
  ScreenSet& s = g_screens;
  World& w = g_world;
  SetGameSpeed(w.gameState, 0);
  const int32_t local = w.gameState.localPlayer;
  const int32_t eastmark = SampleGame::RegionNamed("Eastmark");
  ASSERT_NE(eastmark, 0);
  PressF5();
  DiplomacyScreen& d = s.diplomacyScreen;
  ASSERT_NE(d.currentForm->parent, nullptr);
  const auto hidden = [&](const char* tag) { return FormFindControlByTag(d.currentForm, tag)->Hidden(); };
  struct Step {
    const char* name;
    bool pick;
    bool hidden;
  } const steps[] = {{"nothing picked", false, true}, {"Eastmark picked", true, false}};
  for (const Step& step : steps) {
    SCOPED_TRACE(step.name);
    if (step.pick) PickRegion(d, eastmark);
    SampleGame::Pump();
    for (const char* tag : {"NEGOTBUT", "CENTRE"}) EXPECT_EQ(hidden(tag), step.hidden) << tag;
  }

  SampleGame::ClickControl(FormFindControlByTag(d.currentForm, "NEGOTBUT"));
  SampleGame::Pump();
  DealEditor& editor = s.dealEditor;
  ASSERT_NE(s.dealPopup.offer, nullptr) << "Negotiate opens the deal editor";
  constexpr int32_t kAlliance = 1, kCeasefire = 3, kPeace = 4;
  struct Row {
    const char* relation;
    bool friendly, hostile;
    bool alliance, ceasefire, peace;
  } const rows[] = {
      {"ally", true, false, true, false, false},
      {"neutral", false, false, true, false, true},
      {"enemy", false, true, false, true, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.relation);
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      PlayerPolicyBlock& mine = w.players[local].displayPolicy;
      const uint32_t bit = 1u << eastmark;
      mine.friendlyMask = row.friendly ? mine.friendlyMask | bit : mine.friendlyMask & ~bit;
      mine.hostileMask = row.hostile ? mine.hostileMask | bit : mine.hostileMask & ~bit;
    }
    SampleGame::ClickControl(FormFindControlById(editor.currentForm, 11 + kDealAgreement));
    SampleGame::Pump();
    const auto offered = [&](int32_t treaty) {
      for (Control* r = ListNextRow(editor.lists[0], nullptr); r; r = ListNextRow(editor.lists[0], r))
        if (r->id == treaty) return true;
      return false;
    };
    EXPECT_EQ(offered(kAlliance), row.alliance) << "Alliance";
    EXPECT_EQ(offered(kCeasefire), row.ceasefire) << "Ceasefire";
    EXPECT_EQ(offered(kPeace), row.peace) << "Peace Treaty";
  }
}

// The share of the control's box drawn in exactly that colour.
int32_t PixelsOf(const Control* c, uint32_t colour) {
  std::vector<uint32_t> pixels;
  uint32_t width = 0, height = 0;
  if (!c || g_renderer.device->ReadBackBuffer(&pixels, &width, &height) != plat::kOk) return -1;
  const plat::Rect box = ControlAbsoluteRect(c);
  int32_t n = 0;
  for (int32_t y = std::max(box.top, 0); y < std::min(box.bottom, static_cast<int32_t>(height)); ++y)
    for (int32_t x = std::max(box.left, 0); x < std::min(box.right, static_cast<int32_t>(width)); ++x)
      n += (pixels[static_cast<size_t>(y) * width + static_cast<size_t>(x)] | 0xFF000000u) == colour;
  return n;
}

// Talks with a computer-led region as a player holds them: a land tag drawn
// on our own hexes is asked of them with nothing offered, from a pop-up
// opened once; reopened, the offer keeps its "Offer nothing", and Submit
// sends it although they cannot give that land (the answer's check finds
// that). Goods asked of them are held to what they hold, shown as
// available. Closed, the page offers no mail or contact boxes for a region
// no one can read.
TEST(DiplomacyPlay, SubmitSendsWhatTheAnswerChecksAndComputerRegionsOfferNoMail) {
  plat::SetGameFloatMode();
  SampleGame game;
  GlobalGuard options(g_uiOptions);
  ASSERT_NO_FATAL_FAILURE(game.Start());
  ScreenSet& s = g_screens;
  World& w = g_world;
  SetGameSpeed(w.gameState, 0);
  const int32_t eastmark = SampleGame::RegionNamed("Eastmark");
  ASSERT_NE(eastmark, 0);
  PressF5();
  DiplomacyScreen& d = s.diplomacyScreen;
  ASSERT_NE(d.currentForm->parent, nullptr);
  const auto tag = [](Screen& screen, const char* name) { return FormFindControlByTag(screen.currentForm, name); };
  // Land tag 1 drawn on hexes of our own, on the map as the Areas panel
  // draws it: land Eastmark cannot give.
  std::vector<uint32_t> ours;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    for (int32_t y = 2; y + 2 < w.mapHeight && ours.size() < 24; ++y)
      for (int32_t x = 2; x + 2 < w.mapWidth && ours.size() < 24; ++x)
        if (CellOwner(w.cells[static_cast<size_t>(y * w.mapWidth + x)].word) == w.gameState.localPlayer)
          ours.push_back(PackHex(x, y));
  }
  SampleGame::ClickControl(tag(d, "LANDBUT"));
  SampleGame::Pump();
  ASSERT_NE(SampleGame::ClickFirstShown(ours), 0u) << "a hex of ours on the map";
  SampleGame::Pump();
  SampleGame::ClickControl(tag(*s.areaTagPanel, "BACK"));
  SampleGame::Pump();
  PickRegion(d, eastmark);
  SampleGame::Pump();
  for (const char* button : {"NEWMAIL", "HIDEBOX"}) EXPECT_TRUE(tag(d, button)->Hidden()) << button << " picked";
  SampleGame::ClickControl(tag(d, "NEGOTBUT"));
  SampleGame::Pump();
  DealEditor& editor = s.dealEditor;
  ASSERT_NE(s.dealPopup.offer, nullptr);

  // Our land asked of them.
  SampleGame::ClickControl(FormFindControlById(editor.currentForm, 111 + kDealLandTag));
  SampleGame::Pump();
  ASSERT_GT(editor.lists[3]->rowCount, 0) << "the tag is offered";
  SampleGame::DoubleClickControl(editor.lists[3], 0);
  ASSERT_NE(s.dealPopup.offer->requested.areaMask, 0u);
  // Goods of theirs looked at, their row left picked: the amount is held
  // to what they hold and shown.
  SampleGame::ClickControl(FormFindControlById(editor.currentForm, 111 + kDealGoods));
  SampleGame::Pump();
  SampleGame::ClickControl(editor.lists[3], 0);
  SampleGame::Pump();
  DealAmountPicker& amount = s.dealAmountPicker[1];
  ASSERT_FALSE(amount.currentForm->Hidden());
  const DealItem* goods = ResolveDealItem(amount.place);
  ASSERT_NE(goods, nullptr);
  float available = 0.0f;
  {
    // Of a single delivery they spare at most half their output.
    plat::CriticalSectionLock lock(g_simulationLock);
    const PlayerRecord& r = w.players[eastmark];
    available = std::min(product::Get(r, goods->product, product::kStock),
                         product::Get(r, goods->product, product::kOutput) / 2.0f);
  }
  EXPECT_EQ(Shown(amount, "STOCK"), Figure(0, 0, std::max(available, 0.0f))) << "available, not unknown";
  EXPECT_LE(goods->amount, std::max(available, 0.0f));

  SampleGame::ClickControl(tag(editor, "NONE2"));
  SampleGame::Pump();
  ASSERT_FALSE(tag(editor, "SUBMITBUT")->Hidden());

  // Closed and opened again: the offer and its "Offer nothing" stay.
  SampleGame::ClickControl(tag(s.dealPopup, "CLOSEBUT"));
  SampleGame::Pump();
  SampleGame::Pump();
  for (const char* button : {"NEWMAIL", "HIDEBOX"}) {
    EXPECT_TRUE(tag(d, button)->Hidden()) << button << " after the pop-up";
    EXPECT_EQ(PixelsOf(tag(d, button), 0xFF2E3C4Au), 0) << button << " drawn";
  }
  SampleGame::ClickControl(tag(d, "NEGOTBUT"));
  SampleGame::Pump();
  EXPECT_TRUE(tag(editor, "NONE2")->Selected());
  Control* submit = tag(editor, "SUBMITBUT");
  ASSERT_FALSE(submit->Hidden());
  SampleGame::ClickControl(submit);
  SampleGame::Pump();
  EXPECT_EQ(s.dealPopup.offer, nullptr) << "the offer went";
  WorldLockGuard hold(w, kLockMail);
  int32_t offers = 0;
  ListNode& mail = w.messageLists[eastmark];
  for (ListNode* n = mail.next(); n && n != &mail; n = n->next()) {
    const auto* m = static_cast<PlayerMessage*>(n);
    offers += m->typeId == kMsgOffer && m->sender == w.gameState.localPlayer;
  }
  EXPECT_EQ(offers, 1) << "Eastmark's mail holds it";
}

// War on an ally is asked first: WAR opens the declaration panel, named for
// the ally; Cancel declares nothing, and only Declare makes the ally an
// enemy once the turn has taken it. Either answer puts the panel away, and
// so does either answer to the surrender question.
TEST(DiplomacyPlay, WarOnAnAllyWaitsForItsConfirmation) {
  plat::SetGameFloatMode();
  SampleGame game;
  GlobalGuard options(g_uiOptions);
  ASSERT_NO_FATAL_FAILURE(game.Start());
  g_uiOptions.bnoconfirmturn = 1;
  ScreenSet& s = g_screens;
  World& w = g_world;
  SetGameSpeed(w.gameState, 0);
  const int32_t local = w.gameState.localPlayer;
  int32_t ally = 0;
  const auto atWar = [&] {
    plat::CriticalSectionLock lock(g_simulationLock);
    return (w.players[local].simPolicy.hostileMask & (1u << ally)) != 0;
  };
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    for (int32_t p = 1; p < kMaxPlayers && !ally; ++p)
      if (p != local && (w.players[local].displayPolicy.friendlyMask & (1u << p))) ally = p;
  }
  ASSERT_NE(ally, 0) << "Westholm starts with an ally";
  PressF5();
  DiplomacyScreen& d = s.diplomacyScreen;
  PickRegion(d, ally);
  Screen& relations = *s.regionRelations;
  Screen& war = *s.warDeclaration;
  const auto shown = [](const Screen& screen) {
    for (const Control* c = screen.currentForm; c; c = c->parent) {
      if (c->Hidden()) return false;
      if (c == g_ui.rootForm) return true;
    }
    return false;
  };
  ASSERT_TRUE(shown(relations));
  // Answered, a question is gone for good: the unit list's pages open the
  // dock's levels again, and find none of it there.
  const auto goneForGood = [&](const Screen& question) {
    SampleGame::PressKey('U');
    ASSERT_NE(s.unitList.currentForm->parent, nullptr) << "U opens the unit list";
    EXPECT_FALSE(shown(question)) << "under U";
    SampleGame::PressKey(plat::kVkEscape);
    EXPECT_FALSE(shown(question)) << "once U has closed";
    ASSERT_NO_FATAL_FAILURE(PickRegion(d, ally));
    ASSERT_TRUE(shown(relations));
  };
  struct Step {
    const char* answer;
    bool war;
  } const steps[] = {{"WARCANBUT", false}, {"WARACCPBUT", true}};
  for (const Step& step : steps) {
    SCOPED_TRACE(step.answer);
    SampleGame::ClickControl(FormFindControlByTag(relations.currentForm, "WAR"));
    ASSERT_TRUE(shown(war)) << "WAR asks first";
    EXPECT_EQ(Shown(war, "REGNAME"), RegionDisplayName(w, ally));
    SampleGame::PlayDays(1);
    EXPECT_FALSE(atWar()) << "nothing declared while the question stands";
    SampleGame::ClickControl(FormFindControlByTag(war.currentForm, step.answer));
    EXPECT_FALSE(shown(war));
    SampleGame::PlayDays(1);
    EXPECT_EQ(atWar(), step.war);
    ASSERT_NO_FATAL_FAILURE(goneForGood(war));
  }
  // The surrender question, asked from the alliances page, goes the same
  // way; OK comes last, as it pauses the game.
  Screen& surrender = *s.surrenderConfirm;
  for (const char* answer : {"SURCAN", "SUROK"}) {
    SCOPED_TRACE(answer);
    SampleGame::ClickControl(FormFindControlByTag(relations.currentForm, "RELATION"));
    SampleGame::ClickControl(FormFindControlByTag(s.alliancesPanel.currentForm, "SURRENDER"));
    ASSERT_TRUE(shown(surrender)) << "Surrender asks first";
    SampleGame::ClickControl(FormFindControlByTag(surrender.currentForm, answer));
    EXPECT_FALSE(shown(surrender));
    ASSERT_NO_FATAL_FAILURE(goneForGood(surrender));
  }
}

}  // namespace
