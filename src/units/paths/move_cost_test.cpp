#include "units/paths/move_cost.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <random>
#include <vector>

#include "units/hex_geometry.h"
#include "records/hex_unit_stack.h"
#include "records/unit_record.h"
#include "records/hex_cell.h"
#include "world/hex_extra.h"
#include "records/le_bytes.h"
#include "world/map_data.h"
#include "world/world.h"

namespace {

// Terrain types of the test map: column values for movement types 0 to 7.
enum : int { kPlain = 1, kHill = 2, kSwamp = 3, kSea = 4, kCoast = 5 };

class MoveCostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    world_ = std::make_unique<World>();
    World& w = *world_;
    ASSERT_EQ(ResizeMap(w, 8, 6), 0);
    w.terrains.assign(kTerrainCount, TerrainRecord{});
    SetTerrain(kPlain, {3, 3, 3, 3, 3, 0, 3, 3}, 0);
    SetTerrain(kHill, {7, 7, 7, 7, 6, 0, 7, 7}, 0);
    SetTerrain(kSwamp, {0, 0, 9, 0, 0, 0, 5, 5}, 0);
    SetTerrain(kSea, {0, 0, 4, 0, 0, 2, 4, 4}, kTerrainWater);
    SetTerrain(kCoast, {0, 0, 0, 0, 0, 0, 0, 0}, 0);
    w.unitClasses.assign(4130, UnitClassRecord{});
    for (HexCell& c : w.cells) c.word = WithCellTerrain(WithCellOwner(0, 1), kPlain);
    map_ = MapShape(w);
    rules_.mode = 0;
    rules_.ownerMask = 1u << 1;
  }
  void TearDown() override {
    for (HexCell& c : world_->cells)
      if (c.stack) c.stack->lead = nullptr;
  }

  void SetTerrain(int t, std::vector<uint8_t> columns, uint32_t flags) {
    TerrainRecord& r = world_->terrains[static_cast<size_t>(t)];
    for (size_t m = 0; m < columns.size(); ++m) r.bytes[120 + m] = columns[m];
    le::Store32(r.bytes + 136, flags);
  }
  HexCell& Cell(int x, int y) { return world_->cells[static_cast<size_t>(y * map_.width + x)]; }
  void Hex(int x, int y, int terrain, int owner = 1) {
    Cell(x, y).word = WithCellTerrain(WithCellOwner(0, owner), terrain);
  }
  UnitClassRecord& Class(int i, uint32_t flags, uint8_t land, uint8_t sea = 0) {
    UnitClassRecord& c = world_->unitClasses[static_cast<size_t>(i)];
    c.flags = flags;
    c.hexMoveCost = land;
    c.hexSeaMoveCost = sea;
    return c;
  }
  UnitRecord& Facility(int x, int y, int classIndex) {
    units_.push_back(std::make_unique<UnitRecord>());
    UnitRecord& u = *units_.back();
    u.classIndex = static_cast<int16_t>(classIndex);
    u.unitFlags = kUnitFacility;
    MakeHexStack(Cell(x, y))->lead = &u;
    return u;
  }
  HexExtraImage& Extra(int x, int y) { return *GetHexExtra(*world_, Cell(x, y)); }
  static uint8_t* Bytes(HexExtraImage& e) { return reinterpret_cast<uint8_t*>(&e); }
  // A works slot with its ends (6 none) and the second works class or not.
  void Works(int x, int y, int slot, int endA, int endB, bool second = false, float progress = 1.0f) {
    uint8_t* b = Bytes(Extra(x, y));
    b[32 + slot] = static_cast<uint8_t>((endA == 6 ? 0 : endA) | ((endB == 6 ? 0 : endB) << 3) | (second ? 0x40 : 0));
    b[36 + slot] = static_cast<uint8_t>((endA == 6 ? 0 : 0x10) | (endB == 6 ? 0 : 0x20));
    le::StoreF32(b + 40 + 4 * slot, progress);
  }
  void CrossingMark(int x, int y) { Bytes(Extra(x, y))[11] |= 1; }

  uint32_t Cost(int ax, int ay, int d) {
    const uint32_t a = MakeHexPos(ax, ay);
    return MoveCost(*world_, map_, rules_, a, HexNeighbour(map_, a, d), d);
  }

  std::unique_ptr<World> world_;
  HexMapShape map_;
  MoveRules rules_;
  std::vector<std::unique_ptr<UnitRecord>> units_;
};

