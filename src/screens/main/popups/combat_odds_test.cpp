// The combat odds: one unit's range, attack and defence, and the pop-up's
// two sides, distance and target for units of a small world.
#include "screens/common/owned_test_form.h"
#include "screens/main/popups/combat_odds_popup.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "records/hex_cell.h"
#include "records/unit_record.h"
#include "records/unit_table_arrays.h"
#include "screens/common/frame/unit_selection.h"
#include "screens/common/units/unit_lists.h"
#include "screens/screen_set.h"
#include "sim/game_command.h"
#include "support/global_guard.h"
#include "support/world_map_guard.h"
#include "ui/control_test_support.h"
#include "ui/control_tree.h"
#include "ui/screen_manager.h"
#include "ui/slide_bar.h"
#include "world/id_lookups.h"
#include "world/map_data.h"
#include "world/scenario_settings.h"
#include "world/terrain_flags.h"
#include "world/text/ui_options.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

constexpr int kSide = 10;
constexpr int kOpen = 1, kForest = 2;  // both cover byte 20; the forest has posture bit 2
constexpr int16_t kTroops = 1, kJets = 2, kCarrierJets = 3;

class CombatOddsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetUiOptions(g_uiOptions);
    g_uiOptions.sidescreens = g_uiOptions.bdistancehexes = 1;
    ResizeMap(g_world, kSide, kSide);
    g_world.terrains.assign(3, TerrainRecord{});
    for (int t : {kOpen, kForest}) g_world.terrains[static_cast<size_t>(t)].bytes[kTerrainGroundDefenceAt] = 20;
    g_world.terrains[kForest].bytes[kTerrainFlagsAt] = 1u << 2;
    for (HexCell& c : g_world.cells) c.word = WithCellOwner(WithCellTerrain(0, kOpen), 2);
    g_world.unitClasses.assign(4, UnitClassRecord{});
    for (UnitClassRecord& c : g_world.unitClasses) c.attackValues[0] = 100, c.defenceValues[0] = 50, c.defenceValues[3] = 30;
    g_world.unitClasses[kJets].kind = g_world.unitClasses[kCarrierJets].kind = kUnitKindAir;
    g_world.unitClasses[kCarrierJets].movementType = 7;
    g_world.gameState.localPlayer = 1;
    g_world.gameState.weaponRangeBoost = 2.0f, g_world.gameState.rangeBoostAddend = 1.0f;
  }
  void TearDown() override {
    ListHolderClear(g_screens.SelectionList());
    ListHolderClear(HexStackList());
    g_world.units = nullptr;
    ReindexUnits(g_world);
    ++g_unitRecordEpoch;
    FreeMapData(g_world);
  }

  // A unit whose efficiency, morale, attack penalty, alert, experience and
  // strength make every factor but the class's bytes and the ground 1.
  UnitRecord& Unit(int owner, int16_t cls, int16_t x, int16_t y) {
    UnitRecord& u = *units_.emplace_back(std::make_unique<UnitRecord>());
    u.id = static_cast<uint32_t>(units_.size());
    u.owner = static_cast<uint8_t>(owner), u.classIndex = cls, u.x = x, u.y = y;
    u.kind = g_world.unitClasses[static_cast<size_t>(cls)].kind;
    u.efficiency = u.morale = 0.8f, u.disruption = 0.01f, u.training = 0.2f, u.strength = 1.0f;
    for (size_t i = 0; i < units_.size(); ++i) units_[i]->next = units_[(i + 1) % units_.size()].get();
    g_world.units = units_.front().get();
    ReindexUnits(g_world);
    ++g_unitRecordEpoch;
    return u;
  }
  static HexPosition At(int16_t x, int16_t y) { return {x, y, static_cast<uint32_t>(y * kSide + x), 0}; }

  std::vector<std::unique_ptr<UnitRecord>> units_;
  WorldMapGuard map_;
  GlobalGuard<uint32_t> rules_{g_world.scenario.head.gameFlags, 0u};
  GlobalGuard<UiOptions> options_{g_uiOptions};
  GlobalGuard<int32_t> locked_{g_screens.mapTargetLocked, 0};
};

