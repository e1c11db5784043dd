// The whole program on the sample scenario as Westholm: a tank with a move
// order, selected alone; the command bar's Orders button docks the orders
// screen with its row, and its cancel button takes the order away.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "app/gfx/renderer.h"
#include "records/hex_cell.h"
#include "records/order_words.h"
#include "records/unit_record.h"
#include "screens/common/frame/side_bars.h"
#include "screens/common/units/order_choice.h"
#include "screens/main/map_input/selection.h"
#include "screens/military/orders/orders_screen.h"
#include "screens/screen_set.h"
#include "sim/simulation_lock.h"
#include "support/control_layout.h"
#include "support/global_guard.h"
#include "support/sample_game.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "units/hex_geometry.h"
#include "units/unit_order_issue.h"
#include "world/game_speed.h"
#include "world/id_lookups.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

constexpr int32_t kSampleTankClass = 8;

uint32_t SimOrder(uint32_t id) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const UnitRecord* u = FindUnitById(g_world, id);
  return u ? u->orders[kOrderId] : 0xFFFFFFFFu;
}

constexpr int kStepsAway = 3;

// Runs the game until the tank's order word is (or is not) 0, at most a day.
void RunUntil(uint32_t id, bool ordered) {
  SampleGame::PlayUntil(2, [&] { return (SimOrder(id) != 0) == ordered; });
}

