// The whole program on the sample scenario: Ctrl+U on the hex of an own unit
// opens its detail pop-up with the class picture drawn, and its LOCK button
// locks the unit once the turn thread has carried the command out; its
// split, base transfer and stand-down are carried out too; a transport's
// cargo panel offers no load button while nothing is picked.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "app/gfx/renderer.h"
#include "records/order_words.h"
#include "records/unit_record.h"
#include "screens/military/units/unit_cargo_panels.h"
#include "screens/screen_set.h"
#include "sim/simulation_lock.h"
#include "support/control_layout.h"
#include "support/sample_game.h"
#include "ui/bitmap_control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/keyboard.h"
#include "ui/popups.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "units/hex_geometry.h"
#include "units/order_filter.h"
#include "units/unit_order_issue.h"
#include "world/game_speed.h"
#include "world/id_lookups.h"
#include "world/text/rule_tables.h"
#include "world/world.h"

namespace {

// The sample's infantry and battle tank classes; the unit grid's split,
// engagement, base transfer and stand-down buttons.
constexpr int32_t kInfantryClass = 2, kTankClass = 8;
// An order's list-mode bit: it runs without a marked hex.
constexpr int32_t kRunsWithoutHex = 4;
constexpr int32_t kSplitButton = 103, kEngagementButton = 104, kTransferButton = 108, kStandDownButton = 107;
// Kessaria's landing ship, a sea transport; the grid's cargo button.
constexpr int32_t kLandingShipClass = 34, kCargoButton = 105;

// The unit's pop-up, opened with Ctrl+U on its hex and stepped with NEXTBUT
// to the unit. The caller does not hold the lock.
void OpenPopupOn(const UnitRecord& unit) {
  UnitDetailPopup& popup = g_screens.unitDetail;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    SampleGame::MakeCurrentHex(MakeHexPos(unit.x, unit.y));
  }
  KeyCommand('U', g_ui, kModCtrl, 0);
  SampleGame::Pump();
  ASSERT_NE(popup.currentForm->parent, nullptr);
  for (int i = 0; i < 30 && popup.unit != unit.id; ++i)
    SampleGame::ClickControl(FormFindControlByTag(popup.currentForm, "NEXTBUT"));
  ASSERT_EQ(popup.unit, unit.id);
}

// The command grid's button on the unit's pop-up, then the sub-panel's OK
// (after `choose`, which may pick in the panel).
template <class Choose>
void GiveOrder(const UnitRecord& unit, int32_t button, Screen& panel, Choose choose) {
  CloseAllPopups(g_ui, 1);
  ASSERT_NO_FATAL_FAILURE(OpenPopupOn(unit));
  Control* grid = FormFindControlById(g_screens.unitCommands.currentForm, button);
  SampleGame::ClickControl(grid);
  ASSERT_TRUE(grid->Selected()) << "the grid button opens its panel";
  ASSERT_NO_FATAL_FAILURE(choose());
  SampleGame::ClickControl(FormFindControlByTag(panel.currentForm, "OKBUT"));
  CloseAllPopups(g_ui, 1);
}

// With the clock running under the open pop-up, each click on the grid
// button opens or closes its panel until a day has ended; the panel is
// left closed and the clock stopped.
void ClickAcrossDayEnd(Control* grid) {
  GameState& state = g_world.gameState;
  const uint32_t day = state.currentDay;
  SetGameSpeed(state, 4);
  for (int clicks = 0; clicks < 400 && state.currentDay <= day + 1; ++clicks) {
    const bool was = grid->Selected();
    SampleGame::ClickControl(grid);
    ASSERT_NE(grid->Selected(), was) << "the grid takes the click, day " << state.currentDay;
  }
  SetGameSpeed(state, 0);
  EXPECT_GT(state.currentDay, day + 1) << "a day ended under the pop-up";
  if (grid->Selected()) SampleGame::ClickControl(grid);
}

