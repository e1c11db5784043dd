// The screen base: ids kept or stored, forms attached to their hosts, the
// parameter list of pop-ups, and the pop-up frame.
#include "ui/screen.h"

#include <gtest/gtest.h>

#include <array>

#include "app/app_object.h"
#include "support/global_guard.h"
#include "ui/box_control.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/popups.h"
#include "ui/screen_manager.h"
#include "ui/ui_screen_hooks.h"

namespace {

class CountingScreen : public Screen {
 public:
  CountingScreen() : Screen("COUNTING") {}
  void OnOpen() override { ++opened; }
  void Refresh() override { ++refreshed; }
  int opened = 0, refreshed = 0;
};

Control* Box(const char* tag) { return new BoxControl(ControlInit{.tag = tag}); }

TEST(ScreenTest, ShowStoresTheIdUnlessToldToKeepIt) {
  const intptr_t text = reinterpret_cast<intptr_t>("a tooltip");
  struct Row {
    intptr_t shown;
    intptr_t expected;
  } rows[] = {{5, 5}, {kKeepScreenId, 3}, {text, text}, {0x7FFFFFFE, 0x7FFFFFFE}, {-1, -1}};
  for (const Row& row : rows) {
    CountingScreen screen;
    screen.id = 3;
    BoxControl host;
    screen.Show(row.shown, &host);
    EXPECT_EQ(screen.id, row.expected);
    EXPECT_EQ(screen.opened, 1);
    EXPECT_EQ(screen.refreshed, 1);
  }
}

TEST(ScreenTest, AttachFormPicksTheFormAndTheHost) {
  struct Row {
    const char* name;
    bool alternateLayout, hasAlternate, hostLinked, alternateHostLinked, hostGiven;
    bool expectAlternateForm;
    int expectHost;  // 0 the unlinked host kept, 1 the given, 2 the linked, 3 the alternate linked
  } rows[] = {
      {"given host", false, true, true, true, true, false, 1},
      {"no host given and no link keeps the host", false, false, false, false, false, false, 0},
      {"the host link", false, true, true, true, false, false, 2},
      {"alternate layout without an alternate form", true, false, true, false, false, false, 2},
      {"alternate layout", true, true, true, true, false, true, 3},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    CountingScreen screen;
    Control* form = Box("FORM");
    Control* alternate = Box("ALT");
    BoxControl kept, given, linked, alternateLinked;
    Control* hosts[4] = {&kept, &given, &linked, &alternateLinked};
    Control* link = &linked;
    Control* alternateLink = &alternateLinked;
    screen.form = form;
    if (row.hasAlternate) screen.alternateForm = alternate;
    if (row.hostLinked) screen.hostLink = &link;
    if (row.alternateHostLinked) screen.alternateHostLink = &alternateLink;
    screen.host = &kept;
    g_alternateLayout = row.alternateLayout;
    screen.AttachForm(row.hostGiven ? &given : nullptr);
    g_alternateLayout = false;
    Control* expectedForm = row.expectAlternateForm ? alternate : form;
    EXPECT_EQ(screen.currentForm, expectedForm);
    EXPECT_EQ(screen.host, hosts[row.expectHost]);
    EXPECT_EQ(hosts[row.expectHost]->firstChild, expectedForm);
    EXPECT_EQ(expectedForm->parent, hosts[row.expectHost]);
    delete form;
    delete alternate;
  }
}

TEST(ScreenTest, PopupCopiesOrEmptiesTheParameterListAndOpensAFrame) {
  CountingScreen screen;
  Control* form = Box("POP");
  form->rect = plat::Rect{0, 0, 100, 50};
  screen.form = screen.currentForm = form;
  ScreenParameterList list;
  list.entries = {11, 12, 13};
  Control root;
  Control* const oldRoot = g_ui.rootForm;
  g_ui.rootForm = &root;
  PopupFrameScreen frames;  // the screen set holds the game's
  g_uiScreenHooks.popupFrames = &frames;

  // Each step: the list handed over (-1 for the screen's own) and the
  // entries the screen's list holds after.
  struct Row {
    const char* name;
    int given;  // 0 none, 1 the caller's, -1 the screen's own
    std::vector<intptr_t> expected;
  } rows[] = {
      {"a list is copied", 1, {11, 12, 13}},
      {"its own list is kept as it is", -1, {11, 12, 13}},
      {"none empties it", 0, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const ScreenParameterList* given = row.given == 1 ? &list : row.given == -1 ? screen.parameterList : nullptr;
    EXPECT_EQ(screen.Popup(7, given), 0);
    ASSERT_NE(screen.parameterList, nullptr);
    EXPECT_NE(screen.parameterList, &list);
    EXPECT_EQ(screen.parameterList->entries, row.expected);
    EXPECT_EQ(screen.id, 7);
    // The form sits centred in a frame over the whole screen, the last child of the root.
    ASSERT_NE(form->parent, nullptr);
    EXPECT_EQ(form->parent->owner, &frames);
    EXPECT_EQ(form->parent->parent, g_ui.rootForm);
    EXPECT_EQ(screen.Popup(8, given), plat::kFail);  // shown already
    EXPECT_EQ(screen.Close(), 0);
    EXPECT_EQ(form->parent, nullptr);
    EXPECT_EQ(g_ui.rootForm->firstChild, nullptr);
  }
  EXPECT_EQ(screen.opened, 6);
  g_ui.rootForm = oldRoot;
  g_uiScreenHooks.popupFrames = nullptr;
  delete form;
}

TEST(ScreenTest, NotifyParentScreenStatesRefreshesTheHostsOwner) {
  CountingScreen outer, inner;
  BoxControl host;
  host.owner = &outer;
  Control* form = Box("INNER");
  inner.form = form;
  NotifyParentScreenStates(&inner);  // no current form yet
  inner.Show(0, &host);
  NotifyParentScreenStates(&inner);
  NotifyParentScreenStates(nullptr);
  EXPECT_EQ(outer.refreshed, 1);
  EXPECT_EQ(inner.refreshed, 1);
}

// A form shown on a background is laid out on its 1024 x 768 picture: on a
// larger screen it keeps its place towards the middle, moved once however
// often it is shown, and put elsewhere it goes back to where it was laid out.
// A pop-up is centred on the screen it opens on.
TEST(ScreenTest, FormsOnABackgroundAndPopupsKeepTheirPlaceOnALargerScreen) {
  struct Row {
    const char* name;
    int32_t w, h;
    int host;  // 0 the front end's background, 1 the game's, 2 a box elsewhere after the background, 3 a pop-up
    std::array<int32_t, 2> at;  // the form's top-left on the screen
  } rows[] = {
      {"front end at 1024 x 768", 1024, 768, 0, {392, 260}},
      {"front end at 1280 x 1024", 1280, 1024, 0, {520, 388}},
      {"game background at 1600 x 1200", 1600, 1200, 1, {680, 476}},
      {"elsewhere after the background", 1280, 1024, 2, {392, 260}},
      {"pop-up at 1280 x 1024", 1280, 1024, 3, {520, 347}},
  };
  const GlobalGuard<plat::Rect> client(g_platform.clientRect);
  const GlobalGuard<Control*> rootForm(g_ui.rootForm);
  const GlobalGuard<Control*> frontEnd(g_ui.frontEndBackground);
  const GlobalGuard<Control*> game(g_ui.gameBackground);
  PopupFrameScreen frames;
  const GlobalGuard<PopupFrameScreen*> frameScreen(g_uiScreenHooks.popupFrames);
  g_uiScreenHooks.popupFrames = &frames;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    g_platform.clientRect = {0, 0, row.w, row.h};
    ScreenManager ui;
    BuildRootControls(ui);
    g_ui.frontEndBackground = ui.frontEndBackground;
    g_ui.gameBackground = ui.gameBackground;
    g_ui.rootForm = ui.frontEndBackground;
    CountingScreen screen;
    Control* form = Box("MENU");
    form->rect = plat::Rect{392, 260, 632, 590};
    screen.form = form;
    BoxControl elsewhere;
    if (row.host == 3) {
      screen.currentForm = form;
      ASSERT_EQ(screen.Popup(0, nullptr), 0);
    } else {
      screen.hostLink = row.host == 1 ? &g_ui.gameBackground : &g_ui.frontEndBackground;
      screen.AttachForm(nullptr);
      screen.AttachForm(nullptr);
      if (row.host == 2) screen.AttachForm(&elsewhere);
    }
    const plat::Rect r = ControlAbsoluteRect(form);
    EXPECT_EQ((std::array{r.left, r.top}), row.at);
    EXPECT_EQ((std::array{r.right - r.left, r.bottom - r.top}), (std::array{240, 330}));
    if (row.host == 3) screen.Close(1);
    delete form;
  }
}

}  // namespace
