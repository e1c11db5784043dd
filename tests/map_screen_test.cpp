// The map screen and its unit panel on their shipped forms: the hex header,
// the side panel chosen by itself, the placement mode's dock, and the unit
// list with its tabs, over a 20 x 16 map seen by local player 1; and, on the
// real turn thread, an own unit listed, its orders opened for it alone, and
// ordered three hexes away it stands there within two game days; and a
// quick click on the side bar's minimap that ends the drag it began.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/app_object.h"
#include "platform/paths.h"
#include "records/hex_unit_stack.h"
#include "records/le_bytes.h"
#include "records/unit_record.h"
#include "screens/common/frame/main_layout.h"
#include "screens/main/panels/map_screen.h"
#include "screens/main/map_input/hex_links.h"
#include "screens/common/frame/map_selection.h"
#include "screens/common/frame/map_geometry.h"
#include "screens/main/map/map_view.h"
#include "screens/main/map_input/selection.h"
#include "screens/screen_set.h"
#include "sim/game_session_test_support.h"
#include "sim/simulation_lock.h"
#include "sim/turn_thread.h"
#include "support/private_game_root.h"
#include "support/global_guard.h"
#include "support/root_controls.h"
#include "ui/control_tree.h"
#include "ui/form_file.h"
#include "ui/control_focus.h"
#include "ui/list_control.h"
#include "ui/mouse.h"
#include "ui/popups.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "units/hex_geometry.h"
#include "world/hex_stack_chains.h"
#include "world/movement_rates.h"
#include "units/paths/path_route.h"
#include "world/unit_create.h"
#include "units/unit_order_issue.h"
#include "world/unit_ring.h"
#include "world/unit_tables.h"
#include "world/hex_extra.h"
#include "world/id_lookups.h"
#include "world/map_data.h"
#include "world/object_hex.h"
#include "world/scenario_settings.h"
#include "world/text/rule_tables.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

constexpr int kColumns = 20, kRows = 16, kLocal = 1;

// Loads and binds the screen's shipped form from the built data root.
void LoadShippedForm(Screen& s) {
  const std::string root = plat::DataRoot();
  char haps[sizeof g_app.hapsDirectory];
  std::memcpy(haps, g_app.hapsDirectory, sizeof haps);
  plat::SetDataRoot(PrivateGameRoot());
  std::strcpy(g_app.hapsDirectory, "HAPS\\");
  s.form = s.currentForm = LoadFormFile(s.formName, &s, nullptr, nullptr);
  std::memcpy(g_app.hapsDirectory, haps, sizeof haps);
  plat::SetDataRoot(root);
  ASSERT_NE(s.form, nullptr) << s.formName;
  s.BindControls();
}

class MapScreenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    options_ = g_uiOptions;
    ResetUiOptions(g_uiOptions);  // not the options an earlier game set
    g_platform.clientRect = {0, 0, 1280, 1024};
    root_.emplace();
    g_ui.panelDepth = 0;
    g_popupSounds.uiSound = [](int32_t) {};
    World& w = g_world;
    // A selection an earlier game left names units freed with it.
    for (ListHolder& l : g_screens.workingLists) ListHolderClear(l);
    // Units of a game an earlier test played would share ids with these.
    FreeGameData(w);
    ASSERT_EQ(ResizeMap(w, kColumns, kRows), 0);
    w.unitClasses.assign(8, UnitClassRecord{});
    w.gameState.localPlayer = kLocal;
    // Forms an earlier test loaded go first, none deleted with another's:
    // a game start may have left any screen's form shown inside these.
    DetachScreenForms(Screen::AllScreens());
    for (Screen* s : Screens()) delete s->form, s->form = s->currentForm = nullptr;
    for (Screen* s : Screens()) LoadShippedForm(*s);
  }
  void TearDown() override {
    World& w = g_world;
    w.units = nullptr;
    ReindexUnits(w);
    for (UnitRecord* u : units_) delete u;
    FreeMapData(w);
    w.unitClasses.clear(), w.spottingMap.clear();
    w.scenario.head.gameFlags = 0;
    w.gameState.currentHex = HexPosition{};
    w.gameState.localPlayer = 0;
    for (ListHolder& l : g_screens.workingLists) ListHolderClear(l);
    // Every form leaves its host first, so none is deleted with another's.
    DetachScreenForms(Screen::AllScreens());
    for (Screen* s : Screens()) delete s->form, s->form = s->currentForm = nullptr;
    g_screens.mapScreen.units.list = nullptr;
    g_screens.mapScreen.currentSidePanel = nullptr;
    g_mapPlacement = MapPlacement{};
    g_uiOptions = options_;
    g_popupSounds.uiSound = nullptr;
  }
  static std::vector<Screen*> Screens() {
    MapScreen& m = g_screens.mapScreen;
    // The dock bar first: the hex panel hangs in it.
    return {&g_screens.dockLevel2,  &m,
            &m.units,            &m.hexInfo,
            &m.settlement,       &m.units.summary,
            &m.units.detail,     &m.units.status,
            &m.units.strength,   &m.units.cargo,
            &m.units.extra,      &m.units.extraFill,
            &m.units.orderSheet};
  }
  static void Select(int x, int y) {
    g_world.gameState.currentHex = HexPosition{static_cast<int16_t>(x), static_cast<int16_t>(y),
                                               static_cast<uint32_t>(y * kColumns + x), 0};
  }
  static HexCell& Cell(int x, int y) { return g_world.cells[static_cast<size_t>(y * kColumns + x)]; }
  UnitRecord* AddUnit(int owner, int x, int y) {
    auto* u = new UnitRecord{};
    u->owner = static_cast<uint8_t>(owner);
    u->id = static_cast<uint32_t>(owner) << 24 | static_cast<uint32_t>(units_.size() + 1);
    u->classIndex = 5;
    u->x = static_cast<int16_t>(x), u->y = static_cast<int16_t>(y);
    u->strength = 1.0f;
    InsertUnitInRing(g_world, *u);
    HexStackInsertOrdered(g_world, Cell(x, y), *u);
    units_.push_back(u);
    return u;
  }
  static Control* Find(Screen& s, const char* tag) { return FormFindControlByTag(s.currentForm, tag); }

  std::vector<UnitRecord*> units_;
  UiOptions options_;
  // Orders shown for a selection would make placement close the dock.
  GlobalGuard<int32_t> ordersShown_{g_screens.selectionOrdersShown, 0};
  // A tab an earlier game's automatic choice pressed is not taken for the
  // tab a row presses.
  GlobalGuard<int32_t> autoTab_{g_screens.mapScreen.autoTab, 0};
  std::optional<RootControlsForTest> root_;
};

TEST_F(MapScreenTest, TheHeaderNamesTheHexItsOwnerAndLoyalty) {
  MapScreen& m = g_screens.mapScreen;
  const std::string sixty(60, 'n');
  // Columns: hex (0, 0 none), label, owner, loyalty, name shown, colour,
  // loyalty box shown.
  struct Row { int x, y; const char* label; int owner, loyalTo; std::string name; uint32_t colour; bool loyalBox; };
  const Row rows[] = {{0, 0, nullptr, 0, 0, "", 0, false},
                      {7, 12, nullptr, 1, 1, "X:007 Y:012", 0xFFC8C8C8, false},
                      {3, 4, sixty.c_str(), 1, 2, sixty.substr(0, 47), 0xFFFFFF64, true}};
  for (const Row& r : rows) {
    Select(r.x, r.y);
    HexCell& cell = Cell(r.x, r.y);
    cell.word = WithCellLoyalTo(WithCellOwner(cell.word, r.owner), r.loyalTo);
    if (r.label) GetHexExtra(g_world, cell)->text = strdup(r.label);
    m.Refresh();
    const bool none = r.x == 0 && r.y == 0;
    for (const char* tag : {"UPGRADEBUT", "TERRAINBUT", "HEXNAME", "FLAG"}) EXPECT_EQ(Find(m, tag)->Hidden(), none) << tag;
    EXPECT_TRUE(Find(m, "UNITBUT")->Hidden() && Find(m, "UGINFOBUT")->Hidden());  // nothing on the hex
    EXPECT_EQ(!Find(m, "HIDEBOX")->Hidden(), r.loyalBox) << r.x;
    if (none) continue;
    auto* name = static_cast<StringControl*>(m.nameText);
    EXPECT_EQ(name->text, r.name);
    EXPECT_EQ(name->textColour, r.colour);
  }
}