TEST(UnitDetailPlay, CtrlUOpensTheOwnUnitsPopupAndLockLocksIt) {
  SampleGame game;
  // Stopped by the test between two days, the turn would ask whether to
  // go on; the player here has said not to be asked.
  ASSERT_NO_FATAL_FAILURE(game.StartUnasked());
  World& w = g_world;
  SetGameSpeed(w.gameState, 0);
  uint32_t own = 0, at = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    for (const UnitRecord* u : SampleGame::OwnUnitsOnMap())
      if (IsUnitLive(*u) && !(u->orders[kPostureBits] & (kPostureUnderConstruction | kPostureNoAutoDeploy))) {
        own = u->id, at = MakeHexPos(u->x, u->y);
        break;
      }
    ASSERT_NE(own, 0u);
    SampleGame::MakeCurrentHex(at);
  }
  SampleGame::ClickControl(FormFindControlByTag(g_screens.cmdBar.currentForm, "MAP"));
  KeyCommand('U', g_ui, kModCtrl, 0);
  UnitDetailPopup& popup = g_screens.unitDetail;
  ASSERT_NE(popup.currentForm->parent, nullptr) << "Ctrl+U opens POPUP_MILITARY1";
  const uint32_t shown = popup.unit;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const UnitRecord* u = FindUnitById(w, shown);
    ASSERT_NE(u, nullptr);
    EXPECT_EQ(u->owner, w.gameState.localPlayer);
    ASSERT_EQ(u->orders[kPostureBits] & kPostureNoAutoDeploy, 0u) << "not locked yet";
  }
  SampleGame::Pump();
  auto* picture = static_cast<BitmapControl*>(FormFindControlByTag(popup.currentForm, "UNITPIC"));
  std::vector<uint32_t> pixels;
  uint32_t width = 0, height = 0;
  ASSERT_EQ(g_renderer.device->ReadBackBuffer(&pixels, &width, &height), plat::kOk);
  const plat::Rect box = ControlAbsoluteRect(picture);
  const auto pixel = [&](int32_t x, int32_t y) { return pixels[static_cast<size_t>(y) * width + static_cast<size_t>(x)]; };
  int drawn = 0;
  for (int32_t y = box.top; y < box.bottom && y < static_cast<int32_t>(height); ++y)
    for (int32_t x = box.left; x < box.right && x < static_cast<int32_t>(width); ++x) drawn += pixel(x, y) != pixel(box.left, box.top);
  EXPECT_GT(drawn, 0) << "the picture is more than its background";

  Control* engagement = FormFindControlById(g_screens.unitCommands.currentForm, kEngagementButton);
  ASSERT_FALSE(engagement->Hidden());
  ASSERT_NO_FATAL_FAILURE(ClickAcrossDayEnd(engagement));

  SampleGame::ClickControl(FormFindControlByTag(popup.currentForm, "LOCK"));
  const bool locked = SampleGame::PlayUntil(2, [&] {
    const UnitRecord* u = FindUnitById(w, shown);
    return u && (u->orders[kPostureBits] & kPostureNoAutoDeploy) != 0;
  });
  EXPECT_TRUE(locked) << "word 15 bit 2 of the simulation orders";
}

