// The unit tabs over a small world: the strength rows of a carrier and its
// cargo, the cargo tab's goods row and actions, and the detail part's
// embedded class row and cargo panel.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "records/unit_table_arrays.h"
#include "screens/common/owned_test_form.h"
#include "screens/main/panels/cargo_panel.h"
#include "screens/main/panels/unit_tab_panels.h"
#include "support/global_guard.h"
#include "ui/control.h"
#include "ui/control_test_support.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/slide_bar.h"
#include "ui/string_control.h"
#include "world/id_lookups.h"
#include "world/text/text_lists.h"
#include "world/text/ui_options.h"
#include "world/unit_class_flags.h"
#include "world/unit_ring.h"
#include "world/world.h"

namespace {

constexpr int kLocal = 1, kOther = 2;
constexpr int16_t kCarrierClass = 1, kCargoClass = 2, kMissileClass = 3, kPlaneClass = 4;

// A form of tagged controls, texts by id and slide bars by id for a panel.
struct PanelForm : OwnedTestForm {
  PanelForm(Screen& owner, std::initializer_list<const char*> tags, std::initializer_list<int32_t> ids = {},
            std::initializer_list<int32_t> bars = {})
      : OwnedTestForm(owner, new Control(controltest::Init("ROOT", &owner, 0, 0, 220, 194))) {
    for (const char* tag : tags) ControlAddChild(root, new Control(controltest::Init(tag, &owner, 0, 0, 20, 12)));
    for (int32_t id : ids) {
      ControlInit text = controltest::Init(nullptr, &owner, 0, 0, 20, 12);
      text.kind = kKindString;
      text.id = id;
      ControlAddChild(root, new StringControl(text, StringInit{}));
    }
    for (int32_t id : bars) {
      Control* c = ControlAddChild(root, new SlideBarControl(controltest::Init(nullptr, &owner, 0, 0, 100, 12), {}));
      c->id = id;
    }
  }
  std::string Text(int32_t id) const {
    const Control* c = (*this)[id];
    return c ? c->text : "<missing>";
  }
};

// Puts the unit ring back in order after the guard restored its head.
struct RingIndex {
  ~RingIndex() { ReindexUnits(g_world); }
};

class UnitTabsWorld : public ::testing::Test {
 protected:
  void SetUp() override {
    World& w = g_world;
    w.units = nullptr;
    ReindexUnits(w);
    w.gameState.localPlayer = kLocal;
    w.unitClasses.assign(8, UnitClassRecord{});
    UnitClassRecord& carrier = w.unitClasses[kCarrierClass];
    std::strcpy(carrier.name, "Carrier");
    carrier.carryCapacity = 20.0f;  // 40 at strength 2
    carrier.ammoCapacity = 40.0f;
    carrier.ammoPerShot = 1.5f;
    carrier.weight = 1.0f;
    std::strcpy(w.unitClasses[kCargoClass].name, "Tanks");
    w.unitClasses[kCargoClass].weight = 2.0f;
    std::strcpy(w.unitClasses[kMissileClass].name, "Missile");
    w.unitClasses[kMissileClass].flags = kClassStock;
    std::strcpy(w.unitClasses[kPlaneClass].name, "Jets");
    SetText(kListProdunits, 10, "units");
  }
  void TearDown() override {
    g_world.units = nullptr;
    ReindexUnits(g_world);
    for (UnitRecord* u : units_) delete u;
    for (const auto& [list, index] : texts_) {
      char*& entry = g_textLists.entries[TextListInfoOf(list).first + index];
      std::free(entry);
      entry = nullptr;
    }
  }

  UnitRecord& AddUnit(int16_t cls, int owner, float strength) {
    auto* u = new UnitRecord{};
    u->owner = static_cast<uint8_t>(owner);
    u->id = static_cast<uint32_t>(owner) << 24 | static_cast<uint32_t>(units_.size() + 1);
    u->classIndex = cls;
    u->strength = strength;
    if (g_world.unitClasses[static_cast<size_t>(cls)].flags & kClassStock) u->unitFlags |= kUnitStock;
    InsertUnitInRing(g_world, *u);
    units_.push_back(u);
    return *u;
  }
  // Puts the unit aboard the carrier, last in its cargo chain.
  static void Board(UnitRecord& carrier, UnitRecord& unit) {
    unit.carrier = carrier.id;
    uint32_t* link = &carrier.cargoNext;
    while (*link != 0) link = &FindUnitById(g_world, *link)->cargoNext;
    *link = unit.id;
  }
  void SetText(TextListId list, int index, const char* text) {
    char*& entry = g_textLists.entries[TextListInfoOf(list).first + index];
    std::free(entry);
    entry = strdup(text);
    texts_.emplace_back(list, index);
  }