// From (2,2), an even column: direction 5 is (3,2), 1 is (2,1).
TEST_F(MoveCostTest, TheHexBeingLeftIsCharged) {
  Hex(3, 2, kHill);
  EXPECT_EQ(Cost(2, 2, 5), 3u);
  EXPECT_EQ(Cost(3, 2, 3), 7u);  // (3,2) odd: direction 3 is (2,3)
}

TEST_F(MoveCostTest, AnImpassableHexWithNothingOnItCannotBeEntered) {
  Hex(3, 2, kSwamp);
  EXPECT_EQ(Cost(2, 2, 5), 0u);
  // An amphibious unit may use the swamp's column 2 (and the plain's).
  rules_.useAltCost = true;
  EXPECT_EQ(Cost(2, 2, 5), 3u);
  // Only when one of the two hexes is passable by its own column.
  Hex(2, 2, kSea);
  EXPECT_EQ(Cost(2, 2, 5), 0u);
  Hex(3, 2, kPlain);
  EXPECT_EQ(Cost(2, 2, 5), 4u);  // column 0 of the sea is 0, column 2 is 4
}

TEST_F(MoveCostTest, SeaModeNeedsTheSeaColumnOfTheHexEntered) {
  rules_.mode = 5;
  Hex(2, 2, kSea);
  Hex(3, 2, kSea);
  EXPECT_EQ(Cost(2, 2, 5), 2u);
  EXPECT_EQ(Cost(2, 2, 1), 0u);  // (2,1) is plain: sea column 0
}

TEST_F(MoveCostTest, RoadLowersToTheSmallerAndHavenReplaces) {
  Hex(2, 2, kHill);
  Class(10, kClassRoad, 2);
  UnitRecord& road = Facility(2, 2, 10);
  EXPECT_EQ(Cost(2, 2, 5), 2u);
  Class(10, kClassRoad, 9);
  EXPECT_EQ(Cost(2, 2, 5), 7u);  // merging keeps the smaller
  Class(10, kClassHaven, 9);
  EXPECT_EQ(Cost(2, 2, 5), 9u);  // a haven replaces even with a higher cost
  // Out of service only a haven still counts.
  road.orders[kPostureBits] = kPostureInReserve;
  EXPECT_EQ(Cost(2, 2, 5), 9u);
  Class(10, kClassRoad, 2);
  EXPECT_EQ(Cost(2, 2, 5), 7u);
  road.orders[kPostureBits] = 0;
  road.unitFlags |= kUnitProvisional;  // provisional: not live
  EXPECT_EQ(Cost(2, 2, 5), 7u);
}

TEST_F(MoveCostTest, WorksLowerTheCostOnlyTowardsTheirEnds) {
  Hex(2, 2, kHill);
  Class(kWorksClassA, 0, 1);
  Works(2, 2, 0, 1, 6);
  EXPECT_EQ(Cost(2, 2, 5), 7u);  // the works lead up, not down-right
  EXPECT_EQ(Cost(2, 2, 1), 1u);
  Works(2, 2, 1, 6, 5);
  EXPECT_EQ(Cost(2, 2, 5), 1u);
  // An unusable or unfinished slot does nothing.
  Bytes(Extra(2, 2))[37] |= 0x08;
  EXPECT_EQ(Cost(2, 2, 5), 7u);
  Works(2, 2, 1, 6, 5, false, 0.0f);
  EXPECT_EQ(Cost(2, 2, 5), 7u);
}

TEST_F(MoveCostTest, WorksCarryAMoveIntoAHexPassableOnlyByWorks) {
  Hex(3, 2, kSwamp);
  Class(kWorksClassA, 0, 1);
  Class(kWorksClassB, 0, 2);
  Works(3, 2, 0, 0, 6, true);  // (3,2), an odd column, leads back up-left to (2,2)
  EXPECT_EQ(Cost(2, 2, 5), 0u);  // (2,2) has no works towards it
  Works(2, 2, 1, 5, 6);
  EXPECT_EQ(Cost(2, 2, 5), 1u);
  // The works of the hex entered must lead back: 5 - 5 = 0, not 2.
  Works(3, 2, 0, 2, 6, true);
  EXPECT_EQ(Cost(2, 2, 5), 0u);
}

