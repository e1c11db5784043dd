// Games one after another in one process: each deploys a reserve unit on
// the real turn thread and is then left as the game leaves it, with a
// second deployment posted but not settled. The next game deploys as the
// first did, with nothing left reserved from the game before, and none of
// its status lines or peers' profiles.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/gfx/renderer.h"
#include "platform/fpenv.h"
#include "platform/messages.h"
#include "screens/common/frame/map_selection.h"
#include "screens/common/frame/side_bars.h"
#include "screens/main/panels/map_screen.h"
#include "screens/military/orders/orders_screen.h"
#include "screens/screen_set.h"
#include "sim/game_session_test_support.h"
#include "sim/game_start.h"
#include "sim/player_messages.h"
#include "sim/simulation_lock.h"
#include "sim/status_queue.h"
#include "support/global_guard.h"
#include "support/sample_game.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "world/game_speed.h"
#include "sim/game_stop.h"
#include "sim/log_on.h"
#include "units/deployment_weight.h"
#include "units/hex_geometry.h"
#include "units/unit_deploy.h"
#include "world/unit_create.h"

namespace {

// A complete tank of region 1 held in the reserve on hex (x, 3).
UnitRecord& ReserveTank(uint32_t id, int x) {
  UnitRecord* u = CreateUnit(g_world, g_world.players[1], id, 2, 1.0f, MakeHexPos(x, 3), 0, 0);
  u->unitFlags &= ~kUnitProvisional;
  u->orders[kPostureBits] = kPostureInReserve;
  u->buildWork = 0.0f;
  u->ordersShown = u->orders;
  return *u;
}

class SecondGame : public GameSessionTest {};

TEST_F(SecondGame, AGameStoppedWithADeploymentPendingLeavesTheNextToDeployAsAFreshOne) {
  ClearGameRunState(g_world);  // the first game here starts fresh whatever ran before
  GlobalGuard profiles(g_profileChoices);
  int firstPlaced = 0;
  float firstBudget = 0.0f;
  for (int game = 1; game <= 3; ++game) {
    // An 8 x 6 map, all region 1's; a tank weighs 30 against a budget of 50.
    BuildWorld(8, 6, 1);
    GiveRegionsLand(1);
    g_world.terrains[0].bytes[120] = 1;
    UnitClassRecord& tank = g_world.unitClasses[2];
    std::snprintf(tank.name, sizeof tank.name, "Tank");
    tank.strengthPerSize = 1;
    tank.valuePerPoint = 30;
    ASSERT_GE(LogOn(nullptr, 0, 0), 0);
    g_uiOptions.autosaveturns = 0;
    // The log-on has started the computer players, which walk the unit
    // ring: units are made and placed under the simulation lock.
    UnitRecord* first = nullptr;
    int placed = 0;
    {
      plat::CriticalSectionLock simulation(g_simulationLock);
      g_world.players[1].soldiers = 50.0f;
      first = &ReserveTank(0x01000101, 2);
      placed = PlaceUnitOnMap(g_world, *first);
    }
    RunDaysOnTurnThread(1);
    EXPECT_FALSE(InReserve(*first)) << "game " << game;
    if (game == 1) firstPlaced = placed, firstBudget = g_world.players[1].soldiers;
    EXPECT_EQ(placed, firstPlaced) << "game " << game;
    EXPECT_EQ(g_world.players[1].soldiers, firstBudget) << "game " << game;

    // With budget to spare a second tank is posted and shown; the game stops
    // before its simulation pass. It came from a save: snapshots and head.
    {
      plat::CriticalSectionLock simulation(g_simulationLock);
      g_world.players[1].soldiers = 1000.0f;
      UnitRecord& waiting = ReserveTank(0x01000102, 4);
      ASSERT_EQ(PlaceUnitOnMap(g_world, waiting), 1);
      ASSERT_EQ(PendingDeployments(g_world, 1), DeploymentWeight(g_world, waiting));
    }
    g_world.snapshotTable.assign(16, PlayerRecord{});
    g_world.saveHeader.checksum = 0x5A5A;
    // A status line still up, and a peer's profile word as its session
    // message leaves it.
    AppendStatusLine(g_world, "Left from the game before", g_world.gameState.currentTick, 1);
    g_profileChoices.remoteProfiles[2] = 0x03020100u;
    SwitchGameScreen(nullptr, false);
    EXPECT_EQ(PendingDeployments(g_world, 1), 0.0f) << "game " << game;
    EXPECT_TRUE(g_world.snapshotTable.empty()) << "game " << game;
    EXPECT_EQ(g_world.saveHeader.checksum, 0u) << "game " << game;
    EXPECT_TRUE(TakeStatusLines(g_world).empty()) << "game " << game;
    // Kept, a later network game would give region 2 that leader.
    EXPECT_EQ(g_profileChoices.remoteProfiles[2], 0u) << "game " << game;
  }
  EXPECT_EQ(firstPlaced, 1);
}

}  // namespace

