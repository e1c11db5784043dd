// End to end on the real turn thread: the unit panel lists the own unit of
// the selected hex, its orders open for it alone, and ordered three hexes
// away it stands there within two game days.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>
#include <filesystem>
#include <string>

#include "records/le_bytes.h"
#include "screens/main/selection.h"
#include "screens/main/unit_panel.h"
#include "sim/game_session_test_support.h"
#include "sim/simulation_lock.h"
#include "sim/turn_thread.h"
#include "ui/form_file.h"
#include "ui/list_control.h"
#include "ui/screen_manager.h"
#include "ui/screen_set.h"
#include "units/hex_geometry.h"
#include "units/hex_stack_chains.h"
#include "units/movement_rates.h"
#include "units/path_route.h"
#include "units/unit_create.h"
#include "units/unit_order_issue.h"
#include "units/unit_tables.h"
#include "world/object_hex.h"
#include "world/text/rule_tables.h"

namespace {

constexpr int kTankClass = 2;

class UnitPanelWalk : public GameSessionTest {
 protected:
  void SetUp() override {
    GameSessionTest::SetUp();
    BuildWorld(12, 8, 1, true);
    GiveRegionsLand(1);
    World& w = g_world;
    w.terrains[0].bytes[120] = 1;  // open to movement type 0
    w.mapHeader.hexScale = 10;
    w.mapHeader.scale = 1.0f;
    for (auto& factors : w.techEffects) factors[13] = 1.0f;
    UnitClassRecord& tank = w.unitClasses[kTankClass];
    std::strcpy(tank.name, "Tank");
    tank.strengthPerSize = 10;
    le::Store16(tank.bytes64 + 2, 100);  // speed
    reinterpret_cast<uint8_t*>(&tank)[120] = 10;  // it can fight, so an order does not halt it
    // The panel's form from the built data root; the game's files stay in
    // the test's own folder.
    const std::string root = plat::DataRoot();
    plat::SetDataRoot(std::filesystem::path(VD_GAME_EXE).parent_path().string());
    std::strcpy(g_app.hapsDirectory, "HAPS\\");
    panel_.form = panel_.currentForm = LoadFormFile(panel_.formName, &panel_, nullptr, nullptr);
    plat::SetDataRoot(root);
    ASSERT_NE(panel_.form, nullptr);
    panel_.BindControls();
    g_platform.clientRect = {0, 0, 1280, 1024};
    if (!g_ui.rootPanel) BuildRootControls(g_ui);
  }
  void TearDown() override {
    for (ListHolder& l : g_screens.workingLists) ListHolderClear(l);
    GameSessionTest::TearDown();
  }

  UnitPanel panel_;
};

TEST_F(UnitPanelWalk, AnOwnUnitListedOnItsHexWalksToTheHexItIsOrderedTo) {
  World& w = g_world;
  const uint32_t start = MakeHexPos(2, 3), goal = MakeHexPos(5, 3);
  ASSERT_EQ(HexDistance(MapShape(w), start, goal), 3);
  UnitRecord* tank = CreateUnit(w, w.players[1], 0x01000100u, kTankClass, 1.0f, start, 0, 0);
  ASSERT_NE(tank, nullptr);
  tank->unitFlags &= ~kUnitProvisional;
  tank->orders[kPostureBits] = 0;
  tank->ordersShown = tank->orders;
  HexCell& cell = w.cells[static_cast<size_t>(3 * w.mapWidth + 2)];
  HexStackInsertById(w, cell, *tank);
  HexStackInsertOrdered(w, cell, *tank);
  AppendUnitPtr(w, kUnitTableOnMap, 1, 0, *tank);
  RecomputeMovementRates(w, *tank);

  SetObjectHex(w, 2, 3, w.gameState.currentHex);
  panel_.Refresh();
  ASSERT_EQ(panel_.list->rowCount, 1u);
  EXPECT_EQ(panel_.CurrentUnit(), tank->id);

  // Order 1 moves to the hex, as the scenario's order table says.
  uint32_t& moveFlags = g_ruleTables.orderTypes.entries[kMoveOrder].orderFlags;
  const uint32_t savedFlags = moveFlags;
  moveFlags = kOrderMove;
  ASSERT_TRUE(StartTurnThread());
  OpenUnitOrders(g_screens, panel_.CurrentUnit());
  {
    // The selection is the listed unit alone; it gets order 1 along the
    // way from where it stands to the goal.
    plat::CriticalSectionLock lock(g_simulationLock);
    const std::vector<UnitRecord*> selected = SelectedUnits(w, g_screens);
    ASSERT_EQ(selected, std::vector<UnitRecord*>{tank});
    uint32_t waypoints[8] = {start, goal};
    PathRequest route;
    InitPathRequest(waypoints, route, goal, 0, false);
    IssueUnitOrder(w, *tank, kMoveOrder, goal, &route, nullptr, 0, 0, -1);
  }
  RunDaysOnTurnThread(2);
  StopTurnThread();
  moveFlags = savedFlags;
  EXPECT_EQ(MakeHexPos(tank->x, tank->y), goal);
}

}  // namespace
