// The in-game menu and the end-of-game screens on their shipped forms: the
// game routines they call are replaced by recorders, so each row sees which
// steps ran, in which order, and which page or control shows.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/app_object.h"
#include "net/net_session.h"
#include "platform/paths.h"
#include "screens/common/region_flag.h"
#include "screens/frontend/front_end_flow.h"
#include "screens/screen_set.h"
#include "support/private_game_root.h"
#include "support/global_guard.h"
#include "sim/command_log.h"
#include "sim/policy_block_fields.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "world/region_figures.h"
#include "world/text/scenario_text.h"
#include "world/text/text_lists.h"
#include "world/world.h"

namespace {

std::string g_steps;
bool g_exists = false, g_readable = true, g_loads = true, g_saves = true;

void Step(const std::string& s) { g_steps += s + " "; }

class GameFlowScreens : public ::testing::Test {
 protected:
  void SetUp() override {
    oldRoot_ = plat::DataRoot();
    std::memcpy(oldHaps_, g_app.hapsDirectory, sizeof oldHaps_);
    plat::SetDataRoot(PrivateGameRoot());
    std::strcpy(g_app.hapsDirectory, "HAPS\\");
    LoadScreenListForms(g_screens);
    menuActions_ = g_gameMenuActions;
    endActions_ = g_endGameActions;
    g_gameMenuActions = {[] { Step("pause"); },
                         [] { Step("stop"); },
                         [] { Step("release"); },
                         [] { Step("options"); },
                         [](const std::string& n) { return Step("load:" + n), g_loads; },
                         [] { Step("start"); },
                         [](bool v) { Step(v ? "victory" : "frontend"); },
                         [](const std::string& n, std::string& why) {
                           if (!g_saves) why = "game part: region 1: its treasury of 2e+18, outside -1e+18 to 1e+18";
                           return Step("save:" + n), g_saves;
                         },
                         [](const std::string&) { return g_readable; },
                         [](const std::string&) { return g_exists; }};
    g_endGameActions = {[] { Step("pause"); }, [](int32_t n) { Step("sound" + std::to_string(n)); },
                        [](bool v) { Step(v ? "victory" : "frontend"); }, g_endGameActions.postCoup,
                        [] { Step("go"); }};
    g_steps.clear();
  }
  void TearDown() override {
    g_gameMenuActions = menuActions_;
    g_endGameActions = endActions_;
    // Fresh forms, bound: a screen whose form went away would still hold
    // on to its controls, and a whole program started later in the process
    // loads the forms only once.
    LoadScreenListForms(g_screens);
    std::memcpy(g_app.hapsDirectory, oldHaps_, sizeof oldHaps_);
    plat::SetDataRoot(oldRoot_);
  }
  static Control* Tag(Screen& s, const char* tag) { return FormFindControlByTag(s.form, tag); }
  static bool Visible(Screen& s, const char* tag) {
    const Control* c = Tag(s, tag);
    return c && !c->Hidden();
  }