// The whole program: game A is played as a player plays it (its land units
// narrowed on the orders screen, a farm's placement begun from the map
// screen's build list, ended by the game menu and by Stop and begun again,
// the news read on the status page), left through the game menu's Quit, and
// game B started from the start menu. B opens on none of A's screens'
// state, in its lists, its buttons or on the screen.
namespace {

constexpr int32_t kFarm = 4016;  // the sample's farm, an industry without prerequisites

int ListRowWithId(const ListBoxControl* list, int32_t id) {
  int n = 0;
  for (Control* row = list ? ListNextRow(list, nullptr) : nullptr; row; row = ListNextRow(list, row), ++n)
    if (row->id == id) return n;
  return -1;
}

uint32_t LocalNewsCount() {
  WorldLockGuard hold(g_world, kLockMail);
  const ListNode& head = g_world.messageLists[g_world.gameState.localPlayer];
  uint32_t news = 0;
  for (const ListNode* n = head.next(); n && n != &head; n = n->next())
    news += (static_cast<const PlayerMessage*>(n)->flags & kMessageNews) != 0;
  return news;
}

// The window's last frame within the rectangle, row by row.
std::vector<uint32_t> BackBufferPixels(const plat::Rect& at) {
  std::vector<uint32_t> pixels, out;
  uint32_t width = 0, height = 0;
  EXPECT_EQ(g_renderer.device->ReadBackBuffer(&pixels, &width, &height), plat::kOk);
  for (int32_t y = std::max(at.top, 0); y < at.bottom && y < static_cast<int32_t>(height); ++y)
    for (int32_t x = std::max(at.left, 0); x < at.right && x < static_cast<int32_t>(width); ++x)
      out.push_back(pixels[static_cast<size_t>(y) * width + static_cast<size_t>(x)]);
  return out;
}

// The control and every control above it up to the root are shown.
bool ShownOnScreen(const Control* control) {
  for (const Control* c = control; c; c = c->parent) {
    if (c->Hidden()) return false;
    if (c == g_ui.rootForm) return true;
  }
  return false;
}

// New game from the start menu: the scenario, Westholm, Start, Start.
void StartChannelFromStartMenu() {
  ScreenSet& s = g_screens;
  SampleGame::ClickControl(FormFindControlByTag(s.startMenu.currentForm, "NEWGAME"));
  GameChoiceScreen& choice = s.gameChoice;
  int scenario = -1, region = -1;
  for (size_t i = 0; i < choice.scenarios.size(); ++i)
    if (choice.scenarios[i].file == "Channel") scenario = static_cast<int>(i);
  ASSERT_GE(scenario, 0);
  SampleGame::ClickControl(FormFindControlByTag(choice.currentForm, "SCENLIST"), scenario);
  for (size_t i = 0; i < choice.regions.size(); ++i)
    if (choice.regions[i].name == "Westholm") region = static_cast<int>(i);
  ASSERT_GE(region, 0);
  SampleGame::ClickControl(FormFindControlByTag(choice.currentForm, "REGIONLIST"), region);
  SampleGame::ClickControl(FormFindControlByTag(choice.currentForm, "START"));
  SampleGame::ClickControl(FormFindControlByTag(s.briefing.currentForm, "START"));
  ASSERT_EQ(g_ui.mode, kUiInGame);
  SetGameSpeed(g_world.gameState, 0);
  SampleGame::Pump();
}

TEST(SecondGamePlay, GameBOpensOnNoneOfGameAsScreens) {
  plat::SetGameFloatMode();
  SampleGame game;
  ASSERT_NO_FATAL_FAILURE(game.StartUnasked());
  ScreenSet& s = g_screens;
  World& w = g_world;

  // Game A: news gathered and read on the status page.
  ASSERT_TRUE(SampleGame::PlayUntil(30, [] { return LocalNewsCount() > 0; })) << "a month brings news";
  SetGameSpeed(w.gameState, 0);
  SampleGame::Pump();
  SampleGame::PressKey(plat::kVkF1 + 8);  // F9
  StatusScreen& status = s.statusScreen;
  ASSERT_NE(status.newsList, nullptr);
  ASSERT_GT(status.newsList->rowCount, 0u) << "A's news is listed";
  SampleGame::Pump();
  const plat::Rect newsAt = ControlAbsoluteRect(status.newsList);
  const std::vector<uint32_t> newsDrawn = BackBufferPixels(newsAt);

  // A stack of A's land units taken into the orders screen, whose land
  // button narrows the rows picked to the land units.
  std::vector<uint32_t> ownHexes;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    for (const UnitRecord* u : SampleGame::OwnUnitsOnMap())
      if (u->kind == 0) ownHexes.push_back(MakeHexPos(u->x, u->y));
  }
  SampleGame::ClickControl(FormFindControlByTag(s.cmdBar.currentForm, "MAP"));
  ASSERT_NE(SampleGame::ClickFirstShown(ownHexes), 0u);
  if (s.hexListA.currentForm && s.hexListA.currentForm->parent) SampleGame::ClickControl(s.hexListA.list, 0);
  OrdersScreen& orders = s.ordersScreen;
  ASSERT_EQ(s.cmdBar.id, 9) << "the orders screen shows the units picked";
  ASSERT_NE(orders.unitListBox, nullptr);
  SampleGame::ClickControl(FormFindControlById(orders.currentForm, 200));
  ASSERT_GT(orders.unitListBox->rowCount, 0u) << "A's units are listed";
  ASSERT_NE(ListNextSelected(orders.unitListBox, nullptr), nullptr) << "the land button picked rows";
  SampleGame::PressKey(plat::kVkEscape);  // the selection let go

