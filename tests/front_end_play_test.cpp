// A new user's first game, in process with posted input: the start menu,
// New game, the Channel scenario, Westholm, the briefing's start; every
// screen holds its form; the game runs two days, is saved, left and loaded
// again from the start menu's file dialog; Escape's menu saves "Probe" and
// loads it, and its graphics page confirmed unchanged three times changes
// nothing; a won game's notice opens its pop-up, whose button leaves for
// the result screen and from there the start menu, where a second new game
// starts and plays a day; the program closes with its threads joined. A
// save keeps the leader it was played with, loaded after another game and
// in a fresh program.
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "app/app_object.h"
#include "app/settings.h"
#include "shell/shell.h"
#include "net/net_session.h"
#include "net/text_message.h"
#include "platform/clock.h"
#include "platform/messages.h"
#include "platform/paths.h"
#include "platform/window.h"
#include "screens/main/bars/minimap_bar.h"
#include "screens/common/frame/map_geometry.h"
#include "screens/main/map/map_view.h"
#include "screens/screen_catalogue.h"
#include "screens/screen_set.h"
#include "sim/daily/elimination.h"
#include "sim/game_start.h"
#include "sim/game_stop.h"
#include "sim/game_threads.h"
#include "app/window_messages.h"
#include "records/player_record.h"
#include "sim/simulation_lock.h"
#include "support/private_game_root.h"
#include "support/fast_clock.h"
#include "support/global_guard.h"
#include "support/own_options_file.h"
#include "support/temp_dir.h"
#include "support/play_days.h"
#include "support/whole_program.h"
#include "ui/control.h"
#include "ui/control_focus.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/screen_manager.h"
#include "world/game_speed.h"
#include "sim/save_file.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

// Day 2,451,544 is Jan 1, 2000; 4,443 days later.
constexpr uint32_t kMar1Of2012 = 2451544 + 4443;

void Key(uint32_t key) {
  plat::PostWindowMessage(g_platform.mainWindow, plat::kWmKeyDown, key, 0);
  plat::PostWindowMessage(g_platform.mainWindow, plat::kWmKeyUp, key, 0);
  PumpWholeProgram();
}

void Type(const char* text) {
  for (const char* c = text; *c; ++c)
    plat::PostWindowMessage(g_platform.mainWindow, plat::kWmChar, static_cast<unsigned char>(*c), 0);
  PumpWholeProgram();
}

// The list row showing the text, counted from 0, or -1.
int RowIndexWithText(Control* list, const std::string& text) {
  auto* box = dynamic_cast<ListBoxControl*>(list);
  int index = 0;
  for (Control* r = ListNextRow(box, nullptr); r; r = ListNextRow(box, r), ++index)
    if (r->text == text) return index;
  return -1;
}

int RowOf(const std::vector<ScenarioEntry>& rows, const char* file) {
  for (size_t i = 0; i < rows.size(); ++i)
    if (rows[i].file == file) return static_cast<int>(i);
  return -1;
}

int RowOf(const std::vector<RegionEntry>& rows, const char* name) {
  for (size_t i = 0; i < rows.size(); ++i)
    if (rows[i].name == name) return static_cast<int>(i);
  return -1;
}