TEST_F(CombatOddsTest, OneUnitsAttackAndDefence) {
  // Attack 100 squared: 10,000. Defence 50 squared times the ground's
  // cover 2.0, plus the strength: 5,001.
  struct Row {
    const char* what;
    int16_t cls;
    uint8_t attackByte;
    int terrain;
    uint32_t flags, posture;  // besides the unit's own
    float alert, attack, defence;
  } rows[] = {
      {"in the open", kTroops, 100, kOpen, 0, 0, 0.2f, 10000.0f, 5001.0f},
      {"byte 151 counts 151", kTroops, 151, kOpen, 0, 0, 0.2f, 151.0f * 151.0f, 5001.0f},
      {"byte 160 counts 250", kTroops, 160, kOpen, 0, 0, 0.2f, 62500.0f, 5001.0f},
      {"in reserve", kTroops, 100, kOpen, 0, kPostureInReserve, 0.2f, 10000.0f, 2501.0f},
      {"suited to the forest", kTroops, 100, kForest, 1u << 2, 0, 0.2f, 15000.0f, 7501.0f},
      {"unsuited to it", kTroops, 100, kForest, 1u << 3, 0, 0.2f, 10000.0f, 5001.0f},
      // Aircraft on the ground take the fourth byte; no aircraft takes cover.
      {"jets on the ground", kJets, 100, kOpen, 0, 0, 0.2f, 10000.0f, 901.0f},
      {"jets in the air", kJets, 100, kOpen, kUnitMoved, 0, 0.2f, 10000.0f, 2501.0f},
      {"carrier jets aloft", kCarrierJets, 100, kOpen, 0, 0, 0.2f, 10000.0f, 2501.0f},
      // An alert below -0.8 counts as no training, not as a root of a
      // negative number.
      {"alert below -0.8", kTroops, 100, kOpen, 0, 0, -2.0f, 0.0f, 1.0f},
  };
  for (const Row& r : rows) {
    for (HexCell& c : g_world.cells) c.word = WithCellTerrain(c.word, r.terrain);
    g_world.unitClasses[static_cast<size_t>(r.cls)].attackValues[0] = r.attackByte;
    UnitRecord& u = Unit(1, r.cls, 3, 3);
    u.unitFlags |= r.flags, u.orders[kPostureBits] = r.posture, u.training = r.alert;
    const CombatFigures f = UnitCombatFigures(g_world, u);
    EXPECT_NEAR(f.attack, r.attack, 0.01f) << r.what;
    EXPECT_NEAR(f.defence, r.defence, 0.01f) << r.what;
  }
}

TEST_F(CombatOddsTest, ShortRangesAreBoostedUnlessTheRulesSayNo) {
  // a + (b - r / 400 x (b - 1)) x r with a = 1, b = 2; no weapon stays 0.
  struct Row {
    float range;
    uint32_t rules;
    float greatest;
  } rows[] = {{399.0f, 0, 1.0f + (2.0f - 399.0f / 400.0f) * 399.0f},
              {399.0f, kGameFlagNoWeaponRangeBoost, 399.0f},
              {500.0f, 0, 500.0f},
              {0.0f, 0, 0.0f}};
  for (const Row& r : rows) {
    g_world.scenario.head.gameFlags = r.rules;
    g_world.unitClasses[kTroops].weaponRanges[2] = r.range;
    EXPECT_FLOAT_EQ(UnitCombatFigures(g_world, Unit(0, kTroops, 3, 3)).maxRange, r.greatest) << r.range;
  }
}

// The pop-up's form: per side a panel with its list, range, strength and
// two bars, and a panel of factor bars; the controls between the sides.
struct OddsForm : OwnedTestForm {
  explicit OddsForm(CombatOddsPopup& popup)
      : OwnedTestForm(popup, new Control(controltest::Init("MAP3", &popup, 0, 0, 224, 375))) {
    auto add = [&popup](Control* parent, const char* tag, int32_t id, bool bar = false) {
      ControlInit init = controltest::Init(tag, &popup, 0, 0, 100, 12);
      init.id = id;
      return ControlAddChild(parent, bar ? new SlideBarControl(init, {}) : new Control(init));
    };
    for (const auto& [side, list, factors] : {std::tuple{"OPAR", "OLIST", "OPAR2"}, {"DPAR", "DLIST", "DPAR2"}}) {
      Control* panel = add(root, side, 0);
      add(panel, list, kCombatListId), add(panel, "N", kCombatRangeId), add(panel, "N", kCombatStrengthId);
      for (int32_t id : {kCombatAttackBarId, kCombatDefenceBarId}) add(panel, "B", id, true);
      Control* quality = add(root, factors, 0);
      for (int32_t id = kCombatMoraleBarId; id <= kCombatSpareBarId; ++id) add(quality, "B", id, true);
    }
    for (const char* tag : {"PAR3", "DISTANCE", "FLAGHIDE", "TERRAIN", "TARGETNAME", "FLAG"}) add(root, tag, 0);
    add(root, "ODDS", kCombatVerdictId);
    popup.BindControls();
  }
  SlideBarControl* Bar(const char* panel, int32_t id) const {
    return static_cast<SlideBarControl*>(FormFindControlById((*this)[panel], id));
  }
  std::string Text(const char* panel, int32_t id) const { return FormFindControlById((*this)[panel], id)->text; }
};