// Split, base transfer and stand-down given on the unit's pop-up are
// carried out by the simulation.
TEST(UnitDetailPlay, SplitTransferAndStandDownHappen) {
  SampleGame game;
  ASSERT_NO_FATAL_FAILURE(game.Start());
  World& w = g_world;
  SetGameSpeed(w.gameState, 0);
  const UnitRecord* infantry = nullptr;
  const UnitRecord* tanks = nullptr;
  const UnitRecord* standing = nullptr;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const std::vector<const UnitRecord*> own = SampleGame::OwnUnitsOnMap(kInfantryClass);
    ASSERT_FALSE(own.empty());
    infantry = own.front();
    const std::vector<const UnitRecord*> armour = SampleGame::OwnUnitsOnMap(kTankClass);
    ASSERT_FALSE(armour.empty());
    tanks = armour.back();
    standing = own.back();
    // The orders screen's settings list offers the infantry orders, and one
    // of them runs with no hex marked (its EXECUTE shows).
    const std::vector<int> offered = OrdersForUnits(w, {infantry}, 1, 0);
    EXPECT_TRUE(std::any_of(offered.begin(), offered.end(), [&](int id) {
      return (RuleTablesOf(w).orderTypes.entries[id].listModes & kRunsWithoutHex) != 0;
    })) << offered.size() << " orders offered";
  }
  const uint32_t splitHex = MakeHexPos(infantry->x, infantry->y);
  const float whole = infantry->strength;
  SampleGame::ClickControl(FormFindControlByTag(g_screens.cmdBar.currentForm, "MAP"));

  ASSERT_NO_FATAL_FAILURE(GiveOrder(*infantry, kSplitButton, *g_screens.unitSplitConfirm, [] {}));

  // The tanks have been on the move before: a route of theirs is left. They
  // stop on a hex of no other unit.
  const uint32_t stop = MakeHexPos(tanks->x, tanks->y - 1);
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    IssueUnitOrder(w, *const_cast<UnitRecord*>(tanks), kMoveOrder, stop, nullptr, nullptr, 0, 0, -1);
  }
  ASSERT_TRUE(SampleGame::PlayUntil(2, [&] {
    return MakeHexPos(tanks->x, tanks->y) == stop && !(tanks->orders[kOrderFlags] & kOrderMoving);
  }));
  UnitTransferPanel& transfer = g_screens.unitTransfer;
  const uint32_t from = MakeHexPos(tanks->x, tanks->y);
  uint32_t baseHex = from;
  // The base farthest from the tanks, so that they have a way to go.
  ASSERT_NO_FATAL_FAILURE(GiveOrder(*tanks, kTransferButton, transfer, [&] {
    int farthest = -1, rows = 0;
    for (const Control* c = ListNextRow(transfer.list, nullptr); c; c = ListNextRow(transfer.list, c), ++rows) {
      plat::CriticalSectionLock lock(g_simulationLock);
      const UnitRecord* base = FindUnitById(w, static_cast<uint32_t>(c->id));
      if (!base) continue;
      const uint32_t at = MakeHexPos(base->x, base->y);
      if (HexDistance(MapShape(w), from, at) > HexDistance(MapShape(w), from, baseHex)) farthest = rows, baseHex = at;
    }
    ASSERT_GE(farthest, 0) << "a base other than the tanks' hex among " << rows;
    SampleGame::ClickControl(transfer.list, farthest);
  }));

  Screen& recover = *g_screens.unitRecover;
  ASSERT_NO_FATAL_FAILURE(GiveOrder(*standing, kStandDownButton, recover, [&] {
    Control* dayCost = FormFindControlByTag(recover.currentForm, "DAYCOST");
    ASSERT_NE(dayCost, nullptr);
    EXPECT_NE(dayCost->text.find_first_of("123456789"), std::string::npos) << "a unit costs something a day: " << dayCost->text;
  }));

  bool split = false, moved = false, stoodDown = false;
  SampleGame::PlayUntil(14, [&] {
    float sum = 0.0f;
    int halves = 0;
    for (const UnitRecord* u : SampleGame::OwnUnitsOnMap(kInfantryClass))
      if (IsUnitLive(*u) && MakeHexPos(u->x, u->y) == splitHex) sum += u->strength, halves += u->strength < whole;
    split = halves == 2 && sum == whole;
    moved = MakeHexPos(tanks->x, tanks->y) == baseHex;
    stoodDown = (standing->unitFlags & kUnitGone) != 0;
    return split && moved && stoodDown;
  });
  EXPECT_TRUE(split) << "two halves of the infantry on its hex";
  EXPECT_TRUE(moved) << "the tanks at the base";
  EXPECT_TRUE(stoodDown) << "the stood-down unit is gone into stock";
}

// The pop-up's figures as the player reads them: each row of the
// statistics and of the class sheet under its own caption, the texts whole
// and apart; infantry, which burns no fuel, goes on without limit; a tank
// moves motorised; the command grid's covers grey a button without writing
// over its word. The sheet's weight is a whole unit with its fuel and goods,
// (fuel + goods a point) x elements, and its build days the work of a whole
// unit and a day to start it, any part of a further day counted whole
// (elements x days a point + 1 + 0.99), from the sample's classes:
//   infantry, 600 elements, no fuel, 0.01 T of goods and 0.04 days a point:
//     (0 + 0.01) x 600 = 5.99999 in the game's rounding toward zero, and
//     the sheet shows whole tonnes cut, 5 T; 24 + 1.99 = 25.99, 25 days;
//   battle tanks, 40 elements, 3 T of fuel, 0.01 T of goods, 0.8 days a point:
//     (3 + 0.01) x 40 = 120.4, 120 T; 32 + 1.99 = 33.99, 33 days.
TEST(UnitDetailPlay, EachFigureReadsWholeUnderItsOwnCaption) {
  SampleGame game;
  ASSERT_NO_FATAL_FAILURE(game.Start());
  SetGameSpeed(g_world.gameState, 0);
  const UnitRecord* infantry = nullptr;
  const UnitRecord* tanks = nullptr;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const std::vector<const UnitRecord*> own = SampleGame::OwnUnitsOnMap(kInfantryClass);
    const std::vector<const UnitRecord*> armour = SampleGame::OwnUnitsOnMap(kTankClass);
    ASSERT_FALSE(own.empty());
    ASSERT_FALSE(armour.empty());
    infantry = own.front(), tanks = armour.front();
  }
  SampleGame::ClickControl(FormFindControlByTag(g_screens.cmdBar.currentForm, "MAP"));
  const struct {
    const char* name;
    const UnitRecord* unit;
    const char* endurance;  // null: a distance
    const char* movement;
    const char* weight;
    const char* days;
  } rows[] = {{"infantry", infantry, "Unlimited", "Foot", "5 T", "25"},
              {"tanks", tanks, nullptr, "Motorised", "120 T", "33"}};
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    CloseAllPopups(g_ui, 1);
    ASSERT_NO_FATAL_FAILURE(OpenPopupOn(*r.unit));
    Control* stats = g_screens.unitClassStats.currentForm;
    ASSERT_TRUE(stats && ShownInTree(stats)) << "the statistics show in the pop-up";
    EXPECT_GE(TextsReadWhole(stats, "statistics"), 30);
    TextsApart(stats, "statistics");
    ControlTreeForEach(stats, kAnyDepth, 0, [&](Control* c) {
      const std::string& text = c->text;
      const bool numbered = (text.rfind("Attack ", 0) == 0 || text.rfind("Rating ", 0) == 0) && text.size() > 7 &&
                            text[7] >= '0' && text[7] <= '9';
      EXPECT_FALSE(numbered && ShownInTree(c)) << "a row captioned by its number: " << text;
    });
    const std::string endurance = FormFindControlById(stats, 236)->text;
    if (r.endurance) {
      EXPECT_EQ(endurance, r.endurance);
    } else {
      EXPECT_TRUE(endurance.size() > 3 && endurance.compare(endurance.size() - 3, 3, " km") == 0) << endurance;
    }
    SampleGame::ClickControl(FormFindControlByTag(g_screens.unitDetail.currentForm, "TECHBUT"));
    Control* sheet = g_screens.unitClassSheet.currentForm;
    ASSERT_TRUE(sheet && ShownInTree(sheet)) << "TECHBUT shows the class sheet";
    EXPECT_EQ(FormFindControlByTag(sheet, "MOVETYPE")->text, r.movement);
    EXPECT_EQ(FormFindControlByTag(sheet, "UWEIGHT")->text, r.weight);
    EXPECT_EQ(FormFindControlByTag(sheet, "DAYS")->text, r.days);
    EXPECT_GE(TextsReadWhole(sheet, "class sheet"), 25);
    TextsApart(sheet, "class sheet");
    TextsApart(g_screens.unitCommands.currentForm, "command grid");
    // And the pop-up around them: header, information panel and the rest.
    EXPECT_GE(TextsReadWhole(g_screens.unitDetail.currentForm, "pop-up"), 40);
    TextsApart(g_screens.unitDetail.currentForm, "pop-up");
  }
  CloseAllPopups(g_ui, 1);
}

