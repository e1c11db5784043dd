#include "units/spotting/range_map.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "units/spotting/bfs_fill.h"
#include "units/hex_geometry.h"
#include "records/hex_unit_stack.h"
#include "units/paths/move_cost.h"
#include "records/unit_record.h"
#include "world/unit_ring.h"
#include "world/unit_tables.h"
#include "records/hex_cell.h"
#include "world/hex_extra.h"
#include "records/le_bytes.h"
#include "world/map_data.h"
#include "world/map_folders_test_support.h"
#include "world/world.h"

namespace {

constexpr int kTerrainTypes = 6;
constexpr int kFirstFacilityClass = 20;

class RangeMapTest : public ::testing::Test {
 protected:
  void SetUp() override { MakeWorld(10, 8, false); }

  void MakeWorld(int width, int height, bool wraps) {
    world_ = std::make_unique<World>();
    World& w = *world_;
    ASSERT_EQ(ResizeMap(w, width, height), 0);
    reinterpret_cast<uint8_t*>(&w.mapHeader)[67] = wraps ? 1 : 0;
    w.terrains.assign(kTerrainCount, TerrainRecord{});
    w.unitClasses.assign(kFirstFacilityClass + 8, UnitClassRecord{});
    // Terrain 1: land costing 1 everywhere; terrain 2: sea costing 1.
    SetTerrain(1, 1, 0);
    SetTerrain(2, 0, 1, kTerrainWater);
    for (HexCell& c : w.cells) c.word = WithCellTerrain(WithCellOwner(0, 1), 1);
    for (int p = 0; p < kMaxPlayers; ++p) SetRangeFactor(p, 1.0f);
    map_ = MapShape(w);
    nextId_ = 1;
  }

  void SetTerrain(int t, uint8_t land, uint8_t sea, uint32_t flags = 0) {
    TerrainRecord& r = world_->terrains[static_cast<size_t>(t)];
    r.bytes[120 + 4] = land;
    r.bytes[120 + 5] = sea;
    le::Store32(r.bytes + 136, flags);
  }
  // The crossing mark's class: what a move costs where the hex left has no
  // cost of its own for the mode (a port on land putting out to sea).
  void CrossingMarkCosts(uint8_t land, uint8_t sea) {
    world_->unitClasses.resize(kCrossingMarkClass + 3);
    world_->unitClasses[kCrossingMarkClass].hexMoveCost = land;
    world_->unitClasses[kCrossingMarkClass].hexSeaMoveCost = sea;
  }
  void SetRangeFactor(int p, float f) { world_->players[p].socialLevels[2] = f; }
  void SetAccess(int p, int kind, uint32_t mask) {
    le::Store32(reinterpret_cast<uint8_t*>(&world_->players[p]) + 10016 + 4 * kind, mask);
  }
  HexCell& Cell(int x, int y) { return world_->cells[static_cast<size_t>(y * map_.width + x)]; }
  void Hex(int x, int y, int terrain, int owner) { Cell(x, y).word = WithCellTerrain(WithCellOwner(0, owner), terrain); }
  uint16_t Range(int x, int y) const { return world_->rangeMap[static_cast<size_t>(y * map_.width + x)]; }

  // A facility class: its reach and flags, cost bytes 98 and 99.
  int FacilityClass(int i, float reach, uint32_t flags = 0, uint8_t land = 0, uint8_t sea = 0) {
    UnitClassRecord& c = world_->unitClasses[static_cast<size_t>(kFirstFacilityClass + i)];
    c.reach = reach;
    c.flags = flags | kClassFacility;
    c.hexMoveCost = land;
    c.hexSeaMoveCost = sea;
    return kFirstFacilityClass + i;
  }
  // A facility on the map, filed in table 1 and led on its hex.
  UnitRecord& Facility(int x, int y, int classIndex, int owner, float strength, bool filed = true) {
    auto* u = new UnitRecord();
    u->id = nextId_++;
    u->classIndex = static_cast<int16_t>(classIndex);
    u->owner = static_cast<uint8_t>(owner);
    u->unitFlags = kUnitFacility;
    u->strength = strength;
    u->x = static_cast<int16_t>(x);
    u->y = static_cast<int16_t>(y);
    InsertUnitInRing(*world_, *u);
    MakeHexStack(Cell(x, y))->lead = u;
    if (filed) AppendUnitPtr(*world_, kUnitTableOnMap, owner, kUnitCategoryFacility, *u);
    return *u;
  }