TEST_F(MapScreenTest, TheSidePanelFollowsTheTabOrTheHexAndIsRefreshedWhenChosenAgain) {
  MapScreen& m = g_screens.mapScreen;
  g_uiOptions.bmapautopanel2 = 1;
  Select(5, 5);
  Cell(5, 5).word = WithCellOwner(0, 2);
  // Columns: pressed tab (0 none), units on the hex, panel chosen.
  struct Row { int tab; bool units; Screen* panel; };
  const Row rows[] = {{kMapTabTerrain, true, &m.hexInfo}, {0, true, &m.units}, {0, false, &m.hexInfo}};
  for (const Row& r : rows) {
    for (int tab = kMapTabBuild; tab <= kMapTabTerrain; ++tab)
      SetControlFlag(FormFindControlById(m.currentForm, tab), kStateSelected, tab == r.tab);
    if (r.units && units_.empty()) AddUnit(kLocal, 5, 5);
    if (!r.units && !units_.empty()) units_.back()->unitFlags = kUnitGone;
    m.selectedTab = 0;
    m.OnOpen();
    EXPECT_EQ(m.currentSidePanel, r.panel) << r.tab;
    // Each panel docks where its own screen puts it, and is shown there.
    Control* host = r.panel->currentForm ? r.panel->currentForm->parent : nullptr;
    ASSERT_NE(host, nullptr) << r.tab;
    EXPECT_EQ(host->firstChild, r.panel->currentForm);
    // The same choice again refreshes the panel where it is, not shown anew.
    host->firstChild = nullptr;
    m.ChooseAutoSidePanel(0);
    EXPECT_EQ(host->firstChild, nullptr);
    host->firstChild = r.panel->currentForm;
    EXPECT_EQ(m.currentSidePanel, r.panel);
  }
}

TEST_F(MapScreenTest, CancellingPlacementClosesOnlyTheThirdLevelItOpened) {
  // Columns: placing, depth before, depth after.
  struct Row { bool placing; int32_t before, after; };
  const Row rows[] = {{true, 3, 2}, {false, 3, 3}, {true, 1, 1}};
  for (const Row& r : rows) {
    SetPanelDepth(r.before, 1, g_mapView);
    if (r.placing) BeginMapPlacement(4, 0);
    EXPECT_EQ(g_mapView.hexPickCursor, r.placing ? 1 : 0);
    g_mapView.deploymentPick = 1;
    CancelMapPlacement(g_screens);
    EXPECT_EQ(g_ui.panelDepth, r.after) << r.placing << " " << r.before;
    EXPECT_EQ(g_mapPlacement.active + g_mapView.hexPickCursor + g_mapView.deploymentPick, 0);
  }
}

TEST_F(MapScreenTest, TheUnitPanelListsTheHexUnitsItsSideMaySee) {
  UnitPanel& p = g_screens.mapScreen.units;
  // Columns: hex selected, fog of war, hex spotted, the unit's flags, rows
  // listed.
  struct Row { bool hex, fog, spotted; uint32_t flags; uint32_t rows; };
  const Row rows[] = {{false, false, true, 0, 0},
                      {true, true, false, 0, 0},
                      {true, true, true, 0, 1},
                      {true, false, false, 0, 1},
                      {true, false, false, kUnitGone, 0}};
  g_world.spottingMap.assign(g_world.cells.size() * kMaxPlayers, 0);
  UnitRecord* unit = AddUnit(2, 6, 7);
  for (const Row& r : rows) {
    Select(r.hex ? 6 : 0, r.hex ? 7 : 0);
    g_world.scenario.head.gameFlags = r.fog ? kGameFlagFog : 0;
    g_world.spottingMap[static_cast<size_t>(7 * kColumns + 6) * kMaxPlayers + kLocal] = r.spotted ? 3 : 0;
    unit->unitFlags = r.flags;
    p.Refresh();
    EXPECT_EQ(p.list->rowCount, r.rows) << r.hex << r.fog << r.spotted;
    if (!r.hex) {
      EXPECT_TRUE(Find(p, "ORDERS1C")->Hidden());
    }
  }
}

