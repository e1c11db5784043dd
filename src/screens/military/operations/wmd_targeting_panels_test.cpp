// The pre-targeting list: which capitals are targets and where their cells
// lie, and how a target row shows what stands there.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/player_kinds.h"
#include "records/player_record.h"
#include "records/unit_record.h"
#include "screens/common/military_test_support.h"
#include "screens/military/operations/wmd_targeting_panels.h"
#include "sim/daily/elimination.h"
#include "world/world.h"

namespace {

using militarytest::TestSheet;

constexpr int kLocal = 1;
constexpr int32_t kWidth = 160;

std::unique_ptr<World> MapWorld() {
  auto w = std::make_unique<World>();
  w->mapWidth = kWidth;
  w->mapHeight = 4;
  w->cells.resize(kWidth * 4);
  w->gameState.localPlayer = kLocal;
  return w;
}

TEST(WmdTargetingTest, OnlyCapitalsOfRegionsAtWarOnTheMapAreTargets) {
  auto w = MapWorld();
  PlayerRecord& viewer = w->players[kLocal];
  // Rows: player, kind, at war, friendly, capital x, y.
  struct Row { int p; int kind; bool war; bool friendly; int16_t x, y; };
  const Row rows[] = {
      {kLocal, kKindHuman, true, false, 2, 2},   // the viewer himself
      {2, kKindHuman, true, false, 0, 0},        // no capital
      {3, kKindOut, true, false, 5, 1},          // out of the game
      {4, kKindComputer, false, true, 6, 1},     // an ally
      {5, kKindHuman, true, false, -1, 2},       // wraps to column 159
      {6, kKindHuman, true, false, 3, 9},        // a row beyond the map
      {7, kKindComputer, true, false, 10, 3},
  };
  for (const Row& r : rows) {
    PlayerRecord& rec = w->players[r.p];
    rec.kind = r.kind;
    rec.number = static_cast<uint8_t>(r.p);
    SetCapitalHex(rec.simPolicy, CapitalPosition{r.x, r.y});
    if (r.war) viewer.displayPolicy.hostileMask |= 1u << r.p;
    if (r.friendly) viewer.displayPolicy.friendlyMask |= 1u << r.p;
  }
  w->gameState.highestPlayer = 7;
  EXPECT_EQ(WmdTargetCells(*w, viewer), (std::vector<int32_t>{2 * kWidth + 159, 3 * kWidth + 10}));
}

TEST(WmdTargetingTest, ATargetRowShowsTheFacilityOrLandAndItsPlace) {
  auto w = MapWorld();
  TestSheet sheet;
  sheet.Texts({"INDPIC", "LANDPIC", "FLAG", "LOCATION"});
  UnitRecord lead{};
  HexUnitStack stack;
  stack.lead = &lead;
  constexpr int32_t kCell = 2 * kWidth + 7;
  HexCell& cell = w->cells[kCell];
  cell.stack = &stack;
  // Rows: the cell's owner, the lead unit's flags and class; land shown.
  struct Row { int owner; uint32_t flags; int16_t cls; bool land; };
  const Row rows[] = {{5, 0x1000, 3, true}, {5, 0, 3, false}, {kLocal, 0x1000, 3, false},
                      {5, 0x8000, 3, true}, {5, 0, 0, true}};
  for (const Row& r : rows) {
    cell.word = WithCellOwner(0, r.owner);
    lead.unitFlags = r.flags;
    lead.classIndex = r.cls;
    FillTargetInfo(sheet.root, *w, kLocal, kCell);
    EXPECT_EQ(sheet.Find("LANDPIC")->Hidden(), !r.land) << r.flags << " " << r.owner;
    EXPECT_EQ(sheet.Find("INDPIC")->Hidden(), r.land) << r.flags << " " << r.owner;
  }
  EXPECT_EQ(sheet.Text("LOCATION"), "X:007 Y:002");
  cell.stack = nullptr;
}

}  // namespace
