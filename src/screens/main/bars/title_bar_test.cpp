// The title bar's figures, date and clock, and refreshing it when the
// current player changes.
#include "screens/main/bars/title_bar.h"

#include <gtest/gtest.h>

#include <tuple>

#include "screens/main/map/map_view.h"
#include "screens/screen_set.h"
#include "support/global_guard.h"
#include "ui/bitmap_control.h"
#include "ui/control_tree.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

// A title form of the tagged figures, each with room for 63 characters.
Control* FiguresForm() {
  auto* form = new Control(ControlInit{.tag = "TITLEBAR"});
  for (const char* tag : {"COUNTRY", "TREASURY", "POPULATION", "SIZE", "GDP", "APR", "MILAPR", "DOMAPR"})
    ControlAddChild(form, new StringControl(ControlInit{.tag = tag}, StringInit{.bufferSize = 63}));
  for (const char* tag : {"TARROW", "PARROW", "AARROW", "GARROW", "LARROW"})
    ControlAddChild(form, new BitmapControl(ControlInit{.tag = tag}, {}, {}, {}));
  return form;
}

std::string TextOf(Control* form, const char* tag) {
  Control* c = FormFindControlByTag(form, tag);
  return c ? c->text : "(none)";
}

TEST(TitleBarFigures, TheFiguresTheirTextsAndArrows) {
  // Area: 100 hexes of 20 km are 100 x 400 km2. Approval 0.456 prints
  // rounded to the nearest, 46. A treasury below 0 selects its figure. The
  // treasury's arrow compares with what the bar showed the day before.
  struct Row {
    float treasury, shownYesterday, approval;
    int32_t hexes, yesterdayHexes;
    const char *treasuryText, *approvalText, *size;
    bool treasurySelected, tShown, tSelected, lShown;
  } rows[] = {
      {-1, -1, 0.456f, 100, 100, "$ -1", " 46 %", "40,000", true, false, false, false},
      {0, 5, 0.0f, 1, 2, "$ 0", "  0 %", "400", false, true, false, true},
      {2500, 100, 1.0f, 0, 0, "$ 2,500", "100 %", "0", false, true, true, false},
  };
  const GlobalGuard<MapHeader> header(g_world.mapHeader);
  g_world.mapHeader.hexScale = 20;
  for (const Row& r : rows) {
    SCOPED_TRACE(r.treasuryText);
    Control* form = FiguresForm();
    PlayerRecord region{};
    region.treasury = r.treasury, region.approval = r.approval, region.yesterdayTotals[0] = r.approval;
    region.hexCount = r.hexes, region.yesterdayHexCount = r.yesterdayHexes;
    TitleBarSnapshot snapshot{.day = g_world.gameState.currentDay - 1, .set = true, .treasury = r.shownYesterday};
    FillTitleBarStats(form, ReadTitleBarFigures(g_world, region, snapshot));
    EXPECT_EQ(TextOf(form, "TREASURY"), r.treasuryText);
    EXPECT_EQ(TextOf(form, "APR"), r.approvalText);
    EXPECT_EQ(TextOf(form, "SIZE"), r.size);
    EXPECT_EQ(FormFindControlByTag(form, "TREASURY")->Selected(), r.treasurySelected);
    EXPECT_EQ(!FormFindControlByTag(form, "TARROW")->Hidden(), r.tShown);
    EXPECT_EQ(FormFindControlByTag(form, "TARROW")->Selected(), r.tSelected);
    EXPECT_EQ(!FormFindControlByTag(form, "LARROW")->Hidden(), r.lShown);
    EXPECT_TRUE(FormFindControlByTag(form, "AARROW")->Hidden() && FormFindControlByTag(form, "MILAPR")->Hidden());
    // The frame-rate line takes the population's place.
    FillTitleBarFrameRate(form, 59.5f);
    EXPECT_EQ(TextOf(form, "POPULATION"), "FPS 59.50");
    delete form;
  }
}

