// The performance sheet's rows and the construction progress figures.
#include <gtest/gtest.h>

#include <string>

#include "screens/main/map/map_view.h"
#include "screens/military/unit_performance.h"
#include "support/global_guard.h"
#include "ui/control_test_support.h"
#include "ui/control_tree.h"
#include "ui/slide_bar.h"
#include "ui/string_control.h"
#include "world/data_tables.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

// Sliders 130-154, texts 230-254 and 330-347, labels 47 and 58.
struct Sheet {
  Sheet() {
    root = new Control(controltest::Init("SHEET", &owner, 0, 0, 300, 400));
    for (int32_t id = 130; id <= 154; ++id) Add(new SlideBarControl, id);
    for (int32_t id : {47, 58}) Add(new Control, id);
    for (int32_t first : {230, 330})
      for (int32_t id = first; id <= first + 24; ++id)
        Add(new StringControl(controltest::Init(nullptr, &owner, 0, 0, 40, 12), StringInit{.bufferSize = 31}), id);
  }
  ~Sheet() { delete root; }
  Sheet(const Sheet&) = delete;
  Sheet& operator=(const Sheet&) = delete;
  void Add(Control* c, int32_t id) { ControlAddChild(root, c)->id = id; }
  std::string Text(int32_t id) const { return static_cast<StringControl*>(FormFindControlById(root, id))->GetText(); }
  SlideBarControl* Bar(int32_t id) const { return static_cast<SlideBarControl*>(FormFindControlById(root, id)); }
  controltest::RecordingScreen owner;
  Control* root;
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
    EXPECT_EQ(sheet.Text(240), "250");
    EXPECT_EQ(sheet.Text(340), "50 km");
    EXPECT_EQ(sheet.Text(343), "n/a");
    EXPECT_EQ(sheet.Text(347), r.category == 0 ? "" : "0 km");
    EXPECT_EQ(sheet.Text(247), r.row147) << int(r.category);
    EXPECT_EQ(sheet.Bar(140)->MaximumInt(), r.attackMax) << int(r.category);
    EXPECT_EQ(FormFindControlById(sheet.root, 47)->Hidden(), r.label47Hidden);
    EXPECT_EQ(FormFindControlById(sheet.root, 58)->Hidden(), !r.label47Hidden);
    EXPECT_EQ(sheet.Text(234), "150 km");
  }
}

TEST_F(PerformanceTest, ShortRangeScaling) {
  g_world.gameState.rangeBoostAddend = 5.0f;
  const struct {
    uint32_t rules;
    float range, limit, scale, shown;
  } rows[] = {{0, 100.0f, 200.0f, 2.0f, 155.0f}, {0, 200.0f, 200.0f, 2.0f, 200.0f},
              {0, 0.0f, 400.0f, 3.0f, 5.0f},     {1u << 3, 100.0f, 200.0f, 2.0f, 100.0f}};
  for (const auto& r : rows) {
    g_world.scenario.head.gameFlags = r.rules;
    EXPECT_FLOAT_EQ(ShortRangeScaled(g_world, r.range, r.limit, r.scale), r.shown) << r.range << " " << r.rules;
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
    EXPECT_TRUE(FormFindControlById(s->root, 240)->Hidden());
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