  // A farm placed from the map screen: the build list docked, the
  // placement's panel over it.
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    DesignRow(w, w.gameState.localPlayer)[kFarm] |= 1;
  }
  SampleGame::ClickControl(FormFindControlByTag(s.cmdBar.currentForm, "MAP"));
  SampleGame::ClickControl(FormFindControlByTag(s.mapScreen.currentForm, "UPGRADEBUT"));
  ASSERT_EQ(DockHost(s, kDockLevelSecond)->firstChild, s.mapScreen.buildList.currentForm);
  SampleGame::ClickControl(FormFindControlById(s.mapScreen.buildList.currentForm, 3));
  const int row = ListRowWithId(s.mapScreen.buildList.list, kFarm + 1000);
  ASSERT_GE(row, 0) << "the industry page lists the farm";
  Control* placementPanel = s.mapScreen.facilityUpgrade.currentForm;
  const auto placing = [&] {
    SampleGame::ClickControl(s.mapScreen.buildList.list, row);
    ASSERT_EQ(g_mapPlacement.active, 1);
    ASSERT_EQ(DockHost(s, kDockLevelThird)->firstChild, placementPanel);
    ASSERT_TRUE(ShownOnScreen(placementPanel));
  };
  ASSERT_NO_FATAL_FAILURE(placing());
  const plat::Rect placementAt = ControlAbsoluteRect(placementPanel);
  const std::vector<uint32_t> placementDrawn = BackBufferPixels(placementAt);

  // The game menu ends the placement, and Return to Game does not bring
  // its panel back; nor does Stop leave the panel up.
  GameMenu& menu = s.gameMenu;
  const auto menuOpen = [&menu] { return menu.currentForm && menu.currentForm->parent; };
  SampleGame::PressKey(plat::kVkF1 + 10);  // F11, the quit question
  ASSERT_TRUE(menuOpen());
  SampleGame::ClickControl(FormFindControlByTag(menu.quitConfirm.currentForm, "CANBUT"));
  SampleGame::ClickControl(FormFindControlByTag(menu.buttons.currentForm, "RETURNBUT"));
  EXPECT_EQ(g_mapPlacement.active, 0) << "the menu ended the placement";
  EXPECT_FALSE(ShownOnScreen(placementPanel)) << "the placement's panel came back after the menu";
  ASSERT_NO_FATAL_FAILURE(placing());
  SampleGame::ClickControl(FormFindControlByTag(s.mapScreen.buildList.currentForm, "CANBUT"));
  EXPECT_EQ(g_mapPlacement.active, 0) << "Stop ends the placement";
  EXPECT_FALSE(ShownOnScreen(placementPanel)) << "Stop closes the placement's panel";
  ASSERT_NO_FATAL_FAILURE(placing());

  // Left through the menu's Quit question with the placement under way.
  SampleGame::PressKey(plat::kVkF1 + 10);
  ASSERT_TRUE(menuOpen());
  SampleGame::ClickControl(FormFindControlByTag(menu.quitConfirm.currentForm, "OKQUIT"));
  ASSERT_EQ(s.startMenu.currentForm->parent, g_ui.frontEndBackground) << "Quit shows the start menu";

  ASSERT_NO_FATAL_FAILURE(StartChannelFromStartMenu());
  EXPECT_EQ(g_mapPlacement.active, 0) << "A's placement ended with A";
  for (int32_t level : {kDockLevelMain, kDockLevelSecond, kDockLevelThird})
    EXPECT_EQ(DockHost(s, level)->firstChild, nullptr) << "dock level " << level << " holds a panel of A";
  EXPECT_EQ(s.mapScreen.facilityUpgrade.currentForm->parent, nullptr) << "A's placement panel";
  EXPECT_EQ(s.mapScreen.currentSidePanel, nullptr) << "A's side panel";
  EXPECT_EQ(status.newsList->rowCount, 0u) << "A's news rows";
  EXPECT_EQ(orders.unitListBox->rowCount, 0u) << "A's units on the orders screen";
  EXPECT_EQ(orders.edit.commonClass, OrderEditState{}.commonClass) << "the class A's rows were narrowed to";
  EXPECT_EQ(s.SelectionList().first, nullptr) << "A's selection";
  EXPECT_EQ(g_ui.savedPanelDepth, 0) << "the dock depth a pop-up of A would give back";

  // B's own map screen and status page show B: its placement panel stays
  // away, and the news rows are B's.
  // The back buffer draws none of A's placement panel or news rows there.
  SampleGame::ClickControl(FormFindControlByTag(s.cmdBar.currentForm, "MAP"));
  EXPECT_EQ(s.mapScreen.facilityUpgrade.currentForm->parent, nullptr) << "the map screen of B";
  SampleGame::Pump();
  EXPECT_NE(BackBufferPixels(placementAt), placementDrawn) << "A's placement panel is drawn in B";
  SampleGame::PressKey(plat::kVkF1 + 8);  // F9
  EXPECT_EQ(status.newsList->rowCount, LocalNewsCount()) << "B's news only";
  SampleGame::Pump();
  EXPECT_NE(BackBufferPixels(newsAt), newsDrawn) << "A's news rows are drawn in B";

  // B's orders screen, opened from the command bar, lights none of its
  // kind buttons: A's land button pick went with A's list.
  SampleGame::ClickControl(FormFindControlByTag(s.cmdBar.currentForm, "ORDERS"));
  ASSERT_EQ(s.cmdBar.id, 9) << "the orders screen is open";
  for (int32_t kind = 200; kind <= 203; ++kind)
    EXPECT_FALSE(FindControlById(orders.currentForm->firstChild, kind, 0, 1)->Selected()) << "kind button " << kind;
}

