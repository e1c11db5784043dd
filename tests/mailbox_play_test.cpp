// The mailbox in a game of the sample scenario: twenty days on, the mail bar
// docks it over the map's lower right with a row for each of the player's
// e-mails; the turn's end expires old mail but spares the selected message
// and the one open in the pop-up, and the list is rebuilt without the rest.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "app/gfx/renderer.h"
#include "platform/fpenv.h"
#include "editor/facility_paint_panel.h"
#include "screens/diplomacy/diplomacy_screen.h"
#include "screens/diplomacy/mail/mail_window.h"
#include "screens/common/frame/map_selection.h"
#include "screens/main/map_input/selection.h"
#include "screens/common/frame/main_layout.h"
#include "screens/screen_set.h"
#include "screens/diplomacy/mail/offer_mail_view.h"
#include "screens/main/map/map_effects.h"
#include "sim/message_ids.h"
#include "sim/player_messages.h"
#include "sim/region_names.h"
#include "sim/simulation_lock.h"
#include "support/global_guard.h"
#include "support/control_layout.h"
#include "support/sample_game.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "units/hex_geometry.h"
#include "world/game_speed.h"
#include "world/list_items.h"
#include "world/text/rule_tables.h"
#include "world/text/treaty_types.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

// The local player's e-mails as the list keeps them (newest first), with
// their days.
struct Mail {
  uint32_t serial, day, flags;
};
std::vector<Mail> LocalMail(World& w) {
  std::vector<Mail> mail;
  WorldLockGuard hold(w, kLockMail);
  ListNode& head = w.messageLists[w.gameState.localPlayer];
  for (ListNode* node = head.next(); node && node != &head; node = node->next()) {
    const auto* m = static_cast<PlayerMessage*>(node);
    if (m->flags & kMessageEmail) mail.push_back({m->serial, m->day, m->flags});
  }
  return mail;
}

std::vector<uint32_t> Serials(const std::vector<Mail>& mail) {
  std::vector<uint32_t> serials;
  for (const Mail& m : mail) serials.push_back(m.serial);
  return serials;
}

std::vector<uint32_t> Rows(const MailList& page) {
  std::vector<uint32_t> rows;
  for (Control* r = ListNextRow(page.list, nullptr); r; r = ListNextRow(page.list, r))
    rows.push_back(static_cast<uint32_t>(r->id));
  return rows;
}

std::vector<uint32_t> BackBuffer(uint32_t& width, uint32_t& height) {
  std::vector<uint32_t> pixels;
  EXPECT_EQ(g_renderer.device->ReadBackBuffer(&pixels, &width, &height), plat::kOk);
  return pixels;
}

// Where the mailbox stands: docked over the map, or in the side screens.
struct MailboxPlace {
  const char* name;
  int32_t sidescreens;
};
constexpr MailboxPlace kMailboxPlaces[] = {{"docked over the map", 0}, {"in the side screens", 1}};

// The options page's side-screens switch, applied as it applies it.
void PutTheMailbox(const MailboxPlace& place) {
  if (g_uiOptions.sidescreens == place.sidescreens) return;
  g_uiOptions.sidescreens = place.sidescreens;
  ApplySideScreensLayout(*g_ui.mapView);
}

