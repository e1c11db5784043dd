// Clicks while a screen waits for a hex: painting an area tag hex by hex
// and by band, destinations on no hex, and the link commands of a route.
#include "screens/common/frame/map_click.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "screens/main/map_input/hex_links.h"
#include "screens/common/frame/map_selection.h"
#include "records/unit_record.h"
#include "screens/screen_set.h"
#include "records/command_ids.h"
#include "sim/command_log.h"
#include "sim/facility_command_args.h"
#include "sim/mail_ui_link.h"
#include "sim/unit_order_args.h"
#include "support/global_guard.h"
#include "ui/screen_manager.h"
#include "units/hex_geometry.h"
#include "world/hex_extra.h"
#include "world/id_lookups.h"
#include "world/world.h"

namespace {

int g_recounts = 0;

class MapClickTest : public ::testing::Test {
 protected:
  static constexpr int kColumns = 12, kRows = 10;
  void SetUp() override {
    g_ui.mode = kUiInGame;
    g_world.mapWidth = kColumns, g_world.mapHeight = kRows;
    g_world.cells.assign(kColumns * kRows, HexCell{});
    g_commandLog.Clear(), g_mapClickPending = MapClickPending{};
    g_mailUi.recountAreaTags = [] { ++g_recounts; };
  }
  void TearDown() override {
    g_mailUi.recountAreaTags = nullptr, g_screens.mapClickMode = 0;
    g_mapPlacement = MapPlacement{}, g_mapRoute = MapRoute{};
    g_commandLog.Clear();
    for (HexCell& c : g_world.cells) FreeHexStack(c);  // the routes' sites made some
    g_world.cells.clear(), g_world.mapWidth = g_world.mapHeight = 0;
  }
  static HexCell& Cell(uint32_t position) { return *HexCellAt(g_world, MapShape(g_world), position); }
  static bool In(uint32_t position) { return (Cell(position).word & AreaTagBit(2)) != 0; }
  static void Mark(uint32_t position) { Cell(position).word |= AreaTagBit(2); }

  GlobalGuard<int32_t> mode_{g_ui.mode};
  GlobalGuard<GameState> state_{g_world.gameState};
};

TEST_F(MapClickTest, AreaPaintingKeepsTheAreaInOnePiece) {
  const uint32_t centre = MakeHexPos(5, 5);
  const HexMapShape shape = MapShape(g_world);
  struct Row {
    const char* what;
    bool member;
    std::vector<int> inAreaDirections;
    bool farMember;  // a hex of the area away from the centre
    bool memberAfter;
  };
  const Row rows[] = {
      {"two arcs hold it", true, {1, 4}, false, true},
      {"one arc lets it go", true, {1, 2}, false, false},
      {"three arcs hold it", true, {0, 2, 4}, false, true},
      {"alone it goes", true, {}, false, false},
      {"apart from the area it cannot join", false, {}, true, false},
      {"an empty area takes it", false, {}, false, true},
      {"a touching hex joins", false, {3}, true, true},
  };
  for (const Row& r : rows) {
    for (HexCell& cell : g_world.cells) cell.word = 0;
    if (r.member) Mark(centre);
    for (int d : r.inAreaDirections) Mark(HexNeighbour(shape, centre, d));
    if (r.farMember) Mark(MakeHexPos(10, 1));
    g_screens.mapClickMode = kClickAreaPaint, g_mapClickPending.areaTag = 2, g_recounts = 0;
    ExecuteHexClick(g_screens, centre);
    EXPECT_EQ(In(centre), r.memberAfter) << r.what;
    EXPECT_EQ(g_recounts, 1) << r.what;
    EXPECT_EQ(g_screens.mapClickMode, kClickAreaPaint) << r.what;
  }
}

TEST_F(MapClickTest, AClickOnNoHexIsIgnoredAndTheModeKept) {
  const MapClickMode modes[] = {kClickObjectDestination, kClickAreaPaint, kClickUnitDestination};
  const uint32_t noHexes[] = {kNoHexPosition, MakeHexPos(kColumns + 3, 2), MakeHexPos(3, -1)};
  for (MapClickMode mode : modes)
    for (uint32_t hex : noHexes) {
      g_screens.mapClickMode = mode, g_recounts = 0;
      ExecuteHexClick(g_screens, hex);
      EXPECT_EQ(g_screens.mapClickMode, mode);
      EXPECT_EQ(g_world.cells[0].word, 0u) << "cell 0 is (0, 0): never painted";
      EXPECT_TRUE(g_commandLog.Entries().empty());
      EXPECT_EQ(g_recounts, 0);
    }
}

TEST_F(MapClickTest, AUnitDestinationNamesTheWaitingUnitAndTheClickedHex) {
  const uint32_t hex = MakeHexPos(3, 4);
  g_screens.mapClickMode = kClickUnitDestination, g_mapClickPending.unitId = 0x01000007;
  ExecuteHexClick(g_screens, hex);
  const std::vector<GameCommand> log = g_commandLog.Entries();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].id, kCmdUnitSetFireHex);
  EXPECT_EQ(ArgsOf<OrderHexArgs>(log[0]), (OrderHexArgs{.unit = 0x01000007, .hex = hex}));
}

