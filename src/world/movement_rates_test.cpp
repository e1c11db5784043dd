#include "world/movement_rates.h"

#include <gtest/gtest.h>

#include <memory>

#include "records/unit_record.h"
#include "records/le_bytes.h"
#include "world/world.h"

namespace {

class MovementRates : public ::testing::Test {
 protected:
  void SetUp() override {
    world_ = std::make_unique<World>();
    World& w = *world_;
    w.unitClasses.assign(4, UnitClassRecord{});
    w.mapHeader.hexScale = 1;
    w.mapHeader.scale = 1.5f;
    w.mapWidth = 40;
    w.mapHeight = 25;
    w.techEffects[3][13] = 2.0f;
    unit_.classIndex = 1;
    unit_.owner = 3;
    unit_.strength = 10.0f;
    unit_.supply = 2.0f;
    unit_.fuel = 4.0f;
  }

  UnitClassRecord& Class(int i) { return world_->unitClasses[static_cast<size_t>(i)]; }
  static void SetSpeed(UnitClassRecord& c, int16_t speed) { c.speed = speed; }

  std::unique_ptr<World> world_;
  UnitRecord unit_{};
};

TEST_F(MovementRates, UnitFieldsSitAtTheirBytes) {
  auto* u = reinterpret_cast<uint8_t*>(static_cast<UnitImage*>(&unit_));
  le::StoreF32(u + 124, 1.25f);
  le::StoreF32(u + 140, 2.5f);
  le::StoreF32(u + 340, 0.75f);
  u[156 + 42] = 80;
  EXPECT_EQ(unit_.speedFactor, 1.25f);
  EXPECT_EQ(unit_.moveRate, 2.5f);
  EXPECT_EQ(unit_.rateRatio, 0.75f);
  EXPECT_EQ(OrderSpeedPercent(unit_.orders), 80);
}

// Speed 120 on a map of one distance unit per hex: v = 1440, h = 1440 / 1 /
// 1440 x 22 = 22 hexes a day's fraction.
TEST_F(MovementRates, LandUnitAtHalfSpeed) {
  SetSpeed(Class(1), 120);
  Class(1).fuelUse = 0.5f;
  SetOrderSpeedPercent(unit_.orders, 50);
  RecomputeMovementRates(*world_, unit_);
  EXPECT_EQ(unit_.moveRate, 22.0f * 1.5f * 0.5f);
  EXPECT_EQ(unit_.rateRatio, 0.75f);
  EXPECT_EQ(unit_.speedFactor, 1.0f);  // raised to 1.0
  // load 2 x 8 + 4 = 20, d = 10, r = 0.5 x technology factor 2 = 1:
  // 120 x 20 / 10 / 1 + 0.9 = 240.9.
  EXPECT_EQ(unit_.rangeLeft, 240);
}

TEST_F(MovementRates, NoPercentageMeansFullSpeed) {
  SetSpeed(Class(1), 120);
  RecomputeMovementRates(*world_, unit_);
  EXPECT_EQ(OrderSpeedPercent(unit_.orders), 100);
  EXPECT_EQ(unit_.moveRate, 33.0f);
  EXPECT_EQ(unit_.rateRatio, 1.5f);
  EXPECT_EQ(unit_.rangeLeft, 40);  // no consumption: the larger of width and height
}

TEST_F(MovementRates, SpeedBonusRaisesTheFactorAndShortensTheRange) {
  SetSpeed(Class(1), 120);
  Class(1).fuelUse = 0.5f;
  SetOrderSpeedPercent(unit_.orders, 200);
  unit_.unitFlags = kUnitSpeedBonus;
  RecomputeMovementRates(*world_, unit_);
  EXPECT_EQ(unit_.moveRate, 66.0f);
  EXPECT_EQ(unit_.speedFactor, 3.0f);
  EXPECT_EQ(unit_.rangeLeft, 80);  // 240 / 3 + 0.9
}

TEST_F(MovementRates, AirAndCarrierAircraftAboveTheSpeedKnee) {
  // Speed 4000: v = 48000, k = sqrt(12000 / 48000) = 0.5, h = 48000 / 1440 x 22.
  UnitClassRecord& air = Class(1);
  SetSpeed(air, 4000);
  air.kind = 1;
  RecomputeMovementRates(*world_, unit_);
  const float h = 48000.0f / 1440.0f * 22.0f;
  EXPECT_NEAR(unit_.moveRate, 733.3333f / 2.0f * 0.5f * 1.5f, 1e-3f);
  EXPECT_NEAR(unit_.rateRatio, 0.375f, 1e-6f);
  EXPECT_NEAR(h, 733.3333f, 1e-3f);

  air.movementType = 7;  // carrier-borne: a quarter, and at most half speed with the bonus
  unit_.unitFlags = kUnitSpeedBonus;
  SetOrderSpeedPercent(unit_.orders, 80);
  RecomputeMovementRates(*world_, unit_);
  EXPECT_NEAR(unit_.moveRate, 733.3333f / 4.0f * 0.5f * 1.5f * 0.5f, 1e-3f);
  EXPECT_EQ(unit_.speedFactor, 1.5f);
}

TEST_F(MovementRates, ImmobileClassKeepsItsRange) {
  unit_.moveRate = 4.0f;
  unit_.speedFactor = 2.0f;
  unit_.rangeLeft = 77;
  RecomputeMovementRates(*world_, unit_);
  EXPECT_EQ(unit_.moveRate, 0.0f);
  EXPECT_EQ(unit_.speedFactor, 0.0f);
  EXPECT_EQ(unit_.rangeLeft, 77);
  EXPECT_EQ(OrderSpeedPercent(unit_.orders), 0);
}

TEST_F(MovementRates, NoStrengthNoRange) {
  SetSpeed(Class(1), 120);
  unit_.strength = 0.0f;
  unit_.rangeLeft = 9;
  RecomputeMovementRates(*world_, unit_);
  EXPECT_EQ(unit_.rangeLeft, 0);
}

TEST_F(MovementRates, StockUnitsCarryTheirClassLoadEasedByTheBoost) {
  UnitClassRecord& c = Class(2);
  SetSpeed(c, 120);
  c.flags = kClassStock;
  c.fuelUse = 2.0f;
  c.fuelCapacity = 30.0f;
  c.stockRange = 500.0f;
  le::StoreF32(reinterpret_cast<uint8_t*>(&world_->gameState) + 392, 3.0f);
  unit_.classIndex = 2;
  unit_.unitFlags = kUnitStock | kUnitSpeedBonus;  // no bonus factor for a stock class
  unit_.strength = 0.0f;
  RecomputeMovementRates(*world_, unit_);
  EXPECT_EQ(unit_.speedFactor, 1.0f);
  // r = 2 / (3 - 2 x 500 / 1000) = 1; 120 x 30 / 1 + 0.9.
  EXPECT_EQ(unit_.rangeLeft, 3600);
  world_->scenario.head.gameFlags = 0x20;  // no easing
  RecomputeMovementRates(*world_, unit_);
  EXPECT_EQ(unit_.rangeLeft, 1800);
}

TEST_F(MovementRates, ConsumptionBroughtToNothingCostsNothing) {
  SetSpeed(Class(1), 120);
  Class(1).fuelUse = 0.5f;
  world_->techEffects[3][13] = 0.0f;
  RecomputeMovementRates(*world_, unit_);
  EXPECT_EQ(unit_.rangeLeft, 40);
}

TEST_F(MovementRates, MapWithoutHexSizeDoesNotDivideByZero) {
  SetSpeed(Class(1), 120);
  world_->mapHeader.hexScale = 0;
  RecomputeMovementRates(*world_, unit_);
  EXPECT_EQ(unit_.moveRate, 33.0f);
}

}  // namespace

