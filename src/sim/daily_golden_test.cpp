// Thirty days of the daily driver over a small hand-built world of three
// regions: the figures each region's land gives it, worked out by hand for
// the first day, and the same figures after thirty days, which must come
// out the same on every run.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "sim/daily_driver.h"
#include "sim/game_session_test_support.h"
#include "world/unit_tables.h"
#include "records/hex_cell.h"
#include "records/le_bytes.h"

namespace {

class GoldenDays : public GameSessionTest {
 protected:
  void SetUp() override {
    GameSessionTest::SetUp();
    BuildGoldenWorld();
  }

  // A 6 x 4 map, wrapping east-west (column 0 borders column 5). Region p
  // (1 to 3) holds columns p - 1 and p + 2, 100 people on each of its 8
  // hexes, its capital at (p - 1, 1) and a depot of reach 1.0 at (p - 1, 2). Region 3 is at war with region 1,
  // whose far column 3 is loyal to region 3.
  void BuildGoldenWorld() {
    BuildWorld(6, 4, 3, true);
    GiveRegionsLand(3);
    World& w = g_world;
    w.gameState.turnNumber = 2;  // hexes change hands only after the first turn
    le::StoreF32(w.worldEconomy.data() + 772, 1000.0f);
    w.terrains[0].bytes[120] = 40;  // movement type 0: open ground
    w.terrains[0].bytes[124] = 40;  // movement type 4: what the reach spends per hex
    for (int p = 1; p <= 3; ++p) {
      PlayerRecord& r = w.players[p];
      r.socialLevels[2] = 0.25f;  // the range factor
      r.treasury = 1000000.0f;
      r.gdpPerCapita = 1000.0f;
      r.approval = 0.5f;
      r.creditRating = 1.0f;
    }
    w.players[2].socialLevels[2] = 1.0f;
    w.players[3].simPolicy.hostileMask = 1u << 1;
    w.players[3].displayPolicy.hostileMask = 1u << 1;
    for (int y = 0; y < 4; ++y) {
      HexCell& cell = w.cells[static_cast<size_t>(y * w.mapWidth + 3)];
      cell.word = WithCellLoyalTo(cell.word, 3);
    }
    // Capitals are settlements, which are never filed among the facilities
    // that spread a reach; the depots are.
    w.unitClasses.resize(4005);
    UnitClassRecord& depot = w.unitClasses[4004];
    std::snprintf(depot.name, sizeof depot.name, "Depot");
    depot.flags = 0x40;
    depot.strengthPerSize = 1;
    depot.reach = 1.0f;
    for (int p = 1; p <= 3; ++p) PlaceFacility(p, 2, 4004, p - 1, 2);
    RebuildUnitTables(w);
  }

  static void RunDays(int days) {
    for (int day = 0; day < days; ++day) {
      RunDailyProcessing(g_world);
      g_world.gameState.currentDay += 1;
    }
  }

  static std::vector<int> Levels() { return {g_world.cellBytes.begin(), g_world.cellBytes.end()}; }
  static std::vector<int> Ranges() { return {g_world.rangeMap.begin(), g_world.rangeMap.end()}; }
  static std::vector<int> Owners() {
    std::vector<int> owners;
    for (const HexCell& cell : g_world.cells) owners.push_back(CellOwner(cell.word));
    return owners;
  }