// The tutorial walked as far as its page on the departments (which opens
// the diplomacy department), left with Escape, and a new game started from
// the start menu: U shows the unit list over an empty dock, not the
// tutorial's department page under it.
TEST(SecondGamePlay, UAfterTheTutorialShowsNoneOfItsPages) {
  plat::SetGameFloatMode();
  SampleGame game;
  ASSERT_NO_FATAL_FAILURE(game.StartUnasked());
  ScreenSet& s = g_screens;
  SampleGame::PressKey(plat::kVkF1 + 10);  // F11, the quit question
  SampleGame::ClickControl(FormFindControlByTag(s.gameMenu.quitConfirm.currentForm, "OKQUIT"));
  ASSERT_EQ(s.startMenu.currentForm->parent, g_ui.frontEndBackground) << "Quit shows the start menu";

  SampleGame::ClickControl(FormFindControlByTag(s.startMenu.currentForm, "TUTORIAL"));
  SampleGame::ClickControl(FormFindControlByTag(s.briefing.currentForm, "START"));
  Control* title = FormFindControlByTag(s.tutorial.currentForm, "TITLE");
  for (int page = 0; page < 12 && title->text != "Your neighbours and your purse"; ++page)
    SampleGame::ClickControl(FormFindControlByTag(s.tutorial.currentForm, "NEXT"));
  ASSERT_EQ(title->text, "Your neighbours and your purse");
  ASSERT_TRUE(ShownOnScreen(s.diplomacyScreen.regionList)) << "the page opens the diplomacy department";
  SampleGame::PressKey(plat::kVkEscape);
  ASSERT_EQ(s.startMenu.currentForm->parent, g_ui.frontEndBackground) << "Escape leaves the tutorial";

  ASSERT_NO_FATAL_FAILURE(StartChannelFromStartMenu());
  SampleGame::PressKey('U');
  ASSERT_TRUE(ShownOnScreen(s.unitList.currentForm)) << "U shows the unit list";
  EXPECT_FALSE(ShownOnScreen(s.diplomacyScreen.regionList)) << "the tutorial's region list under the unit list";
  // What the dock's boxes hold on the screen is their bars.
  for (Control* box : g_ui.bottomBoxes) {
    Control* first = box ? box->firstChild : nullptr;
    for (Control* c = first; c; c = c->NextInRing() == first ? nullptr : c->NextInRing())
      if (ShownOnScreen(c)) {
        EXPECT_TRUE(c->owner == &s.cmdBar || c->owner == &s.dockLevel1 || c->owner == &s.dockLevel2 ||
                    c->owner == &s.dockLevel3)
            << TagOf(c) << " stands in the dock";
      }
  }
}

}  // namespace