  RingIndex ringIndex_;
  GlobalGuard<UnitRecord*> head_{g_world.units};
  GlobalGuard<std::vector<UnitClassRecord>> classes_{g_world.unitClasses};
  GlobalGuard<GameState> state_{g_world.gameState};
  GlobalGuard<UiOptions> options_{g_uiOptions};
  std::vector<UnitRecord*> units_;
  std::vector<std::pair<TextListId, int>> texts_;
};

// The strength rows of a carrier of strength 2 (cargo room 20 a point: 40;
// supply room 40 a point: 80; daily use 1.5 a point: 3 a day) with 30
// supplies. A unit aboard (weight 2 x strength 10 = 20, supplies 15, goods
// 10) adds 45 when it has strength and the carrier is not aboard something.
// With no goods, a load of 45 overruns the room by 5: supply room 75.
TEST_F(UnitTabsWorld, StrengthRowsOfACarrier) {
  const struct {
    float goods;
    float aboardStrength;  // < 0: nothing aboard
    bool carrierAboard;
    float dailyUse;
    const char *load, *limit, *days, *roomDays;
    float bar155, marker155, max156, bar156;
  } rows[] = {
      {55, -1, false, 1.5f, "55", "40", "10", "26", 40, 0, 80, 30},
      {10, 10, false, 1.5f, "55", "40", "10", "26", 40, 40, 80, 30},
      {0, 10, false, 1.5f, "45", "40", "10", "25", 40, 40, 75, 30},
      {10, 10, true, 1.5f, "10", "40", "10", "26", 10, 0, 80, 30},
      {10, 0, false, 1.5f, "10", "40", "10", "26", 10, 0, 80, 30},
      {10, -1, false, 0, "10", "40", "0", "0", 10, 0, 80, 0},
  };
  UnitStrengthPanel panel;
  PanelForm form(panel, {}, {254, 255, 256, 257, 355, 356, 954, 955, 956, 957}, {154, 155, 156, 157});
  g_uiOptions.buishowspecsliders = 0;
  for (const auto& r : rows) {
    g_world.unitClasses[kCarrierClass].ammoPerShot = r.dailyUse;
    UnitRecord& carrier = AddUnit(kCarrierClass, kLocal, 2.0f);
    carrier.supply = r.goods;
    carrier.ammo = 30.0f;
    carrier.efficiency = 0.876f;
    if (r.aboardStrength >= 0.0f) {
      UnitRecord& tanks = AddUnit(kCargoClass, kLocal, r.aboardStrength);
      tanks.ammo = 15.0f;
      tanks.supply = 10.0f;
      Board(carrier, tanks);
    }
    if (r.carrierAboard) carrier.carrier = AddUnit(kCarrierClass, kLocal, 1.0f).id;
    panel.id = carrier.id;
    panel.Refresh();
    const auto* b155 = static_cast<SlideBarControl*>(form[155]);
    const auto* b156 = static_cast<SlideBarControl*>(form[156]);
    const std::string at = std::to_string(r.goods) + " " + std::to_string(r.aboardStrength);
    EXPECT_EQ(form.Text(254), " 88 %") << at;
    EXPECT_EQ(form.Text(255), r.load) << at;
    EXPECT_EQ(form.Text(355), r.limit) << at;
    EXPECT_EQ(form.Text(256), r.days) << at;
    EXPECT_EQ(form.Text(356), r.roomDays) << at;
    EXPECT_FLOAT_EQ(b155->MaximumFloat(), 40.0f) << at;
    EXPECT_NEAR(SliderGetValueFloat(b155), r.bar155, 0.01f) << at;
    EXPECT_EQ(b155->rawMarker, SliderPositionOfFloat(b155, r.marker155)) << at;
    EXPECT_EQ(b155->rawMarker == 0, r.marker155 == 0.0f) << at;
    EXPECT_FLOAT_EQ(b156->MaximumFloat(), r.max156) << at;
    EXPECT_NEAR(SliderGetValueFloat(b156), r.bar156, 0.01f) << at;
  }
}

// The cargo tab's rows: whole tons of goods above 0 make a goods row;
// an empty carrier names what it could hold.
TEST_F(UnitTabsWorld, CargoGoodsRow) {
  const struct {
    float goods;
    uint16_t missileSlots;
    std::vector<std::string> rows;
  } cases[] = {
      {0.9f, 0, {"No Cargo"}},
      {0.9f, 4, {"No Cargo/Missiles"}},
      {1.0f, 0, {"SUP 1 units"}},
      {12.0f, 4, {"SUP 12 units"}},
      {12.7f, 0, {"SUP 12 units"}},
  };
  CargoPanel panel("MAP1_SS4C");
  PanelForm form(panel, {"CARGOLIST", "UNLOADALL", "NOLOADHIDE", "CARGOHIDE"});
  panel.BindControls();
  ASSERT_NE(panel.cargoList, nullptr);
  for (const auto& c : cases) {
    g_world.unitClasses[kCarrierClass].cargoSlots = c.missileSlots;
    UnitRecord& carrier = AddUnit(kCarrierClass, kLocal, 2.0f);
    carrier.supply = c.goods;
    panel.id = carrier.id;
    panel.Refresh();
    std::vector<std::string> got;
    for (Control* row = ListNextRow(panel.cargoList, nullptr); row; row = ListNextRow(panel.cargoList, row))
      got.push_back(row->text);
    EXPECT_EQ(got, c.rows) << c.goods;
    EXPECT_EQ(form["NOLOADHIDE"]->Hidden(), c.missileSlots == 0) << c.goods;
  }
}

// Picking a row of the cargo list: a missile offers launch, unload and the
// authorisation box; a unit offers unload, an aircraft (the record's move
// kind 1) the air unload; a foreign carrier offers nothing.
TEST_F(UnitTabsWorld, CargoRowActions) {
  const char* const actions[] = {"LAUNCH", "UNLOAD", "UNLOADM", "UNLOADA", "AUTHHIDEB"};
  const struct {
    int owner;
    int16_t cls;
    uint8_t moveKind;
    std::vector<std::string> shown;
  } rows[] = {
      {kLocal, kMissileClass, kMoveKindAir, {"LAUNCH", "UNLOADM", "AUTHHIDEB"}},
      {kLocal, kCargoClass, kMoveKindLand, {"UNLOAD"}},
      {kLocal, kPlaneClass, kMoveKindAir, {"UNLOADA"}},
      {kLocal, kPlaneClass, kMoveKindSea, {"UNLOAD"}},
      {kOther, kMissileClass, kMoveKindAir, {}},
      {kOther, kCargoClass, kMoveKindLand, {}},
      {kOther, kPlaneClass, kMoveKindAir, {}},
  };
  CargoPanel panel("MAP1_SS4C");
  PanelForm form(panel, {"CARGOLIST", "LAUNCH", "UNLOAD", "UNLOADM", "UNLOADA", "AUTHHIDEB", "UNLOADALL", "GRID1",
                         "STATPARENT"});
  panel.BindControls();
  ASSERT_NE(panel.cargoList, nullptr);
  for (const auto& r : rows) {
    UnitRecord& carrier = AddUnit(kCarrierClass, r.owner, 2.0f);
    UnitRecord& aboard = AddUnit(r.cls, r.owner, 1.0f);
    aboard.moveKind = r.moveKind;
    Board(carrier, aboard);
    panel.id = carrier.id;
    panel.Refresh();
    Control* row = ListNextSelected(panel.cargoList, nullptr);
    ASSERT_NE(row, nullptr);
    ASSERT_EQ(static_cast<uint32_t>(ListRowValue(row)), aboard.id);
    panel.OnControlChange(panel.cargoList, 0);
    std::vector<std::string> shown;
    for (const char* tag : actions)
      if (!form[tag]->Hidden()) shown.push_back(tag);
    EXPECT_EQ(shown, r.shown) << r.owner << " " << r.cls << " " << int{r.moveKind};
    EXPECT_FALSE(form["STATPARENT"]->Hidden());
  }
}

// The detail part shows the cargo panel in SUBPAR01 only for a class with a
// cargo or missile capacity whose unit is not itself aboard something, and
// its class row in CLASSPAR with the military-class number.
TEST_F(UnitTabsWorld, DetailHostsCargoForCarriersNotAboard) {
  const struct {
    float cargo;
    uint16_t missiles;
    bool aboard;
    bool shown;
  } rows[] = {
      {20, 0, false, true}, {0, 4, false, true}, {20, 4, true, false}, {0, 0, false, false}, {20, 0, true, false},
  };
  UnitDetailPanel panel;
  PanelForm form(panel, {"LIST1", "SUBPAR01", "CLASSPAR"});
  CargoPanel cargo("POPUP_MILITARY1A9a");
  Screen classRow("MILITARY_CLASS");
  panel.cargoPart = &cargo;
  panel.classRow = &classRow;
  panel.BindControls();
  g_world.unitClasses[kCarrierClass].typeByte = 7;
  for (const auto& r : rows) {
    g_world.unitClasses[kCarrierClass].carryCapacity = r.cargo;
    g_world.unitClasses[kCarrierClass].cargoSlots = r.missiles;
    UnitRecord& carrier = AddUnit(kCarrierClass, kLocal, 1.0f);
    if (r.aboard) carrier.carrier = AddUnit(kCarrierClass, kLocal, 1.0f).id;
    cargo.id = 0;
    cargo.host = nullptr;
    panel.id = carrier.id;
    panel.Refresh();
    EXPECT_EQ(form["SUBPAR01"]->Hidden(), !r.shown) << r.cargo << " " << r.missiles << " " << r.aboard;
    EXPECT_EQ(cargo.id, r.shown ? static_cast<intptr_t>(carrier.id) : 0) << r.cargo << " " << r.aboard;
    EXPECT_EQ(cargo.host, r.shown ? form["SUBPAR01"] : nullptr);
    EXPECT_EQ(classRow.id, 7);
    EXPECT_EQ(classRow.host, form["CLASSPAR"]);
  }
}

}  // namespace