TEST(OrdersScreenPlay, TheOrdersButtonDocksTheTanksRowAndCancelClearsItsOrder) {
  SampleGame game;
  GlobalGuard options(g_uiOptions);
  ASSERT_NO_FATAL_FAILURE(game.Start());
  // The test pauses between steps: a turn ending while paused would open
  // the end-of-turn pop-up over the command bar and take the next click.
  g_uiOptions.bnoconfirmturn = 1;
  World& w = g_world;
  ScreenSet& s = g_screens;
  SetGameSpeed(w.gameState, 0);
  SampleGame::ClickControl(FormFindControlByTag(s.cmdBar.currentForm, "MAP"));
  uint32_t tank = 0, to = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const HexMapShape shape = MapShape(w);
    const auto tanks = SampleGame::OwnUnitsOnMap(kSampleTankClass);
    ASSERT_FALSE(tanks.empty());
    tank = tanks.front()->id;
    const UnitRecord* u = FindUnitById(w, tank);
    const uint32_t at = MakeHexPos(u->x, u->y);
    const HexCell* start = HexCellAt(w, shape, at);
    // A few hexes off over the same ground: the tank is still on its way
    // when its row is read.
    for (int d = 0; d < 6 && !to; ++d) {
      uint32_t h = at;
      bool same = true;
      for (int step = 0; step < kStepsAway && same; ++step) {
        h = HexNeighbour(shape, h, d);
        const HexCell* c = HexCellAt(w, shape, h);
        same = c && CellTerrain(c->word) == CellTerrain(start->word);
      }
      if (same) to = h;
    }
    ASSERT_NE(to, 0u);
    AddUnitRef(s.SelectionList(), *u);
  }
  IssueOrderToSelection(s, kMoveOrder, to, nullptr, false, 0);
  RunUntil(tank, true);
  ASSERT_NE(SimOrder(tank), 0u) << "the move order reached the tank";

  const auto pixelAt = [](int32_t x, int32_t y) {
    std::vector<uint32_t> pixels;
    uint32_t width = 0, height = 0;
    EXPECT_EQ(g_renderer.device->ReadBackBuffer(&pixels, &width, &height), plat::kOk);
    const size_t at = static_cast<size_t>(y) * width + static_cast<size_t>(x);
    return at < pixels.size() ? pixels[at] : 0u;
  };
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    ListHolderClear(s.SelectionList());
    AddUnitRef(s.SelectionList(), *FindUnitById(w, tank));
    MarkStackUnits(w, s.SelectionList());
  }
  SampleGame::Pump();
  const plat::Rect dock = ControlAbsoluteRect(DockHost(s, 1));
  // On the first row of the list.
  const int32_t px = dock.left + 20, py = dock.top + 96;
  const uint32_t before = pixelAt(px, py);
  SampleGame::ClickControl(FormFindControlByTag(s.cmdBar.currentForm, "ORDERS"));
  SampleGame::Pump();
  ListBoxControl* list = s.ordersScreen.unitListBox;
  ASSERT_NE(list, nullptr);
  ASSERT_NE(list->firstRow, nullptr) << "the tank's row is listed";
  EXPECT_EQ(ListRowValue(list->firstRow), static_cast<intptr_t>(tank));
  EXPECT_NE(pixelAt(px, py), before) << "the back buffer shows the docked rows";
  // The moving tank's summary row reads whole at the orders screen's room:
  // its order, and its destination on a line of its own.
  const Control* destination = FormFindControlByTag(s.orderSheets[0].currentForm, "DEST");
  ASSERT_NE(destination, nullptr);
  EXPECT_EQ(destination->text.rfind("Dest X:", 0), 0u) << destination->text;
  EXPECT_GT(TextsReadWhole(s.orderSheets[0].currentForm, "the tank's summary row"), 5);

  SampleGame::ClickControl(FormFindControlById(s.ordersScreen.currentForm, 16));
  RunUntil(tank, false);
  EXPECT_EQ(SimOrder(tank), 0u) << "the cancel reached the tank";

  // The tank and a unit of another kind, both listed: the tank's kind
  // button picks the tank alone, whose summary row names its owner whole;
  // All picks both, and the class and type buttons give way to the "Mixed
  // units" note. The back buffer there is what a whole new frame draws: no
  // button text is left under the note.
  int32_t tankKind = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const UnitRecord* t = FindUnitById(w, tank);
    const UnitRecord* other = nullptr;
    for (const UnitRecord* u : SampleGame::OwnUnitsOnMap())
      if (!other && u->unitType != t->unitType && u->classIndex != t->classIndex && u->kind != t->kind) other = u;
    ASSERT_NE(other, nullptr);
    tankKind = t->kind;
    ListHolderClear(s.SelectionList());
    AddUnitRef(s.SelectionList(), *t);
    AddUnitRef(s.SelectionList(), *other);
    MarkStackUnits(w, s.SelectionList());
  }
  // The button closes the panel when it is open, and opens it on the new
  // pick.
  const auto panelShown = [&] {
    for (const Control* c = s.ordersScreen.currentForm; c; c = c->parent) {
      if (c->Hidden()) return false;
      if (c == g_ui.rootForm) return true;
    }
    return false;
  };
  SampleGame::ClickControl(FormFindControlByTag(s.cmdBar.currentForm, "ORDERS"));
  if (!panelShown()) SampleGame::ClickControl(FormFindControlByTag(s.cmdBar.currentForm, "ORDERS"));
  ASSERT_TRUE(panelShown());
  SampleGame::ClickControl(FormFindControlById(s.ordersScreen.currentForm, 200 + tankKind));
  auto* owner = static_cast<StringControl*>(FormFindControlByTag(s.orderSheets[0].currentForm, "FLAG"));
  ASSERT_NE(owner, nullptr);
  EXPECT_EQ(owner->ShownText().text, owner->text) << "the owner reads whole";
  EXPECT_NE(owner->text.find("Westholm"), std::string::npos);
  SampleGame::ClickControl(FormFindControlByTag(s.ordersScreen.currentForm, "RESELECT"));
  Control* note = FormFindControlByTag(s.ordersScreen.currentForm, "CLASSHIDE");
  ASSERT_NE(note, nullptr);
  EXPECT_FALSE(note->Hidden()) << "the note that the units are mixed shows";
  const plat::Rect at = ControlAbsoluteRect(note);
  const auto area = [&] {
    std::vector<uint32_t> pixels, out;
    uint32_t width = 0, height = 0;
    EXPECT_EQ(g_renderer.device->ReadBackBuffer(&pixels, &width, &height), plat::kOk);
    for (int32_t y = at.top; y < at.bottom; ++y)
      for (int32_t x = at.left; x < at.right; ++x) out.push_back(pixels[static_cast<size_t>(y) * width + x]);
    return out;
  };
  const std::vector<uint32_t> shown = area();
  g_ui.rootForm->Invalidate();
  SampleGame::Pump();
  EXPECT_EQ(shown, area()) << "the note's place as a whole frame draws it";

  // Escape lets the selection go and the panel with it, rather than leave
  // it standing on "Units 0"; the game menu's Return to Game brings it
  // back no more than the Orders button pressed anew, which has no unit to
  // list.
  SampleGame::PressKey(plat::kVkEscape);
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    ASSERT_EQ(FirstInHolder(s.SelectionList()), nullptr) << "Escape let the selection go";
  }
  EXPECT_FALSE(panelShown()) << "the orders panel closed with the selection";
  GameMenu& menu = s.gameMenu;
  SampleGame::PressKey(plat::kVkEscape);
  ASSERT_TRUE(menu.currentForm && menu.currentForm->parent) << "the next Escape opens the game menu";
  SampleGame::ClickControl(FormFindControlByTag(menu.buttons.currentForm, "RETURNBUT"));
  EXPECT_FALSE(panelShown()) << "Return to Game reopens nothing";
  EXPECT_EQ(g_ui.panelDepth, 0);
  Control* ordersButton = FormFindControlByTag(s.cmdBar.currentForm, "ORDERS");
  ASSERT_FALSE(ordersButton->Selected()) << "the next click opens the panel rather than close it";
  SampleGame::ClickControl(ordersButton);
  EXPECT_FALSE(panelShown()) << "with no unit listed the orders panel is closed";
  EXPECT_EQ(g_ui.panelDepth, 0);
}

}  // namespace