TEST_F(MapScreenTest, AForeignUnitClosesTheTabsItMayNotSee) {
  UnitPanel& p = g_screens.mapScreen.units;
  UnitRecord* own = AddUnit(kLocal, 6, 7);
  UnitRecord* foreign = AddUnit(2, 6, 7);
  // Columns: the unit, summary tab open, depth after, tabs 4A and 4C and
  // the orders button hidden.
  struct Row { UnitRecord* unit; bool summaryOpen; int32_t depth; bool tabsHidden, ordersHidden; };
  const Row rows[] = {{foreign, true, 2, true, true}, {own, true, 3, false, false}};
  for (const Row& r : rows) {
    SetControlFlag(Find(p, "4A"), kStateHidden, 0);
    SetControlFlag(Find(p, "4A"), kStateSelected, r.summaryOpen);
    SetPanelDepth(3, 1, g_mapView);
    p.ShowUnit(r.unit->id);
    EXPECT_EQ(g_ui.panelDepth, r.depth) << r.unit->owner;
    EXPECT_EQ(Find(p, "4A")->Hidden(), r.tabsHidden);
    EXPECT_EQ(Find(p, "UNITORDER")->Hidden(), r.ordersHidden);
    EXPECT_EQ(p.summary.id, static_cast<intptr_t>(r.unit->id));
  }
}

TEST_F(MapScreenTest, ARefreshKeepsTheCurrentUnitAndTheScroll) {
  UnitPanel& p = g_screens.mapScreen.units;
  for (int i = 0; i < 30; ++i) AddUnit(kLocal, 6, 7);
  Select(6, 7);
  p.Refresh();
  ASSERT_EQ(p.list->rowCount, 30u);
  Control* row = ListNextRow(p.list, nullptr);
  for (int i = 0; i < 20; ++i) row = ListNextRow(p.list, row);
  ListSelectItem(0, p.list, row, 0);
  const uint32_t current = p.CurrentUnit();
  p.list->scrollOffset = 5 * p.list->rowStep;
  ListLayoutRows(p.list);
  const int32_t scroll = p.list->scrollOffset;
  p.Refresh();
  EXPECT_EQ(p.CurrentUnit(), current);
  EXPECT_EQ(p.list->scrollOffset, scroll);
  // The current unit gone: the first row becomes current.
  FindUnitById(g_world, current)->unitFlags = kUnitGone;
  p.Refresh();
  EXPECT_EQ(p.CurrentUnit(), static_cast<uint32_t>(ListRowValue(ListNextRow(p.list, nullptr))));
  EXPECT_NE(p.CurrentUnit(), current);
}

constexpr int kTankClass = 2;

using UnitPanelWalk = GameSessionTest;

TEST_F(UnitPanelWalk, AnOwnUnitListedOnItsHexWalksToTheHexItIsOrderedTo) {
  // Open land held by region 1; a tank class that moves and fights.
  BuildWorld(12, 8, 1, true);
  GiveRegionsLand(1);
  World& w = g_world;
  w.terrains[0].bytes[120] = 1;
  w.mapHeader.hexScale = 10;
  w.mapHeader.scale = 1.0f;
  for (auto& factors : w.techEffects) factors[13] = 1.0f;
  UnitClassRecord& cls = w.unitClasses[kTankClass];
  cls.strengthPerSize = 10;
  cls.speed = 100;  // speed
  cls.attackValues[0] = 10;
  UnitPanel panel;
  LoadShippedForm(panel);
  g_platform.clientRect = {0, 0, 1280, 1024};
  RootControlsForTest root;

  const uint32_t start = MakeHexPos(2, 3), goal = MakeHexPos(5, 3);
  ASSERT_EQ(HexDistance(MapShape(w), start, goal), 3);
  UnitRecord* tank = CreateUnit(w, w.players[1], 0x01000100u, kTankClass, 1.0f, start, 0, 0);
  ASSERT_NE(tank, nullptr);
  tank->unitFlags &= ~kUnitProvisional;
  tank->orders[kPostureBits] = 0;  // ready for orders
  tank->ordersShown = tank->orders;
  HexCell& cell = w.cells[static_cast<size_t>(3 * w.mapWidth + 2)];
  HexStackInsertById(w, cell, *tank);
  HexStackInsertOrdered(w, cell, *tank);
  AppendUnitPtr(w, kUnitTableOnMap, 1, 0, *tank);
  RecomputeMovementRates(w, *tank);

  SetObjectHex(w, 2, 3, w.gameState.currentHex);
  // Opening the orders leaves them shown for the selection, which a later
  // map click would take for an order.
  GlobalGuard ordersShown(g_screens.selectionOrdersShown), panelPending(g_screens.selectionPanelPending);
  GlobalGuard pickHex(g_mapView.pickHex);
  GlobalGuard route(g_mapRoute);
  panel.Refresh();
  ASSERT_EQ(panel.list->rowCount, 1u);

  // Order 1 moves to the hex, as the scenario's order table says.
  uint32_t& moveFlags = g_ruleTables.orderTypes.entries[kMoveOrder].orderFlags;
  const uint32_t savedFlags = moveFlags;
  moveFlags = kOrderMove;
  ASSERT_TRUE(StartTurnThread());
  OpenUnitOrders(g_screens, panel.CurrentUnit());
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    EXPECT_EQ(SelectedUnits(w, g_screens), std::vector<UnitRecord*>{tank});
    uint32_t waypoints[8] = {start, goal};
    PathRequest route;
    InitPathRequest(waypoints, route, goal, 0, false);
    IssueUnitOrder(w, *tank, kMoveOrder, goal, &route, nullptr, 0, 0, -1);
  }
  RunDaysOnTurnThread(2);
  StopTurnThread();
  moveFlags = savedFlags;
  EXPECT_EQ(MakeHexPos(tank->x, tank->y), goal);
  ListHolderClear(g_screens.SelectionList());
}

