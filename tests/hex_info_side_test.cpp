// The whole program on the sample scenario as Westholm with the side
// screens on: a click selects an own hex and the pointer rests on a hex of
// another region; the hex information pop-up in the side column describes
// both, each in its column, and the distance between them. The hex menu
// gives the capital the people the column gives it.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include "platform/fpenv.h"
#include "platform/messages.h"
#include "records/hex_cell.h"
#include "screens/common/frame/map_geometry.h"
#include "screens/main/map/map_view.h"
#include "screens/main/panels/hex_info_panel.h"
#include "screens/common/frame/main_layout.h"
#include "screens/main/popups/hex_column_figures.h"
#include "screens/main/popups/hex_info_popup.h"
#include "screens/main/popups/hex_list_popups.h"
#include "screens/screen_set.h"
#include "sim/simulation_lock.h"
#include "support/control_layout.h"
#include "support/global_guard.h"
#include "support/sample_game.h"
#include "ui/control_tree.h"
#include "ui/keyboard.h"
#include "ui/list_control.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "units/hex_geometry.h"
#include "world/capital_hex.h"
#include "world/game_speed.h"
#include "world/player_names.h"
#include "world/text/ui_options.h"
#include "world/unit_class.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

std::string TextOf(Control* part, int32_t id) {
  const Control* c = FormFindControlById(part, id);
  return c ? c->text : "(none)";
}

TEST(HexInfoSide, TheSideColumnDescribesTheSelectedHexAndTheHexUnderThePointer) {
  plat::SetGameFloatMode();
  // The options go back before the game stops, which writes them to the
  // options file the next game in the process reads.
  SampleGame game;
  GlobalGuard options(g_uiOptions);
  ASSERT_NO_FATAL_FAILURE(game.Start());
  ScreenSet& s = g_screens;
  World& w = g_world;
  uint32_t selected = 0, pointed = 0;
  int selectedOwner = 0, pointedOwner = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    SetGameSpeed(w.gameState, 0);
    // An own hex without a facility, and the first hex of another region
    // east of it in its row (across the sea).
    const HexMapShape shape = MapShape(w);
    const int local = w.gameState.localPlayer;
    for (int32_t y = 2; y + 2 < shape.height && !selected; ++y)
      for (int32_t x = 2; x + 2 < shape.width && !selected; ++x) {
        const HexCell& a = w.cells[static_cast<size_t>(y * shape.width + x)];
        if (CellOwner(a.word) != local || ShownUnit(w, a)) continue;
        for (int32_t d = 2; x + d + 2 < shape.width && !selected; ++d) {
          const HexCell& b = w.cells[static_cast<size_t>(y * shape.width + x + d)];
          const int owner = CellOwner(b.word);
          if (owner != local && owner != 0)
            selected = MakeHexPos(x, y), pointed = MakeHexPos(x + d, y), selectedOwner = local, pointedOwner = owner;
        }
      }
  }
  ASSERT_NE(selected, 0u) << "Westholm has a hex without a facility with another region east of it";

  g_uiOptions.sidescreens = 1;
  g_uiOptions.bdistancehexes = 1;
  ApplySideScreensLayout(*g_ui.mapView);
  ASSERT_TRUE(s.hexInfoPopup.currentForm && s.hexInfoPopup.currentForm->parent) << "MAP2 hangs in the side column";

  int32_t x = 0, y = 0;
  ASSERT_TRUE(SampleGame::PointOn(selected, x, y));
  SampleGame::Click(x, y);
  ASSERT_EQ(PackHex(w.gameState.currentHex.x, w.gameState.currentHex.y), selected);
  ASSERT_TRUE(SampleGame::PointOn(pointed, x, y));
  SampleGame::Post(plat::kWmMouseMove, 0, x, y);
  SampleGame::Pump();
  ASSERT_EQ(PackHex(w.gameState.viewHex.x, w.gameState.viewHex.y), pointed);

  // The window timer's refresh walk brings the pop-up up to date.
  Control* form = s.hexInfoPopup.currentForm;
  Control* distanceText = FormFindControlByTag(form, "DISTANCE");
  ASSERT_NE(distanceText, nullptr);
  char distance[32];
  std::snprintf(distance, sizeof distance, "%4.1f Hexes",
                static_cast<double>(HexDistance(MapShape(w), selected, pointed)));
  for (int i = 0; i < 1000 && distanceText->text != distance; ++i) {
    SampleGame::Pump();
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  EXPECT_FALSE(distanceText->Hidden());
  EXPECT_EQ(distanceText->text, distance);
  Control* selectedPart = FormFindControlByTag(form, "SPAR1");
  Control* pointedPart = FormFindControlByTag(form, "CPAR1");
  ASSERT_TRUE(selectedPart && pointedPart);
  EXPECT_FALSE(selectedPart->Hidden() || pointedPart->Hidden());
  EXPECT_EQ(TextOf(selectedPart, 1), LookupLocalizedName(w, w.players[selectedOwner]));
  EXPECT_EQ(TextOf(pointedPart, 1), LookupLocalizedName(w, w.players[pointedOwner]));
  for (Control* part : {selectedPart, pointedPart})
    for (int32_t bar : {4, 5}) EXPECT_NE(TextOf(part, bar).find(" %"), std::string::npos) << bar;
  // The selected hex carries nothing: its column gives the ground's bars.
  EXPECT_EQ(s.hexInfoPopup.columns[0]->firstChild, s.hexInfoPopup.plainPanels[0].currentForm);
  EXPECT_EQ(s.hexInfoPopup.plainPanels[0].id, static_cast<intptr_t>(w.gameState.currentHex.cellIndex));
  const Control* pointedShown = s.hexInfoPopup.columns[1]->firstChild;
  EXPECT_TRUE(pointedShown == s.hexInfoPopup.plainPanels[1].currentForm || pointedShown == s.hexInfoPopup.industryPanels[1].currentForm);
}