// The sample's stock weapons board land, air and submarine craft, not
// ships: the landing ship's cargo panel offers none, and the one row that
// says so neither takes a click nor brings a load button.
TEST(UnitDetailPlay, ATransportsCargoPanelOffersNoButtonWithNothingPicked) {
  SampleGame game;
  ASSERT_NO_FATAL_FAILURE(game.Start("Kessaria"));
  SetGameSpeed(g_world.gameState, 0);
  const UnitRecord* ship = nullptr;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const std::vector<const UnitRecord*> ships = SampleGame::OwnUnitsOnMap(kLandingShipClass);
    ASSERT_FALSE(ships.empty());
    ship = ships.front();
  }
  SampleGame::ClickControl(FormFindControlByTag(g_screens.cmdBar.currentForm, "MAP"));
  ASSERT_NO_FATAL_FAILURE(OpenPopupOn(*ship));
  Control* cargoButton = FormFindControlById(g_screens.unitCommands.currentForm, kCargoButton);
  ASSERT_FALSE(cargoButton->Hidden()) << "a transport has the cargo button";
  SampleGame::ClickControl(cargoButton);
  UnitCargoPanel& cargo = g_screens.unitCargo;
  ASSERT_NE(cargo.currentForm->parent, nullptr) << "the cargo panel shows in the pop-up";
  EXPECT_EQ(cargo.unit, ship->id);
  ASSERT_NE(cargo.list->firstRow, nullptr);
  EXPECT_EQ(cargo.list->firstRow->text, "None Available");
  const auto shown = [&] {
    std::vector<std::string> tags;
    for (const char* tag : {"LOAD", "LOADFILL", "LOADSTOP", "OFFLOAD", "UNLOADALL"})
      if (const Control* c = FormFindControlByTag(cargo.currentForm, tag); !c || !c->Hidden()) tags.emplace_back(tag);
    for (int32_t mark : {1666, 1667})
      if (const Control* c = FormFindControlById(cargo.currentForm, mark); !c || !c->Hidden())
        tags.push_back(std::to_string(mark));
    return tags;
  };
  EXPECT_EQ(shown(), std::vector<std::string>{}) << "nothing picked, nothing aboard";
  SampleGame::ClickControl(cargo.list, 0);
  EXPECT_EQ(cargo.list->selectedId, 0);
  EXPECT_EQ(shown(), std::vector<std::string>{}) << "the None Available row picks nothing";
  CloseAllPopups(g_ui, 1);
}

}  // namespace
