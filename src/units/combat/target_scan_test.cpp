#include "units/combat/target_scan.h"

#include <gtest/gtest.h>

#include "units/combat/fire_test_world.h"
#include "units/combat/unit_engage.h"
#include "units/combat/unit_fire.h"
#include "units/unit_player_fields.h"
#include "world/scenario_settings.h"

using namespace fire_test;

namespace {

class ScanWorld : public FireWorld {
 public:
  ScanWorld() {
    for (int p = 1; p <= 3; ++p) world->players[p].kind = kKindComputer;
  }
  UnitRecord* ScanFrom(UnitRecord& a) {
    const TargetScanRanges r = TargetScanRangesOf(*world, a, false);
    return RunTargetScan(*world, a, MakeHexPos(a.x, a.y), r, false);
  }
};

class TargetScanTest : public ::testing::Test, public ScanWorld {};

TEST_F(TargetScanTest, RangesInHexes) {
  struct Row {
    uint32_t hexScale;
    float range;
    bool pooled;
    int32_t rangeLeft, expected;
  } rows[] = {
      {10, 35.0f, false, 0, 4},   // 35 / 10 = 3, plus 1
      {10, 9.0f, false, 0, 1},    // short of a hex: the own hex only
      {10, 0.0f, false, 0, 0},    // no weapon
      {0, 35.0f, false, 0, 0},    // a map without a hex size reaches nowhere
      {10, 35.0f, true, 6, 7},    // a pooled stock counts its own range left
      {10, 0.0f, true, 6, 0},     // ... only where it has a weapon
  };
  for (const Row& row : rows) {
    world->mapHeader.hexScale = row.hexScale;
    SetRanges(world->unitClasses[kGun], row.range, row.range, row.range, row.range);
    UnitRecord& a = Unit(1, kGun, 10.0f, 1, 1);
    a.rangeLeft = row.rangeLeft;
    const TargetScanRanges r = TargetScanRangesOf(*world, a, row.pooled);
    for (int c = 0; c < 5; ++c) EXPECT_EQ(r.hexes[c], row.expected) << row.hexScale << " " << row.range << " " << c;
  }
}

TEST_F(TargetScanTest, PresentTargetAgainstANewOneByDistance) {
  // Equal attack over defence r: a new target at distance 0 scores r, the
  // present one at distance 1 scores 1.4r / 2, at distance 0 1.4r.
  struct Row {
    int presentColumn, newColumn;
    bool presentWins;
  } rows[] = {{2, 1, false}, {1, 1, true}, {2, 2, true}, {1, 2, true}};
  int row_y = 0;
  for (const Row& row : rows) {
    ++row_y;
    UnitRecord& a = Unit(1, kGun, 10.0f, 1, row_y);
    UnitRecord& present = Unit(2, kGun, 10.0f, row.presentColumn, row_y);
    UnitRecord& fresh = Unit(2, kGun, 10.0f, row.newColumn, row_y);
    a.orders[kFireUnit] = present.id;
    UnitRecord* got = ScanFrom(a);
    ASSERT_NE(got, nullptr);
    EXPECT_EQ(got->id, row.presentWins ? present.id : fresh.id) << row.presentColumn << " " << row.newColumn;
    // Leave the row's units out of the next rows' scans.
    present.unitFlags |= kUnitGone;
    fresh.unitFlags |= kUnitGone;
  }
}

TEST_F(TargetScanTest, WhoIsScanned) {
  struct Row {
    const char* what;
    int owner;
    uint32_t rules, seenBy;
    int x, y;
    bool pooled;
    int32_t gunRange;
    bool found;
    float strength = 10.0f;
  } rows[] = {
      {"enemy in reach", 2, 0, 0, 3, 3, false, 35, true},
      {"friend", 3, 0, 0, 3, 3, false, 35, false},
      {"neutral", 4, 0, 0, 3, 3, false, 35, false},
      {"beyond reach", 2, 0, 0, 5, 5, false, 15, false},  // 2 hexes reach, 4 away
      {"hidden by per-unit sight", 2, kGameFlagFog | kGameFlagUnitSight, 0, 3, 3, false, 35, false},
      {"seen by the owner", 2, kGameFlagFog | kGameFlagUnitSight, 1u << 1, 3, 3, false, 35, true},
      {"own hex, range 1, not pooled", 2, 0, 0, 1, 1, false, 5, false},
      {"own hex, range 1, pooled", 2, 0, 0, 1, 1, true, 5, true},
      // No defence to weigh against: skipped, not worth infinitely much.
      {"no strength left", 2, 0, 0, 3, 3, false, 35, false, 0.0f},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    auto fresh = std::make_unique<ScanWorld>();
    World& w = *fresh->world;
    w.scenario.head.gameFlags = (1u << 3) | row.rules;
    const float range = static_cast<float>(row.gunRange);
    SetRanges(w.unitClasses[kGun], range, range, range, range);
    w.players[4].kind = kKindComputer;
    UnitRecord& a = fresh->Unit(1, kGun, 10.0f, 1, 1);
    a.rangeLeft = 0;
    UnitRecord& t = fresh->Unit(row.owner, kGun, row.strength, row.x, row.y);
    t.seenBy = row.seenBy;
    if (t.tableEntry) t.tableEntry->seenBy = row.seenBy;
    const TargetScanRanges r = TargetScanRangesOf(w, a, row.pooled);
    UnitRecord* got = RunTargetScan(w, a, MakeHexPos(1, 1), r, row.pooled);
    EXPECT_EQ(got == &t, row.found);
  }
}

TEST_F(TargetScanTest, BombardmentValuesHexesAsAWhole) {
  // Two weak enemies on one hex outweigh one a little stronger on another
  // at the same distance; the hex's pick is its best unit, the 6.0 of the
  // 6.0 and 6.5.
  world->unitClasses[kGun].flags |= kClassLongRange;
  world->techEffects[1][122] = world->techEffects[1][126] = 1.0f;
  UnitRecord& a = Unit(1, kGun, 10.0f, 1, 1);
  Unit(2, kGun, 7.0f, 3, 1);  // alone on its hex
  UnitRecord& weak = Unit(2, kGun, 6.0f, 1, 3);
  Unit(2, kGun, 6.5f, 1, 3);
  ASSERT_EQ(HexDistance(MapShape(*world), MakeHexPos(1, 1), MakeHexPos(3, 1)),
            HexDistance(MapShape(*world), MakeHexPos(1, 1), MakeHexPos(1, 3)));
  UnitRecord* got = ScanFrom(a);
  ASSERT_NE(got, nullptr);
  EXPECT_EQ(got, &weak);  // attack over defence: the weakest scores highest
}

}  // namespace