// A click on the minimap away from its view box, pressed and released
// before a frame moves the box under the pointer, still ends the drag it
// started: the release reaches the box on the shipped side bar form, which
// frees the pointer it confined to the minimap.
TEST(MinimapClick, AQuickClickOutsideTheViewBoxEndsItsDrag) {
  MinimapBar& bar = g_screens.minimapBar;
  MapView& v = g_mapView;
  GlobalGuard form(bar.form), current(bar.currentForm), root(g_ui.rootForm), capture(g_controls.capture);
  GlobalGuard minimapForm(v.minimapPane.currentForm), boxForm(v.dragPanPane.currentForm);
  GlobalGuard dragPan(v.dragPan), panX(v.panX), panY(v.panY);
  GlobalGuard zoom(v.zoom, 1.0f);
  GlobalGuard maxPanX(v.maxPanX), maxPanY(v.maxPanY), extentX(v.visibleExtentX), extentY(v.visibleExtentY);
  GlobalGuard dragMoved(v.dragMoved), lastDragX(v.lastDragX), lastDragY(v.lastDragY);
  GlobalGuard left(v.minimapLeft, 16), top(v.minimapTop, 12), right(v.minimapRight, 208), bottom(v.minimapBottom, 92);
  GlobalGuard perHexX(v.minimapPixelsPerHexX, 1.2f), perHexY(v.minimapPixelsPerHexY, 1.0f);
  GlobalGuard columns(v.columns, 160), rows(v.rows, 80);
  GlobalGuard wraps(v.wraps, true);
  GlobalGuard width(v.mapWidth, 18 * 160), height(v.mapHeight, 22 * 80);
  GlobalGuard viewLeft(v.viewLeft, 0), viewTop(v.viewTop, 0), viewRight(v.viewRight, 1000), viewBottom(v.viewBottom, 700);
  ComputeMapScrollLimits(v);
  LoadShippedForm(bar);
  Control* minimap = FormFindControlByTag(bar.form, "MINIMAPBOX");
  Control* box = FormFindControlByTag(bar.form, "MINIMAPRECT");
  ASSERT_NE(minimap, nullptr);
  ASSERT_NE(box, nullptr);
  // Wired as the game wires them: the box hangs under the minimap.
  box->Unlink();
  ControlAddChild(minimap, box);
  minimap->owner = &v.minimapPane, box->owner = &v.dragPanPane;
  v.minimapPane.currentForm = minimap, v.dragPanPane.currentForm = box;
  g_ui.rootForm = bar.form;
  g_controls.capture = nullptr;

  OnMouseMessage(g_ui, plat::kWmLButtonDown, plat::kMkLButton, 150, 60);
  EXPECT_EQ(v.dragPan, 1);
  OnMouseMessage(g_ui, plat::kWmLButtonUp, 0, 150, 60);
  EXPECT_EQ(v.dragPan, 0);

  ReleaseCaptureControl(nullptr, 0, 0, 0, 0);
  delete bar.form;
}

}  // namespace
