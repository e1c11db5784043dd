// Two regions at war on a small wrapping map: three days on the real turn
// thread give the same day lines and the same unit bytes on every run, and
// those of the golden file. A change to the combat rules shows up here as a
// changed golden file, to be looked at and written again on purpose
// (VD_WRITE_GOLDEN=1).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "records/hex_cell.h"
#include "records/le_bytes.h"
#include "records/unit_record.h"
#include "sim/game_session_test_support.h"
#include "sim/game_stop.h"
#include "sim/log_on.h"
#include "sim/sync_entries.h"
#include "world/combat_counters.h"
#include "units/hex_geometry.h"
#include "world/hex_stack_chains.h"
#include "world/unit_create.h"
#include "world/hex_extra.h"
#include "world/terrain_flags.h"

namespace {

constexpr int kWidth = 16;
constexpr int kHeight = 10;
constexpr int kInfantry = 10;
constexpr int kHelicopter = 11;
constexpr int kBoat = 12;
constexpr int kLandMove = 0, kSeaMove = 5, kLowFlight = 6;
constexpr size_t kWrapByte = 67;  // the map header's east-west wrap

class CombatGoldenTest : public GameSessionTest {
 protected:

  static void MakeClass(int index, const char* name, uint8_t kind, uint8_t movementType, uint8_t attack) {
    UnitClassRecord& c = g_world.unitClasses[static_cast<size_t>(index)];
    std::snprintf(c.name, sizeof c.name, "%s", name);
    c.kind = kind;
    c.strengthPerSize = 10;
    c.valuePerPoint = 1;
    c.ammoPerShot = 0.01f;
    c.ammoCapacity = 2.0f;
    c.movementType = movementType;
    for (int type = 0; type < 6; ++type) c.attackValues[type] = attack;
    c.reloadFactor = 5;  // search rate: every third step
    for (uint8_t& d : c.defenceValues) d = 8;
    for (float& r : c.weaponRanges) r = 30.0f;
  }

  // Columns 0-7 region 1, 8-15 region 2, at war; row 9 is water. Land
  // units face each other across the border columns and across the seam,
  // helicopters behind them, boats on the water.
  void BuildWarWorld() {
    BuildWorld(kWidth, kHeight, 2, true);
    World& w = g_world;
    reinterpret_cast<uint8_t*>(&w.mapHeader)[kWrapByte] = 1;
    w.mapHeader.hexScale = 10;
    for (size_t i = 0; i < w.cells.size(); ++i) {
      const int x = static_cast<int>(i % kWidth), y = static_cast<int>(i / kWidth);
      w.cells[i].word = WithCellTerrain(WithCellOwner(0, x < 8 ? 1 : 2), y == kHeight - 1 ? 2 : 1);
    }
    GiveRegionsLand(2, false);
    w.terrains[1].bytes[120 + kLandMove] = 1;
    w.terrains[1].bytes[120 + kLowFlight] = 1;
    w.terrains[2].bytes[120 + kSeaMove] = 1;
    w.terrains[2].bytes[120 + kLowFlight] = 1;
    le::Store32(w.terrains[2].bytes + 136, kTerrainWater);
    w.players[1].simPolicy.hostileMask = 1u << 2;
    w.players[2].simPolicy.hostileMask = 1u << 1;
    w.players[1].displayPolicy.hostileMask = 1u << 2;
    w.players[2].displayPolicy.hostileMask = 1u << 1;
    // Both regions can hold out: their units fight rather than give
    // themselves up.
    for (const int p : {1, 2}) w.players[p].approval = w.players[p].secondRating = 0.5f;
    MakeClass(kInfantry, "Infantry", 0, kLandMove, 10);
    MakeClass(kHelicopter, "Helicopter", 1, kLowFlight, 12);
    MakeClass(kBoat, "Boat", 2, kSeaMove, 9);
    uint32_t serial = 0x100;
    auto place = [&](int owner, int cls, int x, int y) {
      UnitRecord* u = CreateUnit(w, w.players[owner], (static_cast<uint32_t>(owner) << 24) | ++serial, cls, 1.0f,
                                 MakeHexPos(x, y), 0, 0);
      ASSERT_NE(u, nullptr);
      u->unitFlags &= ~kUnitProvisional;
      u->orders[kPostureBits] = 0;
      u->ordersShown[kPostureBits] = 0;
      u->buildWork = 0.0f;
      u->morale = u->efficiency = 0.8f;
      u->ammo = w.unitClasses[static_cast<size_t>(cls)].ammoCapacity * u->strength;
      HexCell& cell = w.cells[static_cast<size_t>(y * kWidth + x)];
      HexStackInsertById(w, cell, *u);
      HexStackInsertOrdered(w, cell, *u);
    };
    for (int y = 2; y <= 8; ++y) {
      place(1, kInfantry, 7, y);   // the border
      place(2, kInfantry, 8, y);
      place(1, kInfantry, 0, y);   // the seam: column 0 meets column 15
      place(2, kInfantry, 15, y);
    }
    for (int y = 3; y <= 7; y += 2) {
      place(1, kHelicopter, 6, y);
      place(2, kHelicopter, 9, y);
    }
    for (const int x : {6, 7}) place(1, kBoat, x, kHeight - 1);
    for (const int x : {8, 9}) place(2, kBoat, x, kHeight - 1);
  }