  std::unique_ptr<World> world_;
  HexMapShape map_;
  uint32_t nextId_ = 1;
};

// ---- The reference: every source in turn, relaxed until nothing changes.

struct Reference {
  const World& world;
  HexMapShape map;
  std::vector<uint16_t> range;
  uint32_t borders[kMaxPlayers] = {};

  uint32_t Access(int p, int kind) const {
    return le::Load32(reinterpret_cast<const uint8_t*>(&world.players[p]) + 10016 + 4 * kind);
  }
  const TerrainRecord& TerrainAt(size_t i) const {
    return world.terrains[static_cast<size_t>(CellTerrain(world.cells[i].word))];
  }
  const UnitRecord* Lead(size_t i) const {
    const HexUnitStack* s = world.cells[i].stack;
    const UnitRecord* u = s ? s->lead : nullptr;
    if (!u || (u->unitFlags & (kUnitGone | kUnitProvisional)) || u->classIndex == 0) return nullptr;
    return u;
  }
  const UnitClassRecord& ClassOf(const UnitRecord& u) const { return world.unitClasses[static_cast<size_t>(u.classIndex)]; }

  // The crossing cost of the land (4) or sea (5) mode with borders
  // respected; these maps have no crossing marks or works.
  uint32_t Cost(size_t a, size_t b, int mode, uint32_t ownerMask) {
    const int oa = CellOwner(world.cells[a].word), ob = CellOwner(world.cells[b].word);
    if (!(ownerMask & (1u << ob))) {
      borders[oa] |= 1u << ob;
      return 0;
    }
    if (oa != ob) {
      borders[oa] |= 1u << ob;
      if (!(Access(ob, mode == 5 ? 2 : 0) & (1u << oa))) return 0;
    }
    const uint32_t cb = TerrainAt(b).bytes[120 + mode];
    uint32_t ca = TerrainAt(a).bytes[120 + mode];
    if (mode == 5) return cb == 0 ? 0 : (ca != 0 ? ca : MarkCost(mode));
    if (const UnitRecord* lead = Lead(a)) {
      const UnitClassRecord& k = ClassOf(*lead);
      const bool counts = !(lead->orders[kPostureBits] & 1) || (k.flags & kClassHaven);
      const uint32_t c = k.hexMoveCost;
      if (counts && (k.flags & kClassRoad)) {
        if (c != 0 && (ca == 0 || c < ca)) ca = c;
      } else if (counts && (k.flags & kClassHaven) && c != 0) {
        ca = c;
      }
    }
    if (cb == 0) {
      const UnitRecord* lead = Lead(b);
      if (!lead) return 0;
      const UnitClassRecord& k = ClassOf(*lead);
      const bool counts = !(lead->orders[kPostureBits] & 1) || (k.flags & kClassHaven);
      if (!counts || !(k.flags & (kClassRoad | kClassHaven)) || k.hexMoveCost == 0) return 0;
    }
    return ca != 0 ? ca : MarkCost(mode);
  }
  // The crossing mark's class cost when the hex left has none of its own.
  uint32_t MarkCost(int mode) const {
    if (world.unitClasses.size() <= static_cast<size_t>(kCrossingMarkClass)) return 0;
    const UnitClassRecord& mark = world.unitClasses[kCrossingMarkClass];
    return mode == 5 ? mark.hexSeaMoveCost : mark.hexMoveCost;
  }

  void Fill(size_t seed, int32_t reach, int mode, uint32_t ownerMask) {
    std::vector<bool> active(range.size(), false);
    range[seed] = static_cast<uint16_t>(std::min(reach, 65535));
    active[seed] = true;
    for (bool changed = true; changed;) {
      changed = false;
      for (size_t p = 0; p < range.size(); ++p) {
        if (!active[p] || range[p] == 0) continue;
        const uint32_t pos = MakeHexPos(static_cast<int32_t>(p % static_cast<size_t>(map.width)),
                                        static_cast<int32_t>(p / static_cast<size_t>(map.width)));
        for (int d = 0; d < 6; ++d) {
          const uint32_t nb = HexNeighbour(map, pos, d);
          if (nb == kNoHexPosition) continue;
          const auto b = static_cast<size_t>(HexCellIndex(map, nb));
          const uint32_t c = Cost(p, b, mode, ownerMask);
          if (c == 0) continue;
          const int32_t n = range[p] - static_cast<int32_t>(c);
          if (n <= 0 || n <= range[b]) continue;
          range[b] = static_cast<uint16_t>(n);
          active[b] = true;
          changed = true;
        }
      }
    }
  }

