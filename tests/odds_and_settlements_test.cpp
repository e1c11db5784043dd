// The whole program on the sample scenario as Westholm, side screens on:
// the selected tanks weighed against the units on a hex of another region
// under the pointer, then Ctrl+C listing Westholm's settlements by
// population, each row named after its own settlement, and centring the
// map on one of them.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/messages.h"
#include "records/hex_cell.h"
#include "records/player_relations.h"
#include "records/unit_record.h"
#include "screens/common/frame/main_layout.h"
#include "screens/common/frame/map_geometry.h"
#include "screens/common/units/unit_lists.h"
#include "screens/main/map/map_view.h"
#include "screens/main/map_input/selection.h"
#include "screens/main/popups/combat_odds_popup.h"
#include "screens/main/popups/settlement_popup.h"
#include "screens/screen_set.h"
#include "sim/game_command.h"
#include "sim/simulation_lock.h"
#include "support/control_layout.h"
#include "support/global_guard.h"
#include "support/sample_game.h"
#include "ui/control_tree.h"
#include "ui/keyboard.h"
#include "ui/list_control.h"
#include "ui/panel_vocabulary.h"
#include "ui/popups.h"
#include "ui/screen_manager.h"
#include "ui/slide_bar.h"
#include "units/hex_geometry.h"
#include "units/hex_owner.h"
#include "units/unit_texts.h"
#include "world/game_speed.h"
#include "world/scenario_settings.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

// Westholm's main battle tanks.
constexpr int32_t kSampleTankClass = 8;

// A screen point over the hex inside the map pane, found by looking.
bool PointOver(uint32_t hex, int32_t& x, int32_t& y) {
  MapView& view = *g_ui.mapView;
  CentreMapOnHex(view, hex);
  SampleGame::Pump();
  for (y = view.viewTop; y < view.viewBottom; y += 2)
    for (x = view.viewLeft; x < view.viewRight; x += 2) {
      const Hex p = ScreenToMapPixel(view, x, y);
      const Hex h = MapPixelToHex(view, p.x, p.y);
      if (PackHex(h.x, h.y) == hex && ControlHitTest(g_ui.rootForm, x, y, kAnyDepth, 0) == g_ui.mapArea) return true;
    }
  return false;
}

int Rows(const ListBoxControl* list) {
  int n = 0;
  for (const Control* row = list ? ListNextRow(list, nullptr) : nullptr; row; row = ListNextRow(list, row)) ++n;
  return n;
}

float BarValue(Control* panel, int32_t id) {
  Control* c = FormFindControlById(panel, id);
  return c && c->kind == kKindSlideBar ? SliderGetValueFloat(static_cast<SlideBarControl*>(c)) : -1.0f;
}