TEST(MailboxPlay, DayMailDocksAndTheTurnEndSparesTheSelectedAndOpenMessages) {
  plat::SetGameFloatMode();
  SampleGame game;
  ASSERT_NO_FATAL_FAILURE(game.StartUnasked());
  g_uiOptions.bnewsatbottom = 0;
  ScreenSet& s = g_screens;
  World& w = g_world;
  PutTheMailbox(kMailboxPlaces[0]);
  SampleGame::PlayDays(20);

  uint32_t width = 0, height = 0;
  const std::vector<uint32_t> before = BackBuffer(width, height);
  Control* mailButton = FormFindControlById(s.mailBar.currentForm, 11);
  ASSERT_NE(mailButton, nullptr);
  SampleGame::ClickControl(mailButton);
  SampleGame::Pump();
  ASSERT_NE(s.mailWindow.currentForm, nullptr);
  ASSERT_FALSE(s.mailWindow.currentForm->Hidden()) << "the mail bar opens the mailbox";

  // Docked: 194 px at the root's lower right, drawn over every row of it.
  const plat::Rect box = ControlAbsoluteRect(s.mailWindow.currentForm);
  EXPECT_EQ(box.bottom - box.top, kMailDockedHeight);
  EXPECT_EQ(box.right, Width(g_ui.rootForm));
  EXPECT_EQ(box.bottom, Height(g_ui.rootForm));
  const std::vector<uint32_t> after = BackBuffer(width, height);
  ASSERT_EQ(after.size(), before.size());
  int32_t changedRows = 0;
  for (int32_t y = box.top; y < box.bottom && y < static_cast<int32_t>(height); ++y) {
    bool changed = false;
    for (int32_t x = box.left; x < box.right && x < static_cast<int32_t>(width) && !changed; ++x)
      changed = before[static_cast<size_t>(y) * width + static_cast<size_t>(x)] !=
                after[static_cast<size_t>(y) * width + static_cast<size_t>(x)];
    changedRows += changed;
  }
  EXPECT_EQ(changedRows, kMailDockedHeight);

  // A row for each of the local player's e-mails, newest first.
  MailList& page = s.mailList;
  ASSERT_NE(page.list, nullptr);
  std::vector<Mail> mail = LocalMail(w);
  ASSERT_GE(mail.size(), 4u) << "twenty days bring mail";
  EXPECT_EQ(Rows(page), Serials(mail));

  // The oldest selected, the next oldest open; everything else old goes.
  const uint32_t selected = mail.back().serial, open = mail[mail.size() - 2].serial;
  ListSetSelection(0, page.list, static_cast<int32_t>(selected), 0);
  page.OnControlChange(page.list, static_cast<int32_t>(selected));
  s.emailPopup.Popup(static_cast<int32_t>(open), nullptr);
  ASSERT_EQ(s.emailPopup.Shown(), open);
  std::vector<uint32_t> old;
  for (const Mail& m : mail)
    if (m.day + 1 <= w.gameState.currentDay && m.serial != selected && m.serial != open && !(m.flags & kMessageKept))
      old.push_back(m.serial);
  ASSERT_FALSE(old.empty());
  g_uiOptions.emaildeldays = 1;
  SampleGame::PlayDays(2);

  mail = LocalMail(w);
  const std::vector<uint32_t> left = Serials(mail);
  for (uint32_t serial : {selected, open}) EXPECT_NE(std::find(left.begin(), left.end(), serial), left.end()) << serial;
  for (uint32_t serial : old) EXPECT_EQ(std::find(left.begin(), left.end(), serial), left.end()) << serial;
  EXPECT_EQ(Rows(page), left) << "the list is rebuilt after the expiry";
  EXPECT_EQ(page.Selected(), selected);
  EXPECT_EQ(s.emailPopup.Shown(), open);

  // The options page takes the list's place and no preview opens over it
  // while mail comes and goes; closed and opened again, the mailbox is back
  // on its list with the toggle off.
  s.emailPopup.Close(0);
  g_uiOptions.bshowprevpane = 1;
  Control* label = FormFindControlByTag(s.mailWindow.currentForm, "LABELBUT");
  ASSERT_NE(label, nullptr);
  SampleGame::ClickControl(label);
  SampleGame::Pump();
  ASSERT_TRUE(label->Selected());
  ASSERT_EQ(s.mailWindow.mailParent->firstChild, s.mailOptions.currentForm);
  SampleGame::PlayDays(3);
  EXPECT_EQ(s.mailWindow.mailParent->firstChild, s.mailOptions.currentForm);
  EXPECT_TRUE(s.mailWindow.par2->Hidden()) << "no preview pane over the options page";
  SampleGame::ClickControl(FormFindControlByTag(s.mailWindow.currentForm, "CLOSEBUT"));
  SampleGame::Pump();
  ASSERT_FALSE(g_ui.sidePopupOpen);
  SampleGame::ClickControl(mailButton);
  SampleGame::Pump();
  ASSERT_TRUE(g_ui.sidePopupOpen);
  EXPECT_FALSE(label->Selected());
  EXPECT_EQ(s.mailWindow.mailParent->firstChild, page.currentForm) << "reopened on its list";
}

