// The cover a hex gives: its ground, raised by the facility standing there
// only while that facility is open and on duty.
#include <gtest/gtest.h>

#include <vector>

#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/order_words.h"
#include "records/unit_record.h"
#include "screens/common/terrain_defence.h"
#include "support/global_guard.h"
#include "world/terrain_flags.h"
#include "world/world.h"

namespace {

TEST(TerrainDefence, GroundRaisedByAVisibleFacility) {
  const GlobalGuard<std::vector<TerrainRecord>> terrains(g_world.terrains);
  const GlobalGuard<std::vector<UnitClassRecord>> classes(g_world.unitClasses);
  const GlobalGuard<GameState> state(g_world.gameState);
  g_world.terrains.assign(2, TerrainRecord{});
  g_world.unitClasses.assign(3, UnitClassRecord{});
  g_world.unitClasses[2].defenceValues[0] = 90;  // not the cover byte
  g_world.gameState.localPlayer = 1;
  UnitRecord lead{};
  HexUnitStack stack{.lead = &lead};
  HexCell cell{};
  cell.word = WithCellOwner(1u << 24, 1);  // terrain 1, the local player's

  // The larger of the ground and the facility's fourth defence byte, in
  // tenths, under 0.3 plain (1.0). A facility hidden (even on one's own
  // hex), in reserve or gone lends nothing.
  struct Row { uint8_t ground, cover; int32_t classIndex; uint32_t flags, posture; float want; };
  const Row rows[] = {
      {2, 0, 0, 0, 0, 1.0f}, {20, 0, 0, 0, 0, 2.0f}, {20, 35, 2, 0, 0, 3.5f}, {35, 20, 2, 0, 0, 3.5f},
      {20, 35, 2, kUnitProvisional, 0, 2.0f}, {20, 35, 2, 0, kPostureInReserve, 2.0f},
      {20, 35, 2, kUnitGone, 0, 2.0f}, {1, 2, 2, 0, 0, 1.0f},
  };
  for (const Row& r : rows) {
    g_world.terrains[1].bytes[kTerrainGroundDefenceAt] = r.ground;
    g_world.unitClasses[2].defenceValues[3] = r.cover;
    lead.classIndex = r.classIndex, lead.unitFlags = r.flags, lead.orders[kPostureBits] = r.posture;
    cell.stack = &stack;
    EXPECT_FLOAT_EQ(TerrainDefenceFactor(g_world, cell), r.want) << int{r.ground} << " " << int{r.cover};
    cell.stack = nullptr;
    EXPECT_FLOAT_EQ(TerrainDefenceFactor(g_world, cell), DefenceFactor(r.ground)) << int{r.ground};
  }
}

}  // namespace
