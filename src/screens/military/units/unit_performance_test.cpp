// The performance sheet's rows and the construction progress figures.
#include <gtest/gtest.h>

#include "screens/common/frame/map_view_state.h"
#include "screens/common/military_test_support.h"
#include "screens/military/units/unit_performance.h"
#include "support/global_guard.h"
#include "world/data_tables.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

// Sliders 130-154, texts 230-254 and 330-354, labels 47 and 58.
struct Sheet : militarytest::TestSheet {
  Sheet() {
    for (int32_t id = 130; id <= 154; ++id) Add<SlideBarControl>(nullptr, id);
    for (int32_t id : {47, 58}) Add<Control>(nullptr, id);
    for (int32_t id = 230; id <= 354; ++id)
      if (id <= 254 || id >= 330) Add(nullptr, id);
  }
  SlideBarControl* Bar(int32_t id) const { return static_cast<SlideBarControl*>(Find(id)); }
};

class PerformanceTest : public ::testing::Test {
 protected:
  GlobalGuard<GameState> state_{g_world.gameState};
  GlobalGuard<uint32_t> rules_{g_world.scenario.head.gameFlags};
  GlobalGuard<int32_t> bars_{g_uiOptions.buishowspecsliders};
  GlobalGuard<int32_t> redraw_{g_mapView.redrawPending};
  UnitClassRecord cls_;
};

// Ranges: 100 km stretched by 2 below 400 km; rating 7's own range is 0.
TEST_F(PerformanceTest, RatingsAndRanges) {
  g_world.gameState.weaponRangeBoost = 1.0f;
  g_world.gameState.sightRangeBoost = 2.0f;
  g_world.gameState.rangeBoostAddend = 0.0f;
  cls_.attackValues[0] = 160, cls_.attackValues[3] = 0, cls_.attackValues[7] = 9, cls_.coveredAttack = 12;
  cls_.weaponRanges[0] = 50.0f, cls_.weaponRanges[3] = 0.0f;
  cls_.sightDistance = 100.0f;
  const struct {
    uint8_t category;
    int32_t attackMax;
    const char* row147;
    bool label47Hidden;
  } rows[] = {{2, 240, "9", false}, {1, 60, "9", false}, {0, 60, "12", true}};
  for (const auto& r : rows) {
    Sheet sheet;
    cls_.kind = r.category;
    FillUnitPerformance(sheet.root, &cls_, nullptr);
    EXPECT_EQ(sheet.Text<int32_t>(240), "250");
    EXPECT_EQ(sheet.Text<int32_t>(340), "50 km");
    EXPECT_EQ(sheet.Text<int32_t>(343), "n/a");
    EXPECT_EQ(sheet.Text<int32_t>(347), r.category == 0 ? "" : "0 km");
    EXPECT_EQ(sheet.Text<int32_t>(247), r.row147) << int(r.category);
    EXPECT_EQ(sheet.Bar(140)->MaximumInt(), r.attackMax) << int(r.category);
    EXPECT_EQ(sheet.Find(47)->Hidden(), r.label47Hidden);
    EXPECT_EQ(sheet.Find(58)->Hidden(), !r.label47Hidden);
    EXPECT_EQ(sheet.Text<int32_t>(234), "150 km");
  }
}

// Every sheet reads the one switch: a click on one flips both.
TEST_F(PerformanceTest, ClickFlipsEverySheet) {
  g_uiOptions.buishowspecsliders = 0;
  Sheet first, second;
  UnitClassStatsPopup a, b("POPUP_MISSILE_SS2");
  a.currentForm = first.root, b.currentForm = second.root;
  a.OnCommand(nullptr, 950);
  for (const Sheet* s : {&first, &second}) FillUnitPerformance(s->root, &cls_, nullptr);
  for (const Sheet* s : {&first, &second}) {
    EXPECT_FALSE(s->Bar(140)->Hidden());
    EXPECT_TRUE(s->Find(240)->Hidden());
  }
  b.OnCommand(nullptr, 899);
  EXPECT_EQ(g_uiOptions.buishowspecsliders, 1);
  a.currentForm = b.currentForm = nullptr;
}

// Size 0.25 builds as 0.5: 10 x 2.0 x 0.5 + 1 = 11 days; 4 left, 7 gone.
TEST_F(PerformanceTest, BuildProgress) {
  cls_.strengthPerSize = 10;
  cls_.buildWorkPerPoint = 2.0f;
  const struct {
    float size, left, total, elapsed;
  } rows[] = {{0.25f, 4.0f, 11.0f, 7.0f}, {0.0f, 0.5f, 1.0f, 0.5f}, {2.0f, 1.0f, 41.0f, 40.0f}};
  for (const auto& r : rows) {
    const BuildProgress p = UnitBuildProgress(cls_, r.size, r.left);
    EXPECT_FLOAT_EQ(p.total, r.total) << r.size;
    EXPECT_FLOAT_EQ(p.elapsed, r.elapsed) << r.size;
  }
}

}  // namespace