// A report answered from its pop-up does what its button says: the
// department it names opens, the map goes to the place or the unit it is
// about (the unit selected, or the player's units there with their orders
// open), or the sender's row is picked in the diplomacy department.
TEST(MailboxPlay, AnAnswerOpensTheDepartmentOrThePlaceItNames) {
  plat::SetGameFloatMode();
  SampleGame game;
  GlobalGuard options(g_uiOptions);
  ASSERT_NO_FATAL_FAILURE(game.Start());
  g_uiOptions.emaillevel = 0;
  ScreenSet& s = g_screens;
  World& w = g_world;
  const int32_t local = w.gameState.localPlayer;
  const uint32_t hex = PackHex(6, 5);
  // One of the player's units on the map, and another region to write.
  const UnitRecord* unit = nullptr;
  for (UnitRecord* u = w.units; u && !unit;) {
    if (IsUnitLive(*u) && u->owner == local && u->carrier == 0 && (u->x != 0 || u->y != 0) &&
        u->classIndex < kFirstFacilityClass)
      unit = u;
    u = u->next;
    if (u == w.units) break;
  }
  ASSERT_NE(unit, nullptr);
  const uint32_t unitHex = PackHex(unit->x, unit->y);
  int32_t other = 0;
  for (int32_t r = 1; r <= w.gameState.highestPlayer && !other; ++r)
    if (r != local && TakesPart(w.players[r])) other = r;
  ASSERT_NE(other, 0);
  // A proposal of an order at a place: the border report carries it here.
  constexpr uint32_t kOrderReport = 127;
  MessageTypeRecord& orderType = g_ruleTables.messageTypes.records[kOrderReport];
  const uint8_t keptCode = orderType.replyCodes[0], keptSet = orderType.replySet;
  orderType.replyCodes[0] = 1;
  orderType.replySet = 70;
  enum Result { kPanel, kHex, kUnit, kUnitsAtHex, kSender };
  struct Row {
    const char* button;
    uint32_t type;
    int32_t sender;
    MessageParams params;
    Result result;
    int32_t panel;  // the department that opens (0 none checked)
    uint32_t at;    // the hex that becomes current
  } const rows[] = {
      {"Open production", 10, 0, {1, 0}, kPanel, 6, 0},                         // a shortage
      {"Show on map", 144, 0, {1, hex}, kHex, 0, hex},                          // a facility damaged
      {"Go to unit", 462, 0, {unit->id}, kUnit, 9, unitHex},                    // a deployment held
      {"Carry out", kOrderReport, 0, {1, 0, unitHex}, kUnitsAtHex, 9, unitHex},  // an order proposed
      {"View sender", 125, other, {static_cast<uint32_t>(other)}, kSender, 4, 0},  // a border incident
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.button);
    ShowMainPanel(1, 0, s);
    ClearMapSelection(s);
    CentreMapOnHex(*g_ui.mapView, PackHex(w.mapWidth - 2, w.mapHeight - 2));
    SampleGame::Pump();
    const std::vector<uint32_t> before = Serials(LocalMail(w));
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      w.gameState.currentHex = HexPosition{};
      DeliverPlayerMessage(w, w.players[local], row.type, row.sender, nullptr, row.params);
    }
    uint32_t serial = 0;
    for (uint32_t m : Serials(LocalMail(w)))
      if (std::find(before.begin(), before.end(), m) == before.end()) serial = m;
    ASSERT_NE(serial, 0u) << "the report is filed";
    s.emailPopup.Popup(static_cast<int32_t>(serial), nullptr);
    SampleGame::Pump();
    Control* answer = FormFindControlById(s.offerMailView.currentForm, kOfferFirstAnswerButton);
    ASSERT_NE(answer, nullptr);
    ASSERT_FALSE(answer->Hidden());
    SampleGame::ClickControl(answer);
    SampleGame::Pump();
    if (row.panel != 0) {
      EXPECT_EQ(s.cmdBar.id, row.panel) << "the department is opened as its command-bar button opens it";
    }
    if (row.at != 0) {
      EXPECT_EQ(PackHex(w.gameState.currentHex.x, w.gameState.currentHex.y), row.at);
      // The map is centred there (it was on the far corner): centring it
      // there again moves nothing.
      MapView& view = *g_ui.mapView;
      const int32_t panX = view.panX, panY = view.panY;
      CentreMapOnHex(view, row.at);
      EXPECT_EQ(view.panX, panX);
      EXPECT_EQ(view.panY, panY);
    }
    std::vector<uint32_t> selected;
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      for (const UnitRecord* u : SelectedUnits(w, s)) selected.push_back(u->id);
    }
    switch (row.result) {
      case kUnit: EXPECT_EQ(selected, std::vector<uint32_t>{unit->id}) << "the unit alone is selected"; break;
      case kUnitsAtHex:
        EXPECT_NE(std::find(selected.begin(), selected.end(), unit->id), selected.end()) << "the units there";
        break;
      case kSender:
        ASSERT_NE(s.diplomacyScreen.regionList, nullptr);
        EXPECT_EQ(s.diplomacyScreen.regionList->selectedId, other) << "the sender's row is picked";
        EXPECT_EQ(s.diplomacyScreen.selectedRegion, other) << "and its panels open";
        break;
      default: EXPECT_TRUE(selected.empty()); break;
    }
  }
  orderType.replyCodes[0] = keptCode;
  orderType.replySet = keptSet;
}