TEST_F(CombatOddsTest, BothSidesOnOneScale) {
  // Attack byte 2: 4 a strength point; sides of strength 10 and 2.5 bring
  // 40 and 10, and both bars run to 40. Defences 2,500 x 10 x 2 + 10 and
  // 2,500 x 2.5 x 2 + 2.5: both run to the larger.
  for (UnitClassRecord& c : g_world.unitClasses) c.attackValues[0] = 2;
  AddUnitRef(g_screens.SelectionList(), Unit(1, kTroops, 3, 5));
  AddUnitRef(HexStackList(), Unit(3, kTroops, 5, 5));
  units_[0]->strength = 10.0f, units_[1]->strength = 2.5f;
  g_world.gameState.viewHex = At(5, 5);
  CombatOddsPopup popup;
  OddsForm form(popup);
  FillCombatOdds(form.root, CombatTargetHex(g_world, g_screens));
  for (const auto& [panel, attack, strength] : {std::tuple{"OPAR", 40.0f, "10"}, {"DPAR", 10.0f, "2"}}) {
    EXPECT_FLOAT_EQ(form.Bar(panel, kCombatAttackBarId)->MaximumFloat(), 40.0f) << panel;
    EXPECT_NEAR(SliderGetValueFloat(form.Bar(panel, kCombatAttackBarId)), attack, 0.01f) << panel;
    EXPECT_FLOAT_EQ(form.Bar(panel, kCombatDefenceBarId)->MaximumFloat(), 50010.0f) << panel;
    EXPECT_EQ(form.Text(panel, kCombatStrengthId), strength) << panel;
  }
  EXPECT_EQ(FormFindControlById(form.root, kCombatVerdictId)->text, "Unknown");
  EXPECT_EQ(form["TARGETNAME"]->text, "DESTINATION");
  EXPECT_NEAR(SliderGetValueFloat(form.Bar("DPAR2", kCombatCoverBarId)), 2.0f, 0.001f);
}

TEST_F(CombatOddsTest, WhatTheSidesShowWithoutUnits) {
  // The distance runs from the first selected unit, at (5, 4), else from
  // the selected hex, to the pointer's hex (5, 5).
  struct Row {
    bool selection, defenders;
    HexPosition selected;
    const char* distance;  // null: hidden
    const char* range;
  } rows[] = {
      {false, false, At(5, 2), " 3.0 Hexes", "0"},
      {true, true, At(9, 9), " 1.0 Hexes", "5"},
      {false, true, HexPosition{}, nullptr, "0"},
  };
  g_world.unitClasses[kTroops].weaponRanges[0] = 5.0f;
  g_world.scenario.head.gameFlags = kGameFlagNoWeaponRangeBoost;
  UnitRecord& own = Unit(1, kTroops, 5, 4);
  UnitRecord& enemy = Unit(3, kTroops, 5, 5);
  CombatOddsPopup popup;
  OddsForm form(popup);
  for (const Row& r : rows) {
    ListHolderClear(g_screens.SelectionList());
    ListHolderClear(HexStackList());
    if (r.selection) AddUnitRef(g_screens.SelectionList(), own);
    if (r.defenders) AddUnitRef(HexStackList(), enemy);
    g_world.gameState.currentHex = r.selected;
    g_world.gameState.viewHex = At(5, 5);
    FillCombatOdds(form.root, CombatTargetHex(g_world, g_screens));
    EXPECT_EQ(form.Text("OPAR", kCombatRangeId), r.range);
    EXPECT_EQ(form.Text("OPAR", kCombatStrengthId), r.selection ? "1" : "0");
    for (const char* tag : {"DPAR", "DPAR2", "PAR3"}) EXPECT_EQ(form[tag]->Hidden(), !r.defenders) << tag;
    EXPECT_EQ(form["DISTANCE"]->Hidden(), r.distance == nullptr);
    if (r.distance) {
      EXPECT_EQ(form["DISTANCE"]->text, r.distance);
    }
  }
}

TEST_F(CombatOddsTest, TheTargetIsThePointersHexUnlessLocked) {
  g_world.gameState.currentHex = At(2, 2);
  g_world.gameState.viewHex = At(7, 3);
  for (const auto& [locked, target] : {std::pair{0, PackHex(7, 3)}, std::pair{1, PackHex(2, 2)}}) {
    g_screens.mapTargetLocked = locked;
    EXPECT_EQ(CombatTargetHex(g_world, g_screens), target) << locked;
  }
}

}  // namespace
