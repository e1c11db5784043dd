// The fill an industry is placed at: what its site yields of its demand,
// never below nothing.
#include "screens/main/map_input/map_placement.h"

#include <gtest/gtest.h>

#include <cstring>

#include "records/hex_cell.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

void PutFloat(uint8_t* at, float v) { std::memcpy(at, &v, sizeof v); }

TEST(MapPlacementTest, AnIndustryRunsAtWhatItsSiteYieldsAndNeverBelowNothing) {
  World& w = g_world;
  constexpr int kSide = 5, kClass = 1, kTerrain = 1;
  w.mapWidth = w.mapHeight = kSide, w.mapHeader.width = w.mapHeader.height = kSide;
  w.cells.assign(kSide * kSide, HexCell{nullptr, WithCellTerrain(0, kTerrain)});
  w.terrains.assign(2, TerrainRecord{});
  w.unitClasses.assign(2, UnitClassRecord{});
  UnitClassRecord& cls = w.unitClasses[kClass];
  cls.flags = kClassProduction | kClassSpecialWeaponB, cls.hasExtra = true;
  PutFloat(cls.extra.data(), 1.0f);  // needs one of product 0
  w.worldEconomy.assign(1024, 0);
  PutFloat(w.worldEconomy.data() + 4, 1.0f);    // product 0's price
  PutFloat(w.worldEconomy.data() + 804, 1.0f);  // the goods scale
  struct Row { float resource, spill, fill, want; };
  // Every hex alike, so the neighbourhood average is the spill. The site
  // gives the resource when it beats the average, else the average capped
  // at 1.0; the hex's own use (the resource) comes off. Demand is 1.0.
  const Row rows[] = {
      {0.2f, 0.8f, 1.0f, 0.6f},   // 0.8 - 0.2 yields 0.6 of 1.0
      {0.2f, 0.8f, 0.5f, 0.5f},   // the site carries a smaller fill whole
      {0.5f, 0.0f, 1.0f, 0.0f},   // it yields nothing
      {1.5f, 2.0f, 1.0f, 0.0f},   // 1.0 - 1.5 yields less than nothing: 0, not -0.5
  };
  for (const Row& r : rows) {
    PutFloat(w.terrains[kTerrain].bytes, r.resource);
    PutFloat(w.terrains[kTerrain].bytes + 48, r.spill);
    EXPECT_FLOAT_EQ(IndustryPlacementFill(w, w.cells[12], kClass, r.fill), r.want) << r.resource << " " << r.spill;
  }
  w.cells.clear(), w.terrains.clear(), w.unitClasses.clear(), w.worldEconomy.clear();
  w.mapWidth = w.mapHeight = 0, w.mapHeader.width = w.mapHeader.height = 0;
}

}  // namespace
