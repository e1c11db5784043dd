#include "screens/common/units/unit_tab_figures.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "records/unit_record.h"
#include "support/global_guard.h"
#include "support/unit_ring.h"
#include "world/unit_class.h"
#include "world/world.h"

namespace {

// A carrier (id 1) and three units of class 1 it may carry (ids 2 to 4);
// each row sets the chain by id and spoils one link or unit.
struct AboardCase {
  const char* what;
  uint32_t cargoNext[5];  // by id; [1] is the carrier's first cargo
  uint32_t carriersCarrier = 0;
  uint32_t noStrength = 0;  // a unit at strength 0
  uint32_t noClass = 0;     // a unit whose class is off the table
  std::vector<uint32_t> listed;
};

TEST(UnitsAboard, WalksTheCargoChainAndKeepsTheUnitsThatCount) {
  GlobalGuard<std::vector<UnitClassRecord>> classes(g_world.unitClasses);
  g_world.unitClasses.assign(2, UnitClassRecord{});
  testsupport::UnitRing ring;
  for (uint32_t id = 1; id <= 4; ++id) ring.Add(id, 0, 1).strength = 1.0f;
  const AboardCase cases[] = {
      {"the chain's order", {0, 3, 4, 2, 0}, 0, 0, 0, {3, 2, 4}},
      {"a unit at no strength is passed over", {0, 3, 4, 2, 0}, 0, 2, 0, {3, 4}},
      {"a unit of no class is passed over", {0, 3, 4, 2, 0}, 0, 0, 2, {3, 4}},
      {"a missing unit ends the walk", {0, 3, 0, 9, 0}, 0, 0, 0, {3}},
      {"nothing counts aboard a carrier that is itself aboard", {0, 3, 4, 2, 0}, 4, 0, 0, {}},
      {"an empty carrier", {0, 0, 0, 0, 0}, 0, 0, 0, {}},
  };
  for (const AboardCase& c : cases) {
    for (size_t i = 0; i < 4; ++i) {
      UnitRecord& u = ring[i];
      u.cargoNext = c.cargoNext[u.id];
      u.strength = u.id == c.noStrength ? 0.0f : 1.0f;
      u.classIndex = static_cast<int16_t>(u.id == c.noClass ? 7 : 1);
      u.carrier = u.id == 1 ? c.carriersCarrier : 0;
    }
    std::vector<uint32_t> listed;
    for (const UnitRecord* u : UnitsAboard(g_world, ring[0])) listed.push_back(u->id);
    EXPECT_EQ(listed, c.listed) << c.what;
  }
}

TEST(UnitsAboard, ALoopingChainStopsAtTheLimit) {
  GlobalGuard<std::vector<UnitClassRecord>> classes(g_world.unitClasses);
  g_world.unitClasses.assign(2, UnitClassRecord{});
  testsupport::UnitRing ring;
  UnitRecord& carrier = ring.Add(1, 0, 1);
  UnitRecord& a = ring.Add(2, 0, 1);
  UnitRecord& b = ring.Add(3, 0, 1);
  carrier.strength = a.strength = b.strength = 1.0f;
  carrier.cargoNext = 2, a.cargoNext = 3, b.cargoNext = 2;
  const std::vector<const UnitRecord*> aboard = UnitsAboard(g_world, carrier);
  ASSERT_EQ(aboard.size(), static_cast<size_t>(kCargoChainLimit));
  EXPECT_EQ(aboard[0], &a);
  EXPECT_EQ(aboard[1], &b);
  EXPECT_EQ(aboard.back(), &b);
}

}  // namespace