  void Source(const UnitRecord& u) {
    const UnitClassRecord& k = ClassOf(u);
    const int owner = u.owner;
    const float f = world.players[owner].socialLevels[2];
    const auto reach = static_cast<int32_t>(std::sqrt(f) * k.reach * u.strength * 255.0f);
    if (reach <= 0) return;
    const auto at = static_cast<size_t>(u.y * map.width + u.x);
    if (range[at] >= reach) return;
    Fill(at, reach, 4, (1u << owner) | Access(owner, 0));
    if (k.flags & kClassHaven) Fill(at, reach, 5, (1u << owner) | Access(owner, 2));
  }

  static bool IsSource(const UnitRecord& u) {
    return !(u.unitFlags & kUnitGone) && u.classIndex != 0 && !(u.orders[kPostureBits] & 1);
  }
};

void ExpectSame(const World& world, const Reference& ref, int trial) {
  ASSERT_EQ(world.rangeMap.size(), ref.range.size());
  for (size_t i = 0; i < ref.range.size(); ++i)
    ASSERT_EQ(world.rangeMap[i], ref.range[i]) << "trial " << trial << " cell " << i;
  for (int p = 0; p < kMaxPlayers; ++p) ASSERT_EQ(BorderAttemptMask(world.players[p]), ref.borders[p]) << trial;
}

// Random maps of terrain costs, owners, access grants, range factors and a
// few facilities (some havens, some roads, some out of service or gone):
// the fill must give every hex the best remainder the exhaustive relaxation
// gives, source by source, and note the same refused borders.
TEST_F(RangeMapTest, MatchesExhaustiveRelaxationOnRandomMaps) {
  std::mt19937 rng(20261207);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  int filledHexes = 0;
  for (int trial = 0; trial < 60; ++trial) {
    const int width = pick(3, 6) * 2, height = pick(4, 9);
    MakeWorld(width, height, pick(0, 1) == 1);
    World& w = *world_;
    for (int t = 1; t <= kTerrainTypes; ++t) {
      const bool water = pick(0, 3) == 0;
      SetTerrain(t, water ? 0 : static_cast<uint8_t>(pick(0, 4) == 0 ? 0 : pick(1, 6)),
                 water ? static_cast<uint8_t>(pick(1, 4)) : static_cast<uint8_t>(pick(0, 1)), water ? kTerrainWater : 0);
    }
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) Hex(x, y, pick(1, kTerrainTypes), pick(0, 9) == 0 ? 0 : pick(1, 3));
    if (pick(0, 1)) CrossingMarkCosts(static_cast<uint8_t>(pick(0, 2)), static_cast<uint8_t>(pick(0, 2)));
    for (int p = 0; p <= 3; ++p) {
      SetAccess(p, 0, static_cast<uint32_t>(pick(0, 15)));
      SetAccess(p, 2, static_cast<uint32_t>(pick(0, 15)));
      SetRangeFactor(p, std::array<float, 4>{1.0f, 4.0f, 0.25f, 2.0f}[static_cast<size_t>(pick(0, 3))]);
    }
    for (int i = 0; i < 6; ++i) {
      const uint32_t flags = (pick(0, 2) == 0 ? kClassHaven : 0) | (pick(0, 2) == 0 ? kClassRoad : 0);
      FacilityClass(i, pick(0, 5) == 0 ? 0.0f : 0.01f * static_cast<float>(pick(1, 8)), flags,
                    static_cast<uint8_t>(pick(0, 3)), static_cast<uint8_t>(pick(0, 3)));
    }
    std::vector<bool> taken(static_cast<size_t>(width * height), false);
    taken[0] = true;  // hex (0, 0) is no position
    const int facilities = pick(2, 6);
    for (int i = 0; i < facilities; ++i) {
      int x, y;
      do {
        x = pick(0, width - 1);
        y = pick(0, height - 1);
      } while (taken[static_cast<size_t>(y * width + x)]);
      taken[static_cast<size_t>(y * width + x)] = true;
      const int owner = pick(0, 4) == 0 ? pick(1, 3) : CellOwner(Cell(x, y).word);
      UnitRecord& u = Facility(x, y, kFirstFacilityClass + pick(0, 5), owner, static_cast<float>(pick(0, 6)));
      if (pick(0, 6) == 0) u.orders[kPostureBits] = kPostureInReserve;
      if (pick(0, 9) == 0) u.unitFlags |= kUnitGone;
    }

    Reference ref{w, map_, std::vector<uint16_t>(static_cast<size_t>(width * height), 0)};
    for (int p = 0; p < kMaxPlayers; ++p)
      ForEachTableUnit(w.unitTables, kUnitTableOnMap, p, kUnitCategoryFacility, [&](UnitRecord& u) {
        if (Reference::IsSource(u) && w.unitClasses[static_cast<size_t>(u.classIndex)].reach != 0.0f) ref.Source(u);
      });
    BuildRangeMap(w);
    ExpectSame(w, ref, trial);
    for (uint16_t v : w.rangeMap) filledHexes += v != 0;
  }
  EXPECT_GT(filledHexes, 500);  // the trials spread over a good part of their maps
}

