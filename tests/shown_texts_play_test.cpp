// Every screen a player opens in the sample, at 1024x768, with the texts the
// game fills in at run time: each drawn again whole, no text cut to fit its
// box or run into its neighbour. The screens opened in turn: each department
// (F2 to F9), each page and pop-up its own buttons open and the rows of its
// lists chosen, each region's agreements, the pop-ups of the keys, the unit
// list in each category and mode, the mailbox and the game menu's pages; and
// after days of play as Kessaria, the silo panel with a missile chosen, the
// orders' strike panel, the unit pop-up's split confirmation, and every
// screen again with the news and mail the days brought.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "net/net_session.h"
#include "records/hex_unit_stack.h"
#include "platform/paths.h"
#include "screens/common/frame/main_layout.h"
#include "screens/diplomacy/mail/mail_window.h"
#include "screens/frontend/front_end_flow.h"
#include "screens/frontend/game_menu.h"
#include "screens/frontend/score_card.h"
#include "screens/screen_set.h"
#include "sim/safe_file_name.h"
#include "sim/save_file.h"
#include "sim/simulation_lock.h"
#include "support/sample_game.h"
#include "support/silo_steps.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/keyboard.h"
#include "ui/list_control.h"
#include "ui/popups.h"
#include "ui/string_control.h"
#include "units/hex_geometry.h"
#include "world/game_speed.h"
#include "world/text/text_lists.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

// What the check lets through, each with the reason: a fault found that
// begins with one of these does not fail the test.
struct AwaitingFault {
  const char* fault;
  const char* why;
};
constexpr AwaitingFault kAwaiting[] = {
    {"scrolls: EMAIL1 ", "a letter's body has no bound on its length: the mail window scrolls it by design"},
    {"cut: ORDERS1_ss3 in PARENT2 of BOTBAR2 ORDERSLIST row ",
     "the orders list shares its 220-pixel panel with the settings beside it: 'Move and Engage' needs 115 pixels "
     "where the list's rows have 74, and the panel waits for a layout that gives the list its width"},
};

void ExpectShownTextsWhole(const std::string& where) {
  for (const std::string& fault : ShownTextFaultsOfFrame()) {
    const bool awaited = std::any_of(std::begin(kAwaiting), std::end(kAwaiting),
                                     [&](const AwaitingFault& a) { return fault.rfind(a.fault, 0) == 0; });
    if (!awaited) ADD_FAILURE() << where << ": " << fault;
  }
}

// The buttons a department's own form shows, by tag: its pages, tabs and
// the pop-ups it opens.
std::vector<std::string> PageButtons(Control* form) {
  std::vector<std::string> tags;
  if (!form) return tags;
  ControlTreeForEach(form, 1, 0, [&](Control* c) {
    if (c != form && IsStringKind(c) && (c->flags & (kCtlCommand | kCtlRadio)) && ShownInTree(c) && !TagOf(c).empty())
      tags.push_back(TagOf(c));
  });
  return tags;
}

void PressDepartmentKey(uint32_t panel) {
  CloseAllPopups(g_ui, 1);
  SampleGame::PressKey(plat::kVkF1 + panel);
}

// Each row of each list the form shows (the first few), chosen as a player
// chooses it: what the choice shows reads whole. A chosen row is let go by
// a click, so each row is clicked once.
void ChooseRowsOf(Control* form, const std::string& where, int most = 4) {
  std::vector<ListBoxControl*> lists;
  ControlTreeForEach(form, 1, 0, [&](Control* c) {
    if (c->kind == kKindListBox && ShownInTree(c)) lists.push_back(static_cast<ListBoxControl*>(c));
  });
  for (size_t l = 0; l < lists.size(); ++l)
    for (int row = 0; row < most && ShownInTree(lists[l]) && ListRowAt(lists[l], row); ++row) {
      SampleGame::ClickControl(lists[l], row);
      ExpectShownTextsWhole(where + " list " + std::to_string(l) + " row " + std::to_string(row));
    }
}