// The capital's people: the hex menu (a right click on the hex) and the
// side column (the hex selected) give the same figure in the same words.
TEST(HexInfoSide, TheHexMenuGivesTheCapitalThePeopleTheSideColumnGives) {
  plat::SetGameFloatMode();
  SampleGame game;
  GlobalGuard options(g_uiOptions);
  ASSERT_NO_FATAL_FAILURE(game.Start());
  ScreenSet& s = g_screens;
  World& w = g_world;
  uint32_t capital = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    SetGameSpeed(w.gameState, 0);
    const CapitalPosition at = CapitalHex(w.players[w.gameState.localPlayer].simPolicy);
    capital = MakeHexPos(at.x, at.y);
  }
  ASSERT_NE(capital, 0u);
  g_uiOptions.sidescreens = 1;
  ApplySideScreensLayout(*g_ui.mapView);
  int32_t x = 0, y = 0;
  ASSERT_TRUE(SampleGame::PointOn(capital, x, y));
  SampleGame::Click(x, y, true);
  HexProductList& menu = HexMenu();
  ASSERT_TRUE(menu.currentForm && menu.currentForm->parent) << "a right click opens the hex menu";
  std::string people;
  for (Control* r = ListNextRow(menu.list, nullptr); r; r = ListNextRow(menu.list, r)) {
    if (r->id == 2) people = r->text;
    // The menu is as wide as its widest row: the million reads whole.
    if (const auto* row = dynamic_cast<const StringControl*>(r)) {
      EXPECT_EQ(row->ShownText().text, row->text);
    }
  }
  SampleGame::PressKey(plat::kVkEscape);

  SampleGame::Click(x, y);
  ASSERT_EQ(PackHex(w.gameState.currentHex.x, w.gameState.currentHex.y), capital);
  Control* selectedPart = FormFindControlByTag(s.hexInfoPopup.currentForm, "SPAR1");
  ASSERT_NE(selectedPart, nullptr);
  // The window timer's refresh walk brings the column to the capital.
  std::string shown;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    shown = HexPeopleText(w, w.cells[w.gameState.currentHex.cellIndex]);
  }
  for (int i = 0; i < 1000 && TextOf(selectedPart, 3) != shown; ++i) {
    SampleGame::Pump();
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  const std::string column = TextOf(selectedPart, 3);
  // A capital of a million and more: the settlement's people count, not
  // only its ground's.
  EXPECT_GE(column.size(), 9u) << column;
  EXPECT_EQ(people, "Population " + column);
}

}  // namespace