// In the map editor the sources come from the unit ring, filed or not.
TEST_F(RangeMapTest, EditorTakesFacilitiesFromTheRing) {
  std::mt19937 rng(77);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  for (int trial = 0; trial < 20; ++trial) {
    MakeWorld(8, 6, trial % 2 == 1);
    World& w = *world_;
    TestMapFolders folders(true, false);
    SetTerrain(3, static_cast<uint8_t>(pick(1, 3)), 0);
    for (int y = 0; y < 6; ++y)
      for (int x = 0; x < 8; ++x) Hex(x, y, pick(1, 3), pick(1, 2));
    SetAccess(1, 0, 1u << 2);
    SetAccess(2, 0, static_cast<uint32_t>(pick(0, 1)) << 1);
    FacilityClass(0, 0.03f, kClassRoad, 1);
    for (int i = 0; i < 3; ++i) {
      UnitRecord& u = Facility(1 + 2 * i, 1 + i, kFirstFacilityClass, pick(1, 2), static_cast<float>(pick(1, 3)), false);
      if (i == 2 && pick(0, 1)) u.orders[kPostureBits] = kPostureInReserve;
    }
    Reference ref{w, map_, std::vector<uint16_t>(48, 0)};
    const UnitRecord* u = w.units;
    do {
      if (Reference::IsSource(*u)) ref.Source(*u);
      u = u->next;
    } while (u != w.units);
    BuildRangeMap(w);
    ExpectSame(w, ref, trial);
    EXPECT_GT(Range(1, 1), 0) << trial;
  }
}

// Reach = sqrt(factor) x class reach x strength x 255, truncated:
// 2 x 0.08 x 0.5 x 255 = 20.4 -> 20.
TEST_F(RangeMapTest, ReachAndOneStepCosts) {
  SetRangeFactor(1, 4.0f);
  const int c = FacilityClass(0, 0.08f);
  Facility(4, 4, c, 1, 0.5f);
  BuildRangeMap(*world_);
  EXPECT_EQ(Range(4, 4), 20);
  EXPECT_EQ(Range(4, 3), 19);  // land costing 1 a step
  EXPECT_EQ(Range(6, 4), 18);
  EXPECT_EQ(Range(4, 0), 16);
  EXPECT_EQ(Range(0, 0), 0);  // never a position
  EXPECT_EQ(world_->rangeMap.size(), 80u);
}

TEST_F(RangeMapTest, ValuesNeverFallBelowOne) {
  SetTerrain(3, 4, 0);
  for (HexCell& cell : world_->cells) cell.word = WithCellTerrain(cell.word, 3);
  // Reach 0.02 x 1 x 255 = 5.1 -> 5: one step of 4 leaves 1, a second step
  // would leave nothing and is not taken.
  Facility(4, 4, FacilityClass(0, 0.02f), 1, 1.0f);
  BuildRangeMap(*world_);
  EXPECT_EQ(Range(4, 4), 5);
  EXPECT_EQ(Range(4, 3), 1);
  EXPECT_EQ(Range(4, 2), 0);
  SetTerrain(3, 5, 0);
  BuildRangeMap(*world_);
  EXPECT_EQ(Range(4, 3), 0);
  for (uint16_t v : world_->rangeMap) EXPECT_TRUE(v == 0 || v == 5);
}

TEST_F(RangeMapTest, ASourceWhoseHexHoldsItsReachAddsNothing) {
  // A big land facility and, next to it, a small haven on the coast: the
  // haven only adds its sea spread when its hex holds less than its reach.
  for (int y = 0; y < 8; ++y) Hex(9, y, 2, 1);
  CrossingMarkCosts(0, 1);
  const int big = FacilityClass(0, 0.04f);
  const int haven = FacilityClass(1, 0.02f, kClassHaven);
  UnitRecord& b = Facility(7, 4, big, 1, 1.0f);  // reach 10
  Facility(8, 4, haven, 1, 1.0f);                // reach 5; 9 arrives from the big one
  BuildRangeMap(*world_);
  EXPECT_EQ(Range(8, 4), 9);
  EXPECT_EQ(Range(9, 4), 0);  // no sea spread
  b.strength = 0.25f;  // reach 2: the haven's hex gets 1
  BuildRangeMap(*world_);
  EXPECT_EQ(Range(8, 4), 5);
  EXPECT_EQ(Range(9, 4), 4);
}