// The unit list (U) in each category and mode, a row of each chosen.
void OpenTheUnitListThrough() {
  UnitListPopup& popup = g_screens.unitList;
  SampleGame::PressKey('U');
  ASSERT_NE(popup.currentForm->parent, nullptr) << "U opens the unit list";
  for (int32_t category = 200; category <= 203; ++category)
    for (int32_t mode = 210; mode <= 212; ++mode) {
      SampleGame::ClickControl(FormFindControlById(popup.currentForm, category));
      SampleGame::ClickControl(FormFindControlById(popup.currentForm, mode));
      const std::string where = "the unit list " + std::to_string(category) + "/" + std::to_string(mode);
      ExpectShownTextsWhole(where);
      ChooseRowsOf(popup.currentForm, where, 3);
    }
  // The pop-up keeps its category and mode for the next opening: the
  // first of each, as a new program has them.
  SampleGame::ClickControl(FormFindControlById(popup.currentForm, 200));
  SampleGame::ClickControl(FormFindControlById(popup.currentForm, 210));
  CloseAllPopups(g_ui, 1);
  SampleGame::Pump();
}

// Each region's row of the diplomacy department and the region's
// agreements in both directions.
void OpenEachRegionsAgreements() {
  ScreenSet& s = g_screens;
  for (int row = 0; row < 8; ++row) {
    PressDepartmentKey(4);
    ListBoxControl* regions = s.diplomacyScreen.regionList;
    if (!ListRowAt(regions, row)) break;
    const int32_t region = ListRowAt(regions, row)->id;
    for (int click = 0; click < 3 && regions->selectedId != region; ++click) SampleGame::ClickControl(regions, row);
    ASSERT_EQ(regions->selectedId, region);
    SampleGame::ClickControl(FormFindControlByTag(s.regionRelations->currentForm, "TREATBUT"));
    ExpectShownTextsWhole("the agreements with region " + std::to_string(region));
    ChooseRowsOf(s.agreementsPanel.currentForm, "the agreements with region " + std::to_string(region));
  }
  CloseAllPopups(g_ui, 1);
}

// The pages a page opens with its own buttons: the budget's details.
void OpenTheDetailsOf(Control* page, const std::string& where) {
  if (TagOf(page) != "STATUS1_SS3") return;
  for (const char* details : {"DETREPBUT", "DETREPBUT2", "TRADEBUT"}) {
    SampleGame::ClickControl(FormFindControlByTag(page, details));
    ExpectShownTextsWhole(where + " " + details);
  }
}

// The mailbox with the day's mail, docked over the map and in the side
// screens, as the interface options put it.
void OpenTheMailboxInEachLayout() {
  ScreenSet& s = g_screens;
  for (const int32_t sidescreens : {0, 1}) {
    g_uiOptions.sidescreens = sidescreens;
    ApplySideScreensLayout(*g_ui.mapView);
    if (!sidescreens && !g_ui.sidePopupOpen) SampleGame::ClickControl(FormFindControlById(s.mailBar.currentForm, 11));
    ASSERT_TRUE(ShownInTree(s.mailWindow.currentForm)) << sidescreens;
    ASSERT_NE(ListRowAt(s.mailList.list, 1), nullptr) << "the day brought mail";
    ExpectShownTextsWhole(sidescreens ? "the mailbox in the side screens" : "the mailbox over the map");
  }
}