// Pixels of the back buffer inside the rectangle that have the colour.
int32_t PixelsOf(const std::vector<uint32_t>& pixels, uint32_t width, uint32_t height, const plat::Rect& r,
                 uint32_t colour) {
  int32_t n = 0;
  for (int32_t y = std::max(r.top, 0); y < std::min(r.bottom, static_cast<int32_t>(height)); ++y)
    for (int32_t x = std::max(r.left, 0); x < std::min(r.right, static_cast<int32_t>(width)); ++x)
      n += (pixels[static_cast<size_t>(y) * width + static_cast<size_t>(x)] | 0xFF000000u) == colour;
  return n;
}

TEST(MailboxPlay, TheMailboxShowsItsRowsDockedAndBesideTheMapWhileTheGameRuns) {
  plat::SetGameFloatMode();
  SampleGame game;
  ASSERT_NO_FATAL_FAILURE(game.StartUnasked());
  ScreenSet& s = g_screens;
  World& w = g_world;
  SampleGame::PlayDays(3);
  ASSERT_FALSE(LocalMail(w).empty()) << "the first days bring mail";
  constexpr uint32_t kPanelFill = 0xFF1C2630u;  // the mailbox's own fill
  constexpr uint32_t kSlotGreen = 0xFF007800u;  // the bare slot under the side panels

  for (const MailboxPlace& row : kMailboxPlaces) {
    SCOPED_TRACE(row.name);
    PutTheMailbox(row);
    if (!row.sidescreens) {
      if (!g_ui.sidePopupOpen) SampleGame::ClickControl(FormFindControlById(s.mailBar.currentForm, 11));
      ASSERT_TRUE(g_ui.sidePopupOpen) << "the mail bar opens the mailbox";
    }
    Control* form = s.mailWindow.currentForm;
    ASSERT_NE(form, nullptr);
    ASSERT_FALSE(form->Hidden());
    // Days go by: the map is drawn anew on frame after frame under it.
    SampleGame::PlayDays(2);
    const plat::Rect box = ControlAbsoluteRect(form);
    EXPECT_GT(box.bottom - box.top, 100);
    EXPECT_LE(box.bottom, Height(g_ui.rootForm));
    EXPECT_LE(box.right, Width(g_ui.rootForm));
    ASSERT_NE(s.mailList.list, nullptr);
    const Control* first = ListNextRow(s.mailList.list, nullptr);
    ASSERT_NE(first, nullptr) << "a row for the mail";
    uint32_t width = 0, height = 0;
    const std::vector<uint32_t> pixels = BackBuffer(width, height);
    // The mailbox's own fill round its frames (a map frame has none of
    // it), and the first row's subject in one of its inks.
    const int32_t area = (box.right - box.left) * (box.bottom - box.top);
    EXPECT_GT(PixelsOf(pixels, width, height, box, kPanelFill), area / 10);
    const plat::Rect rowBox = ListRowScreenRect(s.mailList.list, first);
    int32_t ink = 0;
    for (uint32_t colour : {0xFFFFFFFFu, 0xFFC8C8C8u, 0xFFFA3200u}) ink += PixelsOf(pixels, width, height, rowBox, colour);
    EXPECT_GT(ink, 20) << "the first row's subject is drawn";
    // The list runs down to the preview pane, or with none to the foot of
    // the mailbox; the pane ends inside it.
    const Control* pane = s.mailWindow.par2;
    const bool paneShown = pane && !pane->Hidden();
    EXPECT_EQ(ControlAbsoluteRect(s.mailList.list).bottom, paneShown ? ControlAbsoluteRect(pane).top : box.bottom - 6);
    if (paneShown) {
      EXPECT_LE(ControlAbsoluteRect(pane).bottom, box.bottom);
    }
    // Nothing of the bare slot shows: the mailbox fills it.
    const plat::Rect column{Width(g_ui.rootForm) - 224, 0, Width(g_ui.rootForm), Height(g_ui.rootForm)};
    EXPECT_EQ(PixelsOf(pixels, width, height, column, kSlotGreen), 0);
  }
}