TEST_F(MoveCostTest, AFacilityOrCrossingMarkOpensAnImpassableHex) {
  Hex(3, 2, kSwamp);
  Class(11, kClassRoad, 4);
  Facility(3, 2, 11);
  EXPECT_EQ(Cost(2, 2, 5), 3u);  // charged the plain being left
  Class(11, 0, 4);  // neither road nor haven: does not open the hex
  EXPECT_EQ(Cost(2, 2, 5), 0u);
  Class(kCrossingMarkClass, 0, 5);
  CrossingMark(3, 2);
  EXPECT_EQ(Cost(2, 2, 5), 3u);
  // A crossing mark on the hex left merges its cost.
  CrossingMark(2, 2);
  Class(kCrossingMarkClass, 0, 2);
  EXPECT_EQ(Cost(2, 2, 5), 2u);
}

TEST_F(MoveCostTest, NoTerrainCostFlagSparesTypesZeroToThreeOnly) {
  Hex(2, 2, kHill);
  Class(10, kClassRoad | kClassNoTerrainCost, 2);
  Facility(2, 2, 10);
  EXPECT_EQ(Cost(2, 2, 5), 7u);
  rules_.mode = 4;
  EXPECT_EQ(Cost(2, 2, 5), 2u);
  EXPECT_EQ(ClassMoveCost(&world_->unitClasses[10], 3), 0u);
  EXPECT_EQ(ClassMoveCost(&world_->unitClasses[10], 4), 2u);
  EXPECT_EQ(ClassMoveCost(&world_->unitClasses[10], 6), 0u);
}

TEST_F(MoveCostTest, ARefusedEntryNotesTheBorderEveryTime) {
  Hex(2, 2, kPlain, 4);
  Hex(3, 2, kPlain, 7);
  rules_.ownerMask = (1u << 4) | (1u << 1);
  EXPECT_EQ(Cost(2, 2, 5), 0u);
  EXPECT_EQ(BorderAttemptMask(world_->players[4]), 1u << 7);
  le::Store32(reinterpret_cast<uint8_t*>(&world_->players[4]) + 14468, 0);
  EXPECT_EQ(Cost(2, 2, 5), 0u);
  EXPECT_EQ(BorderAttemptMask(world_->players[4]), 1u << 7);
  EXPECT_EQ(Cost(2, 2, 1), 3u);  // into player 1's plain
  EXPECT_EQ(BorderAttemptMask(world_->players[1]), 0u);
}

TEST_F(MoveCostTest, AircraftMayEnterUnownedWater) {
  Hex(3, 2, kSea, 0);
  rules_.mode = 6;
  EXPECT_EQ(Cost(2, 2, 5), 3u);
  rules_.mode = 4;
  EXPECT_EQ(Cost(2, 2, 5), 0u);
  EXPECT_EQ(BorderAttemptMask(world_->players[1]), 1u);
}

TEST_F(MoveCostTest, LevelCostByOwnershipAndLevel) {
  rules_.levelCost = true;
  rules_.mover = 1;
  world_->cellBytes[2 * 8 + 2] = 10;
  EXPECT_EQ(Cost(2, 2, 5), 3u + 2u);
  world_->cellBytes[2 * 8 + 2] = 200;
  EXPECT_EQ(Cost(2, 2, 5), 3u);
  // A hex of another player without access costs the most.
  Hex(2, 2, kPlain, 6);
  rules_.ownerMask |= 1u << 6;
  EXPECT_EQ(Cost(2, 2, 5), 3u + 5u);
  le::Store32(reinterpret_cast<uint8_t*>(&world_->players[1]) + 10016, 1u << 6);
  EXPECT_EQ(Cost(2, 2, 5), 3u);
  // Aircraft over water: level 8's cost when nobody owns it, else level 0's.
  rules_.mode = 6;
  Hex(2, 2, kSea, 0);
  rules_.ownerMask = 1u << 1;
  EXPECT_EQ(Cost(2, 2, 5), 4u + 2u);
  Hex(2, 2, kSea, 6);
  le::Store32(reinterpret_cast<uint8_t*>(&world_->players[1]) + 10020, 1u << 6);
  EXPECT_EQ(Cost(2, 2, 5), 4u + 5u);
}