  // The menus open as modal pop-ups and their loads put the dock away; the
  // actions above stand in for the game stop that would set both back, so
  // the fixture does it, or the next game in the process takes no click.
  GlobalGuard<int32_t> modal_{g_ui.modal};
  GlobalGuard<int32_t> uiLock_{g_ui.uiLock};
  GlobalGuard<int32_t> keepPopups_{g_ui.keepPopups};
  GlobalGuard<int32_t> sidePopup_{g_ui.sidePopupOpen};
  GlobalGuard<int32_t> depth_{g_ui.panelDepth};
  GlobalGuard<int32_t> savedDepth_{g_ui.savedPanelDepth};
  std::string oldRoot_;
  char oldHaps_[sizeof g_app.hapsDirectory] = {};
  GameMenuActions menuActions_;
  EndGameActions endActions_;
};

TEST_F(GameFlowScreens, SaveDialogAsksOnlyForATypedExistingNameAndStoresTheName) {
  GameMenu& menu = g_screens.gameMenu;
  SaveGameDialog& dialog = menu.saveDialog;
  const std::string forty(40, 'N');
  // Each row opens the dialog on a page, names a file (typed or picked from
  // the list) and presses OKSAVE.
  const struct {
    int32_t page;
    std::string name;
    bool picked, exists;
    bool okShown, asks;
    std::string steps;
    const char* pageAfter;
  } rows[] = {
      {0, "Probe", false, true, true, true, "", "GAME_SS3"},               // typed, on disk: the question
      {0, "Probe", true, true, true, false, "save:Probe ", "GAME_SS3a"},   // picked: at once, then quit-now
      {3, "Probe", false, false, true, false, "save:Probe ", nullptr},     // new file from page 3: menu closes
      {0, forty, false, false, true, false, "save:" + forty + " ", "GAME_SS3a"},  // the full name is written
      {0, "..\\x", false, true, false, false, "", "GAME_SS3"},            // a path is no name
  };
  for (const auto& row : rows) {
    menu.id = row.page;
    g_world.gameState.saveCounter = 7;
    g_exists = row.exists;
    menu.ShowPage(kGameMenuSavePage);
    auto* list = static_cast<ListBoxControl*>(Tag(dialog, "LISTSAVE"));
    ASSERT_NE(list, nullptr);
    ListClear(list, 1);
    ListAddString(list, row.name.c_str(), 1, 1, 0, 0, 0);
    if (row.picked) {
      ListSetSelection(0, list, 1, 0);
      dialog.OnControlChange(list, 1);
    } else {
      dialog.SetName(row.name);
      dialog.OnControlChange(Tag(dialog, "FILENAME"), 0);
    }
    EXPECT_EQ(Visible(dialog, "OKSAVE"), row.okShown) << row.name;
    g_steps.clear();
    dialog.OnCommand(Tag(dialog, "OKSAVE"), 0);
    EXPECT_EQ(g_steps, row.steps) << row.name;
    EXPECT_EQ(Visible(dialog, "SAVEHIDE"), row.asks) << row.name;
    EXPECT_STREQ(menu.shownPage, row.pageAfter) << row.name;
    if (!row.steps.empty()) {
      EXPECT_EQ(g_world.gameState.saveCounter, 8u);
      EXPECT_EQ(std::string(g_world.gameState.saveName), row.name.substr(0, 31));
      EXPECT_EQ(g_world.gameState.saveName[31], '\0');
    }
  }
  // Answering yes saves; a failed write keeps the dialog open and says so.
  menu.id = 0;
  g_exists = true;
  g_saves = false;
  menu.ShowPage(kGameMenuSavePage);
  dialog.SetName("Probe");
  dialog.OnCommand(Tag(dialog, "OKSAVE"), 0);
  g_steps.clear();
  dialog.OnCommand(Tag(dialog, "SAVEYES"), 0);
  EXPECT_EQ(g_steps, "save:Probe ");
  EXPECT_TRUE(Visible(dialog, "ERRORLINE"));
  // The player is told which figure kept the game from being saved.
  EXPECT_NE(std::string(Tag(dialog, "ERRORLINE")->text).find("its treasury of 2e+18"), std::string::npos)
      << Tag(dialog, "ERRORLINE")->text;
  EXPECT_STREQ(menu.shownPage, "GAME_SS3");
  g_saves = true;
  std::memset(g_world.gameState.saveName, 0, sizeof g_world.gameState.saveName);
  g_world.gameState.saveCounter = 0;
}

TEST_F(GameFlowScreens, MenuPagesAndTheLoadSequence) {
  GameMenu& menu = g_screens.gameMenu;
  const struct {
    int32_t page;
    const char* shown;
  } pages[] = {{-1, "GAME_SS1"}, {0, "GAME_SS1"}, {1, "GAME_SS1"}, {2, "GAME_SS1"}, {10, "GAME_SS1"},
               {3, "GAME_SS3"},  {4, "GAME_SS4"}, {9, "GAME_SS02"}};
  for (const auto& p : pages) {
    menu.id = p.page;
    menu.OnOpen();
    EXPECT_STREQ(menu.shownPage, p.shown) << p.page;
  }
  const std::string longName(40, 'L');
  const struct {
    std::string row;
    bool readable, loads;
    std::string steps;
  } loads[] = {
      {"", true, true, ""},                  // no row: the menu closes, the game stays paused
      {"Gone", false, true, ""},             // deleted after listing: the game stays
      {longName, true, true, "pause stop release options load:" + longName + " start "},
      {"Bad", true, false, "pause stop release options load:Bad frontend "},
  };
  for (const auto& l : loads) {
    g_readable = l.readable;
    g_loads = l.loads;
    g_steps.clear();
    menu.loadDialog.Load(l.row);
    EXPECT_EQ(g_steps, l.steps) << l.row;
    EXPECT_EQ(menu.shownPage, nullptr);
  }
  EXPECT_EQ(std::string(g_world.campaignMessage.name), "Bad");
  g_readable = g_loads = true;
  g_world.campaignMessage = GameParamsBlock{};
}

TEST_F(GameFlowScreens, EndOfGameCodesOpenTheirPopupsPausedWithTheirSound) {
  const struct {
    uint32_t code, endReason;
    bool networked;
    const char* form;
    const char* steps;
  } rows[] = {
      {98, 97, false, "ENDGAME_ELDEFEAT", "pause sound14 "},
      {98, 97, true, "ENDGAME_ELDEFEAT", "pause sound14 "},
      {98, 3, false, "ENDGAME_PREVIEW2", "pause sound14 "},
      {98, 3, true, "ENDGAME_MPLAYER", "pause sound14 "},
      {99, 0, false, "ENDGAME_PREVIEW", "pause sound15 "},
      {97, 0, false, "ENDGAME_ELDEFEAT", "pause sound14 "},
  };
  for (const auto& r : rows) {
    Screen* screen = EndGamePopupFor(r.code, r.endReason, r.networked);
    ASSERT_NE(screen, nullptr) << r.code;
    EXPECT_STREQ(screen->formName, r.form) << r.code << "/" << r.endReason;
    g_steps.clear();
    screen->OnOpen();
    EXPECT_EQ(g_steps, r.steps) << r.form;
  }
  EXPECT_EQ(EndGamePopupFor(2, 0, false), nullptr);
  // PREVIEW's button leaves for the result screen, which offers only MENU
  // when no scenario follows.
  g_steps.clear();
  g_screens.endGamePreview->OnCommand(Tag(*g_screens.endGamePreview, "MENUBUT"), 0);
  EXPECT_EQ(g_steps, "victory ");
  VictoryContinue& next = g_screens.victory.continuation;
  next.OnOpen();
  next.Refresh();
  for (const char* tag : {"HIDEBOXAS", "HIDEBOX", "SAVE", "OK"}) EXPECT_FALSE(Visible(next, tag)) << tag;
  EXPECT_TRUE(Visible(next, "MENU"));
}

TEST_F(GameFlowScreens, ACoupKeepsTheGameAndResigningEndsIt) {
  const bool madeLocks = !WorldLocksExist(g_world);
  if (madeLocks) WorldInitLocks(g_world);
  g_world.gameState.localPlayer = 1;
  // A region of its own, not one a game earlier in the process left.
  GlobalGuard<PlayerRecord> fresh(g_world.players[1], PlayerRecord{});
  PlayerRecord& local = g_world.players[1];
  local.kind = kKindHuman;
  local.approval = 1.0f;
  local.secondRating = 0.5f;
  g_world.scenario.head.difficulty = 2;
  Screen& defeat = *g_screens.electionDefeat;
  defeat.OnOpen();
  EXPECT_FALSE(Visible(defeat, "COUP"));
  g_world.scenario.head.difficulty = 1;
  defeat.OnOpen();
  EXPECT_TRUE(Visible(defeat, "COUP"));
  // At difficulty 2 one percent of coup support (the form-4 margin) is enough.
  g_world.scenario.head.difficulty = 2;
  reinterpret_cast<uint8_t*>(&local)[kRegionGovtypeApproveAt + 3] = 1;
  local.bandPicks[0] = 2;
  defeat.OnOpen();
  EXPECT_TRUE(Visible(defeat, "COUP"));
  EXPECT_STREQ(FormFindControlById(defeat.form, 11)->text.c_str(), TextListText(kListPolpartyleft, 2));
  g_commandLog.Clear();
  g_steps.clear();
  defeat.OnCommand(Tag(defeat, "COUP"), 0);
  ASSERT_EQ(g_commandLog.Entries().size(), 1u);
  EXPECT_EQ(g_commandLog.Entries()[0].id, 80u);
  EXPECT_EQ(g_commandLog.Entries()[0].arg28, 4u);
  EXPECT_EQ(g_steps, "");  // the change is pending: the game goes on
  SetGovtypeRequest(local.displayPolicy, 0);
  defeat.OnCommand(Tag(defeat, "RESIGN"), 0);
  EXPECT_EQ(g_steps, "victory ");
  g_commandLog.Clear();
  g_world.players[1] = PlayerRecord{};
  g_world.scenario.head.difficulty = 0;
  if (madeLocks) WorldDeleteLocks(g_world);
}

TEST_F(GameFlowScreens, ChannelsResultStories) {
  ASSERT_EQ(LoadScenarioText(g_world, "Channel"), 0);
  const struct {
    int kind;
    uint32_t endReason;
    bool won;
    const char* text;
    uint8_t result;
  } rows[] = {
      {kEndSingle, 0, true, "The channel is ours and the ceasefire holds. Well done.", 1},
      {kEndSingle, 0, false, "The straits have fallen. History will not be kind.", 0},
      {kEndSingle, kEndReasonUnified, false, "The shores are united under one flag.", 2},
      {kEndSingle, kEndReasonUnifiedByOther, true, "The shores are united, but not under our flag.", 0},
      {kEndMultiplayer, 0, true, "You have won the channel.", 1},
  };
  for (const auto& r : rows) {
    const VictoryStory story = ChooseVictoryStory(g_scenarioText, r.kind, r.endReason, r.won, "Westholm", "AI");
    EXPECT_EQ(story.text, r.text) << r.kind << "/" << r.endReason;
    EXPECT_EQ(story.result, r.result) << r.text;
  }
  FreeScenarioText(g_scenarioText);
}

TEST_F(GameFlowScreens, WaitingRoomViews) {
  World& w = g_world;
  w.gameState.highestPlayer = 3;
  w.gameState.localPlayer = 1;
  for (int p = 1; p <= 3; ++p) w.players[p].kind = p == 3 ? kKindOut : kKindHuman;
  // No slot in use but player 2's, whatever game ran before.
  for (NetSlot& slot : w.slotTable) slot = NetSlot{};
  for (int p = 1; p <= 3; ++p) w.players[p].networkSlot = 0;
  w.players[2].networkSlot = 2;
  w.slotTable[2].state = kSlotHuman;
  WaitingRoom& room = g_screens.waitingRoom;
  const struct {
    int32_t mode, host;
    uint32_t report;  // player 2's machine reported in
    std::vector<const char*> shown, hidden;
  } rows[] = {
      {0, 0, 0, {"HEADER", "CANCEL"}, {"START", "CLOSE", "HIDERESOLVE", "LOSTHOST"}},
      {0, 0, 5, {"START"}, {"HEADER", "CANCEL", "CLOSE"}},
      {1, 1, 0, {"HEADER", "CLOSE", "HIDERESOLVE"}, {"START", "CANCEL", "LOSTHOST", "HIDECONFIRM"}},
      {1, 0, 0, {"CLOSE"}, {"HIDERESOLVE"}},
      {2, 0, 0, {"LOSTHOST", "NEWHOST", "CLOSE"}, {"HEADER"}},
  };
  for (const auto& r : rows) {
    g_netSession.isHost = r.host;
    w.slotTable[2].progress = r.report;
    room.mode = r.mode;
    room.OnOpen();
    room.Refresh();
    for (const char* tag : r.shown) EXPECT_TRUE(Visible(room, tag)) << r.mode << " " << tag;
    for (const char* tag : r.hidden) EXPECT_FALSE(Visible(room, tag)) << r.mode << " " << tag;
    EXPECT_FALSE(FormFindControlById(room.form, 102)->Hidden()) << "a row for each of the three regions";
    EXPECT_TRUE(FormFindControlById(room.form, 103)->Hidden());
  }
  EXPECT_TRUE(Visible(room.playerRows[2], "DEAD")) << "region 3 is out";
  EXPECT_EQ(WaitingRoomStatus(w.slotTable[2], kKindHuman), "Waiting");
  w.slotTable[2].progress = 5;
  EXPECT_EQ(WaitingRoomStatus(w.slotTable[2], kKindHuman), "Ready");
  g_netSession.isHost = 1;
  room.mode = 1;
  room.OnOpen();
  EXPECT_TRUE(Visible(room.playerRows[1], "KICKGRID")) << "the host may drop player 2";
  EXPECT_FALSE(Visible(room.playerRows[0], "KICKGRID")) << "but not itself";
  EXPECT_EQ(RowFlagPlayer(FormFindControlByTag(room.playerRows[1].currentForm, "FLAG")), 2) << "each row its flag";
  room.OnCommand(Tag(room, "RESOLVE"), 0);
  room.OnCommand(Tag(room, "CANBUT"), 0);
  EXPECT_TRUE(Visible(room, "HIDERESOLVE"));
  EXPECT_FALSE(Visible(room, "HIDECONFIRM"));
  g_netSession.isHost = 0;
  for (int p = 1; p <= 3; ++p) w.players[p] = PlayerRecord{};
  w.slotTable[2] = NetSlot{};
  w.gameState.highestPlayer = 0;
}

TEST_F(GameFlowScreens, TheResolvePanelsAnswersAndALostHost) {
  WaitingRoom& room = g_screens.waitingRoom;
  GlobalGuard<int32_t> mode(room.mode, 1);
  GlobalGuard<std::atomic<int32_t>> host(g_netSession.isHost, 1);
  room.OnOpen();
  const struct {
    const char* answer;  // pressed after RESOLVE; null: none
    bool resolve, confirm;
  } answers[] = {{nullptr, false, true}, {"CANBUT", true, false}, {"OKBUT", true, false}};
  for (const auto& r : answers) {
    room.OnCommand(Tag(room, "RESOLVE"), 0);
    if (r.answer) room.OnCommand(Tag(room, r.answer), 0);
    EXPECT_EQ(Visible(room, "HIDERESOLVE"), r.resolve) << (r.answer ? r.answer : "none");
    EXPECT_EQ(Visible(room, "HIDECONFIRM"), r.confirm) << (r.answer ? r.answer : "none");
  }

  GlobalGuard<std::atomic<int32_t>> lost(g_netSession.hostLost);
  GlobalGuard<int32_t> uiMode(g_ui.mode);
  const struct {
    int32_t hostLost, uiMode;
    bool opens;
  } losses[] = {{1, kUiInGame, true}, {0, kUiInGame, false}, {1, kUiFrontEnd, false}};
  for (const auto& r : losses) {
    room.mode = kWaitingRoomPlayers;
    room.OnOpen();
    g_netSession.hostLost = r.hostLost;
    g_ui.mode = r.uiMode;
    EXPECT_EQ(OpenHostLostRoom(room), r.opens) << r.hostLost << " " << r.uiMode;
    EXPECT_EQ(room.mode == kWaitingRoomHostLost, r.opens);
    EXPECT_EQ(Visible(room, "LOSTHOST"), r.opens);
    if (room.currentForm && room.currentForm->parent) room.Close(1);
  }
}

TEST_F(GameFlowScreens, TheEndIsWrittenIntoTheRegionsRecord) {
  PlayerRecord region{};
  const struct {
    uint8_t result;
    bool cheated;
    uint8_t cheatedAfter;  // once set it stays
  } rows[] = {{1, false, 0}, {2, true, 1}, {0, false, 1}};
  for (const auto& r : rows) {
    WriteEndSummary(g_world, region, r.result, r.cheated, "The Narrow Channel and its shores", "Westholm");
    EXPECT_EQ(region.endResult, r.result);
    EXPECT_EQ(region.endCheated, r.cheatedAfter);
  }
  EXPECT_STREQ(region.endScenarioName, "The Narrow Channel ");  // 19 characters
  EXPECT_STREQ(region.endRegionName, "Westholm");
  EXPECT_STREQ(region.endCapitalName, "") << "no map, no label";
}

}  // namespace

namespace {

// A region that holds no hex would lose the game on its first day: the new
// game's region list leaves it out, with or without a grouping.
TEST_F(GameFlowScreens, ARegionWithoutLandIsNotOffered) {
  World& w = g_world;
  const GlobalGuard<GameState> state(w.gameState);
  const GlobalGuard<uint8_t> groupnum(w.scenario.head.groupnum);
  std::vector<std::unique_ptr<GlobalGuard<PlayerRecord>>> fresh;
  for (int p = 1; p <= 3; ++p) fresh.push_back(std::make_unique<GlobalGuard<PlayerRecord>>(w.players[p], PlayerRecord{}));
  w.gameState.highestPlayer = 3;
  const int32_t land[] = {0, 12, 0, 3};
  for (int p = 1; p <= 3; ++p) {
    w.players[p].kind = kKindHuman;
    w.players[p].hexCount = land[p];
  }
  w.scenario.head.groupnum = 0;
  std::vector<int32_t> offered;
  for (const RegionEntry& entry : ListRegions(w)) offered.push_back(entry.player);
  EXPECT_EQ(offered, (std::vector<int32_t>{1, 3}));
}

}  // namespace
