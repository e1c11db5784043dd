#include "units/facilities/military_upkeep.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <utility>
#include <vector>

#include "records/le_bytes.h"
#include "units/handover_test_world.h"
#include "units/unit_destroy.h"
#include "units/unit_player_fields.h"
#include "units/facilities/upkeep_fields.h"
#include "world/day_ledger.h"
#include "world/text/rule_tables.h"

namespace {

using namespace handover_test;
namespace uf = unitfields;
namespace kf = upkeepfields;

constexpr int kOwner = 3;

// The 6 x 6 world with region 3 the only region: a town that builds units
// at (2, 2), a tank class of size 10 that costs 2.0 a point to build, pays
// 0.5 a point in upkeep and weighs 1.0 a point, and a price limit of 2.0.
class MilitaryUpkeep : public ::testing::Test, public World6 {
 protected:
  MilitaryUpkeep() {
    World& w = *world;
    w.gameState.highestPlayer = kOwner;
    w.gameState.currentDay = 700;
    PlayerRecord& r = Owner();
    r.kind = kKindComputer;
    r.treasury = 100.0f;
    r.militarySpendIndex = 1.0f;
    uf::SetSupplyStock(r, 100.0f);
    uf::SetProductReal(r, uf::kSupplyProduct, kProductPriceLimitAt, 2.0f);
    UnitClassRecord& tank = w.unitClasses[kTank];
    tank.buildWorkPerPoint = 2.0f;
    tank.costPerElement = 0.5f;
    tank.weight = 1.0f;
    w.unitClasses[kBase].slotSize = 3;
    SetTerrainByte(w.terrains[1], 134, 5);
    town = &Place(kOwner, kBase, 1.0f, 2, 2);
    town->strength = 1.0f;
  }

  PlayerRecord& Owner() { return world->players[kOwner]; }

  // A tank on order at (2, 2) of ordered size 0.25 (built as 0.5).
  UnitRecord& OnOrder(float buildWork) {
    UnitRecord& u = Reserve(kOwner, kTank, 0.25f, 2, 2);
    u.orders[kPostureBits] = u.ordersShown[kPostureBits] = kPostureInReserve | kPostureUnderConstruction;
    u.targetStrength = 0.25f;
    u.strength = 0.25f;
    u.buildWork = buildWork;
    AppendUnitPtr(*world, kUnitTableOnOrder, kOwner, 0, u);
    return u;
  }

  // Targets equal to the units' quality, so that the drift leaves it.
  void KeepQuality() {
    Owner().kind = kKindEmpty;
    uf::SetReal(Owner(), kf::kQualityTarget1, 0.5f);
    uf::SetReal(Owner(), kf::kQualityTarget2, 0.5f);
  }

