// The list of all screens: the catalogue it follows, its order, the
// start-up walk that loads and binds, and the docked sub-panels' opening.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "screens/docked_panels.h"
#include "screens/main/map/map_view.h"
#include "screens/common/frame/main_layout.h"
#include "screens/screen_catalogue.h"
#include "screens/screen_set.h"
#include "ui/form_editor.h"
#include "support/global_guard.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/popup_test_support.h"
#include "world/text/ui_options.h"

namespace {

// The set's screens in the order they were built: the walk from the pop-up
// frames (the newest of them) to the end, turned round.
std::vector<Screen*> SetScreensInBuildOrder() {
  std::vector<Screen*> built;
  for (Screen* x = &g_screens.popupFrames; x; x = x->nextScreen) built.insert(built.begin(), x);
  return built;
}

std::string TagOf(const Screen* s) { return s->formName ? s->formName : ""; }
std::string TagOf(const CatalogueTag& t) { return t.tag ? t.tag : ""; }

TEST(ScreenSetTest, TheCatalogueHasItsClassesAndScreensPerOwner) {
  // Rows: the owner, its classes, its screens; the totals last.
  struct Row {
    std::optional<ScreenOwner> owner;
    int32_t classes, screens;
  };
  const Row rows[] = {
      {ScreenOwner::kMainScreen, 73, 95}, {ScreenOwner::kFrontEnd, 63, 356}, {ScreenOwner::kEconomy, 93, 298},
      {ScreenOwner::kMilitary, 139, 270}, {ScreenOwner::kDiplomacy, 43, 50},  {ScreenOwner::kMapEditor, 26, 30},
      {ScreenOwner::kToolkit, 2, 2},      {ScreenOwner::kNone, 7, 7},         {std::nullopt, 446, 1108},
  };
  for (const Row& row : rows) {
    int32_t classes = 0, screens = 0;
    for (const CatalogueRow& c : ScreenCatalogue()) {
      if (row.owner && c.owner != *row.owner) continue;
      ++classes;
      screens += CatalogueRowScreens(c);
    }
    EXPECT_EQ(classes, row.classes) << (row.owner ? static_cast<int>(*row.owner) : -1);
    EXPECT_EQ(screens, row.screens) << (row.owner ? static_cast<int>(*row.owner) : -1);
  }
}

TEST(ScreenSetTest, TheSetHoldsEveryCatalogueScreenInTheCataloguesOrder) {
  const std::vector<Screen*> built = SetScreensInBuildOrder();
  ASSERT_EQ(built.size(), static_cast<size_t>(kCatalogueScreens));
  // The title bar first, the pop-up frames last: the walk meets them the
  // other way round.
  EXPECT_EQ(built.front(), g_screens.titleBar.get());
  EXPECT_EQ(built.back(), &g_screens.popupFrames);
  // BOTBAR1, then the two BOTBAR2 (the second is the dock's third level).
  const auto at = [&](const Screen* s) { return std::find(built.begin(), built.end(), s) - built.begin(); };
  EXPECT_LT(at(&g_screens.dockLevel1), at(&g_screens.dockLevel2));
  EXPECT_LT(at(&g_screens.dockLevel2), at(&g_screens.dockLevel3));

  // Every tag has as many screens as the catalogue gives it.
  std::map<std::string, int32_t> expected, found;
  for (const CatalogueRow& row : ScreenCatalogue())
    for (const CatalogueTag& t : row.tags)
      if (t.count) expected[TagOf(t)] += t.count;
  for (const Screen* s : built) ++found[TagOf(s)];
  EXPECT_EQ(found, expected);

  // Each row stands where its first screen is built. A tag of several rows
  // (the four HEXLISTPOP, the two MAP1) takes them in turn; the two
  // form-less rows are the production panels' holder and the pop-up frames.
  std::map<std::string, std::vector<size_t>> rowsOfTag;
  const auto catalogue = ScreenCatalogue();
  for (size_t r = 0; r < catalogue.size(); ++r)
    for (const CatalogueTag& t : catalogue[r].tags)
      if (t.count) rowsOfTag[TagOf(t)].push_back(r);
  std::map<std::string, size_t> turn;
  std::vector<size_t> firstRows;  // rows in the order their first screens come
  std::set<size_t> seen;
  for (const Screen* s : built) {
    const std::vector<size_t>& candidates = rowsOfTag[TagOf(s)];
    ASSERT_FALSE(candidates.empty()) << TagOf(s);
    const size_t r = candidates[std::min(turn[TagOf(s)]++, candidates.size() - 1)];
    if (seen.insert(r).second) firstRows.push_back(r);
  }
  ASSERT_EQ(firstRows.size(), catalogue.size());
  EXPECT_TRUE(std::is_sorted(firstRows.begin(), firstRows.end()));
}

TEST(ScreenSetTest, TheWholeListHoldsTheSetAndTheStaticScreensBeforeAnyListBox) {
  // The screens outside the set that link themselves in before the program
  // starts: the map view's three panes and the layout editor's screen.
  const std::vector<const Screen*> statics = {&g_mapView.mapPane, &g_mapView.minimapPane, &g_mapView.dragPanPane,
                                              &g_formEditor};
  constexpr size_t kListedBeforeAnyListBox = 1112;
  // Screens made since (list boxes, other tests' screens) stand in front.
  Screen later(nullptr);
  const Screen* x = Screen::AllScreens();
  while (x && x != &g_screens.popupFrames && std::find(statics.begin(), statics.end(), x) == statics.end())
    x = x->nextScreen;
  size_t listed = 0, staticsFound = 0;
  for (; x; x = x->nextScreen) {
    ++listed;
    staticsFound += std::find(statics.begin(), statics.end(), x) != statics.end();
  }
  EXPECT_EQ(listed, kListedBeforeAnyListBox);
  EXPECT_EQ(staticsFound, statics.size());
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

using ScreenSetPopupTest = PopupFixture;

TEST_F(ScreenSetPopupTest, ADockedSubPanelOpeningOnANarrowScreenClosesTheMailWindow) {
  // Rows: the screen's width, the side-screens option, the mail window
  // still open after the terrain panel's comparison opened.
  struct Row {
    int32_t width;
    int32_t sideScreens;
    bool mailOpen;
  } rows[] = {{800, 0, false}, {1023, 0, false}, {1024, 0, true}, {800, 1, true}};
  GlobalGuard<int32_t> sideScreens(g_uiOptions.sidescreens);
  GlobalGuard<int32_t> sideOpen(g_ui.sidePopupOpen);
  GlobalGuard<Control*> mailForm(g_screens.mailWindow.currentForm);
  Control mail;
  g_screens.mailWindow.currentForm = &mail;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.width);
    g_platform.clientRect = {0, 0, row.width, 600};
    g_uiOptions.sidescreens = row.sideScreens;
    g_ui.sidePopupOpen = 1;
    SetControlFlag(&mail, kStateHidden, 0);
    g_screens.mapScreen.hexInfo.distance.OnOpen();
    EXPECT_EQ(g_ui.sidePopupOpen == 1, row.mailOpen);
    EXPECT_EQ((mail.state & kStateHidden) == 0, row.mailOpen);
    EXPECT_EQ(g_ui.panelDepth, 3);
    SetPanelDepth(0, 1, g_mapView);
  }
}

}  // namespace