  // Column 3 belongs to region 3, every region keeps its land, people and
  // capital, and the treasuries stand where they started.
  static void ExpectTakenColumnAndLand() {
    EXPECT_EQ(Owners(), (std::vector<int>{1, 2, 3, 3, 2, 3,  //
                                          1, 2, 3, 3, 2, 3,   //
                                          1, 2, 3, 3, 2, 3,   //
                                          1, 2, 3, 3, 2, 3}));
    const int hexes[] = {0, 4, 8, 12};
    for (int p = 1; p <= 3; ++p) {
      const PlayerRecord& r = g_world.players[p];
      EXPECT_EQ(r.hexCount, hexes[p]) << p;
      EXPECT_FLOAT_EQ(r.population, 100.0f * static_cast<float>(hexes[p])) << p;
      EXPECT_EQ(r.kind, kKindComputer) << p;
      EXPECT_FLOAT_EQ(r.treasury, 1000000.0f) << p;
    }
  }
};

TEST_F(GoldenDays, TheFirstDayWorkedByHand) {
  RunDays(1);
  // The range map. A depot's reach is trunc(sqrt(range factor) x reach x
  // strength x 255): sqrt(0.25) x 255 = 127.5 gives 127 for regions 1 and 3,
  // sqrt(1.0) x 255 = 255 for region 2. Each step into a neighbour spends the
  // terrain's movement-type-4 cost of 40, and only the region's own hexes
  // may be entered (no access granted): the depot's column gets 127 on its
  // own hex, 87 on rows 1 and 3, 47 on row 0 (255, 215, 175 for region 2).
  // Hex (0, 0) is no position and gets nothing; columns 3 to 5 hold no
  // depot and their regions' depots cannot reach them across the others
  // (nor region 1's across the seam into column 5, which region 3 holds).
  EXPECT_EQ(Ranges(), (std::vector<int>{0, 175, 47, 0, 0, 0,  //
                                        87, 215, 87, 0, 0, 0,   //
                                        127, 255, 127, 0, 0, 0,  //
                                        87, 215, 87, 0, 0, 0}));
  // Levels start at 0 and rise by range div 10 + 1: 127 -> 13, 87 -> 9,
  // 47 -> 5, 255 -> 26, 215 -> 22, 175 -> 18.
  EXPECT_EQ(Levels(), (std::vector<int>{0, 18, 5, 0, 0, 0,  //
                                        9, 22, 9, 0, 0, 0,   //
                                        13, 26, 13, 0, 0, 0,  //
                                        9, 22, 9, 0, 0, 0}));
  // Column 3 (region 1's far column, level 0, loyal to region 3): in each
  // row the pass has already raised (2, y) above 1 when it reaches (3, y),
  // and (2, y) belongs to region 3, which is hostile to region 1, so region
  // 3 counts 1 against region 1's 0 (its own neighbours in columns 3 are at
  // level 0). Nobody defends, so each hex falls to the contender, region 3.
  // Hexes and people counted by the pass: 100 people a hex (population
  // level 1: 1 x 1 + 99). Region 1 keeps 4 hexes, region 3 has 12, every
  // region keeps land, people and its capital. No tax is set, no spending,
  // the classes cost nothing to run and no payment recurs: nothing enters or
  // leaves a treasury.
  ExpectTakenColumnAndLand();
}

TEST_F(GoldenDays, ThirtyDaysGiveTheSameFiguresOnEveryRun) {
  RunDays(30);
  // The same figures as on the first day after thirty. The range factors
  // move with the regions' social levels day by day, so the reach shrinks;
  // region 3's depot now also reaches column 3, which it holds.
  EXPECT_EQ(Ranges(), (std::vector<int>{0, 82, 10, 10, 0, 0,  //
                                        50, 122, 50, 50, 0, 0,  //
                                        90, 162, 90, 50, 0, 0,  //
                                        50, 122, 50, 10, 0, 0}));
  // Every level has reached its range (levels fall to it at once).
  EXPECT_EQ(Levels(), Ranges());
  ExpectTakenColumnAndLand();

  // A second run from the same start ends in the same world, byte for byte:
  // every region record, the level and range maps and the hex words.
  std::vector<uint8_t> records(sizeof g_world.players);
  std::memcpy(records.data(), g_world.players, records.size());
  const std::vector<int> levels = Levels(), ranges = Ranges(), owners = Owners();
  BuildGoldenWorld();
  RunDays(30);
  EXPECT_EQ(std::memcmp(records.data(), g_world.players, records.size()), 0);
  EXPECT_EQ(Levels(), levels);
  EXPECT_EQ(Ranges(), ranges);
  EXPECT_EQ(Owners(), owners);
}

}  // namespace