TEST_F(MoveCostTest, NothingToPayButTheLevel) {
  Hex(2, 2, kSwamp);  // land units cannot stand here: column 0 is 0
  EXPECT_EQ(Cost(2, 2, 5), 0u);
  rules_.levelCost = true;
  rules_.mover = 1;
  EXPECT_EQ(Cost(2, 2, 5), 5u);  // the total is not 0, so the move is allowed
  Class(kCrossingMarkClass, 0, 4);
  EXPECT_EQ(Cost(2, 2, 5), 4u + 5u);
}

TEST_F(MoveCostTest, StepCostTable) {
  EXPECT_EQ(StepCostByLevel(0), 5);
  EXPECT_EQ(StepCostByLevel(1), 3);
  EXPECT_EQ(StepCostByLevel(7), 3);
  EXPECT_EQ(StepCostByLevel(8), 2);
  EXPECT_EQ(StepCostByLevel(63), 2);
  EXPECT_EQ(StepCostByLevel(64), 1);
  EXPECT_EQ(StepCostByLevel(127), 1);
  EXPECT_EQ(StepCostByLevel(128), 0);
  EXPECT_EQ(StepCostByLevel(255), 0);
}

TEST_F(MoveCostTest, PositionsOffTheMapCostNothing) {
  EXPECT_EQ(MoveCost(*world_, map_, rules_, kNoHexPosition, MakeHexPos(1, 1), 5), 0u);
  EXPECT_EQ(MoveCost(*world_, map_, rules_, MakeHexPos(7, 2), MakeHexPos(8, 2), 5), 0u);
}

}  // namespace

// ---- The move rule written out step by step, checked on random maps with
// facilities, crossing marks, works, levels, owners and grants; no allowed
// move costs less than the least its hex's leaving half names.

namespace {

struct RefRule {
  World& w;
  HexMapShape map;
  uint32_t borders[kMaxPlayers] = {};

  const TerrainRecord& T(size_t i) const { return w.terrains[static_cast<size_t>(CellTerrain(w.cells[i].word))]; }
  uint32_t Col(size_t i, int m) const { return m >= 0 && m < 8 ? T(i).bytes[120 + m] : 0; }
  bool Water(size_t i) const { return le::Load32(T(i).bytes + 136) & 1; }
  int Owner(size_t i) const { return CellOwner(w.cells[i].word); }
  uint32_t Access(int p, int kind) const {
    return le::Load32(reinterpret_cast<const uint8_t*>(&w.players[p]) + 10016 + 4 * static_cast<size_t>(kind));
  }
  const UnitClassRecord& K(int c) const { return w.unitClasses[static_cast<size_t>(c)]; }
  static uint32_t Cost(const UnitClassRecord& k, int m) {
    if (m == 4 || (m < 4 && !(k.flags & 0x100))) return k.hexMoveCost;
    return 0;
  }
  static void Merge(uint32_t& c, uint32_t k) {
    if (k != 0 && (c == 0 || k < c)) c = k;
  }
  const UnitRecord* Lead(size_t i) const {
    const HexUnitStack* s = w.cells[i].stack;
    const UnitRecord* u = s ? s->lead : nullptr;
    if (!u || (u->unitFlags & 0x8000) || u->classIndex == 0 || (u->unitFlags & 0x1000)) return nullptr;
    return u;
  }
  bool CountsLeaving(size_t i) const {
    const UnitRecord* u = Lead(i);
    return u && (!(u->orders[15] & 1) || (K(u->classIndex).flags & 0x1000));
  }
  bool CountsEntering(size_t i) const {
    return CountsLeaving(i) && (K(Lead(i)->classIndex).flags & (0x800000 | 0x1000));
  }
  const uint8_t* Block(size_t i) const {
    const HexUnitStack* s = w.cells[i].stack;
    return s && s->extra ? reinterpret_cast<const uint8_t*>(static_cast<const HexExtraImage*>(s->extra)) : nullptr;
  }
  static bool Active(const uint8_t* b, int i) {
    const uint8_t f = b[36 + i];
    return (f & 0x30) && !(f & 0x0A) && le::LoadF32(b + 40 + 4 * i) != 0.0f;
  }
  static int EndA(const uint8_t* b, int i) { return (b[36 + i] & 0x10) ? (b[32 + i] & 7) : 6; }
  static int EndB(const uint8_t* b, int i) { return (b[36 + i] & 0x20) ? ((b[32 + i] >> 3) & 7) : 6; }
  static int Works(const uint8_t* b, int i) { return (b[32 + i] & 0x40) ? 4129 : 4128; }
  uint32_t MarkCost(int m) const { return m == 5 ? K(4127).hexSeaMoveCost : Cost(K(4127), m); }