void OpenEveryScreen() {
  ScreenSet& s = g_screens;
  ExpectShownTextsWhole("the map");

  for (uint32_t panel = 1; panel <= 8; ++panel) {
    const std::string key = "F" + std::to_string(panel + 1);
    PressDepartmentKey(panel);
    ExpectShownTextsWhole(key);
    Screen& department = MainPanelScreen(s, static_cast<int32_t>(panel));
    // The department's own lists (the news, the regions), more of their
    // rows chosen: each row shows its own item.
    ChooseRowsOf(department.currentForm, key, 10);
    for (const std::string& tag : PageButtons(department.currentForm)) {
      PressDepartmentKey(panel);
      SampleGame::ClickControl(FormFindControlByTag(department.currentForm, tag.c_str()));
      SampleGame::Pump();
      ExpectShownTextsWhole(key + " " + tag);
      // The page the button opened, its rows chosen.
      if (Control* page = DockHost(s, kDockLevelSecond)->firstChild; page && page != department.currentForm) {
        ChooseRowsOf(page, key + " " + tag);
        OpenTheDetailsOf(page, key + " " + tag);
      }
    }
  }
  CloseAllPopups(g_ui, 1);
  ASSERT_NO_FATAL_FAILURE(OpenEachRegionsAgreements());
  ASSERT_NO_FATAL_FAILURE(OpenTheUnitListThrough());

  // The pop-ups the keys open.
  const struct {
    const char* where;
    uint32_t key, modifiers;
  } popups[] = {{"the unit list (U)", 'U', 0},
                {"the settlements (Ctrl+C)", 'C', kModCtrl},
                {"research (Ctrl+Shift+R)", 'R', kModCtrl | kModShift},
                {"the score card (W)", 'W', 0},
                {"stored weapons (M)", 'M', 0},
                {"products (Ctrl+P)", 'P', kModCtrl}};
  for (const auto& row : popups) {
    if (row.modifiers)
      KeyCommand(row.key, g_ui, row.modifiers, 0);
    else
      SampleGame::PressKey(row.key);
    SampleGame::Pump();
    ExpectShownTextsWhole(row.where);
    CloseAllPopups(g_ui, 1);
    SampleGame::Pump();
  }

  // The mailbox.
  SampleGame::ClickControl(FormFindControlById(s.mailBar.currentForm, 11));
  ExpectShownTextsWhole("the mailbox");
  CloseAllPopups(g_ui, 1);

  // The game menu's pages, each from its button page.
  GameMenu& menu = s.gameMenu;
  const auto menuOpen = [&] { return menu.currentForm && menu.currentForm->parent; };
  for (const char* page : {"SAVEBUT", "LOADBUT", "PLAYERBUT", "GRAPHICBUT", "SOUNDBUT"}) {
    for (int press = 0; press < 3 && menuOpen(); ++press) SampleGame::PressKey(plat::kVkEscape);
    for (int press = 0; press < 3 && !menuOpen(); ++press) SampleGame::PressKey(plat::kVkEscape);
    ASSERT_TRUE(menuOpen()) << page;
    ExpectShownTextsWhole("the game menu");
    SampleGame::ClickControl(FormFindControlByTag(menu.buttons.currentForm, page));
    ExpectShownTextsWhole(std::string("the game menu's ") + page);
  }
  for (int press = 0; press < 3 && menuOpen(); ++press) SampleGame::PressKey(plat::kVkEscape);
}

TEST(ShownTextsPlay, EveryScreenReadsWholeAt1024x768) {
  SampleGame game;
  game.startPaused = true;
  ASSERT_NO_FATAL_FAILURE(game.StartUnasked());
  OpenEveryScreen();
  SampleGame::PlayDays(1);
  OpenTheMailboxInEachLayout();
}

// The unit pop-up of the unit list's first row (a double click on it), its
// split and the confirmation that asks.
void OpenTheSplitConfirmation() {
  ScreenSet& s = g_screens;
  SampleGame::PressKey('U');
  UnitListPopup& list = s.unitList;
  SampleGame::ClickControl(FormFindControlById(list.currentForm, 200));
  SampleGame::ClickControl(FormFindControlById(list.currentForm, 210));
  ASSERT_NE(ListRowAt(list.list, 0), nullptr) << "the region has land units";
  SampleGame::DoubleClickControl(list.list, 0);
  ASSERT_NE(s.unitDetail.currentForm->parent, nullptr) << "the row's double click opens the unit pop-up";
  constexpr int32_t kSplitButton = 103;
  SampleGame::ClickControl(FormFindControlById(s.unitCommands.currentForm, kSplitButton));
  ASSERT_NE(s.unitSplitConfirm->currentForm, nullptr);
  ASSERT_TRUE(ShownInTree(s.unitSplitConfirm->currentForm)) << "the split asks to be confirmed";
  ExpectShownTextsWhole("the split confirmation");
  CloseAllPopups(g_ui, 1);
  SampleGame::Pump();
}

// The class sheet of each land unit of the unit list, from its pop-up.
void OpenEachLandUnitsClassSheet() {
  ScreenSet& s = g_screens;
  for (int row = 0;; ++row) {
    SampleGame::PressKey('U');
    UnitListPopup& list = s.unitList;
    SampleGame::ClickControl(FormFindControlById(list.currentForm, 200));
    SampleGame::ClickControl(FormFindControlById(list.currentForm, 210));
    if (!ListRowAt(list.list, row)) break;
    SampleGame::DoubleClickControl(list.list, row);
    ASSERT_NE(s.unitDetail.currentForm->parent, nullptr) << "the row's double click opens the unit pop-up";
    SampleGame::ClickControl(FormFindControlByTag(s.unitDetail.currentForm, "TECHBUT"));
    ASSERT_TRUE(ShownInTree(s.unitClassSheet.currentForm)) << "the unit's class sheet";
    ExpectShownTextsWhole("the class sheet of the unit list's land row " + std::to_string(row));
    CloseAllPopups(g_ui, 1);
    SampleGame::Pump();
  }
  CloseAllPopups(g_ui, 1);
  SampleGame::Pump();
}