// New game from the start menu: the profile's buttons pressed, Channel,
// the region named (Westholm unless told), the briefing's leadership (the
// second unless told), start. Gives the region's number.
void StartChannelAs(int32_t& region, const char* leader = "MODE2", std::initializer_list<const char*> profile = {},
                    const char* name = "Westholm") {
  ScreenSet& s = g_screens;
  GameChoiceScreen& choice = s.gameChoice;
  ClickControl(FormFindControlByTag(s.startMenu.currentForm, "NEWGAME"), -1);
  ASSERT_NE(choice.currentForm->parent, nullptr) << "New game shows the scenario choice";
  for (const char* tag : profile) ClickControl(FormFindControlByTag(s.playerProfile->currentForm, tag), -1);
  const int channel = RowOf(choice.scenarios, "Channel");
  ASSERT_GE(channel, 0);
  ClickControl(FormFindControlByTag(choice.currentForm, "SCENLIST"), channel);
  ASSERT_EQ(choice.scenario, channel);
  const int row = RowOf(choice.regions, name);
  ASSERT_GE(row, 0) << name;
  ClickControl(FormFindControlByTag(choice.currentForm, "REGIONLIST"), row);
  region = choice.regions[static_cast<size_t>(row)].player;
  ASSERT_EQ(choice.region, region);
  ClickControl(FormFindControlByTag(choice.currentForm, "START"), -1);
  ClickControl(FormFindControlByTag(s.briefing.currentForm, leader), -1);
  ClickControl(FormFindControlByTag(s.briefing.currentForm, "START"), -1);
}

// The local region's capital lies in the hexes the map shows.
bool ViewShowsCapital() {
  const CapitalPosition at = CapitalHex(g_world.players[g_world.gameState.localPlayer].simPolicy);
  const MapView& v = g_mapView;
  return !(at == CapitalPosition{}) && at.x >= v.firstColumn && at.x < v.endColumn && at.y >= v.firstRow &&
         at.y < v.endRow;
}

// Where the minimap stands in its frame.
// A started or loaded game lays its side bar and minimap out on the frame
// that first draws its map; a busy machine may skip the first idle frame's
// drawing.
void PumpUntilLaidOut() {
  PumpWholeProgram();
  for (int i = 0; i < 50 && g_mapView.layoutPending; ++i) PumpWholeProgram();
}

std::pair<int, int> MinimapPlace() {
  const Control* m = MinimapControl();
  return m ? std::pair(m->rect.left, m->rect.right) : std::pair(-1, -1);
}

// Runs the game at speed 4 until the days have passed (two minutes at most).
void PlayDays(uint32_t days) {
  EXPECT_TRUE(PlayUntilDay(g_world.gameState.currentDay + days)) << days << " days pass";
}

