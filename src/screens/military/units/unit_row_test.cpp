// The missile stock row and the class row, drawn as list-row templates: one
// row after another in the same form, so each must set every mark both ways.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "records/order_words.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "screens/common/military_test_support.h"
#include "screens/common/units/build_item_row.h"
#include "screens/common/units/unit_sheets.h"
#include "screens/military/units/unit_progress_row.h"
#include "screens/military/units/unit_row.h"
#include "support/global_guard.h"
#include "ui/screen_manager.h"
#include "world/id_lookups.h"
#include "world/text/ui_options.h"
#include "world/unit_class_flags.h"
#include "world/unit_create.h"
#include "world/unit_ring.h"
#include "world/world.h"

namespace {

// Puts the unit index back in order after the guard restored the ring.
struct RingIndex {
  ~RingIndex() { ReindexUnits(g_world); }
};

// Missiles of strength 2.6 (shown as 3) of a class of 10 elements of 2
// days: built, a stock waiting (display word 11 clear) is yellow; one with
// a target takes the target mark and indent 47; one under construction
// shows its bar and no mark.
TEST(UnitRows, MissileStockRow) {
  const RingIndex reindex;
  const GlobalGuard<UnitRecord*> head(g_world.units);
  const GlobalGuard<std::vector<UnitClassRecord>> classes(g_world.unitClasses);
  const GlobalGuard<UiOptions> options(g_uiOptions);
  g_uiOptions.buiprogbarstyle = 0;
  g_world.units = nullptr;
  ReindexUnits(g_world);
  g_world.unitClasses.assign(2, UnitClassRecord{});
  g_world.unitClasses[1].flags = kClassStock;
  g_world.unitClasses[1].strengthPerSize = 10;
  g_world.unitClasses[1].buildWorkPerPoint = 2.0f;
  UnitRecord unit{};
  unit.id = 7, unit.classIndex = 1, unit.strength = 2.6f, unit.unitFlags = kUnitStock, unit.targetStrength = 1.0f;
  unit.buildWork = 5.0f;
  InsertUnitInRing(g_world, unit);
  MissileProgressRow row;
  militarytest::TestSheet form;
  auto* name = form.Add(nullptr, 2);
  auto* bar = form.Add<SlideBarControl>("PROGBAR");
  Control* target = form.Add<Control>("TARGICON");
  row.form = row.currentForm = form.root;
  row.BindControls();
  const struct {
    uint32_t orderFlags, fireHex;
    bool building;
    uint32_t colour;
    bool barShown, targetShown;
    int32_t indent;
  } rows[] = {{0, 0, false, 0xFFFFFF64u, false, false, 32},
              {1, 0x00010000u, false, 0xFFC8C8C8u, false, true, 47},
              {0, 0x00010000u, true, 0xFFFFFF64u, true, false, 32}};
  for (const auto& r : rows) {
    unit.ordersShown[kOrderFlags] = r.orderFlags;
    unit.ordersShown[kFireHex] = r.fireHex;
    unit.orders[kPostureBits] = r.building ? kPostureUnderConstruction : 0;
    row.Show(7, nullptr);
    EXPECT_EQ(name->GetText(), "3x " + UnitDisplayName(g_world, unit, true));
    EXPECT_EQ(name->textColour, r.colour);
    EXPECT_EQ(!bar->Hidden(), r.barShown);
    EXPECT_EQ(!target->Hidden(), r.targetShown);
    EXPECT_EQ(name->rect.left, r.indent);
  }
  EXPECT_NEAR(SliderGetValueFloat(bar), 21.0f - 5.0f, 0.01f);  // 10 x 2 x 1 + 1 days, 5 left
  row.form = row.currentForm = nullptr;
  g_world.units = nullptr;
}

// Classes drawn in turn in one row: the strength or a stock's size, the
// build days, the movement icon and the marks of the class's flags.
TEST(UnitRows, ClassRow) {
  const GlobalGuard<std::vector<UnitClassRecord>> classes(g_world.unitClasses);
  g_world.unitClasses.assign(4, UnitClassRecord{});
  UnitClassRecord& tank = g_world.unitClasses[1];
  std::strcpy(tank.name, "Tanks");
  tank.strengthPerSize = 12, tank.buildWorkPerPoint = 2.0f, tank.movementType = 0;
  tank.flags = kClassLongRange | kClassAmphibious;
  UnitClassRecord& missile = g_world.unitClasses[2];
  std::strcpy(missile.name, "Rockets");
  missile.flags = kClassStock | kClassSpecialImmune | kClassSpecialWeaponB | kClassFreeAirLift | kClassAmphibious;
  missile.slotSize = 4, missile.movementType = 7;
  UnitClassRecord& tracked = g_world.unitClasses[3];
  tracked.strengthPerSize = 1, tracked.movementType = 2;
  UnitRow row;
  militarytest::TestSheet form;
  form.Texts({"UNAME", "USTR", "UDAYS"});
  const std::vector<int32_t> icons = {5, 6, 10, 30, 31, 32, 33, 34, 35, 36, 37, 205, 206};
  for (int32_t id : icons) form.Add<Control>(nullptr, id);
  SetHidden(form.Find(32), true);  // the form's own: movement type 2 shows no icon
  row.form = row.currentForm = form.root;
  row.BindControls();
  const struct {
    intptr_t cls;
    const char *name, *strength, *days;
    std::vector<int32_t> shown;
  } rows[] = {{1, "Tanks", "Str 12", "25 Days", {5, 10, 30}},
              {2, "Rockets", "Size 4", "1 Day", {6, 37, 205, 206}},
              {3, "", "Str 1", "1 Day", {}}};
  for (const auto& r : rows) {
    row.Show(r.cls, nullptr);
    EXPECT_EQ(form.Text("UNAME"), r.name);
    EXPECT_EQ(form.Text("USTR"), r.strength);
    EXPECT_EQ(form.Text("UDAYS"), r.days);
    std::vector<int32_t> shown;
    for (int32_t id : icons)
      if (!form.Find(id)->Hidden()) shown.push_back(id);
    EXPECT_EQ(shown, r.shown) << r.cls;
  }
  row.form = row.currentForm = nullptr;
}

// A design's build days read one figure on its list row, on its class sheet
// and beside its order: the work of a whole unit (elements x days + 1), any
// part of a day counted whole (+ 0.99, cut to a whole day).
TEST(UnitRows, BuildDaysOnTheRowTheSheetAndTheOrder) {
  const GlobalGuard<std::vector<UnitClassRecord>> classes(g_world.unitClasses);
  const GlobalGuard<bool> quick(g_world.quickBuild);
  g_world.unitClasses.assign(2, UnitClassRecord{});
  UnitClassRecord& design = g_world.unitClasses[1];
  std::strcpy(design.name, "Tanks");
  const struct {
    int32_t elements;
    float daysPerElement;
    bool quickBuild;
    int32_t days;
  } rows[] = {
      {12, 1.375f, false, 18},  // 17.5 + 0.99
      {45, 0.5f, false, 24},    // the sample's Light Tanks: 23.5 + 0.99
      {24, 0.7f, false, 18},    // its Self-Prop Guns: 17.8 + 0.99
      {12, 2.0f, false, 25},    // 25.99
      {1, 0.0f, false, 1},      // 1.99
      {12, 2.0f, true, 25},     // a quick build shows the work all the same
  };
  UnitRow row;
  militarytest::TestSheet rowForm, sheet, order;
  rowForm.Texts({"UNAME", "USTR", "UDAYS"});
  sheet.Texts({"DAYS"});
  order.Texts({"DAYS"});
  row.form = row.currentForm = rowForm.root;
  row.BindControls();
  for (const auto& r : rows) {
    SCOPED_TRACE(testing::Message() << r.elements << " x " << r.daysPerElement << (r.quickBuild ? " quick" : ""));
    design.strengthPerSize = static_cast<int16_t>(r.elements);
    design.buildWorkPerPoint = r.daysPerElement;
    g_world.quickBuild = r.quickBuild;
    row.Show(1, nullptr);
    FillUnitClassSheet(sheet.root, design, nullptr, nullptr);
    float whole = 1.0f;
    DrawBuildItemRow(order.root, 0, design, &whole, 0);
    EXPECT_EQ(std::atoi(rowForm.Text("UDAYS").c_str()), r.days) << rowForm.Text("UDAYS");
    EXPECT_EQ(sheet.Text("DAYS"), std::to_string(r.days));
    EXPECT_EQ(std::atoi(order.Text("DAYS").c_str()), r.days) << order.Text("DAYS");
  }
  row.form = row.currentForm = nullptr;
}

}  // namespace
