#include <gtest/gtest.h>

#include "records/unit_flags.h"
#include "units/combat/fire_test_world.h"
#include "world/unit_class.h"
#include "units/step/unit_step_phases.h"

namespace {

using fire_test::FireWorld;
using fire_test::kGun;

// The gun (ammunition 0 a point, no cargo) with a weapon reach: it recovers
// while reloading, and while it has nothing to fire with; the countdown
// (byte 53) holds it back. Disruption eases by (0.8 + 0 + 0.8) / 150.
TEST(StepRecoveryTest, ReloadingAndEasingOfDisruption) {
  struct Row {
    const char* name;
    float ammoCapacity;
    float reach;
    uint8_t reload;
    uint8_t countdown;
    float disruption;
    uint8_t reloadAfter;
    float disruptionAfter;
    bool reactedAfter;  // the reaction bit stays
  } rows[] = {
      {"reloading", 1.0f, 35.0f, 3, 0, 0.5f, 2, 0.5f - 1.6f / 150.0f, true},
      {"ready to fire: no recovery", 1.0f, 35.0f, 0, 0, 0.5f, 0, 0.5f, true},
      {"no ammunition and no cargo", 0.0f, 35.0f, 0, 0, 0.005f, 0, 0.0f, true},
      {"no reach", 1.0f, 0.0f, 0, 0, 0.0f, 0, 0.0f, false},
      {"held by the countdown", 1.0f, 35.0f, 3, 4, 0.5f, 3, 0.5f, true},
  };
  for (const Row& row : rows) {
    FireWorld fw;
    fw.world->unitClasses[kGun].ammoCapacity = row.ammoCapacity;
    UnitRecord& gun = fw.Unit(1, kGun, 10.0f, 2, 2);
    gun.reloadTime = row.reload;
    gun.countdowns[1] = row.countdown;
    gun.disruption = row.disruption;
    gun.unitFlags |= kUnitMovesWhileTurning;
    UnitStepState s;
    s.cls = UnitClassOf(*fw.world, gun);
    s.weaponReach = row.reach;
    StepRecovery(gun, s);
    EXPECT_EQ(gun.reloadTime, row.reloadAfter) << row.name;
    EXPECT_FLOAT_EQ(gun.disruption, row.disruptionAfter) << row.name;
    EXPECT_EQ((gun.unitFlags & kUnitMovesWhileTurning) != 0, row.reactedAfter) << row.name;
  }
}

// Disruption eases by (morale + experience + efficiency) / 150 a step, not
// below 0.
TEST(StepRecoveryTest, DisruptionEasesToZeroAtMost) {
  struct Row {
    float disruption;
    float after;
  } rows[] = {{0.05f, 0.04f}, {0.001f, 0.0f}};
  for (const Row& row : rows) {
    FireWorld fw;
    fw.world->unitClasses[kGun].ammoCapacity = 0.0f;  // nothing to fire with: always recovers
    UnitRecord& gun = fw.Unit(1, kGun, 10.0f, 2, 2);
    gun.morale = 0.8f;
    gun.experience = 0.0f;
    gun.efficiency = 0.7f;
    gun.disruption = row.disruption;
    UnitStepState s;
    s.cls = UnitClassOf(*fw.world, gun);
    StepRecovery(gun, s);
    EXPECT_NEAR(gun.disruption, row.after, 1e-7f) << row.disruption;
    EXPECT_GE(gun.disruption, 0.0f);
  }
}

}  // namespace