// The index of the list's row with the id; -1 when none has it.
int RowWithId(const ListBoxControl* list, int32_t id) {
  int n = 0;
  for (Control* row = list ? ListNextRow(list, nullptr) : nullptr; row; row = ListNextRow(list, row), ++n)
    if (row->id == id) return n;
  return -1;
}

// An army base ordered from the map's build list (its Base page) onto an
// empty hex of the region, confirmed in the build pop-up: by the next day
// it stands unfinished, a row of the Bases page.
void OrderAnArmyBaseBuilt(uint32_t* base, uint32_t* baseHex) {
  constexpr int32_t kArmyBase = 4054;
  ScreenSet& s = g_screens;
  uint32_t site = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    World& w = g_world;
    // The sample's regions are offered no facility type: the player is
    // given the army base here.
    DesignRow(w, w.gameState.localPlayer)[kArmyBase] |= 1;
    const std::vector<uint32_t> sites = SampleGame::BuildSites(kArmyBase, 1);
    if (!sites.empty()) site = sites.front();
  }
  ASSERT_NE(site, 0u) << "an empty hex an army base may stand on";
  CloseAllPopups(g_ui, 1);
  SampleGame::ClickControl(FormFindControlByTag(s.cmdBar.currentForm, "MAP"));
  SampleGame::ClickControl(FormFindControlByTag(s.mapScreen.currentForm, "UPGRADEBUT"));
  constexpr int32_t kBasePage = 2;
  SampleGame::ClickControl(FormFindControlById(s.mapScreen.buildList.currentForm, kBasePage));
  const int row = RowWithId(s.mapScreen.buildList.list, kArmyBase + 1000);
  ASSERT_GE(row, 0) << "the Base page lists the army base";
  SampleGame::ClickControl(s.mapScreen.buildList.list, row);
  int32_t x = 0, y = 0;
  ASSERT_TRUE(SampleGame::PointOn(site, x, y));
  SampleGame::Click(x, y);
  ASSERT_NE(s.upgradePopup.currentForm->parent, nullptr) << "the click opens the build pop-up";
  SampleGame::ClickControl(FormFindControlByTag(s.upgradePopup.currentForm, "OKBUT"));
  SampleGame::PlayDays(1);
  plat::CriticalSectionLock lock(g_simulationLock);
  const HexCell* cell = HexCellAt(g_world, MapShape(g_world), site);
  const HexUnitStack* stack = cell ? LoadHexStack(*cell) : nullptr;
  ASSERT_TRUE(stack && stack->lead) << "the base stands on its hex";
  ASSERT_LT(stack->lead->strength, stack->lead->targetStrength) << "unfinished";
  *base = stack->lead->id;
  *baseHex = site;
}

// The map's base panel of the base on the hex, as a click on the hex (and
// the hex panel's button, when the hex shows another) docks it.
void ShowTheMapsBasePanel(uint32_t baseHex) {
  ScreenSet& s = g_screens;
  CloseAllPopups(g_ui, 1);
  SampleGame::ClickControl(FormFindControlByTag(s.cmdBar.currentForm, "MAP"));
  if (g_ui.panelDepth == 0) SampleGame::ClickControl(FormFindControlByTag(s.cmdBar.currentForm, "MAP"));
  int32_t x = 0, y = 0;
  ASSERT_TRUE(SampleGame::PointOn(baseHex, x, y));
  SampleGame::Click(x, y);
  Control* panel = s.mapScreen.base.currentForm;
  if (DockHost(s, kDockLevelSecond)->firstChild != panel || !ShownInTree(panel))
    SampleGame::ClickControl(FormFindControlByTag(s.mapScreen.currentForm, "UGINFOBUT"));
  ASSERT_EQ(DockHost(s, kDockLevelSecond)->firstChild, panel) << "MAP1_ss6 is docked";
  ASSERT_TRUE(ShownInTree(panel)) << "MAP1_ss6 is shown";
}

// The map's base panel of the unfinished base and each page its tabs open.
void OpenTheBasePanelsPages(uint32_t baseHex) {
  ASSERT_NO_FATAL_FAILURE(ShowTheMapsBasePanel(baseHex));
  ExpectShownTextsWhole("the map's base panel");
  for (const char* tab : {"TABACTIONS", "TABAUTO", "TABLISTS", "TABDEPT"}) {
    ASSERT_NO_FATAL_FAILURE(ShowTheMapsBasePanel(baseHex));
    SampleGame::ClickControl(FormFindControlByTag(g_screens.mapScreen.base.currentForm, tab));
    ExpectShownTextsWhole(std::string("the map's base panel's ") + tab);
  }
  CloseAllPopups(g_ui, 1);
}