namespace {

// The orders' speed setting rules a movement order: (field 0 + 1) x 50 per
// cent, whatever byte 42 held. Speed 1000 on a map of hex size 20 and scale
// 1: v = 12000 (k = 1), h = 12000 / 20 / 1440 x 22 = 9.1667; a land unit
// moves h x f, an air unit h / 2 x f. Range with strength 10, supply 1,
// fuel 20, consumption 0.5 and technology factor 1: 1000 / 20 x (28 / 5) /
// 1 + 0.9 = 280.9, so 280.
TEST(MovementRatesOrdered, TheSpeedSettingGivesThePercentage) {
  struct Row {
    uint32_t field0;
    uint8_t kind;
    uint8_t storedBefore;
    uint8_t percent;
    float rate;
    float ratio;
    int32_t range;
  };
  const float h = 12000.0f / 20.0f / 1440.0f * 22.0f;
  const Row rows[] = {
      {1, 0, 0, 100, h, 1.0f, 280},
      {1, 0, 35, 100, h, 1.0f, 280},      // a circling percentage is replaced
      {1, 1, 0, 100, h / 2.0f, 0.5f, 280},
      {0, 0, 0, 50, h * 0.5f, 0.5f, 280},  // factor raised to 1.0: the same range
      {3, 0, 0, 200, h * 2.0f, 2.0f, 140}, // 1000 / 20 x 5.6 / 2 + 0.9 = 140.9
  };
  for (const Row& r : rows) {
    auto world = std::make_unique<World>();
    World& w = *world;
    w.unitClasses.assign(2, UnitClassRecord{});
    w.unitClasses[1].speed = 1000;
    w.unitClasses[1].kind = r.kind;
    w.unitClasses[1].fuelUse = 0.5f;
    w.mapHeader.hexScale = 20;
    w.mapHeader.scale = 1.0f;
    w.mapWidth = w.mapHeight = 10;
    w.techEffects[2][13] = 1.0f;
    UnitRecord u{};
    u.classIndex = 1;
    u.owner = 2;
    u.strength = 10.0f;
    u.supply = 1.0f;
    u.fuel = 20.0f;
    u.orders[kOrdersWord] = r.field0;
    SetOrderSpeedPercent(u.orders, r.storedBefore);
    RecomputeMovementRates(w, u, SpeedSource::kOrderedSetting);
    EXPECT_EQ(OrderSpeedPercent(u.orders), r.percent) << r.field0;
    EXPECT_NEAR(u.moveRate, r.rate, 1e-4) << r.field0 << " kind " << int{r.kind};
    EXPECT_NEAR(u.rateRatio, r.ratio, 1e-5);
    EXPECT_EQ(u.rangeLeft, r.range) << r.field0;
  }
}

}  // namespace
