// The list of all screens: its order, and the start-up walk that loads and
// binds.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "screens/main/map/map_view.h"
#include "screens/screen_set.h"
#include "ui/control.h"
#include "ui/control_tree.h"

namespace {

TEST(ScreenSetTest, ListRunsFromThePopupFramesBackToTheTitleBar) {
  ScreenSet& s = g_screens;
  std::vector<Screen*> built = {
      &s.titleBar,     &s.editorBar,  &s.mapBorder,      &s.cmdBar,       &s.cmdBar2,    &s.cmdBar3,
      &s.mapEditCmdBar, &s.filterBar, &s.minimapBar,     &s.sideBar1,     &s.sideBar3,   &s.botBar1,
      &s.botBar2,      &s.botBar3,    &s.mapEditorB,   &s.mapEditorSs2, &s.economy1,
      &s.diplomacy1,   &s.product1,   &s.productPopup,   &s.status1,      &s.domPolicy1, &s.military1,
      &s.ops1,         &s.map1,       &s.map1.buildList, &s.map1.facilityUpgrade, &s.map1.settlement,
      // The settlement panel's pages are its members, built after it.
      &s.map1.settlement.upgradePage, &s.map1.settlement.populationPage, &s.map1.settlement.constructionPage,
      &s.map1.settlement.facilityOutputPage, &s.map1.settlement.conditionPage, &s.map1.settlement.outputPage,
      &s.map1.settlement.outputConfirm, &s.map1.settlement.outputCancel, &s.map1.settlement.cityOutputPage,
      &s.map1.units,
      &s.map1.units.summary, &s.map1.units.detail, &s.map1.units.status, &s.map1.units.strength,
      &s.map1.units.cargo, &s.map1.units.extra, &s.map1.units.extraFill, &s.map1.units.orderSheet,
      &s.map1.hexInfo, &s.map1.hexInfo.distance, &s.map1.hexInfo.distance.selectedHex,
      &s.map1.hexInfo.distance.targetHex, &s.map1.hexInfo.distance.selectedUnit,
      &s.map1.hexInfo.distance.targetUnit, &s.map1.base, &s.map1.researchCentre, &s.map1.silo,
      &s.map1.launchSite, &s.map1.filter, &s.plainMap, &s.settlementList, &s.nameHex,
      &s.upgradePopup, &s.upgradePopup.strengthPanel, &s.upgradePopup.staffPanel, &s.orders1,      &s.unitList,   &s.unitDetail,
      &s.missiles,     &s.siloPopup,  &s.launchSitePopup, &s.basePopup,   &s.depotPopup, &s.help,       &s.map2,
      &s.map3,         &s.hexListA,   &s.hexMenu,        &s.stackList,    &s.targetPicker,
      &s.research,   &s.industry,       &s.email1,       &s.emailPopup, &s.chat,
      &s.statMap,      &s.scoreCard,  &s.waitingRoom,    &s.tooltip,      &s.gameMenu,
      // The menu's pages are its members, built after it.
      &s.gameMenu.buttons, &s.gameMenu.quitConfirm, &s.gameMenu.saveDialog, &s.gameMenu.quitNow,
      &s.gameMenu.loadDialog, &s.endTurn, &s.endGamePreview, &s.endGamePreview2, &s.endGameMultiplayer,
      &s.electionDefeat, &s.victory, &s.victory.continuation, &s.gameFile,
      &s.tutorial,     &s.startMenu,  &s.gameChoice,     &s.connect,      &s.optionsMenu, &s.optionsHost,
      &s.optionPages.player, &s.optionPages.player.saveOptions, &s.optionPages.player.interfaceOptions,
      &s.optionPages.player.controlOptions, &s.optionPages.player.unitValueOptions, &s.optionPages.graphics,
      &s.optionPages.graphics.advanced, &s.optionPages.sound, &s.optionPages.sound.advanced,
      &s.optionPages.restart, &s.optionPages.reset,
      &s.playerProfile, &s.gameLobby, &s.briefing,       &s.popupFrames};
  // The waiting room's rows and kick question are its members, built after it.
  std::vector<Screen*> room;
  for (Screen& r : s.waitingRoom.loadRows) room.push_back(&r);
  for (Screen& r : s.waitingRoom.playerRows) room.push_back(&r);
  room.push_back(&s.waitingRoom.kick);
  built.insert(std::find(built.begin(), built.end(), &s.waitingRoom) + 1, room.begin(), room.end());
  // A screen made later (a pane, a list box) stands in front of them all.
  Screen later(nullptr);
  // The map view's panes are built with it, in whatever order the program's
  // statics are made: they must be listed, wherever they stand.
  const std::vector<Screen*> panes = {&g_mapView.mapPane, &g_mapView.minimapPane, &g_mapView.dragPanPane};
  std::vector<Screen*> walked;
  size_t panesFound = 0;
  for (Screen* x = Screen::AllScreens(); x; x = x->nextScreen) {
    if (std::find(panes.begin(), panes.end(), x) != panes.end()) {
      ++panesFound;
      continue;
    }
    walked.insert(walked.begin(), x);
  }
  built.push_back(&later);
  EXPECT_EQ(walked, built);
  EXPECT_EQ(panesFound, panes.size());
}

struct BindingScreen : Screen {
  explicit BindingScreen(const char* name, bool makesListBox = false) : Screen(name), makes(makesListBox) {}
  void BindControls() override {
    ++bound;
    if (makes) listBox = std::make_unique<BindingScreen>(nullptr);  // a list box's screen
  }
  bool makes;
  int bound = 0;
  std::unique_ptr<BindingScreen> listBox;
};

TEST(ScreenSetTest, StartUpWalkBindsScreensWithAFormOrWithoutOne) {
  // The tests' data root holds no forms: a named form is missing.
  BindingScreen missing("NO_SUCH_FORM"), formless(nullptr), making(nullptr, true);
  LoadScreenListForms(&making);
  ASSERT_NE(making.listBox, nullptr);
  // Rows: a missing form, no form, the maker, the list box it made.
  const std::pair<const BindingScreen*, int> rows[] = {{&missing, 0}, {&formless, 1}, {&making, 1}, {making.listBox.get(), 0}};
  for (const auto& [screen, bound] : rows) EXPECT_EQ(screen->bound, bound) << (screen->formName ? screen->formName : "");
}

TEST(ScreenSetTest, AnotherSetUpDeletesAFormShownInsideAnotherScreensFormOnce) {
  // The result screen shows the score card in a control of its form, as a
  // played game leaves them; another set-up then gives both fresh forms.
  BindingScreen card(nullptr), result(nullptr);
  result.form = new Control();
  Control* host = ControlAddChild(result.form, new Control());
  card.form = card.currentForm = new Control();
  ControlAttachForm(host, card.form);
  ASSERT_EQ(host->firstChild, card.form);
  LoadScreenListForms(&result);
  EXPECT_EQ(result.form, nullptr);
  EXPECT_EQ(card.form, nullptr);
  EXPECT_EQ(card.currentForm, nullptr);
  EXPECT_EQ(card.bound, 1);
}

TEST(ScreenSetTest, ANamedFormThatCannotLoadLeavesTheFormLoadedBefore) {
  // A later start reads from a folder without the form: the screen keeps
  // the form its bound controls point into.
  BindingScreen missing("NO_SUCH_FORM");
  Control* before = missing.form = missing.currentForm = new Control();
  LoadScreenListForms(&missing);
  EXPECT_EQ(missing.form, before);
  EXPECT_EQ(missing.currentForm, before);
  EXPECT_EQ(missing.bound, 1);
  delete before;
}

}  // namespace