  uint32_t Move(size_t a, size_t b, int d, const MoveRules& r) {
    const int m = r.mode;
    uint32_t mask = r.ownerMask;
    if (m > 5 && Water(b)) mask |= 1;
    if (!(mask & (1u << Owner(b)))) {
      borders[Owner(a)] |= 1u << Owner(b);
      return 0;
    }
    uint32_t level = 0;
    if (r.levelCost) {
      const int o = Owner(a);
      const int kind = m == 5 ? 2 : (m > 5 ? 1 : 0);
      if (o == r.mover || (Access(r.mover, kind) & (1u << o)) || (o == 0 && Water(a))) {
        if (m == 6 && Water(a))
          level = o == 0 ? 2 : 5;
        else
          level = StepCostByLevel(w.cellBytes[a]);
      } else {
        level = 5;
      }
    }
    uint32_t cA = 0, cB = 0;
    if (m == 5) {
      cA = Col(a, 5);
      if (Col(b, 5) == 0) return 0;
      goto step8;
    }
    cA = Col(a, m);
    cB = Col(b, m);
    if (r.useAltCost && (cA != 0 || cB != 0)) {
      Merge(cA, Col(a, 2));
      Merge(cB, Col(b, 2));
    }
    if (m < 5) {
      if (CountsLeaving(a)) {
        const UnitClassRecord& k = K(Lead(a)->classIndex);
        if (k.flags & 0x800000)
          Merge(cA, Cost(k, m));
        else if ((k.flags & 0x1000) && Cost(k, m) != 0)
          cA = Cost(k, m);
      }
      if (const uint8_t* ba = Block(a)) {
        if (ba[11] & 1) Merge(cA, MarkCost(m));
        for (int i = 1; i >= 0; --i) {
          if (!Active(ba, i)) continue;
          const uint32_t k = Cost(K(Works(ba, i)), m);
          if (k == 0 || (EndA(ba, i) != d && EndB(ba, i) != d)) continue;
          Merge(cA, k);
          if (cB != 0) goto step8;
          const uint8_t* bb = Block(b);
          if (!bb) goto step7;
          for (int j = 1; j >= 0; --j)
            if (Active(bb, j) && (EndA(bb, j) == 5 - d || EndB(bb, j) == 5 - d)) {
              cB = Cost(K(Works(bb, j)), m);
              break;
            }
          break;
        }
      }
    }
    if (cB != 0) goto step8;
  step7:
    if (CountsEntering(b)) {
      const UnitClassRecord& k = K(Lead(b)->classIndex);
      if ((m == 5 ? k.hexSeaMoveCost : Cost(k, m)) != 0) goto step8;
    }
    if (const uint8_t* bb = Block(b); bb && (bb[11] & 1) && MarkCost(m) != 0) goto step8;
    return 0;
  step8:
    if (cA == 0) cA = MarkCost(m);
    return cA + level;
  }
};

}  // namespace

