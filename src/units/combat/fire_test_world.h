#pragma once
// The small world of the combat tests: the 6 x 6 land map of the hand-over
// tests with a gun class that fires at every kind, regions 1 and 2 at war
// and region 3 related to 1.
#include <cstring>

#include "units/handover_test_world.h"
#include "units/hex_geometry.h"
#include "world/unit_class.h"
#include "units/step/unit_step_phases.h"

namespace fire_test {

inline constexpr int kGun = 12;      // land; attack and defence 10 everywhere, range 35 at every kind
inline constexpr int kBoat = 13;     // sea, otherwise as the gun
inline constexpr int kDiver = 14;    // submarine, otherwise as the gun
inline constexpr int kFlyer = 15;    // air, otherwise as the gun
inline constexpr int kSingle = 16;   // land, nominal strength 1
inline constexpr int kOutpost = 17;  // facility, nominal strength 1

inline void SetRanges(UnitClassRecord& c, float land, float air, float sea, float sub) {
  c.weaponRanges[0] = land;
  c.weaponRanges[1] = air;
  c.weaponRanges[2] = sea;
  c.weaponRanges[3] = sub;
}

class FireWorld : public handover_test::World6 {
 public:
  FireWorld() {
    World& w = *world;
    w.mapHeader.hexScale = 10;
    w.scenario.head.gameFlags = 1u << 3;  // no short-range boost unless a test asks for it
    w.unitClasses.resize(18);
    auto make = [&](int index, const char* name, uint8_t kind, int16_t nominal) -> UnitClassRecord& {
      UnitClassRecord& c = w.unitClasses[static_cast<size_t>(index)];
      std::strcpy(c.name, name);
      c.kind = kind;
      c.strengthPerSize = nominal;
      c.valuePerPoint = 1;
      for (int type = 0; type < 6; ++type) c.attackValues[type] = 10;
      c.coveredAttack = 10;
      for (uint8_t& d : c.defenceValues) d = 10;
      SetRanges(c, 35.0f, 35.0f, 35.0f, 35.0f);
      return c;
    };
    make(kGun, "Gun", 0, 10);
    make(kBoat, "Boat", 2, 10);
    make(kDiver, "Diver", 3, 10);
    make(kFlyer, "Flyer", 1, 10);
    make(kSingle, "Single", 0, 1);
    make(kOutpost, "Outpost", 0, 1).flags = kClassFacility;
    w.players[1].simPolicy.hostileMask = 1u << 2;
    w.players[2].simPolicy.hostileMask = 1u << 1;
    w.players[1].simPolicy.friendlyMask = 1u << 3;
    w.players[3].simPolicy.friendlyMask = 1u << 1;
  }

  // A ready unit with the exchange's standard figures.
  UnitRecord& Unit(int owner, int cls, float strength, int x, int y) {
    UnitRecord& u = Place(owner, cls, 1.0f, x, y);
    u.strength = strength;
    u.morale = u.efficiency = 0.8f;
    u.training = 0.2f;
    u.experience = 0.0f;
    u.disruption = 0.0f;
    return u;
  }

  // The facts the step's entry works out that a phase tested alone reads:
  // the class, the cell, its level and the class's movement type.
  UnitStepState PhaseState(UnitRecord& u, int level = -1) {
    UnitStepState s;
    s.cls = UnitClassOf(*world, u);
    s.cell = &Cell(u.x, u.y);
    s.level = level;
    s.movementType = s.cls->movementType;
    return s;
  }
};

}  // namespace fire_test
