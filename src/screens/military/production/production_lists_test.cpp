// A build list's detail panels, the map's base production panel and the
// pop-up a production row opens, over a small world.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/order_words.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "screens/common/units/build_item_row.h"
#include "screens/common/local_region_fixture.h"
#include "screens/common/military_test_support.h"
#include "screens/military/production/production_lists.h"
#include "screens/common/units/unit_class_row.h"
#include "screens/screen_set.h"
#include "support/global_guard.h"
#include "support/unit_ring.h"
#include "ui/list_control.h"
#include "world/hex_extra.h"
#include "world/id_lookups.h"
#include "world/text/text_lists.h"
#include "world/unit_class.h"
#include "world/unit_class_flags.h"
#include "world/unit_create.h"
#include "world/world.h"

namespace {

using militarytest::TestSheet;
using militarytest::TextPatch;

constexpr int kWidth = 16, kLocal = 1;
constexpr int32_t kBase = 3, kTroops = 5, kTanks = 6;
constexpr uint8_t kTroopsGroup = 4;
constexpr uint32_t kCell = 2 * kWidth + 5;

// A panel that, like the class sheet, looks its class up by the id.
class ClassByIndex : public Screen {
 public:
  ClassByIndex() : Screen("PROBE") {}
  void OnOpen() override {
    const UnitClassRecord* cls = ClassRecordAt(g_world, static_cast<int32_t>(id));
    shown = cls ? cls->name : "";
  }
  std::string shown;
};

class ProductionListsTest : public militarytest::LocalMapTest<kLocal, kWidth, 8, 8> {
 protected:
  void SetUp() override {
    LocalMapTest::SetUp();
    World& w = g_world;
    std::strcpy(w.unitClasses[kBase].name, "Army Base");
    w.unitClasses[kBase].flags = kClassSettlement | kClassFacility;
    std::strcpy(w.unitClasses[kTroops].name, "Troops");
    w.unitClasses[kTroops].typeByte = kTroopsGroup;
    w.unitClasses[kTroops].strengthPerSize = 10;
    std::strcpy(w.unitClasses[kTanks].name, "Tanks");
    w.unitClasses[kTanks].strengthPerSize = 4;
    Unit(base_, 40, kBase, 5, 2);
    base_.unitFlags = kUnitFacility;
    MakeHexStack(g_world.cells[kCell])->lead = &base_;
  }
  static void Unit(UnitRecord& u, uint32_t id, int32_t cls, int16_t x, int16_t y) {
    u.id = id, u.owner = kLocal, u.classIndex = static_cast<uint16_t>(cls);
    u.strength = u.targetStrength = 1.0f;
    u.x = x, u.y = y;
  }
  // A unit being built (in production, or waiting in the queue).
  static void Building(UnitRecord& u, bool inProduction) {
    u.ordersShown[kPostureBits] = kPostureUnderConstruction;
    u.ordersShown[kStateFlags] = inProduction ? kStateHeldSlot : 0;
  }
  static ListBoxControl* AddList(TestSheet& sheet, const char* tag) {
    ListBoxControl* list = ListBoxConstruct(0, 0, 100, 100, 0, 0, &sheet.owner);
    SetControlTag(list, tag);
    ControlAddChild(sheet.root, list);
    return list;
  }
  static std::vector<std::string> Rows(const ListBoxControl* list) {
    std::vector<std::string> out;
    for (Control* row = list->firstRow; row; row = ListNextRow(list, row)) out.push_back(row->text);
    return out;
  }