// The waiting object is found again by the hex it stands on: that hex is
// the command's own, the clicked one its destination.
TEST_F(MapClickTest, AnObjectDestinationNamesTheObjectsHexAndTheClickedHex) {
  UnitRecord object{};
  object.id = 0x01000009, object.x = 6, object.y = 2;
  object.next = object.prev = &object;
  UnitRecord* const savedUnits = g_world.units;
  g_world.units = &object, ReindexUnits(g_world), ++g_unitRecordEpoch;
  const uint32_t hex = MakeHexPos(3, 4);
  g_screens.mapClickMode = kClickObjectDestination, g_mapClickPending.objectId = object.id;
  ExecuteHexClick(g_screens, hex);
  g_world.units = savedUnits, ReindexUnits(g_world), ++g_unitRecordEpoch;
  const std::vector<GameCommand> log = g_commandLog.Entries();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].id, kCmdLeadUnitSetDestination);
  EXPECT_EQ(ArgsOf<HexDestinationArgs>(log[0]), (HexDestinationArgs{.hex = MakeHexPos(6, 2), .destination = hex}));
}

TEST_F(MapClickTest, ABandRecountsTheAreaAndJoinsOnlyWhereItTouches) {
  struct Row { bool farMember, touching; bool painted; };
  const Row rows[] = {{false, false, true}, {true, false, false}, {true, true, true}};
  for (const Row& r : rows) {
    for (HexCell& cell : g_world.cells) cell.word = 0;
    if (r.farMember) Mark(MakeHexPos(10, 8));
    if (r.touching) Mark(MakeHexPos(3, 3));
    g_recounts = 0, g_mapClickPending.areaTag = 2;
    PaintAreaBand(g_screens, MakeHexPos(2, 2), MakeHexPos(4, 3));
    EXPECT_EQ(In(MakeHexPos(2, 2)) && In(MakeHexPos(4, 3)), r.painted) << r.farMember << r.touching;
    EXPECT_FALSE(In(MakeHexPos(5, 3)));
    EXPECT_EQ(g_recounts, 1) << "an empty area is counted too";
  }
}

TEST_F(MapClickTest, ARouteLinksEachStepBothWays) {
  using Post = std::tuple<uint32_t, uint32_t, uint32_t>;  // hex, class, direction
  struct Row { uint32_t from, to; std::vector<Post> posts; };
  // Down: (4, 4) leaves by 4 and (4, 5) is entered from 1. Two columns east
  // on row 4: down-right to the lower odd column, then up-right.
  const Row rows[] = {
      {MakeHexPos(4, 4), MakeHexPos(4, 5), {{MakeHexPos(4, 4), 4128, 4}, {MakeHexPos(4, 5), 4128, 1}}},
      {MakeHexPos(4, 4),
       MakeHexPos(6, 4),
       {{MakeHexPos(4, 4), 4128, 5}, {MakeHexPos(5, 4), 4128, 0}, {MakeHexPos(5, 4), 4128, 2},
        {MakeHexPos(6, 4), 4128, 3}}},
  };
  for (const Row& r : rows) {
    g_commandLog.Clear(), g_mapPlacement.routeStarted = 1, g_mapRoute = MapRoute{};
    g_mapRoute.start[0] = r.from, g_mapRoute.end[0] = r.to;
    LinkHexesAlongRoute(g_screens, 4128, 0, 1);
    std::vector<Post> posts;
    for (const GameCommand& c : g_commandLog.Entries())
      if (c.id == kCmdHexStack289) posts.emplace_back(c.arg24, c.arg28, c.arg32);
    EXPECT_EQ(posts, r.posts);
  }
}

}  // namespace