  UnitRecord* town = nullptr;
};

TEST_F(MilitaryUpkeep, QualityTargetsFollowSpendingDifficultyAndRatings) {
  struct Case {
    const char* what;
    int32_t kind;
    uint8_t difficulty, govtype;
    float maint, salary, launch, input, approval, second;
    float first, secondTarget;
  };
  // a' = sqrt(0.15 + 0.01) = 0.4, b' = 0.5:
  // (0.5 + 0.5 + 0.6 + 1.6 + 0.64 + 0.5) / 6 and (0.5 + 0.8 + 0.32 + 0.4) / 5.
  const Case cases[] = {
      {"a computer region", kKindComputer, 0, 0, 0.15f, 0.24f, 1.0f, 5.0f, 0.25f, 0.16f, 4.34f / 6, 2.02f / 5},
      {"a person at difficulty 2 alike", kKindHuman, 2, 0, 0.15f, 0.24f, 1.0f, 5.0f, 0.25f, 0.16f, 4.34f / 6, 2.02f / 5},
      {"a person at difficulty 0: 2.2 whole", kKindHuman, 0, 0, 0.15f, 0.24f, 1.0f, 5.0f, 0.25f, 0.16f, 4.94f / 6,
       2.02f / 5},
      // a = sqrt(4) = 2, a' = sqrt(2.01); b' = 0.1; launch 2 / 2 x 0.5 (form 3).
      {"shares above one count by their root", kKindComputer, 0, 3, 4.0f, 0.0f, 2.0f, 0.0f, 0.0f, 0.0f,
       (0.5f + 0.6f + 1.6f + std::sqrt(2.01f) * 1.6f + 0.1f) / 6, (0.16f + std::sqrt(2.01f) * 0.8f) / 5},
      {"negative shares and ratings count as none", kKindComputer, 0, 0, -3.0f, -1.0f, 1.0f, 0.0f, -0.5f, -2.0f,
       2.96f / 6, 0.24f / 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    PlayerRecord& r = Owner();
    r.kind = c.kind;
    r.govtype = c.govtype;
    world->scenario.head.difficulty = c.difficulty;
    r.simPolicy.milspendmaint = c.maint;
    r.simPolicy.milspendsalary = c.salary;
    r.militarySpendIndex = c.launch;
    uf::SetReal(r, kf::kQualityInput, c.input);
    r.dayApproval = c.approval;
    r.daySecondRating = c.second;
    const QualityTargets t = ComputeQualityTargets(*world, r);
    EXPECT_NEAR(t.first, c.first, 1e-5);
    EXPECT_NEAR(t.second, c.secondTarget, 1e-5);
  }
}

TEST_F(MilitaryUpkeep, TheBuildQueuePaysAndAdvancesOrWaits) {
  // D = 10 x 2.0 x sqrt(0.25) + 1 = 11. With the town's strength 1.0 and
  // deployment setting 6 under form 3 (column 0: 0.5), r = 1.25; both costs
  // are (2.5 + 0.9) / 11 x r. Regions of no kind or out of the game build
  // alike but keep their quality targets.
  const float r = 1.25f;
  const float cost = 3.4f / 11.0f * r;
  struct Case {
    const char* what;
    int32_t kind;
    float supply, treasury;
    uint32_t state;
    bool townInService;
    float buildCostPerPoint, before, after, demand, spent, shortfall;
  };
  const Case cases[] = {
      {"paid", kKindComputer, 100, 100, 0, true, 2.0f, 10.0f, 10.0f - r, cost, cost, 0},
      {"supply just short: booked, no progress", kKindComputer, cost - 0.001f, 100, 0, true, 2.0f, 10.0f, 10.0f, cost, 0, 0},
      {"treasury short: shortfall", kKindComputer, 100, cost - 0.001f, 0, true, 2.0f, 10.0f, 10.0f, cost, 0, cost},
      {"paused gains D / 200", kKindComputer, 100, 100, kStatePausedBuild, true, 2.0f, 5.0f, 5.055f, 0, 0, 0},
      {"paused never above D", kKindComputer, 100, 100, kStatePausedBuild, true, 2.0f, 10.99f, 11.0f, 0, 0, 0},
      {"no town in service counts as paused", kKindComputer, 100, 100, 0, false, 2.0f, 5.0f, 5.055f, 0, 0, 0},
      {"a region of no kind", kKindEmpty, 100, 100, 0, true, 2.0f, 10.0f, 10.0f - r, cost, cost, 0},
      {"a region out of the game", kKindOut, 100, 100, 0, true, 2.0f, 10.0f, 10.0f - r, cost, cost, 0},
      {"a build cost of nothing or less makes no progress", kKindComputer, 100, 100, 0, true, -1.0f, 5.0f, 5.0f, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    PlayerRecord& o = Owner();
    o.kind = c.kind;
    o.govtype = 3;
    o.simPolicy.defcon = 6;
    uf::SetReal(o, kf::kQualityTarget1, 9.0f);
    uf::SetSupplyStock(o, c.supply);
    o.treasury = c.treasury;
    uf::SetProductReal(o, uf::kSupplyProduct, kProductAskedAt, 0.0f);
    world->unitClasses[kTank].buildWorkPerPoint = c.buildCostPerPoint;
    town->orders[kPostureBits] = c.townInService ? 0 : kPostureInReserve;
    town->leadValue = 0;
    world->dayLedgers.running[kOwner] = DayLedger{};
    UnitRecord& u = OnOrder(c.before);
    u.orders[kStateFlags] = c.state;
    DailyMilitaryUpkeep(*world);
    EXPECT_NEAR(u.buildWork, c.after, 1e-4);
    // The treasury pays the money part, and the budget's unit-building line shows it.
    EXPECT_NEAR(c.treasury - o.treasury, c.spent, 1e-4);
    EXPECT_NEAR(world->dayLedgers.running[kOwner].Of(Ledger::kUnitPurchases), c.spent, 1e-4);
    EXPECT_NEAR(uf::ProductReal(o, uf::kSupplyProduct, kProductAskedAt), c.demand, 1e-5);
    EXPECT_NEAR(uf::Real(o, kf::kBuildSpent), c.spent, 1e-5);
    EXPECT_NEAR(uf::Real(o, kf::kBuildShortfall), c.shortfall, 1e-5);
    EXPECT_EQ(town->leadValue, c.townInService && c.buildCostPerPoint > 0 && c.state == 0 ? 1 : 0);
    EXPECT_EQ(uf::Short(o, kf::kUnitsInBuild), 1);
    EXPECT_EQ(uf::Real(o, kf::kQualityTarget1) == 9.0f, c.kind != kKindComputer);
    DropUnitTableEntry(u);
  }
}

// A unit ordered at full size pays over its whole build F x cost per element + 0.9
// (10 x 0.5 + 0.9) from the treasury, not the class's money price, which
// prices facilities; the budget's unit-building line adds up to the same.
TEST_F(MilitaryUpkeep, AUnitOrderedIsPaidItsBuildChargeAndTheBudgetShowsIt) {
  world->unitClasses[kTank].price = 1.0e6f;
  UnitRecord& u = OnOrder(21.0f);  // D = 10 x 2.0 x 1 + 1; r = 1.0 a day
  u.targetStrength = u.strength = 1.0f;
  int days = 0;
  while ((u.orders[kPostureBits] & kPostureUnderConstruction) && days < 30) {
    DailyMilitaryUpkeep(*world);
    ++days;
  }
  EXPECT_EQ(days, 21);
  // 21 payments, each rounded to the treasury's last place (2^-17 at 100).
  EXPECT_NEAR(100.0f - Owner().treasury, 5.9f, 1e-3);
  EXPECT_NEAR(world->dayLedgers.running[kOwner].Of(Ledger::kUnitPurchases), 5.9, 1e-3);
}

TEST_F(MilitaryUpkeep, AFinishedUnitGoesToTheReserveAndGivesItsSlotBack) {
  UnitRecord& u = OnOrder(1.2f);  // r = 1.0 leaves 0.2
  u.efficiency = 0.3f;
  DailyMilitaryUpkeep(*world);
  EXPECT_EQ(u.buildWork, 0.0f);
  EXPECT_FALSE(u.orders[kPostureBits] & kPostureUnderConstruction);
  EXPECT_TRUE(u.orders[kStateFlags] & kStateCanRefuel);
  EXPECT_EQ(u.classDay, 700u);
  EXPECT_EQ(u.training, 0.0f) << "the reserve's day follows at once";
  ASSERT_NE(u.tableEntry, nullptr);
  EXPECT_EQ(u.tableEntry->unit, &u);
  EXPECT_EQ(u.tableEntry, &world->unitTables.Slot(kUnitTableReserve, kOwner, 0)->At(2)) << "behind its old entry";
  EXPECT_EQ(town->leadValue, 0);
  EXPECT_EQ(uf::Short(Owner(), kf::kUnitsInBuild), 0);
  EXPECT_EQ(uf::Short(Owner(), kf::kUnitsInReserve), 1);
}

TEST_F(MilitaryUpkeep, DailyUpkeepOfAUnit) {
  struct Case {
    uint8_t category;
    float strength, training, upkeep;
  };
  // q = (10 x 0.5 + (10 x 1.0 x m + 0.9) x 2.0 + 0.9) / 2: 13.85 on land, 8.85 at sea.
  const Case cases[] = {
      {0, 5.0f, 0.0f, 1.385f + 6.925f},
      {0, 5.0f, 3.0f, 1.385f + 6.925f * 2.0f},
      {2, 5.0f, 0.0f, 0.885f + 4.425f},
      {0, 0.0f, 0.0f, 1.385f},
  };
  for (const Case& c : cases) {
    UnitClassRecord cls = world->unitClasses[kTank];
    cls.kind = c.category;
    UnitRecord& u = Place(kOwner, kTank, 1.0f, 4, 4);
    u.strength = c.strength;
    u.training = c.training;
    EXPECT_NEAR(UnitDailyUpkeep(Owner(), u, cls), c.upkeep, 1e-4) << int{c.category} << " " << c.training;
  }
}

// Over seven ready units a hex wears each one's efficiency by
// (fourth root of 7 / n + 9) / 10.
TEST_F(MilitaryUpkeep, CrowdedHexesWearEfficiencyDown) {
  KeepQuality();
  for (const auto& [n, factor] : {std::pair{7, 1.0f}, std::pair{8, 0.9967168f}, std::pair{9, 0.9939104f}}) {
    SCOPED_TRACE(n);
    std::vector<UnitRecord*> units;
    for (int i = 0; i < n; ++i) {
      UnitRecord& u = Place(kOwner, kTank, 1.0f, 1 + (n - 7) * 2, 4);
      u.efficiency = u.morale = 0.5f;
      units.push_back(&u);
    }
    DailyMilitaryUpkeep(*world);
    for (UnitRecord* u : units) {
      EXPECT_NEAR(u->efficiency, 0.5f * factor, 1e-6);
      EXPECT_EQ((u->unitFlags & kUnitOverStacked) != 0, n > 7);
    }
  }
}

TEST_F(MilitaryUpkeep, LandUnitsDigInUpToTheirHexLimit) {
  KeepQuality();
  // The town's hex limits at 5 + 3, an open hex at 5 + class 0's 0.
  struct Case {
    int cls, x, y;
    uint8_t before;
    float fortifierStrength;
    uint8_t after;
  };
  const Case cases[] = {
      {kTank, 2, 2, 20, 0, 9},   {kTank, 2, 2, 0, 0, 1},    {kTank, 3, 3, 10, 0, 6}, {kTank, 3, 3, 0, 0, 1},
      {kTank, 3, 3, 100, 0, 6},  {kPlane, 3, 3, 5, 0, 5},
      // A fortifier of strength 100 beside: s = 1 + 0.5 x 0.5 x 100 / 50 = 1.5,
      // g = sqrt(1.5) + 0.8 = 2.02, truncated 2.
      {kTank, 3, 3, 0, 100.0f, 2},
  };
  for (const Case& c : cases) {
    UnitRecord& u = Place(kOwner, c.cls, 1.0f, c.x, c.y);
    u.entrenchment = c.before;
    u.efficiency = u.morale = 0.5f;
    UnitRecord* fort = nullptr;
    if (c.fortifierStrength > 0) {
      fort = &Place(kOwner, kFort, 1.0f, c.x + 1, c.y);
      fort->strength = c.fortifierStrength;
      fort->efficiency = fort->morale = 0.5f;
      RecomputeHexMarks(*world, Cell(c.x + 1, c.y));
    }
    DailyMilitaryUpkeep(*world);
    EXPECT_EQ(u.entrenchment, c.after) << c.cls << " " << int{c.before};
    HexStackRemove(*world, Cell(c.x, c.y), u);
    DropUnitTableEntry(u);
    if (fort) {
      HexStackRemove(*world, Cell(c.x + 1, c.y), *fort);
      DropUnitTableEntry(*fort);
    }
    RecomputeHexMarks(*world, Cell(c.x + 1, c.y));
  }
}

TEST_F(MilitaryUpkeep, MapAndReserveCountsUpkeepValueAndWeight) {
  KeepQuality();
  PlayerRecord& o = Owner();
  o.soldiers = 50.0f;
  o.gdpPerCapita = 2.0f;
  UnitRecord& onMap = Place(kOwner, kTank, 1.0f, 4, 4);
  onMap.strength = 5.0f;
  onMap.efficiency = onMap.morale = 0.5f;
  UnitRecord& reserve = Reserve(kOwner, kTank, 1.0f, 4, 4);
  reserve.strength = 5.0f;
  reserve.efficiency = reserve.morale = 0.5f;
  reserve.training = 3.0f;
  UnitRecord& stockOnMap = Place(kOwner, kStockClass, 1.0f, 4, 4);
  stockOnMap.strength = 3.7f;
  UnitRecord& stockKept = Reserve(kOwner, kStockClass, 1.0f, 4, 4);
  stockKept.strength = 2.2f;
  DailyMilitaryUpkeep(*world);
  // Tanks: 8.31 on the map, a fifth of it in the reserve (training reset to
  // 0 first counts after the upkeep: it was 3 when paid). Stock, q = (1 x 0
  // + (1 x 0 + 0.9) x 2.0 + 0.9) / 2 = 1.35: 0.135 + 1.35 x 3.7 on the map
  // and 0.135 + 1.35 x 2.2 kept, all of it.
  const float reserveUpkeep = (1.385f + 6.925f * 2.0f) * 0.2f;
  EXPECT_NEAR(uf::Real(o, kf::kUpkeepTotal), 8.31f + reserveUpkeep + 0.27f + 1.35f * 5.9f, 1e-3);
  EXPECT_NEAR(reserve.efficiency, 0.45f, 1e-6) << "a tenth lost";
  EXPECT_EQ(reserve.training, 0.0f);
  EXPECT_NEAR(onMap.training, 0.5f, 1e-6) << "halfway to the launch factor";
  EXPECT_EQ(uf::Short(o, kf::kUnitsOnMap), 1);
  EXPECT_EQ(uf::Short(o, kf::kUnitsInReserve), 1);
  EXPECT_EQ(uf::Short(o, kf::kUnitsCounted), 2);
  EXPECT_EQ(uf::Short(o, kf::kStockOnMap + 6), 3);
  EXPECT_EQ(uf::Short(o, kf::kStockInReserve + 6), 2);
  // Value: tank 3 x 5, stock 1 x 3.7 (the town is a facility).
  EXPECT_NEAR(o.dayLeadValue, 18.7f, 1e-5);
  EXPECT_NEAR(uf::Real(o, kf::kMilitaryWeight), 2.0f * (2.0f + 18.7f) * 2.0f, 1e-4);
  DailyMilitaryUpkeep(*world);
  EXPECT_EQ(uf::Short(o, kf::kUnitsOnMap), 1) << "counted afresh each day";
}

// Training programmes: 1 takes 14 days, 28 and 14 skill points and 7 of
// experience, 0.5 a point a day; 2 is shorter than a day; 3 is for aircraft;
// 4 takes 2 days and 300 points of skill 0.
class Training : public MilitaryUpkeep {
 protected:
  Training() {
    TrainingTable& t = RuleTablesOf(*world).trainingTypes;
    for (int i = 0; i < kTrainingTypeCount; ++i) saved_[i] = std::move(t.entries[i]);
    Set(1, 0.5f, 14.0f, 0xF, 7.0f, {28, 14, 0, 0});
    Set(2, 0.5f, 0.5f, 0xF, 1.0f, {0, 0, 0, 0});
    Set(3, 0.5f, 10.0f, 0x2, 1.0f, {0, 0, 0, 0});
    Set(4, 0.5f, 2.0f, 0xF, 1.0f, {300, 0, 0, 0});
    KeepQuality();
  }
  ~Training() override {
    TrainingTable& t = RuleTablesOf(*world).trainingTypes;
    for (int i = 0; i < kTrainingTypeCount; ++i) t.entries[i] = std::move(saved_[i]);
  }
  void Set(int i, float cost, float days, int32_t kinds, float experience, std::array<float, 4> skills) {
    TrainingRecord& r = RuleTablesOf(*world).trainingTypes.entries[i];
    r = TrainingRecord{};
    r.costPerDay = cost;
    r.durationDays = days;
    r.kindMask = kinds;
    r.experienceGain = experience;
    for (int j = 0; j < 4; ++j) r.skillGains[j] = skills[static_cast<size_t>(j)];
  }

 private:
  TrainingRecord saved_[kTrainingTypeCount];
};

// A unit trained in postures 1 and 2; on its last day a programme teaches
// its own posture in their place and the order's level goes to 0.
TEST_F(Training, ProgrammesStartRunAndEnd) {
  struct Case {
    const char* what;
    uint8_t level, daysLeft;
    float treasury;
    uint8_t skill;
    bool stillTraining;
    uint8_t daysAfter, skillAfter;
    float cost, experience;
    bool graduates;
  };
  const Case cases[] = {
      {"programme 0 ends the order", 0, 0, 100, 0, false, 0, 0, 0, 0, false},
      {"programme 12 ends the order", 12, 0, 100, 0, false, 0, 0, 0, 0, false},
      {"a programme not for its kind ends it", 3, 0, 100, 0, false, 0, 0, 0, 0, false},
      {"a programme shorter than a day ends on its first day", 2, 0, 100, 0, false, 0, 0, 0, 0, false},
      {"the starting day sets the days", 1, 0, 100, 0, true, 14, 0, 0, 0, false},
      {"a training day", 1, 5, 100, 10, true, 4, 12, 2.5f, 7.0f / 14.0f / 100.0f, false},
      {"no money, no training", 1, 5, 0, 10, true, 5, 10, 0, 0, false},
      {"a skill of 200 grows no more", 1, 5, 100, 200, true, 4, 200, 2.5f, 7.0f / 14.0f / 100.0f, false},
      {"a skill stops at 255", 4, 2, 100, 199, true, 1, 255, 2.5f, 1.0f / 2.0f / 100.0f, false},
      {"a level changed to none ends it", 13, 5, 100, 10, false, 5, 10, 0, 0, false},
      {"a level changed to a short one ends it", 2, 5, 100, 10, false, 5, 10, 0, 0, false},
      {"the last day teaches the posture", 4, 1, 100, 0, false, 0, 150, 2.5f, 1.0f / 2.0f / 100.0f, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Owner().treasury = c.treasury;
    UnitRecord& u = Reserve(kOwner, kTank, 1.0f, 4, 4);
    u.strength = 5.0f;
    u.efficiency = u.morale = 0.5f;
    u.unitFlags |= 0x06;
    u.orders[kOrderMask] = u.ordersShown[kOrderMask] = kMaskTraining;
    unitbytes::SetOrderLevel(u.orders, c.level);
    unitbytes::SetOrderLevel(u.ordersShown, c.level);
    u.trainingDays = c.daysLeft;
    u.skills[0] = c.skill;
    DailyMilitaryUpkeep(*world);
    EXPECT_EQ((u.orders[kOrderMask] & kMaskTraining) != 0, c.stillTraining);
    EXPECT_EQ((u.ordersShown[kOrderMask] & kMaskTraining) != 0, c.stillTraining);
    EXPECT_EQ(u.trainingDays, c.daysAfter);
    EXPECT_EQ(u.skills[0], c.skillAfter);
    EXPECT_NEAR(Owner().treasury, c.treasury - c.cost, 1e-4);
    EXPECT_NEAR(uf::Real(Owner(), kf::kTrainingSpent), c.cost, 1e-5);
    EXPECT_NEAR(u.experience, c.experience, 1e-7);
    EXPECT_NEAR(u.efficiency, c.cost > 0 ? 0.495f : 0.45f, 1e-6);
    EXPECT_EQ(u.unitFlags & 0x1E, c.graduates ? 1u << c.level : 0x06u);
    EXPECT_EQ(unitbytes::OrderLevel(u.orders), c.graduates ? 0 : c.level);
    EXPECT_EQ(unitbytes::OrderLevel(u.ordersShown), c.graduates ? 0 : c.level);
    DropUnitTableEntry(u);
  }
}

TEST(StockKind, BySpecialWeaponAndImmunity) {
  EXPECT_EQ(StockKindOf(kClassStock | kClassSpecialWeaponA), 0);
  EXPECT_EQ(StockKindOf(kClassSpecialWeaponB | kClassSpecialImmune), 0);
  EXPECT_EQ(StockKindOf(kClassSpecialImmune), 2);
  EXPECT_EQ(StockKindOf(kClassStock), 3);
}


// Region 3's stock room: the depot made a silo of room 4, stock class 7 a
// stock weapon (type 8).
struct StockRoom : World6 {
  StockRoom() {
    World& w = *world;
    w.gameState.highestPlayer = kOwner;
    w.gameState.currentDay = 700;
    PlayerRecord& r = Owner();
    r.kind = kKindComputer;
    r.treasury = 100.0f;
    uf::SetSupplyStock(r, 100.0f);
    UnitClassRecord& silo = world->unitClasses[kDepot];
    silo.baseKind = 2;
    silo.cargoSlots = 4;
    UnitClassRecord& missile = world->unitClasses[kStockClass];
    missile.typeByte = uf::kTypeEightClass;
    missile.buildWorkPerPoint = 1.0f;
    missile.costPerElement = 0.5f;
    missile.slotSize = 1;
  }
  PlayerRecord& Owner() { return world->players[kOwner]; }
  // A stock weapon of the size, finished in the reserve or on order.
  UnitRecord& Weapon(float size, bool onOrder, float buildWork = 0.0f) {
    UnitRecord& u = Reserve(kOwner, kStockClass, size, 0, 0);
    u.strength = size;
    u.targetStrength = size;
    if (onOrder) {
      u.orders[kPostureBits] = u.ordersShown[kPostureBits] = kPostureInReserve | kPostureUnderConstruction;
      u.buildWork = buildWork;
      AppendUnitPtr(*world, kUnitTableOnOrder, kOwner, kUnitCategoryStock, u);
    }
    return u;
  }
};

TEST(StockRoom, TheLaunchFacilitiesRoomBoundsTheStockWeapons) {
  struct Case {
    const char* what;
    bool silo;
    float siloStrength;
    uint32_t siloPosture;
    uint8_t baseKind;
    float held;
    int ordered;
    int capacity, used, slotLimit;
    bool limitReached;
  };
  const Case cases[] = {
      {"a silo in service", true, 1.0f, 0, 2, 0, 0, 4, 0, 4, false},
      {"a launch site counts alike", true, 1.0f, 0, 3, 0, 0, 4, 0, 4, false},
      {"room by strength", true, 0.5f, 0, 2, 0, 0, 2, 0, 2, false},
      {"a silo off line has none", true, 1.0f, kPostureInReserve, 2, 0, 0, 0, 0, 0, true},
      {"a silo being built has none", true, 1.0f, kPostureUnderConstruction, 2, 0, 0, 0, 0, 0, true},
      {"a plain depot has none", true, 1.0f, 0, 0, 0, 0, 0, 0, 0, true},
      {"no silo", false, 1.0f, 0, 2, 0, 0, 0, 0, 0, true},
      {"held weapons take room, orders count as used", true, 1.0f, 0, 2, 3.0f, 2, 4, 5, 1, false},
      {"full", true, 1.0f, 0, 2, 4.0f, 1, 4, 5, 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto w = std::make_unique<StockRoom>();
    w->world->unitClasses[kDepot].baseKind = c.baseKind;
    if (c.silo) {
      UnitRecord& silo = w->Place(kOwner, kDepot, 1.0f, 3, 3);
      silo.strength = c.siloStrength;
      silo.orders[kPostureBits] = c.siloPosture;
    }
    if (c.held > 0.0f) w->Weapon(c.held, false);
    // Orders of no build work left to do would finish today: these wait.
    for (int i = 0; i < c.ordered; ++i) w->Weapon(1.0f, true, 50.0f);
    DailyMilitaryUpkeep(*w->world);
    const PlayerRecord& o = w->Owner();
    EXPECT_EQ(kf::Word(o, kf::kStockCapacity), c.capacity);
    EXPECT_EQ(kf::Word(o, kf::kStockUsed), c.used);
    EXPECT_EQ(uf::Real(o, kf::kSlotLimit), static_cast<float>(c.slotLimit));
    EXPECT_EQ((kf::Byte(o, kf::kSlotPause) & 1u) != 0, c.limitReached);
  }
}

TEST(StockRoom, AWeaponOnOrderGetsASlotAndIsFinished) {
  StockRoom w;
  UnitRecord& silo = w.Place(kOwner, kDepot, 1.0f, 3, 3);
  silo.strength = 1.0f;
  // D = 1 x 1.0 x 1 + 1 = 2: two days of one point each.
  UnitRecord& u = w.Weapon(1.0f, true, 2.0f);
  const float treasury = w.Owner().treasury;
  DailyMilitaryUpkeep(*w.world);
  EXPECT_EQ(uf::Short(w.Owner(), uf::kTypeEightCount), 1) << "it holds a slot";
  EXPECT_NEAR(u.buildWork, 1.0f, 1e-5);
  EXPECT_LT(w.Owner().treasury, treasury) << "the treasury pays the day's build";
  DailyMilitaryUpkeep(*w.world);
  EXPECT_FALSE(u.orders[kPostureBits] & kPostureUnderConstruction) << "finished";
  EXPECT_EQ(u.buildWork, 0.0f);
  EXPECT_EQ(uf::Short(w.Owner(), uf::kTypeEightCount), 0) << "the slot is given back";
  DailyMilitaryUpkeep(*w.world);
  EXPECT_EQ(kf::Word(w.Owner(), kf::kStockUsed), 1) << "held now";
}

}  // namespace