TEST_F(MoveCostTest, MatchesTheRuleStepByStepOnRandomMaps) {
  std::mt19937 rng(4104);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  int allowed = 0, refused = 0;
  for (int trial = 0; trial < 40; ++trial) {
    TearDown();
    units_.clear();
    world_ = std::make_unique<World>();
    World& w = *world_;
    ASSERT_EQ(ResizeMap(w, 6, 5), 0);
    reinterpret_cast<uint8_t*>(&w.mapHeader)[67] = static_cast<uint8_t>(pick(0, 1));
    map_ = MapShape(w);
    w.terrains.assign(kTerrainCount, TerrainRecord{});
    for (int t = 1; t <= 6; ++t) {
      std::vector<uint8_t> cols(8);
      for (uint8_t& c : cols) c = static_cast<uint8_t>(pick(0, 2) == 0 ? 0 : pick(1, 9));
      SetTerrain(t, cols, pick(0, 3) == 0 ? kTerrainWater : 0);
    }
    w.unitClasses.assign(4130, UnitClassRecord{});
    const uint32_t flagChoices[] = {0, kClassRoad, kClassHaven, kClassRoad | kClassHaven, kClassNoTerrainCost};
    for (int c : {10, 11, 12, 13, kCrossingMarkClass, kWorksClassA, kWorksClassB})
      Class(c, flagChoices[pick(0, 4)], static_cast<uint8_t>(pick(0, 4)), static_cast<uint8_t>(pick(0, 4)));
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 6; ++x) {
        Hex(x, y, pick(1, 6), pick(0, 3));
        w.cellBytes[static_cast<size_t>(y * 6 + x)] = static_cast<uint8_t>(pick(0, 255));
        if (pick(0, 2) == 0) {
          UnitRecord& f = Facility(x, y, pick(10, 13));
          const int state = pick(0, 5);
          if (state == 1) f.orders[kPostureBits] = kPostureInReserve;
          if (state == 2) f.unitFlags |= kUnitProvisional;
          if (state == 3) f.unitFlags |= kUnitGone;
          if (state == 4) f.classIndex = 0;
        }
        if (pick(0, 2) == 0) {
          uint8_t* b = Bytes(Extra(x, y));
          b[11] = static_cast<uint8_t>(pick(0, 1));
          for (int i = 0; i < 2; ++i) {
            // Ends drawn from a few directions so that both slots often lead the
            // same way.
            const std::array<int, 4> ends{1, 4, 5, 7};
            b[32 + i] = static_cast<uint8_t>(ends[static_cast<size_t>(pick(0, 3))] |
                                             ends[static_cast<size_t>(pick(0, 3))] << 3 | pick(0, 1) << 6);
            b[36 + i] = static_cast<uint8_t>(std::array<int, 6>{0x10, 0x20, 0x30, 0x12, 0x38, 0}[static_cast<size_t>(pick(0, 5))]);
            le::StoreF32(b + 40 + 4 * i, pick(0, 3) == 0 ? 0.0f : 0.5f);
          }
        }
      }
    for (int p = 0; p < 4; ++p)
      for (int kind = 0; kind < 3; ++kind)
        le::Store32(reinterpret_cast<uint8_t*>(&w.players[p]) + 10016 + 4 * kind, static_cast<uint32_t>(pick(0, 15)));
    RefRule ref{w, map_};
    for (int mode = 0; mode < 8; ++mode)
      for (int variant = 0; variant < 4; ++variant) {
        MoveRules rules;
        rules.mode = mode;
        rules.ownerMask = static_cast<uint32_t>(pick(1, 15));
        rules.useAltCost = (variant & 1) != 0;
        rules.levelCost = (variant & 2) != 0;
        rules.mover = pick(0, 3);
        for (int y = 0; y < 5; ++y)
          for (int x = 0; x < 6; ++x)
            for (int d = 0; d < 6; ++d) {
              const uint32_t a = MakeHexPos(x, y);
              const uint32_t b = HexNeighbour(map_, a, d);
              if (a == kNoHexPosition || b == kNoHexPosition) continue;
              const uint32_t got = MoveCost(w, map_, rules, a, b, d);
              const uint32_t want = ref.Move(static_cast<size_t>(HexCellIndex(map_, a)),
                                             static_cast<size_t>(HexCellIndex(map_, b)), d, rules);
              ASSERT_EQ(got, want) << "trial " << trial << " mode " << mode << " variant " << variant << " at " << x
                                   << "," << y << " d " << d;
              // The search passes over hexes by the least a move out of
              // this one can cost.
              LeavingHex leave;
              LeaveHex(w, rules, w.cells[static_cast<size_t>(HexCellIndex(map_, a))],
                       static_cast<size_t>(HexCellIndex(map_, a)), leave);
              ASSERT_TRUE(got == 0 || got >= leave.least) << trial << " " << mode << " " << variant << " d " << d;
              (got ? allowed : refused) += 1;
            }
      }
    for (int p = 0; p < kMaxPlayers; ++p) ASSERT_EQ(BorderAttemptMask(w.players[p]), ref.borders[p]) << trial;
  }
  EXPECT_GT(allowed, 5000);
  EXPECT_GT(refused, 5000);
}