// Frames until `shown` holds. The wait is for the game, however slowly a
// busy machine or a sanitizer runs it: the ten minutes only keep a broken
// game from hanging the run.
template <typename Shown>
void PumpUntil(Shown shown) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(10);
  while (!shown() && std::chrono::steady_clock::now() < deadline) {
    SampleGame::Pump();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

// The Bases page of the military department with the unfinished base's
// row brought into view.
void ShowTheUnfinishedBasesRow(uint32_t base) {
  ScreenSet& s = g_screens;
  constexpr int32_t kBasesPage = 6;
  PressDepartmentKey(3);
  SampleGame::ClickControl(FormFindControlById(s.militaryCabinetLink.currentForm, kBasesPage));
  auto* bases = dynamic_cast<ListBoxControl*>(FormFindControlByTag(s.facilityScreen->currentForm, "FACILLIST"));
  ASSERT_NE(bases, nullptr);
  const int row = RowWithId(bases, static_cast<int32_t>(base));
  ASSERT_GE(row, 0) << "the Bases page lists the base being built";
  SampleGame::ClickControl(bases, row);
  constexpr int kUnderConstruction = 2;
  const Control* status = FormFindControlByTag(ListRowAt(bases, row)->firstChild, "STATUS");
  ASSERT_NE(status, nullptr);
  EXPECT_EQ(status->text, TextListText(kListUgstatus, kUnderConstruction));
  ExpectShownTextsWhole("the Bases page with a base being built");
}

TEST(ShownTextsPlay, SiloStrikeAndSplitPanelsAndEveryScreenReadWholeAfterDaysOfPlay) {
  SampleGame game;
  ASSERT_NO_FATAL_FAILURE(game.StartUnasked("Kessaria"));
  ScreenSet& s = g_screens;
  uint32_t siloHex = 0, missile = 0;
  ASSERT_NO_FATAL_FAILURE(LoadAMissile(&siloHex, &missile, 10));

  ASSERT_NO_FATAL_FAILURE(OpenSiloPanel(siloHex));
  const int row = RowOfUnit(s.siloSidePanel.list, missile);
  ASSERT_GE(row, 0) << "the silo lists its missile";
  ASSERT_NO_FATAL_FAILURE(ShowMissileRow(row));
  ExpectShownTextsWhole("the silo panel with its missile chosen");

  // The strike panel aimed at a foreign unit of a region at war.
  StrikeTarget target = QuietStrikeTarget(missile, siloHex);
  ASSERT_NE(target.unit, 0u) << "a foreign unit in the missile's reach";
  ASSERT_NO_FATAL_FAILURE(DeclareWarOnTheDiplomacyPage(target.region));
  target = QuietStrikeTarget(missile, siloHex, target.region);
  ASSERT_NE(target.unit, 0u) << "one is still there once the war has begun";
  ASSERT_NO_FATAL_FAILURE(OpenTheStrikePanel(target.silo, target.hex, missile, target.unit));
  ExpectShownTextsWhole("the strike panel");
  ChooseRowsOf(s.missileStrike.currentForm, "the strike panel");
  CloseAllPopups(g_ui, 1);

  ASSERT_NO_FATAL_FAILURE(OpenTheSplitConfirmation());
  ASSERT_NO_FATAL_FAILURE(OpenEachLandUnitsClassSheet());
  uint32_t base = 0, baseHex = 0;
  ASSERT_NO_FATAL_FAILURE(OrderAnArmyBaseBuilt(&base, &baseHex));
  ASSERT_NO_FATAL_FAILURE(ShowTheUnfinishedBasesRow(base));
  ASSERT_NO_FATAL_FAILURE(OpenTheBasePanelsPages(baseHex));
  OpenEveryScreen();
}

}  // namespace