TEST(FrontEndPlay, NewGameOnChannelAsWestholmRunsTwoDaysThenLoadsItsSave) {
  // The pointer rests over the middle of the screen, away from the edges
  // that scroll the map.
  const GlobalGuard<InputPoll> pointer(g_uiInput.poll, [] { return PolledInput{.x = 400, .y = 300}; });
  FastClock clock;
  plat::SetClockSource(&clock);
  const std::string oldRoot = plat::DataRoot();
  plat::SetDataRoot(PrivateGameRoot());
  PrepareWholeProgram();
  const OwnOptionsFile options("FrontEndPlay");
  ASSERT_EQ(InitApplication(g_app), 0);
  // A failed step still lets the program end: the game's threads stop.
  struct StopsTheGame {
    std::string root;
    ~StopsTheGame() {
      if (GameThreadsRunning()) StopGameSession(&g_ui);
      plat::SetDataRoot(root);
      plat::SetClockSource(nullptr);
    }
  } stopsTheGame{oldRoot};
  RunStartupFrameSkippingSplash(clock);
  ASSERT_EQ(g_ui.mode, kUiFrontEnd);

  ScreenSet& s = g_screens;
  // Each step: the screen whose form is up, the control pressed, and the
  // row of a list (-1 for a button).
  struct Step {
    Screen* screen;
    const char* tag;
    int row;
  };
  int32_t region = -1;
  ASSERT_NO_FATAL_FAILURE(StartChannelAs(region));

  EXPECT_EQ(g_ui.mode, kUiInGame);
  EXPECT_EQ(g_platform.appMode, kModeGame);
  EXPECT_EQ(g_ui.rootForm, g_ui.rootPanel);
  EXPECT_EQ(g_world.gameState.localPlayer, region);
  EXPECT_EQ(g_world.players[region].kind, kKindHuman);
  EXPECT_EQ(g_world.players[region].govtype, 2) << "the briefing's second leadership button";
  EXPECT_EQ(g_world.gameState.endDay, kMar1Of2012) << "the scenario's victory date, not a game length";
  ASSERT_TRUE(GameThreadsRunning());
  // Every screen of the set holds the form it names: a form that cannot load
  // leaves its screen without one, and nothing says so.
  int32_t setScreens = 0, loaded = 0;
  for (const Screen* x = &s.popupFrames; x; x = x->nextScreen, ++setScreens) {
    if (x->formName) {
      EXPECT_NE(x->form, nullptr) << x->formName << " did not load";
    }
    loaded += x->form != nullptr;
  }
  EXPECT_EQ(setScreens, kCatalogueScreens);
  EXPECT_EQ(loaded, kCatalogueScreens - 2);  // all but the two form-less screens
  PumpUntilLaidOut();
  EXPECT_TRUE(ViewShowsCapital()) << "a new game";
  EXPECT_EQ(g_mapView.zoom, kOpeningZoom) << "the map opens where a unit's symbol fits its hex";
  const auto freshMinimap = MinimapPlace();

  PlayDays(2);

  // Saved, left for the menus, and loaded again through the file dialog.
  const std::string saved = "FrontEndProbe";
  ASSERT_EQ(SaveGame(g_world, saved), plat::kOk);
  QueueTextMessage2(g_netSession, "Offer sent to %s.", "Eastmark");
  SwitchGameScreen(&g_ui, false);
  PumpWholeProgram();
  EXPECT_TRUE(QueuedTextLines(g_textLines).empty()) << "the game's chat and notices go with it";
  ASSERT_EQ(s.startMenu.currentForm->parent, g_ui.frontEndBackground) << "leaving shows the start menu";
  // A file of 64 GB that holds nothing (sparse: no disk is used) among the
  // saves lists by its name alone: the list reads only each save's header.
  const std::string huge = "FrontEndHuge";
  const auto hugePath = plat::ResolveGamePath(SaveGamePath(huge), true);
  ASSERT_TRUE(hugePath.has_value());
  std::ofstream{*hugePath};
  std::filesystem::resize_file(*hugePath, uint64_t{64} << 30);
  ClickControl(FormFindControlByTag(s.startMenu.currentForm, "LOADGAME"), -1);
  std::filesystem::remove(*hugePath);
  const auto& files = s.gameFile.files;
  EXPECT_NE(std::find(files.begin(), files.end(), huge), files.end());
  const auto at = std::find(files.begin(), files.end(), saved);
  ASSERT_NE(at, files.end());
  // Its row tells the scenario it was saved from, as the new game's list
  // names it.
  const std::string channelTitle = s.gameChoice.scenarios[static_cast<size_t>(RowOf(s.gameChoice.scenarios, "Channel"))].title;
  Control* fileList = FormFindControlByTag(s.gameFile.currentForm, "FILELIST");
  EXPECT_EQ(RowIndexWithText(fileList, saved), -1) << "not the name alone";
  bool told = false;
  for (Control* r = ListNextRow(dynamic_cast<ListBoxControl*>(fileList), nullptr); r;
       r = ListNextRow(dynamic_cast<ListBoxControl*>(fileList), r))
    told |= r->text.starts_with(saved + " - " + channelTitle + ", ");
  EXPECT_TRUE(told) << "the start menu's load list names the save's scenario";
  const Step kLoad[] = {{&s.gameFile, "FILELIST", static_cast<int>(at - files.begin())},
                        {&s.gameFile, "OKBUT", -1},
                        {&s.briefing, "START", -1}};
  for (const Step& step : kLoad) ClickControl(FormFindControlByTag(step.screen->currentForm, step.tag), step.row);
  if (const auto path = plat::ResolveGamePath(SaveGamePath(saved))) std::filesystem::remove(*path);
  EXPECT_EQ(g_ui.mode, kUiInGame);
  EXPECT_TRUE(g_world.scenario.head.gameFlags & kGameFlagFromSave);
  EXPECT_EQ(g_world.gameState.localPlayer, region);
  EXPECT_TRUE(GameThreadsRunning());
  PumpUntilLaidOut();
  EXPECT_TRUE(ViewShowsCapital()) << "a game loaded from the start menu";
  EXPECT_EQ(MinimapPlace(), freshMinimap) << "the minimap stands as in a new game";
  // Away from the capital before the next load.
  g_mapView.panX = g_mapView.panY = 0;
  ClampMapPan(g_mapView);

  // Escape's menu: its save page, a typed name, then its load page.
  const std::string probe = "Probe";
  if (const auto path = plat::ResolveGamePath(SaveGamePath(probe))) std::filesystem::remove(*path);
  GameMenu& menu = s.gameMenu;
  // The page shown last stays named after the menu closes: whether the
  // menu is up is whether its form is.
  const auto menuOpen = [&menu] { return menu.currentForm && menu.currentForm->parent; };
  ASSERT_FALSE(menuOpen());
  // Escape first closes whatever pop-up the game's news opened.
  for (int press = 0; press < 3 && !menuOpen(); ++press) Key(plat::kVkEscape);
  ASSERT_TRUE(menuOpen());
  ASSERT_STREQ(menu.shownPage, "GAME_SS1");
  EXPECT_EQ(g_world.gameState.gameSpeed, 0) << "the menu pauses";
  // A name the game was saved under before: the field offers it selected,
  // and typing replaces it.
  const std::string oldName = "Earlier";
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    RecordSave(g_world.gameState, oldName);
  }
  ClickControl(FormFindControlByTag(menu.buttons.currentForm, "SAVEBUT"), -1);
  ASSERT_STREQ(menu.shownPage, "GAME_SS3");
  EXPECT_EQ(menu.saveDialog.Name(), oldName);
  ClickControl(FormFindControlByTag(menu.saveDialog.currentForm, "FILENAME"), -1);
  Type(probe.c_str());
  EXPECT_EQ(menu.saveDialog.Name(), probe) << "typed over " << oldName;
  // Return in the field saves as the Save button does.
  plat::PostWindowMessage(g_platform.mainWindow, plat::kWmKeyDown, plat::kVkReturn, 0);
  plat::PostWindowMessage(g_platform.mainWindow, plat::kWmChar, plat::kVkReturn, 0);
  plat::PostWindowMessage(g_platform.mainWindow, plat::kWmKeyUp, plat::kVkReturn, 0);
  PumpWholeProgram();
  ASSERT_STREQ(menu.shownPage, "GAME_SS3a") << "saved from the buttons: the quit-now question";
  EXPECT_TRUE(plat::GameFileExists(SaveGamePath(probe)));
  ClickControl(FormFindControlByTag(menu.quitNow.currentForm, "RETURNBUT"), -1);
  EXPECT_FALSE(menuOpen());
  for (int press = 0; press < 3 && !menuOpen(); ++press) Key(plat::kVkEscape);
  ClickControl(FormFindControlByTag(menu.buttons.currentForm, "LOADBUT"), -1);
  ASSERT_STREQ(menu.shownPage, "GAME_SS4");
  Control* loadList = FormFindControlByTag(menu.loadDialog.currentForm, "LISTLOAD");
  // The game paused at the date the title bar shows, which its row gives.
  const std::string probeRow =
      probe + " - " + channelTitle + ", " + FormFindControlByTag(s.titleBar->currentForm, "DATE")->text;
  ASSERT_GE(RowIndexWithText(loadList, probeRow), 0) << probeRow;
  ClickControl(loadList, RowIndexWithText(loadList, probeRow));
  ClickControl(FormFindControlByTag(menu.loadDialog.currentForm, "OKLOAD"), -1);
  // The briefing of the loaded game shows the leadership it was played
  // with, lit, and offers none of the others.
  for (const char* mode : {"MODE1", "MODE2", "MODE3", "MODE4"}) {
    const Control* button = FormFindControlByTag(s.briefing.currentForm, mode);
    const bool chosen = std::string(mode) == "MODE2";
    EXPECT_EQ(button->Hidden(), !chosen) << mode;
    EXPECT_EQ(button->Selected(), chosen) << mode;
  }
  ClickControl(FormFindControlByTag(s.briefing.currentForm, "MODE2"), -1);
  ClickControl(FormFindControlByTag(s.briefing.currentForm, "START"), -1);
  EXPECT_EQ(g_world.players[region].govtype, 2) << "the loaded game's leadership";
  if (const auto path = plat::ResolveGamePath(SaveGamePath(probe))) std::filesystem::remove(*path);
  EXPECT_EQ(g_ui.mode, kUiInGame);
  EXPECT_STREQ(g_world.gameState.saveName, "Probe") << "the loaded game is the one saved";
  EXPECT_TRUE(GameThreadsRunning());
  PumpUntilLaidOut();
  EXPECT_TRUE(ViewShowsCapital()) << "a game loaded from the in-game menu";
  EXPECT_EQ(MinimapPlace(), freshMinimap) << "the minimap stands as in a new game";

  // Shift+C goes to the region's own hex in the loaded game before any day
  // has passed in it.
  g_mapView.panX = g_mapView.panY = 0;
  ClampMapPan(g_mapView);
  ASSERT_FALSE(ViewShowsCapital());
  plat::PostWindowMessage(g_platform.mainWindow, plat::kWmKeyDown, 'C', plat::kKeyModifiersCarried | plat::kKeyShiftHeld);
  plat::PostWindowMessage(g_platform.mainWindow, plat::kWmKeyUp, 'C', plat::kKeyModifiersCarried | plat::kKeyShiftHeld);
  PumpWholeProgram();
  EXPECT_TRUE(ViewShowsCapital()) << "Shift+C after a load";
  const CapitalPosition capital = CapitalHex(g_world.players[region].simPolicy);
  EXPECT_EQ(g_world.gameState.currentHex.x, capital.x);
  EXPECT_EQ(g_world.gameState.currentHex.y, capital.y);

  // Escape, Graphics, OK, back to the game, three times, with the clock
  // raised two steps by Page Down each time: each return leaves it
  // stopped. The options file stays as it was. The page's machine settings
  // go to the test's file.
  const std::string optionsFile = std::string("INI\\") + g_app.optionsFile + ".INI";
  ASSERT_EQ(SaveUIOptions(g_uiOptions, g_app.optionsFile), 0);
  const auto optionsBefore = plat::ReadFileBytes(optionsFile);
  const TempDir settingsDir;
  SetSettingsFilePath(settingsDir.path() + "/settings.ini");
  for (int round = 0; round < 3; ++round) {
    Key(plat::kVkNext);
    Key(plat::kVkNext);
    EXPECT_EQ(g_world.gameState.gameSpeed, GameSpeedOfTier(2));
    for (int press = 0; press < 3 && !menuOpen(); ++press) Key(plat::kVkEscape);
    ClickControl(FormFindControlByTag(menu.buttons.currentForm, "GRAPHICBUT"), -1);
    ClickControl(FormFindControlByTag(s.optionPages.graphics.currentForm, "OKGRAPHIC"), -1);
    EXPECT_EQ(g_world.gameState.gameSpeed, 0) << "the menu pauses";
    ClickControl(FormFindControlByTag(menu.buttons.currentForm, "RETURNBUT"), -1);
    PumpWholeProgram();
    EXPECT_EQ(g_world.gameState.gameSpeed, 0) << "Return to Game, round " << round;
  }
  SetSettingsFilePath("");
  EXPECT_EQ(plat::ReadFileBytes(optionsFile), optionsBefore);

  // The clock has run into a turn, whose start forgets the last turn's best
  // settlement until its day ends: then Shift+C has no hex to go to and
  // leaves the view where it is.
  const auto bestHexForgotten = [] {
    plat::CriticalSectionLock lock(g_simulationLock);
    const PlayerRecord* local = g_world.localPlayerRecord;
    return local && local->turnBestHex[0] == 0 && local->turnBestHex[1] == 0;
  };
  const auto waitUntil = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!bestHexForgotten() && std::chrono::steady_clock::now() < waitUntil) PumpWholeProgram();
  ASSERT_TRUE(bestHexForgotten()) << "the turn under way has found no best settlement yet";
  g_mapView.panX = g_mapView.panY = 0;
  ClampMapPan(g_mapView);
  ASSERT_FALSE(ViewShowsCapital());
  const HexPosition selected = g_world.gameState.currentHex;
  plat::PostWindowMessage(g_platform.mainWindow, plat::kWmKeyDown, 'C', plat::kKeyModifiersCarried | plat::kKeyShiftHeld);
  plat::PostWindowMessage(g_platform.mainWindow, plat::kWmKeyUp, 'C', plat::kKeyModifiersCarried | plat::kKeyShiftHeld);
  PumpWholeProgram();
  EXPECT_FALSE(ViewShowsCapital()) << "Shift+C with no best settlement";
  EXPECT_EQ(g_world.gameState.currentHex.x, selected.x);
  EXPECT_EQ(g_world.gameState.currentHex.y, selected.y);

  // The game is won: its pop-up, the result screen, the start menu.
  SetGameSpeed(g_world.gameState, 2);
  plat::PostWindowMessage(g_platform.mainWindow, kWmTurnEvent, kTurnCodeGameWon, 0);
  PumpWholeProgram();
  ASSERT_NE(s.endGamePreview->currentForm->parent, nullptr) << "a won game shows its pop-up";
  EXPECT_EQ(g_world.gameState.gameSpeed, 0) << "the pop-up pauses";
  ClickControl(FormFindControlByTag(s.endGamePreview->currentForm, "MENUBUT"), -1);
  EXPECT_FALSE(GameThreadsRunning()) << "the game is left";
  ASSERT_NE(s.victory.currentForm->parent, nullptr) << "the result screen shows";
  ClickControl(FormFindControlByTag(s.victory.continuation.currentForm, "MENU"), -1);
  ASSERT_EQ(s.startMenu.currentForm->parent, g_ui.frontEndBackground) << "MENU returns to the start menu";

  // A second game from the same start menu plays as the first did, from
  // the scenario's own first day.
  int32_t secondRegion = -1;
  ASSERT_NO_FATAL_FAILURE(StartChannelAs(secondRegion));
  EXPECT_EQ(secondRegion, region);
  EXPECT_EQ(g_ui.mode, kUiInGame);
  EXPECT_EQ(g_world.gameState.localPlayer, region);
  EXPECT_FALSE(g_world.scenario.head.gameFlags & kGameFlagFromSave) << "a new game, not the loaded one";
  ASSERT_TRUE(GameThreadsRunning());
  PlayDays(1);

  plat::PostWindowMessage(g_platform.mainWindow, plat::kWmClose, 0, 0);
  EXPECT_EQ(RunMessageLoop(), 0);
  ShutdownApplication(g_app);
  EXPECT_FALSE(GameThreadsRunning()) << "the game's threads are joined";
}