std::string TextOf(const Control* c) {
  const auto* t = dynamic_cast<const StringControl*>(c);
  return t ? t->text : "";
}

// The rows of the mailbox as the player reads them: a ministry's report
// (it comes with no sender) names its minister as its pop-up does, in our
// colours; a notice of our own shows its level whole; the list shows as
// many whole rows as its box holds and the wheel over it scrolls them.
TEST(MailboxPlay, RowsNameTheirSenderReadWholeFillTheirBoxAndScroll) {
  plat::SetGameFloatMode();
  SampleGame game;
  GlobalGuard options(g_uiOptions);
  ASSERT_NO_FATAL_FAILURE(game.Start());
  g_uiOptions.emaillevel = 0;
  g_uiOptions.bnewsatbottom = 0;
  ScreenSet& s = g_screens;
  World& w = g_world;
  SetGameSpeed(w.gameState, 0);
  const int32_t local = w.gameState.localPlayer;
  PutTheMailbox(kMailboxPlaces[0]);
  if (!g_ui.sidePopupOpen) SampleGame::ClickControl(FormFindControlById(s.mailBar.currentForm, 11));
  ASSERT_TRUE(g_ui.sidePopupOpen);
  constexpr uint32_t kShortage = 10;  // a report of the production ministry
  const auto deliver = [&](uint32_t type, int32_t sender, MessageParams params = {1, 0}) {
    const std::vector<uint32_t> before = Serials(LocalMail(w));
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      DeliverPlayerMessage(w, w.players[local], type, sender, nullptr, params);
    }
    for (uint32_t m : Serials(LocalMail(w)))
      if (std::find(before.begin(), before.end(), m) == before.end()) return m;
    return 0u;
  };
  const uint32_t report = deliver(kShortage, 0), own = deliver(kShortage, local);
  ASSERT_NE(report, 0u);
  ASSERT_NE(own, 0u);
  for (uint32_t type : {9u, 17u, 35u, 9u, 17u, 35u, 10u, 9u}) deliver(type, 0);
  // The open mailbox takes the new mail up on its next polls, four a
  // second on the game's clock (a second of frames).
  for (int i = 0; i < 60 && Rows(s.mailList).size() != LocalMail(w).size(); ++i) SampleGame::Pump();
  ASSERT_EQ(Rows(s.mailList), Serials(LocalMail(w)));

  MailListRow& row = s.mailListRow;
  // The row as the list draws it, under the lock its drawing takes.
  const auto fill = [&](uint32_t serial) {
    plat::CriticalSectionLock lock(g_simulationLock);
    row.Fill(w, serial);
  };
  fill(report);
  const std::string named = TextOf(row.flag);
  EXPECT_NE(named, "Unknown");
  EXPECT_EQ(static_cast<StringControl*>(row.flag)->textColour, g_uiOptions.playercolor[local]) << "our colours";
  s.emailPopup.Popup(static_cast<int32_t>(report), nullptr);
  SampleGame::Pump();
  const std::string from = TextOf(FormFindControlByTag(s.emailPopup.currentForm, "SENTFROM"));
  EXPECT_EQ(from.substr(0, named.size()), named) << "the pop-up says " << from;
  s.emailPopup.Close(0);
  fill(own);
  ASSERT_FALSE(row.level->Hidden());
  const auto* level = static_cast<StringControl*>(row.level);
  EXPECT_EQ(level->ShownText().text, level->text) << "the level reads whole";
  // Where a sender is named, it says how much the notice matters in the
  // words its pop-up uses, not a "Level" that reads as a sender.
  s.emailPopup.Popup(static_cast<int32_t>(own), nullptr);
  SampleGame::Pump();
  const std::string weight = TextOf(FormFindControlByTag(s.emailPopup.currentForm, "LVLDESC"));
  EXPECT_FALSE(weight.empty());
  EXPECT_EQ(level->text, weight);
  s.emailPopup.Close(0);

  // A treaty change names the treaty and the partner, whose label stands
  // beside the text; stepping up to a notice naming no one leaves none.
  const int32_t other = local == 1 ? 2 : 1;
  constexpr uint32_t kSharedSight = 18;
  const uint32_t treaty = deliver(kMsgTreaty18Changed, 0, {static_cast<uint32_t>(other), kSharedSight});
  ASSERT_NE(treaty, 0u);
  const std::string body = ReadMail(w, local, treaty, false).body;
  EXPECT_NE(body.find(RegionDisplayName(w, other)), std::string::npos) << body;
  EXPECT_NE(body.find(TreatyType(g_ruleTables.rTreatyTypes, kSharedSight)->name.get()), std::string::npos) << body;
  const uint32_t quiet = deliver(kShortage, 0);
  for (int i = 0; i < 60 && Rows(s.mailList).size() != LocalMail(w).size(); ++i) SampleGame::Pump();
  ASSERT_EQ(Rows(s.mailList).front(), quiet);
  ListSetSelection(0, s.mailList.list, static_cast<int32_t>(treaty), 0);
  s.emailPopup.Popup(static_cast<int32_t>(treaty), nullptr);
  SampleGame::Pump();
  Control* label = FormFindControlById(s.offerMailView.currentForm, 310);
  ASSERT_NE(label, nullptr);
  EXPECT_FALSE(label->Hidden()) << "the partner is named";
  SampleGame::ClickControl(FormFindControlByTag(s.emailPopup.currentForm, "UP"));
  SampleGame::Pump();
  ASSERT_EQ(s.emailPopup.Shown(), quiet);
  EXPECT_TRUE(label->Hidden()) << "no label is left of the last message: " << TextOf(label);
  s.emailPopup.Close(0);

  // Whole rows down to the foot of the box, and the wheel moves them.
  ListBoxControl* list = s.mailList.list;
  ASSERT_NE(list, nullptr);
  SampleGame::Pump();
  const plat::Rect box = ListGetClientRect(list);
  const int32_t rowHeight = Height(row.form);
  ASSERT_GT(rowHeight, 0);
  int32_t whole = 0;
  for (Control* r = ListNextRow(list, nullptr); r; r = ListNextRow(list, r)) {
    const plat::Rect at = ListRowScreenRect(list, r);
    whole += at.top >= box.top && at.bottom <= box.bottom;
  }
  EXPECT_EQ(whole, (box.bottom - box.top) / rowHeight) << "rows the box holds";
  EXPECT_GE(whole, 4);
  const int32_t top = list->scrollOffset;
  const int32_t x = (box.left + box.right) / 2, y = (box.top + box.bottom) / 2;
  SampleGame::Post(plat::kWmMouseMove, 0, x, y);
  SampleGame::Post(plat::kWmMouseWheel, static_cast<uint32_t>(static_cast<uint16_t>(-120)) << 16, x, y);
  SampleGame::Pump();
  EXPECT_GT(list->scrollOffset, top) << "the wheel scrolls the rows";
}


