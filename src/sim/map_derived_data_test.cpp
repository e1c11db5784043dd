#include "sim/map_derived_data.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/le_bytes.h"
#include "records/player_record.h"
#include "records/unit_record.h"
#include "sim/daily/elimination.h"
#include "sim/daily/hex_pass.h"
#include "sim/daily/product_fields.h"
#include "sim/facility_costs.h"
#include "units/hex_state.h"
#include "sim/player_services.h"
#include "world/hex_extra.h"
#include "world/map_data.h"
#include "world/record_figures_check.h"
#include "world/unit_class.h"
#include "world/unit_ring.h"
#include "world/unit_tables.h"
#include "world/world.h"

namespace {

constexpr int kWidth = 6;
constexpr int kFactory = 20;  // a producing settlement with a reach
constexpr int kTown = 21;     // a settlement without one

void SetTerrainReal(World& w, int t, size_t at, int i, float v) {
  le::StoreF32(w.terrains[static_cast<size_t>(t)].bytes + at + 4 * static_cast<size_t>(i), v);
}

class MapDerivedDataTest : public ::testing::Test {
 protected:
  void SetUp() override {
    world_ = std::make_unique<World>();
    World& w = *world_;
    ASSERT_EQ(ResizeMap(w, kWidth, 4), 0);
    w.gameState.playerCount = 2;
    w.mapHeader.scaleSquared = 1.0f;
    w.terrains.assign(kTerrainCount, TerrainRecord{});
    w.unitClasses.assign(kTown + 1, UnitClassRecord{});
    w.worldEconomy.assign(64 * 11 + 8, 0);
    for (int p = 0; p < kMaxPlayers; ++p) {
      w.players[p].number = static_cast<uint8_t>(p);
      w.players[p].socialLevels[2] = 1.0f;  // the range factor
      w.players[p].priceIndex = 1.0f;
      w.players[p].costFactor = 1.0f;
    }
    // Terrain 1: land costing 1 a step, population byte 10 (199 people),
    // yields 0.2 of product 0 and 0.3 of product 7, 0.4 of neighbourhood 0.
    TerrainRecord& land = w.terrains[1];
    land.bytes[kTerrainMovement0At + 4] = 1;
    land.bytes[kTerrainPopulationAt] = 10;
    SetTerrainReal(w, 1, kTerrainYieldsAt, 0, 0.2f);
    SetTerrainReal(w, 1, kTerrainYieldsAt, 7, 0.3f);
    SetTerrainReal(w, 1, kTerrainNeighbourhoodAt, 0, 0.4f);
    for (int i = 0; i < kWidth * 4; ++i) Cell(i % kWidth, i / kWidth).word = Hex(1);
    Cell(4, 3).word = Hex(2);
    Cell(5, 3).word = Hex(2);
    // Reach 0.01 x 1 x 255 = 2: level 2 on the factory's hex, 1 around it.
    UnitClassRecord& factory = w.unitClasses[kFactory];
    factory.flags = kClassFacility | kClassProduction | kClassSettlementPopulation;
    factory.reach = 0.01f;
    factory.hasExtra = true;
    le::StoreF32(factory.extra.data(), 0.5f);
    SetClassCensus(factory, 0, 0, 0, 3);
    w.unitClasses[kTown].flags = kClassFacility | kClassSettlementPopulation;
  }
  uint32_t Hex(int owner) const { return WithCellTerrain(WithCellLoyalTo(WithCellOwner(0, owner), owner), 1); }
  HexCell& Cell(int x, int y) { return world_->cells[static_cast<size_t>(y * kWidth + x)]; }
  UnitRecord& Lead(int x, int y, int cls, float people) {
    auto* u = new UnitRecord();
    u->id = static_cast<uint32_t>(cls);
    u->classIndex = static_cast<int16_t>(cls);
    u->owner = 1;
    u->unitFlags = kUnitFacility;
    u->strength = u->targetStrength = 1.0f;
    u->efficiency = 0.5f;
    u->x = static_cast<int16_t>(x);
    u->y = static_cast<int16_t>(y);
    InsertUnitInRing(*world_, *u);
    MakeHexStack(Cell(x, y))->lead = u;
    SetHexSettlementPopulation(*GetHexExtra(*world_, Cell(x, y)), people);
    return *u;
  }
  std::unique_ptr<World> world_;
};

TEST_F(MapDerivedDataTest, CountsTheMapForItsOwnersByHand) {
  World& w = *world_;
  UnitRecord& factory = Lead(2, 1, kFactory, 150000.0f);
  AppendUnitPtr(w, kUnitTableOnMap, 1, kUnitCategoryFacility, factory);
  Lead(4, 2, kTown, 5000.0f);
  // (2, 2), next to the factory, yields nothing but keeps its people.
  HexExtra& parked = *GetHexExtra(w, Cell(2, 2));
  HexSlotSimFlags(parked, 0) = kSlotNoYield;
  SetHexSettlementPopulation(parked, 1000.0f);
  // Product 0 has a price of 2 and stock figures 4 / 1; product 1 has no
  // first stock figure at all.
  PlayerRecord& r = w.players[1];
  le::StoreF32(w.worldEconomy.data() + product::kWorldPrice, 2.0f);
  le::StoreF32(w.worldEconomy.data() + 64 + product::kWorldPrice, 2.0f);
  product::Set(r, 0, product::kBaseLevel, 4.0f);
  product::Set(r, 0, product::kProductivity, 1.0f);
  product::Set(r, 1, product::kBaseLevel, 4.0f);
  // Region 2 has no price index yet, as every region of a scenario new from
  // the editor.
  PlayerRecord& fresh = w.players[2];
  fresh.priceIndex = 0.0f;
  product::Set(fresh, 0, product::kBaseLevel, 4.0f);
  product::Set(fresh, 0, product::kProductivity, 1.0f);

  RecalcDerivedMapData(w);

  struct LevelRow { int x, y, level; };
  for (const LevelRow& row : {LevelRow{2, 1, 2}, {2, 0, 1}, {2, 2, 1}, {3, 1, 1}, {4, 2, 0}, {0, 3, 0}})
    EXPECT_EQ(w.cellBytes[static_cast<size_t>(row.y * kWidth + row.x)], row.level) << row.x << "," << row.y;

  // The factory: its output 0.5 is capped by (2 + 6) x 0.4 / 8 = 0.4;
  // weight (2 / 125 + 0.5 + 1) / 3. Five of its neighbours yield 0.2 at
  // (1 / 125 + 0 + 1) / 3; the parked one nothing; the rest of the map is
  // out of range.
  const float wf = (2.0f / 125.0f + 0.5f + 1.0f) / 3.0f;
  const float wn = (1.0f / 125.0f + 0.0f + 1.0f) / 3.0f;
  EXPECT_NEAR(r.dayProduction[0], 0.4f * wf + 5.0f * 0.2f * wn, 1e-6f);
  EXPECT_NEAR(r.dayRawYield[0], 0.2f * wf + 5.0f * 0.2f * wn, 1e-6f);
  EXPECT_NEAR(r.dayProduction[7], 0.3f * wf + 5.0f * 0.3f * wn, 1e-6f);
  EXPECT_NEAR(product::RecordReal(r, product::kDayClassSlotOutput + 12), 0.3f * wf, 1e-6f);

  EXPECT_EQ(r.hexCount, 22);
  EXPECT_EQ(w.players[2].hexCount, 2);
  EXPECT_FLOAT_EQ(r.population, 22 * 199.0f + 150000.0f + 5000.0f + 1000.0f);
  EXPECT_FLOAT_EQ(r.ruralPopulation, 22 * 199.0f);
  EXPECT_FLOAT_EQ(w.players[2].population, 2 * 199.0f);
  EXPECT_FLOAT_EQ(r.turnBestHexValue, 150199.0f);
  EXPECT_TRUE((CapitalHex(r.simPolicy) == CapitalPosition{2, 1}));

  // Base rates: 2 x the government factor x sqrt(4 / 1); none from no
  // stock, held at the floor.
  EXPECT_FLOAT_EQ(product::Get(r, 0, product::kPrice), 2.0f * GovtypeSpendingFactor(r.govtype) * 2.0f);
  EXPECT_FLOAT_EQ(product::Get(r, 1, product::kPrice), 0.01f);
  // Without a price index the rate rests on the floor too, and every figure
  // of its products, the refined ones' unit costs with them, is a number.
  EXPECT_FLOAT_EQ(product::Get(fresh, 0, product::kPrice), 0.01f);
  std::string which;
  EXPECT_TRUE(RegionFiguresInRange(fresh, which)) << which;

  // The editor's estimate of a hex is the count's: the factory's capped
  // yields; the parked hex's none, under the same cap.
  float yields[kHexYieldProducts], caps[kHexYieldProducts];
  HexYieldEstimate(w, 1 * kWidth + 2, yields, caps);
  EXPECT_FLOAT_EQ(yields[0], 0.4f);
  EXPECT_FLOAT_EQ(caps[0], 0.4f);
  EXPECT_FLOAT_EQ(yields[7], 0.3f);
  HexYieldEstimate(w, 2 * kWidth + 2, yields, caps);
  EXPECT_EQ(yields[0], 0.0f);
  EXPECT_FLOAT_EQ(caps[0], 0.4f);
}

// A capital that stands is kept, small as it is beside the largest
// settlement; where none stands the largest settlement becomes it.
TEST_F(MapDerivedDataTest, AStandingCapitalIsKeptAndOnlyAMissingOneIsTheLargestSettlement) {
  World& w = *world_;
  Lead(2, 1, kFactory, 150000.0f);
  Lead(4, 2, kTown, 5000.0f);
  PlayerRecord& r = w.players[1];
  struct Row {
    CapitalPosition marked, after;
    uint8_t number = 1;
  };
  const Row rows[] = {
      {{4, 2}, {4, 2}},     // the town, marked: kept
      {{4, 2}, {4, 2}, 0},  // the same drawn in the editor before any region sheet gave the record its number
      {{0, 0}, {2, 1}},     // none: the largest settlement
      {{3, 3}, {2, 1}},     // a hex with no settlement on it
      {{4, 3}, {2, 1}},     // a hex of region 2's
  };
  for (const Row& row : rows) {
    r.number = row.number;
    SetCapitalHex(r.simPolicy, row.marked);
    SetCapitalHex(r.displayPolicy, row.marked);
    RecalcDerivedMapData(w);
    EXPECT_EQ(CapitalHex(r.simPolicy), row.after) << row.marked.x << "," << row.marked.y;
    EXPECT_EQ(CapitalHex(r.displayPolicy), row.after) << row.marked.x << "," << row.marked.y;
  }
}

}  // namespace
