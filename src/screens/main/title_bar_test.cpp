// Refreshing the title bar when the current player changes.
#include "screens/main/title_bar.h"

#include <gtest/gtest.h>

#include "screens/main/map_view.h"
#include "ui/screen_manager.h"
#include "ui/screen_set.h"

namespace {

class TitleBarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_screens.titleBar.id = 3;
    g_ui.pendingTitleBarId = 0x7FFFFFFF;
    g_ui.titleBarState[0] = 11;
    g_ui.titleBarState[1] = 12;
    g_mapView.layoutPending = 1;
  }
  void TearDown() override {
    g_screens.titleBar.id = 0;
    g_ui.pendingTitleBarId = 0x7FFFFFFF;
    g_ui.titleBarState[0] = g_ui.titleBarState[1] = 0;
    g_mapView.layoutPending = 0;
  }
};

TEST_F(TitleBarTest, AZeroFlagDoesNothing) {
  g_ui.pendingTitleBarId = 5;
  RefreshTitleBar(0);
  EXPECT_EQ(g_screens.titleBar.id, 3);
  EXPECT_EQ(g_ui.titleBarState[0], 11);
  EXPECT_EQ(g_ui.titleBarState[1], 12);
  EXPECT_EQ(g_mapView.layoutPending, 1);
}

TEST_F(TitleBarTest, APendingIdBecomesTheBarsAndTheStateIsReset) {
  g_ui.pendingTitleBarId = 5;
  RefreshTitleBar(1);
  EXPECT_EQ(g_screens.titleBar.id, 5);
  EXPECT_EQ(g_ui.titleBarState[0], 0);
  EXPECT_EQ(g_ui.titleBarState[1], 0);
  EXPECT_EQ(g_mapView.layoutPending, 0);  // the side screens were laid out again
}

TEST_F(TitleBarTest, WithoutAPendingIdTheBarKeepsItsOwn) {
  RefreshTitleBar(1);
  EXPECT_EQ(g_screens.titleBar.id, 3);
  EXPECT_EQ(g_ui.titleBarState[0], 0);
  EXPECT_STREQ(g_screens.titleBar.formName, "TITLEBAR");
}

}  // namespace
