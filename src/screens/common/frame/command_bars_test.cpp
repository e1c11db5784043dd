// The mail bar's show rule, where a main panel's form goes when it opens,
// and the speed bar's pressed speed.
#include "screens/common/frame/command_bars.h"

#include <gtest/gtest.h>

#include "app/app_object.h"
#include "screens/screen_set.h"
#include "support/global_guard.h"
#include "support/root_controls.h"
#include "ui/control_tree.h"
#include "ui/popups.h"
#include "ui/screen_manager.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

class CommandBarsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_ui.mode = kUiInGame;
    g_popupSounds.uiSound = [](int32_t) {};
  }
  void TearDown() override {
    g_popupSounds.uiSound = nullptr;
    g_ui.mode = kUiFrontEnd;
    g_ui.panelDepth = g_ui.sidePopupOpen = g_fullPanelMode = 0;
  }

  GlobalGuard<plat::Rect> client_{g_platform.clientRect, {0, 0, 1280, 1024}};
  GlobalGuard<UiOptions> options_{g_uiOptions};
  RootControlsForTest root_;
};

TEST_F(CommandBarsTest, TheMailBarHidesWhenTheDockLeavesNoRoom) {
  // n = mail window open + dock depth: at 800 pixels hidden from 3, up to
  // 1024 from 4, above 1024 never; with the side screens always hidden.
  struct Row { int32_t width, side, mail, depth; bool shown; } rows[] = {
      {800, 0, 0, 2, true},   {800, 0, 1, 2, false},  {800, 0, 0, 3, false},  {1024, 0, 1, 2, true},
      {1024, 0, 1, 3, false}, {1024, 0, 0, 3, true},  {960, 0, 1, 3, false},  {960, 0, 0, 2, true},
      {1280, 0, 1, 3, true},  {1280, 1, 0, 0, false}, {1024, 1, 0, 0, false}, {800, 0, 0, 0, true},
  };
  CmdBar3 bar;
  bar.currentForm = new Control(ControlInit{.tag = "CMDBAR3"});
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.width << " side " << r.side << " n " << r.mail << "+" << r.depth);
    g_platform.clientRect = {0, 0, r.width, 768};
    g_uiOptions.sidescreens = r.side, g_ui.sidePopupOpen = r.mail, g_ui.panelDepth = r.depth;
    UpdatePopupButton(bar);
    EXPECT_EQ(!bar.currentForm->Hidden(), r.shown);
  }
  delete bar.currentForm;
}

TEST_F(CommandBarsTest, APanelOpensDockedWithOrWithoutItsCabinetOrFullSize) {
  // Panels 2 to 7 have a cabinet seat; a filled seat shows the cabinet
  // (result 0) unless the panel's flags say not (1); other panels give 0.
  // Full size needs the mode and a full-size form (2).
  struct Row { int32_t panel; uint8_t seat, flags; int32_t fullMode; bool hasAlternate; int32_t result, depth, cabinets; };
  const Row rows[] = {
      {1, 0, 0, 0, false, 0, 1, 0}, {2, 1, 0, 0, false, 0, 1, 1},
      {2, 0, 0, 0, false, 1, 1, 0}, {3, 1, kPanelFlagNoCabinet, 0, false, 1, 1, 0},
      {8, 1, 0, 0, false, 0, 1, 0}, {7, 1, kPanelFlagKeepDepth, 0, false, 0, 0, 1},
      {5, 1, 0, -1, true, 2, 0, 0}, {5, 1, 0, -1, false, 0, 1, 1}, {4, 2, 0, 0, false, 1, 1, 0},
  };
  static int32_t cabinets;
  const GlobalGuard<CommandBarLinks> links(g_commandBarLinks);
  g_commandBarLinks.showCabinet = [](int32_t, Control*) { ++cabinets; };
  World& w = g_world;
  const GlobalGuard<int32_t> local(w.gameState.localPlayer, 1);
  const GlobalGuard<PlayerRecord> region(w.players[1]);
  Screen panel("ECONOMY1");
  panel.form = new Control(ControlInit{.tag = "ECONOMY1", .width = 300, .height = 190});
  Control* alternate = new Control(ControlInit{.tag = "ECONOMY1_FULL", .width = 800, .height = 400});
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << "panel " << r.panel << " seat " << int{r.seat} << " mode " << r.fullMode);
    cabinets = g_ui.panelDepth = 0;
    for (auto& post : w.players[1].displayPolicy.cabinetPolicy) post.bytes[0] = r.seat;
    g_panelFlags[r.panel] = r.flags;
    g_fullPanelMode = r.fullMode;
    panel.alternateForm = r.hasAlternate ? alternate : nullptr;
    EXPECT_EQ(OpenChildPopup(panel, r.panel), r.result);
    EXPECT_EQ(g_ui.panelDepth, r.depth);
    EXPECT_EQ(cabinets, r.cabinets);
    EXPECT_EQ(g_panelFlags[r.panel], 0);
    EXPECT_EQ(g_screens.cmdBar.id, r.panel);
    EXPECT_EQ(panel.currentForm, r.result == 2 ? alternate : panel.form);
    EXPECT_EQ(g_alternateLayout, r.result == 2);
    // Docked, the panel hangs in the dock's first level; the mode ends.
    EXPECT_TRUE(r.result == 2 || (panel.form->parent == g_ui.bottomBoxes[1] && g_fullPanelMode == 0));
    g_alternateLayout = false;
  }
  delete panel.form;
  delete alternate;
  g_screens.cmdBar.id = 0;
}

TEST_F(CommandBarsTest, OnlyTheSpeedInForceLooksPressed) {
  Control speeds(ControlInit{.tag = "TCSPEED"});
  for (int32_t id = 1; id <= 4; ++id) ControlAddChild(&speeds, new Control(ControlInit{.flags = kCtlRadio, .id = id}));
  g_screens.speedBar.speeds = &speeds;
  for (int32_t tier : {2, 0, 3, 3}) {
    HighlightChildById(tier);
    for (int32_t id = 1; id <= 4; ++id) EXPECT_EQ(FormFindControlById(&speeds, id)->Selected(), id == tier + 1);
  }
  g_screens.speedBar.speeds = nullptr;
}

}  // namespace