  static uint32_t Sum(int type) {
    std::vector<uint8_t> bytes;
    const size_t n = BuildSyncEntry(g_world, type, bytes);
    return ByteSum(bytes.data(), n);
  }

  // The day lines and every unit's bytes 12 to 147, as text.
  std::string Run(int* shots, int* destroyed) {
    BuildWarWorld();
    EXPECT_GE(LogOn(nullptr, 0, 0), 0);
    g_uiOptions.autosaveturns = 0;
    TakeCombatDayCounts(g_world);
    std::ostringstream out;
    std::vector<uint32_t> start;
    for (int day = 1; day <= 3; ++day) {
      start.clear();
      for (UnitRecord* u = g_world.units; u; u = u->next == g_world.units ? nullptr : u->next)
        start.push_back(MakeHexPos(u->x, u->y));
      RunDaysOnTurnThread(1);
      int moved = 0;
      size_t i = 0;
      for (UnitRecord* u = g_world.units; u; u = u->next == g_world.units ? nullptr : u->next, ++i)
        moved += i < start.size() && IsUnitLive(*u) && MakeHexPos(u->x, u->y) != start[i] ? 1 : 0;
      const CombatDayCounts combat = TakeCombatDayCounts(g_world);
      *shots += static_cast<int>(combat.shotsResolved);
      *destroyed += static_cast<int>(combat.unitsDestroyed);
      char line[160];
      std::snprintf(line, sizeof line, "day %d moved %d fired %u destroyed %u sync %08x %08x %08x %08x\n", day, moved,
                    combat.shotsResolved, combat.unitsDestroyed, Sum(kSyncCells), Sum(kSyncUnits), Sum(kSyncPlayers),
                    Sum(kSyncSpotting));
      out << line;
    }
    for (UnitRecord* u = g_world.units; u; u = u->next == g_world.units ? nullptr : u->next) {
      const auto* b = reinterpret_cast<const uint8_t*>(static_cast<const UnitImage*>(u));
      char hex[4];
      out << "unit";
      for (size_t at = 12; at < 148; ++at) {
        std::snprintf(hex, sizeof hex, "%02x", b[at]);
        out << hex;
      }
      out << "\n";
    }
    StopGameSession(nullptr);
    return out.str();
  }
};

TEST_F(CombatGoldenTest, ThreeDaysOfWarAreTheSameOnEveryRunAndMatchTheGoldenFile) {
  int shots = 0, destroyed = 0;
  const std::string first = Run(&shots, &destroyed);
  int shots2 = 0, destroyed2 = 0;
  const std::string second = Run(&shots2, &destroyed2);
  EXPECT_EQ(first, second);
  EXPECT_GE(shots, 1);
  EXPECT_GE(destroyed, 1);
  const std::string path = std::string(VD_TESTS_DIR) + "/golden/combat_three_days.txt";
  if (std::getenv("VD_WRITE_GOLDEN")) {
    std::ofstream(path, std::ios::binary) << first;
    return;
  }
  std::ifstream in(path, std::ios::binary);
  ASSERT_TRUE(in) << path;
  std::stringstream golden;
  golden << in.rdbuf();
  EXPECT_EQ(first, golden.str());
}

}  // namespace