  UnitRecord base_{};
};

// The class row shows the class's group badge with the group's name; the
// class sheet finds the class itself.
TEST_F(ProductionListsTest, TheDetailPanelsOfAChosenClassShowThatClass) {
  TextPatch texts;
  texts.Set(kListMilclass, kTroopsGroup, "Infantry");
  UnitClassRow row;
  TestSheet badge;
  auto* name = badge.Add(nullptr, 100 + kTroopsGroup);
  row.form = badge.root;
  ClassByIndex sheet;
  TestSheet sheetForm;
  sheet.form = sheetForm.root;
  TestSheet listForm;
  Control* anchorA = listForm.Add<Control>("CLASSPAR");
  Control* anchorB = listForm.Add<Control>("STATPARENT");
  const UnitClassRecord& troops = g_world.unitClasses[kTroops];
  float quantity = 1.0f;
  DrawBuildItemRow(listForm.root, 0, troops, &quantity, 0, {&row, anchorA}, {&sheet, anchorB});
  EXPECT_EQ(std::string(name->GetText()), "Infantry");
  EXPECT_FALSE(name->Hidden());
  EXPECT_EQ(sheet.shown, "Troops");
  // The sheets' forms are their own, not the anchors'.
  for (Control* anchor : {anchorA, anchorB}) anchor->firstChild = nullptr;
  badge.root->parent = sheetForm.root->parent = nullptr;
  row.form = row.currentForm = nullptr;
  sheet.form = sheet.currentForm = nullptr;
  row.host = sheet.host = nullptr;
}

// The base's panel lists its units being built and those queued; with no
// base it lists the player's everywhere; an empty production list says why.
TEST_F(ProductionListsTest, TheBaseProductionPanelListsProductionAndQueue) {
  UnitRecord made{}, queued{}, elsewhere{};
  Unit(made, 50, kTroops, 5, 2), Unit(queued, 51, kTanks, 5, 2), Unit(elsewhere, 52, kTanks, 9, 4);
  Building(made, true), Building(queued, false), Building(elsewhere, false);
  testsupport::LinkUnitRing({&base_, &made, &queued, &elsewhere});
  const std::string madeName = UnitDisplayName(g_world, made), queuedName = UnitDisplayName(g_world, queued),
                    elsewhereName = UnitDisplayName(g_world, elsewhere);
  const struct {
    const HexCell* cell;
    int32_t mode;
    std::vector<std::string> production, queue;
  } rows[] = {
      {&g_world.cells[kCell], kProductionSelectedBase, {madeName}, {queuedName}},
      {nullptr, kProductionNoBase, {madeName}, {queuedName, elsewhereName}},
  };
  for (const auto& r : rows) {
    TestSheet form;
    ListBoxControl* prod = AddList(form, "PRODLIST");
    ListBoxControl* queue = AddList(form, "QUELIST");
    ProductionListState a, b;
    RefreshBaseProduction(form.root, r.cell, r.mode, &a, &b);
    EXPECT_EQ(Rows(prod), r.production) << r.mode;
    EXPECT_EQ(Rows(queue), r.queue) << r.mode;
    EXPECT_EQ(a.units.entries.size(), r.production.size()) << r.mode;
    EXPECT_EQ(b.units.listControl, queue) << r.mode;
  }
  Building(made, false);
  TestSheet form;
  ListBoxControl* prod = AddList(form, "PRODLIST");
  AddList(form, "QUELIST");
  RefreshBaseProduction(form.root, &g_world.cells[kCell], kProductionSelectedBase, nullptr, nullptr);
  EXPECT_EQ(Rows(prod), std::vector<std::string>{"Retooling"});
}

// A row's activation opens the unit's pop-up (the missile stock's for a
// silo base) stepping through the rows of its list.
TEST_F(ProductionListsTest, ARowOpensItsUnitsPopUpWithTheListToStepThrough) {
  const struct {
    int32_t mode;
    Screen* popup;
  } rows[] = {{kProductionSiloBase, &g_screens.missileStockView}, {0, &g_screens.unitDetail}};
  for (const auto& r : rows) {
    const GlobalGuard<intptr_t> id(r.popup->id);
    TestSheet form;
    ListBoxControl* list = AddList(form, "PRODLIST");
    for (int32_t unit : {61, 62, 63}) ListAddTextItem(list, "u", unit, unit, 0, 0, 1);
    ListSetSelection(0, list, 62, 0);
    OnProductionListEvent(form.root, list, 62, nullptr, nullptr, r.mode);
    EXPECT_EQ(r.popup->id, 62) << r.mode;
    ASSERT_NE(r.popup->parameterList, nullptr) << r.mode;
    EXPECT_EQ(r.popup->parameterList->entries, (std::vector<intptr_t>{61, 62, 63})) << r.mode;
    r.popup->parameterList->entries.clear();
  }
}

}  // namespace