// The game's speed as the turn thread reads it.
int32_t ClockSpeed() { return std::atomic_ref<int32_t>(g_world.gameState.gameSpeed).load(); }

// What asks the loop for a frame: the tags of the shown controls waiting to
// be drawn or due to show their next picture, and the map's own requests.
std::string WhatWantsAFrame() {
  std::string why;
  ControlTreeForEach(g_ui.rootForm, kAnyDepth, 1, [&](Control* c) {
    if (!ShownInTree(c) || !((c->state & kStateDirty) || c->AnimationDue())) return;
    why += " " + (c->tag[0] ? TagOf(c) : "#" + std::to_string(c->id));
    if (c->owner) why += "(" + std::string(c->owner->formName ? c->owner->formName : "") + ")";
  });
  const MapView& view = *g_ui.mapView;
  if (view.layoutPending || view.redrawPending || view.minimapRedrawPending) why += " the map";
  if (CountMapEffects(*g_ui.mapView) > 0) why += " map effects";
  if (g_ui.redrawWanted) why += " a message";
  if (view.pendingCentreHex) why += " centring";
  if (g_ui.fadeEndTick) why += " fade";
  if (g_ui.tooltipShown) why += " tooltip";
  if (g_ui.showFrameRate) why += " frame rate";
  if (ClockSpeed()) why += " clock";
  return why;
}