TEST(OddsAndSettlements, TheTanksOddsAgainstAForeignHexAndWestholmsSettlementsByPopulation) {
  // The options go back before the game stops, which writes them to the
  // options file the next game in the process reads.
  SampleGame game;
  GlobalGuard options(g_uiOptions);
  ASSERT_NO_FATAL_FAILURE(game.Start());
  ScreenSet& s = g_screens;
  World& w = g_world;
  SetGameSpeed(w.gameState, 0);
  g_uiOptions.sidescreens = 1;
  ApplySideScreensLayout(*g_ui.mapView);
  ASSERT_TRUE(g_uiOptions.sidescreens);

  // Westholm's tanks, and the foreign hex nearest them with units, once
  // Westholm is at war with everyone and the fog has lifted (at the start
  // it sees no foreign unit).
  uint32_t target = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const int32_t local = w.gameState.localPlayer;
    w.players[local].displayPolicy.hostileMask = ~(1u << local);
    w.scenario.head.gameFlags &= ~kGameFlagFog;
    uint32_t from = 0;
    for (const UnitRecord* u = w.units; u; u = u->next == w.units ? nullptr : u->next)
      if (u->owner == local && u->classIndex == kSampleTankClass && IsUnitLive(*u)) {
        AddUnitRef(s.SelectionList(), *u);
        if (!from) from = MakeHexPos(u->x, u->y);
      }
    ASSERT_NE(from, 0u) << "Westholm has tanks";
    const HexMapShape shape = MapShape(w);
    int32_t best = INT32_MAX;
    for (int32_t y = 0; y < shape.height; ++y)
      for (int32_t x = 0; x < shape.width; ++x) {
        const uint32_t hex = MakeHexPos(x, y);
        const int32_t owner = CellOwner(w.cells[static_cast<size_t>(y * shape.width + x)].word);
        if (owner == 0 || owner == local || HexDistance(shape, from, hex) >= best) continue;
        CollectHexStackUnits(w, hex, local, kRelationHostile);
        if (FirstInHolder(HexStackList())) target = hex, best = HexDistance(shape, from, hex);
      }
    ListHolderClear(HexStackList());
  }
  ASSERT_NE(target, 0u) << "a foreign hex with units Westholm sees";
  ShowSelectionOrders(s);
  SetPanelDepth(0, 1, *g_ui.mapView);  // the orders panel put away: the odds take the side column
  ASSERT_TRUE(s.combatOdds.currentForm && s.combatOdds.currentForm->parent) << "MAP3 in the side column";

  int32_t x = 0, y = 0;
  ASSERT_TRUE(PointOver(target, x, y));
  SampleGame::Post(plat::kWmMouseMove, 0, x, y);
  SampleGame::Pump();
  EXPECT_EQ(PackHex(w.gameState.viewHex.x, w.gameState.viewHex.y), target);
  EXPECT_GT(Rows(s.combatOdds.attackers), 0);
  EXPECT_GT(Rows(s.combatOdds.defenders), 0);
  // The units' names read whole in the pop-up's narrow lists.
  for (ListBoxControl* side : {s.combatOdds.attackers, s.combatOdds.defenders})
    for (const Control* row = ListNextRow(side, nullptr); row; row = ListNextRow(side, row))
      TextsReadWhole(row->firstChild, side == s.combatOdds.attackers ? "attacker" : "defender");
  EXPECT_FALSE(s.combatOdds.defenceSide->Hidden());
  EXPECT_GT(BarValue(s.combatOdds.attackSide, kCombatAttackBarId), 0.0f);
  EXPECT_GT(BarValue(s.combatOdds.defenceSide, kCombatAttackBarId), 0.0f);
  // A defender chosen, Info shows that unit.
  SampleGame::ClickControl(s.combatOdds.defenders, 0);
  const Control* chosen = ListNextSelected(s.combatOdds.defenders, nullptr);
  ASSERT_NE(chosen, nullptr) << "a click chooses a defender";
  SampleGame::ClickControl(FormFindControlByTag(s.combatOdds.currentForm, "DINF"));
  ASSERT_TRUE(s.unitDetail.currentForm && s.unitDetail.currentForm->parent) << "Info opens the unit";
  EXPECT_EQ(s.unitDetail.id, static_cast<intptr_t>(static_cast<uint32_t>(chosen->id)));
  ClosePopupForm(g_ui, s.unitDetail.currentForm, 0, 0);
  // No attacker chosen yet, Info shows the first the list leads with.
  if (!ListNextSelected(s.combatOdds.attackers, nullptr)) {
    SampleGame::ClickControl(FormFindControlByTag(s.combatOdds.currentForm, "OINF"));
    ASSERT_TRUE(s.unitDetail.currentForm && s.unitDetail.currentForm->parent) << "Info opens a unit";
    EXPECT_EQ(s.unitDetail.id, static_cast<intptr_t>(static_cast<uint32_t>(ListNextRow(s.combatOdds.attackers, nullptr)->id)));
    ClosePopupForm(g_ui, s.unitDetail.currentForm, 0, 0);
  }

  // Ctrl+C: Westholm's settlements, the most people first.
  KeyCommand('C', g_ui, kModCtrl, 0);
  Screen& list = *s.settlementList;
  ASSERT_TRUE(list.currentForm && list.currentForm->parent) << "the settlement list is open";
  auto* cityList = TagAs<ListBoxControl>(list.currentForm, "CITYLIST");
  ASSERT_NE(cityList, nullptr);
  EXPECT_EQ(list.id, w.gameState.localPlayer);
  std::vector<uint32_t> cells;
  for (const Control* row = ListNextRow(cityList, nullptr); row; row = ListNextRow(cityList, row))
    cells.push_back(static_cast<uint32_t>(ListRowValue(row)));
  ASSERT_GT(cells.size(), 1u);
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    for (size_t i = 1; i < cells.size(); ++i)
      EXPECT_GE(HexPeopleWeight(w, w.cells[cells[i - 1]]), HexPeopleWeight(w, w.cells[cells[i]])) << i;
    for (uint32_t cell : cells) EXPECT_EQ(CellOwner(w.cells[cell].word), w.gameState.localPlayer);
  }
  // Each drawn row names its own settlement, as the hex's label reads on
  // the map (Fenby at X:078 Y:020 is no Harrowgate, the capital).
  SampleGame::Pump();
  int named = 0;
  for (const Control* row = ListNextRow(cityList, nullptr); row; row = ListNextRow(cityList, row)) {
    ASSERT_NE(row->firstChild, nullptr) << "the row is drawn";
    const Control* name = FindControlByTag(row->firstChild->firstChild, "CARDNAME", 0, 1);
    const Control* place = FindControlByTag(row->firstChild->firstChild, "CARDPOS", 0, 1);
    ASSERT_TRUE(name && place);
    std::string label;
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      const auto cell = static_cast<uint32_t>(ListRowValue(row));
      label = HexPositionText(w, PackHex(static_cast<int32_t>(cell) % w.mapWidth, static_cast<int32_t>(cell) / w.mapWidth));
    }
    EXPECT_EQ(name->text, label) << "the row at " << place->text;
    named += label.rfind("X:", 0) != 0;
  }
  EXPECT_GT(named, 1) << "Westholm has more than one named settlement";
  // The second row chosen, CENTRE centres the map on its hex (the map
  // still shows the foreign hex).
  SampleGame::ClickControl(cityList, 1);
  MapView& view = *g_ui.mapView;
  const std::pair<int32_t, int32_t> before{view.panX, view.panY};
  SampleGame::ClickControl(FormFindControlByTag(list.currentForm, "CENTRE"));
  EXPECT_EQ(w.gameState.currentHex.cellIndex, cells[1]);
  const std::pair<int32_t, int32_t> after{view.panX, view.panY};
  CentreMapOnHex(view, PackHex(static_cast<int32_t>(cells[1]) % w.mapWidth, static_cast<int32_t>(cells[1]) / w.mapWidth));
  EXPECT_EQ(after, std::make_pair(view.panX, view.panY));
  EXPECT_NE(before, after);
}

}  // namespace
