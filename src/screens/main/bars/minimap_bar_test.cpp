// The floating minimap's place and title font, and the skew slider's
// facility fade, which every opening of the bar resets.
#include "screens/main/bars/minimap_bar.h"

#include <gtest/gtest.h>

#include <cstring>

#include "screens/main/map/map_view.h"
#include "screens/screen_set.h"
#include "support/global_guard.h"
#include "ui/control_test_support.h"
#include "ui/control_tree.h"
#include "ui/screen_manager.h"
#include "ui/slide_bar.h"
#include "ui/string_control.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

TEST(MinimapBarTest, FloatsInTheMapsCornerAndItsSkewIsTheFacilityFade) {
  MinimapBar& bar = g_screens.minimapBar;
  Control* const savedForm = bar.form;
  const GlobalGuard<Control*> mapArea(g_ui.mapArea);
  const GlobalGuard<UiOptions> options(g_uiOptions);
  const GlobalGuard<MapHeader> header(g_world.mapHeader);

  auto* pane = new Control(controltest::Init("MAP", nullptr, 0, 24, 1000, 700));
  auto* form = new Control(controltest::Init("SIDEBAR0", &bar, 0, 0, 224, 125));
  ControlAddChild(form, new Control(controltest::Init("MINIMAPBOX", &bar, 16, 12, 192, 80)));
  auto* title = static_cast<StringControl*>(
      ControlAddChild(form, new StringControl(controltest::Init("MAPTITLE", &bar, 16, 0, 144, 12), {})));
  auto* skew = static_cast<SlideBarControl*>(
      ControlAddChild(form, new SlideBarControl(controltest::Init("MAPSKEWSLDR", &bar, 16, 108, 144, 12), {})));
  bar.form = bar.currentForm = form;
  g_ui.mapArea = pane;
  g_uiOptions.sidescreens = 0;

  // The pane is 1000 x 700 and the minimap 192 x 80: 24 from the right
  // (1000 - 192 - 24 = 784), 24 from the top or 40 above the bottom
  // (700 - 80 - 40 = 580); a title above 6 characters takes font 5.
  struct Row {
    int32_t floatTop;
    const char* title;
    int32_t wantX, wantY;
    uint32_t wantFont;
  };
  const Row rows[] = {{1, "Narrow", 784, 24, 2}, {0, "Narrows", 784, 580, 5}};
  for (const Row& r : rows) {
    g_uiOptions.minimapfloattop = r.floatTop;
    std::memset(g_world.mapHeader.mapTitle, 0, sizeof g_world.mapHeader.mapTitle);
    std::strcpy(g_world.mapHeader.mapTitle, r.title);
    bar.OnOpen();
    bar.AttachForm(nullptr);
    EXPECT_EQ(form->parent, pane);
    EXPECT_EQ(form->rect.left, r.wantX) << r.title;
    EXPECT_EQ(form->rect.top, r.wantY) << r.title;
    EXPECT_EQ(title->text, r.title);
    EXPECT_EQ(title->fontSlot, r.wantFont) << r.title;
  }

  SliderSetValueFloat(skew, 0.25f);
  bar.OnControlChange(skew, 0);
  EXPECT_NEAR(g_mapView.facilityFade, 0.25f, 0.001f);
  bar.OnOpen();
  EXPECT_EQ(g_mapView.facilityFade, 1.0f);
  EXPECT_NEAR(SliderGetValueFloat(skew), 1.0f, 0.001f);

  form->Unlink();
  delete form;
  delete pane;
  bar.form = savedForm;
  bar.currentForm = savedForm;
}

}  // namespace