// The game's folders seen from a folder of the test's own, with a save
// folder of its own.
void MakeOwnDataRoot(const std::string& root) {
  LinkGameFolder(root);
  std::filesystem::remove_all(std::filesystem::path(root) / "Savegame");
  std::filesystem::create_directory(std::filesystem::path(root) / "Savegame");
}

// The program started in process on the data root, at its start menu;
// closed with its game stopped at the end.
class ProgramAt {
 public:
  explicit ProgramAt(const std::string& root) {
    plat::SetClockSource(&clock_);
    plat::SetDataRoot(root);
    PrepareWholeProgram();
    started_ = InitApplication(g_app) == 0;
    if (started_) RunStartupFrameSkippingSplash(clock_);
  }
  ~ProgramAt() {
    if (GameThreadsRunning()) StopGameSession(&g_ui);
    if (started_) ShutdownApplication(g_app);
    plat::SetDataRoot(oldRoot_);
    plat::SetClockSource(nullptr);
  }
  bool AtStartMenu() const { return started_ && g_ui.mode == kUiFrontEnd; }

 private:
  const GlobalGuard<InputPoll> pointer_{g_uiInput.poll, [] { return PolledInput{.x = 400, .y = 300}; }};
  FastClock clock_;
  const std::string oldRoot_ = plat::DataRoot();
  bool started_ = false;
};