namespace {

bool ShownScreen(const Screen& screen) {
  return screen.currentForm && screen.currentForm->parent && !screen.currentForm->Hidden();
}

// The saves the game wrote for the test go with it, whatever it found.
struct RemovesSaves {
  std::vector<std::string> names;
  ~RemovesSaves() {
    for (const std::string& name : names)
      if (const auto path = plat::ResolveGamePath(SaveGamePath(name))) std::filesystem::remove(*path);
  }
};

// A campaign's first step won: the won game's notice, the result screen
// with its score card, and the start menu's load list with the saves a
// player has by then: the day's autosave, the step saved from the result
// screen, and the step's autosave; then the game menu's load list with
// the same saves.
TEST(ShownTextsPlay, ACampaignStepsEndAndItsSavesReadWholeAt1024x768) {
  SampleGame game;
  ASSERT_NO_FATAL_FAILURE(game.StartUnasked("Westholm", "Straits1"));
  ScreenSet& s = g_screens;
  const auto title = std::find_if(s.gameChoice.scenarios.begin(), s.gameChoice.scenarios.end(),
                                  [](const ScenarioEntry& e) { return e.file == "Straits1"; });
  ASSERT_NE(title, s.gameChoice.scenarios.end());
  RemovesSaves saves{{AutoSaveName(SafeFileNamePart(g_netSession.identity.playerName)),
                      CampaignAutoSaveName(title->title)}};
  SampleGame::PlayDays(1);
  ASSERT_TRUE(plat::GameFileExists(SaveGamePath(saves.names[0]))) << "the day's autosave";
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    // The ceasefire runs out today: the step's years would take minutes.
    g_world.gameState.endDay = g_world.gameState.currentDay;
  }
  SetGameSpeed(g_world.gameState, 4);
  PumpUntil([&] { return ShownScreen(*s.endGamePreview); });
  ASSERT_TRUE(ShownScreen(*s.endGamePreview)) << "holding out wins";
  ExpectShownTextsWhole("the won game's notice");

  SampleGame::ClickControl(FormFindControlByTag(s.endGamePreview->currentForm, "MENUBUT"));
  ASSERT_TRUE(ShownScreen(s.victory));
  ExpectShownTextsWhole("the result screen");
  // The score card's campaign row of the step just played, after the steps
  // finished before it, names the step as the new game's list named it.
  const auto played = static_cast<size_t>(FinishedCampaignScenarios(g_world));
  ASSERT_LT(played, std::size(s.scoreCardScenario));
  EXPECT_EQ(FormFindControlByTag(s.scoreCardScenario[played].currentForm, "SCENARIO")->text, title->title);

  // The step saved under the name the game proposes; leaving for the menu
  // writes the step's autosave.
  SampleGame::ClickControl(FormFindControlByTag(s.victory.continuation.currentForm, "SAVE"));
  SaveGameDialog& dialog = s.gameMenu.saveDialog;
  ASSERT_TRUE(ShownScreen(dialog));
  saves.names.push_back(dialog.Name());
  SampleGame::ClickControl(FormFindControlByTag(dialog.currentForm, "OKSAVE"));
  EXPECT_TRUE(plat::GameFileExists(SaveGamePath(saves.names.back()))) << "saved as " << saves.names.back();
  SampleGame::ClickControl(FormFindControlByTag(s.victory.continuation.currentForm, "MENU"));
  ASSERT_TRUE(ShownScreen(s.startMenu));
  SampleGame::ClickControl(FormFindControlByTag(s.startMenu.currentForm, "LOADGAME"));
  ASSERT_TRUE(ShownScreen(s.gameFile));
  for (const std::string& name : saves.names) {
    const auto& files = s.gameFile.files;
    EXPECT_NE(std::find(files.begin(), files.end(), name), files.end()) << name;
  }
  ExpectShownTextsWhole("the start menu's load list");

  // The day's autosave started, its game menu lists the same saves.
  const auto& files = s.gameFile.files;
  const auto autosave = std::find(files.begin(), files.end(), saves.names[0]);
  ASSERT_NE(autosave, files.end());
  SampleGame::ClickControl(FormFindControlByTag(s.gameFile.currentForm, "FILELIST"),
                           static_cast<int>(autosave - files.begin()));
  SampleGame::ClickControl(FormFindControlByTag(s.gameFile.currentForm, "OKBUT"));
  ASSERT_TRUE(ShownScreen(s.briefing));
  SampleGame::ClickControl(FormFindControlByTag(s.briefing.currentForm, "START"));
  ASSERT_EQ(g_ui.mode, kUiInGame);
  GameMenu& menu = s.gameMenu;
  for (int press = 0; press < 3 && !(menu.currentForm && menu.currentForm->parent); ++press)
    SampleGame::PressKey(plat::kVkEscape);
  SampleGame::ClickControl(FormFindControlByTag(menu.buttons.currentForm, "LOADBUT"));
  ASSERT_STREQ(menu.shownPage, "GAME_SS4");
  ExpectShownTextsWhole("the game menu's load list");
}

}  // namespace
