// The docked panels' depth with the command bar's marker, and the side
// pop-up's sound and state.
#include "screens/docked_panels.h"

#include <gtest/gtest.h>

#include <vector>

#include "app/app_object.h"
#include "app/audio/sound_system.h"
#include "screens/common/frame/main_layout.h"
#include "screens/main/map/map_view.h"
#include "screens/screen_set.h"
#include "ui/popup_test_support.h"
#include "ui/box_control.h"
#include "ui/popups.h"
#include "ui/screen_manager.h"
#include "world/text/ui_options.h"

namespace {

using DockedPanelTest = PopupFixture;

TEST_F(DockedPanelTest, DockedPanelDepths) {
  struct Row {
    const char* name;
    int32_t depth;
    bool pop;  // PopPopupsTo, else ClosePanelsAbove
    int32_t level, keep;
    int32_t expected;
    int32_t marker;  // the command bar's panel-open flag after
  } rows[] = {
      {"pop to 0", 2, true, 0, 0, 0, 0},
      {"pop never deepens", 2, true, 3, 0, 2, 1},
      {"close above 1", 3, false, 1, 0, 1, 1},
      {"close above 0", 1, false, 0, 0, 0, 0},
      {"keep a shallower level", 2, false, 1, 1, 2, 1},
      {"keep still deepens", 2, false, 3, 1, 3, 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    SetPanelDepth(row.depth, 1, g_mapView);
    g_screens.cmdBar.dockedPanelMarker = 1;
    if (row.pop) {
      PopPopupsTo(g_ui, row.level);
    } else {
      ClosePanelsAbove(g_ui, row.level, row.keep);
    }
    EXPECT_EQ(g_ui.panelDepth, row.expected);
    EXPECT_EQ(g_screens.cmdBar.dockedPanelMarker, row.marker);
  }
  SetPanelDepth(0, 1, g_mapView);
}

TEST_F(DockedPanelTest, TheSidePopupSoundsOnlyWhenItsStateChanges) {
  struct Row {
    const char* name;
    bool show;
    int32_t sideScreens;
    int32_t flagAfter;
    std::vector<int32_t> sounds;
    bool hidden;
  } rows[] = {
      {"open", true, 0, 1, {8}, false},    {"open again", true, 0, 1, {}, false},
      {"close", false, 0, 0, {8}, true},   {"close again", false, 0, 0, {}, true},
      {"side screens show it", true, 1, 0, {}, false}, {"side screens keep it", false, 1, 0, {}, false},
  };
  FormScreen side;
  g_ui.sidePopupOpen = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    sounds.clear();
    g_uiOptions.sidescreens = row.sideScreens;
    if (row.show) {
      ShowSidePopup(g_ui, side, nullptr);
    } else {
      ClosePopup(g_ui, side);
    }
    EXPECT_EQ(g_ui.sidePopupOpen, row.flagAfter);
    EXPECT_EQ(sounds, row.sounds);
    EXPECT_EQ((side.form->state & kStateHidden) != 0, row.hidden);
  }
  g_ui.sidePopupOpen = 0;
}

}  // namespace