// Why the frames of the last RunFrames were drawn, each reason once.
std::string g_drawnFor;
// The window timer's messages RunFrames dispatched.
int g_timerMessages = 0;

// The loop run on for a number of frames on the game's clock (each frame
// waits its turn, so the window timer's refreshes come between them).
void RunFrames(int frames) {
  g_drawnFor.clear();
  for (int i = 0; i < frames; ++i) {
    const uint32_t before = g_ui.framesPresented;
    std::string why = WhatWantsAFrame();
    plat::Message msg;
    while (plat::PeekWindowMessage(&msg, true)) {
      why += " message " + std::to_string(msg.message);
      g_timerMessages += msg.message == plat::kWmTimer;
      plat::DispatchWindowMessage(msg);
    }
    why += " /" + WhatWantsAFrame();
    RunIdleFrame();
    if (g_ui.framesPresented != before && g_drawnFor.find(why) == std::string::npos) g_drawnFor += "\n" + why;
  }
}

// The frames that draw what the last act changed, then `watch` more that
// draw nothing: the frames presented then. The world stands still meanwhile:
// a computer player takes a last step after the pause, at whatever moment a
// busy machine gives its thread, and its mail or moved units are drawn by the
// window timer's next refresh. Held here, the simulation lock keeps every
// such step before the frames or after them; the settling frames run until
// the timer has taken in what came before.
uint32_t SettledAndStill(int watch = 60) {
  plat::CriticalSectionLock worldStill(g_simulationLock);
  g_timerMessages = 0;
  RunFrames(30);
  while (g_timerMessages == 0) RunFrames(1);
  const uint32_t shown = g_ui.framesPresented;
  RunFrames(watch);
  EXPECT_EQ(g_ui.framesPresented, shown) << "drawn again for:" << g_drawnFor;
  return g_ui.framesPresented;
}