std::string LeaderText(const PlayerRecord& r) {
  return "leader " + std::to_string(r.govtype) + " portrait " + std::to_string(r.avatar) + " leaning " +
         std::to_string(r.politic) + " party " + std::to_string(r.rulingParty) + " bands " +
         std::to_string(r.bandPicks[0]) + std::to_string(r.bandPicks[1]) + std::to_string(r.bandPicks[2]);
}

// Who plays which region: the local player word and every record's kind.
std::string KindsText(const World& w) {
  std::string text = "local " + std::to_string(w.gameState.localPlayer) + " kinds";
  for (const PlayerRecord& r : w.players) text += " " + std::to_string(r.kind);
  return text;
}

// The local region's leader, who plays which region, and the region the
// title bar names, once the game has drawn a frame.
std::string PlayedText() {
  PumpUntilLaidOut();
  plat::CriticalSectionLock lock(g_simulationLock);
  return LeaderText(g_world.players[g_world.gameState.localPlayer]) + "; " + KindsText(g_world) + "; titled " +
         FormFindControlByTag(g_screens.titleBar->currentForm, "COUNTRY")->text;
}

// The save loaded from the start menu's file dialog and started from its
// briefing: the leader buttons the briefing shows, then the game as Start
// leaves it.
std::string LoadFromStartMenu(const std::string& name) {
  ScreenSet& s = g_screens;
  ClickControl(FormFindControlByTag(s.startMenu.currentForm, "LOADGAME"), -1);
  const auto& files = s.gameFile.files;
  const auto at = std::find(files.begin(), files.end(), name);
  if (at == files.end()) return "no save " + name;
  ClickControl(FormFindControlByTag(s.gameFile.currentForm, "FILELIST"), static_cast<int>(at - files.begin()));
  ClickControl(FormFindControlByTag(s.gameFile.currentForm, "OKBUT"), -1);
  std::string shown;
  for (const char* mode : {"MODE1", "MODE2", "MODE3", "MODE4"}) {
    const Control* button = FormFindControlByTag(s.briefing.currentForm, mode);
    if (!button->Hidden()) shown += std::string(mode) + (button->Selected() ? " lit; " : " unlit; ");
  }
  ClickControl(FormFindControlByTag(s.briefing.currentForm, "START"), -1);
  return shown + PlayedText();
}