namespace {

// Westholm's facility hexes as a player reads them: the side column over an
// own facility with the longest name, the map's Terrain tab for its hex,
// and the settlement list (Ctrl+C); every text reads whole and apart from
// its neighbours, and the list's rows fill their columns and their box.
TEST(HexInfoSide, TheFacilityColumnTerrainTabAndSettlementListReadWhole) {
  plat::SetGameFloatMode();
  SampleGame game;
  GlobalGuard options(g_uiOptions);
  ASSERT_NO_FATAL_FAILURE(game.Start());
  ScreenSet& s = g_screens;
  World& w = g_world;
  uint32_t facility = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    SetGameSpeed(w.gameState, 0);
    size_t longest = 0;
    for (const UnitRecord* u : SampleGame::OwnUnitsOnMap()) {
      const UnitClassRecord* cls = UnitClassOf(w, *u);
      if (!cls || !(cls->flags & kClassFacility) || (cls->flags & kClassSettlementPopulation)) continue;
      const size_t length = strnlen(cls->name, sizeof cls->name);
      if (length > longest) longest = length, facility = MakeHexPos(u->x, u->y);
    }
  }
  ASSERT_NE(facility, 0u) << "Westholm has a facility that is no settlement";
  g_uiOptions.sidescreens = 1;
  ApplySideScreensLayout(*g_ui.mapView);
  int32_t x = 0, y = 0;
  ASSERT_TRUE(SampleGame::PointOn(facility, x, y));
  SampleGame::Click(x, y);
  SampleGame::Post(plat::kWmMouseMove, 0, x, y);
  Control* column = s.hexInfoPopup.columns[0];
  for (int i = 0; i < 1000 && column->firstChild != s.hexInfoPopup.industryPanels[0].currentForm; ++i) {
    SampleGame::Pump();
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  ASSERT_EQ(column->firstChild, s.hexInfoPopup.industryPanels[0].currentForm) << "the column shows the facility";
  EXPECT_GE(TextsReadWhole(s.hexInfoPopup.currentForm, "MAP2"), 4);
  TextsApart(s.hexInfoPopup.currentForm, "MAP2");

  // The map panel of the selected hex, its Terrain tab pressed.
  Control* terrainTab = FormFindControlByTag(s.mapScreen.currentForm, "TERRAINBUT");
  if (!terrainTab || !ShownInTree(terrainTab)) {
    SampleGame::ClickControl(FormFindControlByTag(s.cmdBar.currentForm, "MAP"));
    terrainTab = FormFindControlByTag(s.mapScreen.currentForm, "TERRAINBUT");
  }
  ASSERT_TRUE(terrainTab && ShownInTree(terrainTab)) << "the map panel offers the Terrain tab";
  SampleGame::ClickControl(terrainTab);
  Control* terrain = s.mapScreen.hexInfo.currentForm;
  ASSERT_TRUE(terrain && ShownInTree(terrain)) << "the Terrain tab docks";
  EXPECT_GE(TextsReadWhole(terrain, "Terrain tab"), 2 + 4 + 4 + 2);
  TextsApart(terrain, "Terrain tab");
  // Compare: the two hexes side by side under the products' tabs.
  SampleGame::ClickControl(FormFindControlByTag(terrain, "INSPECT"));
  Control* compare = s.mapScreen.hexInfo.distance.currentForm;
  ASSERT_TRUE(compare && ShownInTree(compare)) << "Compare docks";
  EXPECT_GE(TextsReadWhole(compare, "Compare"), 8);
  TextsApart(compare, "Compare");

  KeyCommand('C', g_ui, kModCtrl, 0);
  Screen& list = *s.settlementList;
  ASSERT_TRUE(list.currentForm && ShownInTree(list.currentForm)) << "the settlement list is open";
  SampleGame::Pump();
  auto* cities = dynamic_cast<ListBoxControl*>(FormFindControlByTag(list.currentForm, "CITYLIST"));
  ASSERT_NE(cities, nullptr);
  const int32_t inView = RowsFillTheirBox(cities, "the settlement list");
  EXPECT_GT(inView, 1);
  int32_t drawn = 0;
  for (const Control* row = ListNextRow(cities, nullptr); row; row = ListNextRow(cities, row)) {
    if (!row->firstChild) continue;
    ++drawn;
    // Name, place, people, loyalty and the region it is loyal to.
    EXPECT_GE(TextsReadWhole(row->firstChild, "settlement row " + std::to_string(row->id)), 5);
    TextsApart(row->firstChild, "settlement row " + std::to_string(row->id));
  }
  EXPECT_EQ(drawn, inView) << "the rows in view show their columns";
  TextsReadWhole(list.currentForm, "settlement list");
  TextsApart(list.currentForm, "settlement list");
}

}  // namespace