// A paused game stands still on the screen: with the mailbox and a
// department open, docked over the map or in the side screens, the loop
// runs on and draws nothing until the player does something, and a key, a
// click or the clock set going again draws at once.
TEST(MailboxPlay, APausedGameWithTheMailboxAndADepartmentOpenDrawsNothingUntilThePlayerActs) {
  plat::SetGameFloatMode();
  SampleGame game;
  GlobalGuard options(g_uiOptions);
  ASSERT_NO_FATAL_FAILURE(game.Start("Westholm", "Channel", 1280, 1024));
  g_uiOptions.bnoconfirmturn = 1;
  // Status lines come and go by the interface's clock, which runs on while
  // the game stands: shown for an hour, none of them comes or goes in the
  // frames watched here, however slowly a busy machine draws them.
  g_uiOptions.chatshowtime = 3600 * 1000;
  ScreenSet& s = g_screens;
  World& w = g_world;
  SampleGame::PlayDays(2);
  ASSERT_FALSE(LocalMail(w).empty()) << "the first days bring mail";
  ASSERT_EQ(ClockSpeed(), 0) << "the clock stops at the day's end";

  for (const MailboxPlace& row : kMailboxPlaces) {
    SCOPED_TRACE(row.name);
    PutTheMailbox(row);
    if (!row.sidescreens && !g_ui.sidePopupOpen) SampleGame::ClickControl(FormFindControlById(s.mailBar.currentForm, 11));
    if (!s.diplomacyScreen.currentForm || !s.diplomacyScreen.currentForm->parent) SampleGame::PressKey(plat::kVkF1 + 4);
    ASSERT_TRUE(s.diplomacyScreen.currentForm && ShownInTree(s.diplomacyScreen.currentForm)) << "F5 opens the department";
    ASSERT_TRUE(s.mailWindow.currentForm && ShownInTree(s.mailWindow.currentForm)) << "the mailbox is open";
    ASSERT_NE(ListNextRow(s.mailList.list, nullptr), nullptr) << "a row for the mail";

    // The pointer rests; what the last clicks changed is drawn once.
    uint32_t shown = SettledAndStill(150);

    // A key (the frame-rate display, on and off again) draws.
    SampleGame::PressKey('F');
    EXPECT_GT(g_ui.framesPresented, shown) << "a key draws";
    SampleGame::PressKey('F');
    shown = SettledAndStill();

    // A click on a mail row draws.
    SampleGame::ClickControl(s.mailList.list, 0);
    EXPECT_GT(g_ui.framesPresented, shown) << "a click draws";
    SettledAndStill();
  }

  // The clock set going from the title bar draws frame after frame while
  // the days pass, and stops drawing once paused again.
  Control* normal = FormFindControlById(s.titleBar->currentForm, 112);
  ASSERT_NE(normal, nullptr);
  SampleGame::ClickControl(normal);
  SampleGame::Pump();  // the speed is taken up on the next frame
  ASSERT_NE(ClockSpeed(), 0);
  const uint32_t running = g_ui.framesPresented;
  RunFrames(10);
  EXPECT_EQ(g_ui.framesPresented, running + 10) << "a running game draws every frame";
  SampleGame::PressKey(plat::kVkPause);
  SampleGame::Pump();
  ASSERT_EQ(ClockSpeed(), 0);
  SettledAndStill();

  // The mail bar's flag shows its pictures while the game stands, as new
  // mail makes it: only its own box is drawn again, the rest of the screen
  // stays as it was (and the world with it, as above).
  plat::CriticalSectionLock worldStill(g_simulationLock);
  PutTheMailbox(kMailboxPlaces[0]);
  RunFrames(30);
  Control* flag = s.mailBar.mailFlag;
  ASSERT_TRUE(flag && ShownInTree(flag));
  uint32_t width = 0, height = 0;
  const std::vector<uint32_t> still = BackBuffer(width, height);
  flag->flags |= kCtlAnimate;
  const uint32_t before = g_ui.framesPresented;
  RunFrames(60);
  flag->flags &= ~kCtlAnimate;
  EXPECT_GT(g_ui.framesPresented, before) << "the flag's pictures are shown";
  const std::vector<uint32_t> moving = BackBuffer(width, height);
  ASSERT_EQ(moving.size(), still.size());
  const plat::Rect box = ControlAbsoluteRect(flag);
  int32_t elsewhere = 0;
  for (uint32_t y = 0; y < height; ++y)
    for (uint32_t x = 0; x < width; ++x) {
      const bool inside = static_cast<int32_t>(x) >= box.left && static_cast<int32_t>(x) < box.right &&
                          static_cast<int32_t>(y) >= box.top && static_cast<int32_t>(y) < box.bottom;
      elsewhere += !inside && moving[y * width + x] != still[y * width + x];
    }
  EXPECT_EQ(elsewhere, 0) << "pixels changed outside the flag";
}

}  // namespace