TEST_F(RangeMapTest, HavenAddsTheSeaSpread) {
  for (int y = 0; y < 8; ++y)
    for (int x = 5; x < 10; ++x) Hex(x, y, 2, 1);
  CrossingMarkCosts(0, 1);
  const int port = FacilityClass(0, 0.02f);
  Facility(4, 4, port, 1, 1.0f);
  BuildRangeMap(*world_);
  EXPECT_EQ(Range(3, 4), 4);
  EXPECT_EQ(Range(5, 4), 0);  // sea: no land cost
  world_->unitClasses[static_cast<size_t>(port)].flags |= kClassHaven;
  BuildRangeMap(*world_);
  EXPECT_EQ(Range(5, 4), 4);
  EXPECT_EQ(Range(7, 4), 2);
  EXPECT_EQ(Range(3, 4), 4);
}

TEST_F(RangeMapTest, TheFillCrossesTheSeamOfAWrappingMap) {
  Facility(0, 3, FacilityClass(0, 0.02f), 1, 1.0f);  // reach 5
  BuildRangeMap(*world_);
  EXPECT_EQ(Range(1, 3), 4);
  EXPECT_EQ(Range(9, 3), 0);
  MakeWorld(10, 8, true);
  Facility(0, 3, FacilityClass(0, 0.02f), 1, 1.0f);
  BuildRangeMap(*world_);
  EXPECT_EQ(Range(9, 3), 4);
  EXPECT_EQ(Range(8, 3), 3);
}

TEST_F(RangeMapTest, BordersWithoutAccessStayEmptyAndAreNoted) {
  for (int y = 0; y < 8; ++y)
    for (int x = 6; x < 10; ++x) Hex(x, y, 1, 2);
  for (int y = 0; y < 8; ++y) Hex(2, y, 1, 3);
  Facility(4, 4, FacilityClass(0, 0.04f), 1, 1.0f);  // reach 10
  // Player 2 is in player 1's access mask, but grants player 1 nothing.
  SetAccess(1, 0, 1u << 2);
  BuildRangeMap(*world_);
  EXPECT_EQ(Range(5, 4), 9);
  EXPECT_EQ(Range(6, 4), 0);
  EXPECT_EQ(Range(2, 4), 0);  // player 3 is not in the mask at all
  EXPECT_EQ(BorderAttemptMask(world_->players[1]), (1u << 2) | (1u << 3));
  SetAccess(2, 0, 1u << 1);
  BuildRangeMap(*world_);
  EXPECT_EQ(Range(6, 4), 8);
  EXPECT_EQ(Range(2, 4), 0);
}

TEST_F(RangeMapTest, SourcesThatSpreadNothing) {
  Facility(4, 4, FacilityClass(0, 0.0f), 1, 5.0f);     // no reach
  Facility(5, 5, FacilityClass(1, 0.05f), 1, 0.0f);    // no strength
  UnitRecord& off = Facility(6, 6, FacilityClass(2, 0.05f), 1, 1.0f);
  off.orders[kPostureBits] = kPostureInReserve;     // out of service
  UnitRecord& gone = Facility(2, 2, FacilityClass(2, 0.05f), 1, 1.0f);
  gone.unitFlags |= kUnitGone;
  SetRangeFactor(3, -1.0f);                             // no root: nothing
  Facility(7, 2, FacilityClass(2, 0.05f), 3, 1.0f);
  UnitRecord& nowhere = Facility(3, 6, FacilityClass(2, 0.05f), 1, 1.0f);
  nowhere.x = 0;
  nowhere.y = 0;
  BuildRangeMap(*world_);
  for (uint16_t v : world_->rangeMap) EXPECT_EQ(v, 0);
}

TEST_F(RangeMapTest, AReachBeyondSixteenBitsIsHeldAtTheTop) {
  Facility(4, 4, FacilityClass(0, 10.0f), 1, 40.0f);  // 102000
  BuildRangeMap(*world_);
  EXPECT_EQ(Range(4, 4), 65535);
  EXPECT_EQ(Range(4, 3), 65534);
}

}  // namespace