TEST(TitleBarClock, HourStepsFramesAndTheTwoForms) {
  struct Row { int32_t step, hours24; uint8_t flags; const char* text; uint8_t frame; bool mirrored; } rows[] = {
      {0, 0, 0, "12:00am", 0, false}, {6, 0, 0, "12:00pm", 6, false}, {7, 0, 0, " 2:00pm", 7, false},
      {7, 1, 0, "14h", 7, false},     {0, 0, 1, "12:00am", 12, true}, {5, 0, 1, "10:00am", 7, true},
      {11, 0, 0, "10:00pm", 11, false}, {12, 0, 0, "12:00am", 0, false}, {-3, 1, 0, "00h", 0, false},
  };
  BitmapControl clock(ControlInit{.tag = "CLOCK"}, {}, {}, {});
  clock.frameCount = 13;
  const GlobalGuard<int32_t> hours24(g_uiOptions.b24hformat);
  for (const Row& r : rows) {
    SCOPED_TRACE(r.text);
    g_uiOptions.b24hformat = r.hours24;
    FillTitleBarClock(&clock, r.step, r.flags);
    EXPECT_EQ(clock.text, r.text);
    EXPECT_EQ(clock.frame, r.frame);
    EXPECT_EQ((clock.flags & kCtlMirrorX) != 0, r.mirrored);
  }
}

class TitleBarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_screens.titleBar->id = 3;
    g_ui.pendingTitleBarId = 0x7FFFFFFF;
    g_ui.titleBarState[0] = 11;
    g_ui.titleBarState[1] = 12;
    g_mapView.layoutPending = 1;
  }
  void TearDown() override {
    g_screens.titleBar->id = 0;
    g_ui.pendingTitleBarId = 0x7FFFFFFF;
    g_ui.titleBarState[0] = g_ui.titleBarState[1] = 0;
    g_mapView.layoutPending = 0;
  }
};

// A pending id becomes the bar's and resets its state only with the flag;
// the side screens are laid out again then.
TEST_F(TitleBarTest, APendingIdIsTakenOnlyWithTheFlag) {
  const struct {
    int32_t flag, id, state0, state1, layoutPending;
  } rows[] = {{0, 3, 11, 12, 1}, {1, 5, 0, 0, 0}};
  for (const auto& r : rows) {
    SetUp();
    g_ui.pendingTitleBarId = 5;
    RefreshTitleBar(r.flag);
    EXPECT_EQ(std::tuple(g_screens.titleBar->id, g_ui.titleBarState[0], g_ui.titleBarState[1], g_mapView.layoutPending),
              std::tuple(r.id, r.state0, r.state1, r.layoutPending))
        << r.flag;
  }
}

TEST_F(TitleBarTest, WithoutAPendingIdTheBarKeepsItsOwn) {
  RefreshTitleBar(1);
  EXPECT_EQ(g_screens.titleBar->id, 3);
  EXPECT_EQ(g_ui.titleBarState[0], 0);
  EXPECT_STREQ(g_screens.titleBar->formName, "TITLEBAR");
}

}  // namespace

namespace {

// The bar in the top strip reaches the strip's right end: borders and last
// panel widen, the date, speeds and menu move with it; a strip as wide as
// the form leaves it as laid out.
TEST(TitleBarWidth, SpansTheTopStripItIsShownIn) {
  const struct {
    int32_t strip, formRight, borderRight, panelRight, menuLeft, dateLeft, gdpLeft;
  } rows[] = {{1280, 1280, 1280, 1280, 1210, 984, 498}, {1024, 1024, 1024, 1024, 954, 728, 498}};
  for (const auto& r : rows) {
    auto box = [](const char* tag, int32_t left, int32_t width, int32_t id = 0) {
      return new Control(ControlInit{.tag = tag, .id = id, .left = left, .top = 0, .width = width, .height = 20});
    };
    Control* strip = box("STRIP", 0, r.strip);
    Control* form = box("TITLEBAR", 0, 1024);
    for (Control* c : {box("BORDER1", 0, 1024), box("PANEL3", 498, 226, 9003), box("PANEL4", 724, 300, 9004),
                       box("GDP", 498, 100), box("DATE", 728, 112), box("MENU", 954, 66)})
      ControlAddChild(form, c);
    GlobalGuard<Control*> top(g_ui.topBar, strip);
    std::unique_ptr<Screen> bar = MakeTitleBar();
    bar->form = form;
    bar->AttachForm(nullptr);
    EXPECT_EQ(std::tuple(form->rect.right, FormFindControlByTag(form, "BORDER1")->rect.right,
                         FormFindControlById(form, 9004)->rect.right, FormFindControlByTag(form, "MENU")->rect.left,
                         FormFindControlByTag(form, "DATE")->rect.left, FormFindControlByTag(form, "GDP")->rect.left),
              std::tuple(r.formRight, r.borderRight, r.panelRight, r.menuLeft, r.dateLeft, r.gdpLeft))
        << r.strip;
    form->Unlink();
    delete form;
    delete strip;
  }
}

}  // namespace