constexpr const char* kFreshHalf = "FrontEndPlay.DISABLED_AFreshProgramLoadsTheLeaderSaved";

// A save keeps its leader and its region: played as Westholm's third leader
// with a portrait and leaning of the player's own, saved, then loaded after
// a game as Eastmark's second, in the same program, where a save made then
// holds what the first did, and in a fresh one (this test program run anew
// for the half below, which writes what it saw into the data root).
TEST(FrontEndPlay, ASaveKeepsItsLeaderAfterAnotherGameAndInAFreshProgram) {
  const TempDir root;
  MakeOwnDataRoot(root.path());
  std::string saved;
  {
    const ProgramAt program(root.path());
    ASSERT_TRUE(program.AtStartMenu());
    int32_t region = -1, other = -1;
    ASSERT_NO_FATAL_FAILURE(StartChannelAs(region, "MODE3", {"PORTNEXT", "PORTNEXT", "RIGHT"}));
    const PlayerRecord& record = g_world.players[region];
    saved = PlayedText();
    ASSERT_TRUE(record.govtype == 3 && record.avatar != 0 && record.politic == 60) << saved;
    ASSERT_NE(saved.find("titled Westholm"), std::string::npos) << saved;
    ASSERT_EQ(SaveGame(g_world, "Leader"), plat::kOk);
    const auto savedKinds = std::make_unique<World>();
    ASSERT_EQ(ReadSavGamePart(nullptr, *savedKinds, "Leader"), plat::kOk);
    SwitchGameScreen(&g_ui, false);
    PumpWholeProgram();
    ASSERT_NO_FATAL_FAILURE(StartChannelAs(other, "MODE2", {"PORTPREV", "LEFT"}, "Eastmark"));
    ASSERT_NE(other, region);
    ASSERT_TRUE(g_world.players[other].govtype == 2 && g_world.players[other].politic == -60)
        << LeaderText(g_world.players[other]);
    SwitchGameScreen(&g_ui, false);
    PumpWholeProgram();
    EXPECT_EQ(LoadFromStartMenu("Leader"), "MODE3 lit; " + saved) << "after another game";
    // Saved again from the menu, it holds the regions as the first save did.
    GameMenu& menu = g_screens.gameMenu;
    for (int press = 0; press < 3 && !(menu.currentForm && menu.currentForm->parent); ++press) Key(plat::kVkEscape);
    ClickControl(FormFindControlByTag(menu.buttons.currentForm, "SAVEBUT"), -1);
    ClickControl(FormFindControlByTag(menu.saveDialog.currentForm, "FILENAME"), -1);
    Type("Again");
    ClickControl(FormFindControlByTag(menu.saveDialog.currentForm, "OKSAVE"), -1);
    const auto again = std::make_unique<World>();
    ASSERT_EQ(ReadSavGamePart(nullptr, *again, "Again"), plat::kOk);
    EXPECT_EQ(KindsText(*again), KindsText(*savedKinds));
  }
  // The parent's shard and report settings are not the fresh program's.
  std::vector<std::string> env{"VD_LEADER_ROOT=" + root.path()};
  for (char** e = environ; *e; ++e)
    if (!std::string_view(*e).starts_with("GTEST_")) env.emplace_back(*e);
  std::vector<char*> envp;
  for (std::string& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  const std::string exe = std::filesystem::read_symlink("/proc/self/exe").string();
  std::string filter = std::string("--gtest_filter=") + kFreshHalf, disabled = "--gtest_also_run_disabled_tests";
  char* argv[] = {const_cast<char*>(exe.c_str()), filter.data(), disabled.data(), nullptr};
  pid_t pid = -1;
  int status = -1;
  ASSERT_EQ(posix_spawn(&pid, exe.c_str(), nullptr, nullptr, argv, envp.data()), 0);
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
  EXPECT_EQ(FileText(root.path() + "/fresh.txt"), "MODE3 lit; " + saved) << "in a fresh program";
}

TEST(FrontEndPlay, DISABLED_AFreshProgramLoadsTheLeaderSaved) {
  const char* root = std::getenv("VD_LEADER_ROOT");
  ASSERT_NE(root, nullptr) << "run by the test above";
  std::string shown;
  {
    const ProgramAt program(root);
    ASSERT_TRUE(program.AtStartMenu());
    shown = LoadFromStartMenu("Leader");
  }
  std::ofstream(std::string(root) + "/fresh.txt") << shown;
}

}  // namespace
