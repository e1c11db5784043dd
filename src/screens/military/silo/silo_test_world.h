#pragma once
// A small world for the silo's tests: a 6 x 6 map of the local region whose
// hex (2, 2) holds the region's silo with three stock missiles aboard,
// chained in id order. Each test sets the classes' figures it needs.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/player_record.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "screens/military/silo/silo_panels.h"
#include "support/global_guard.h"
#include "ui/list_control.h"
#include "world/id_lookups.h"
#include "world/unit_ring.h"
#include "world/world.h"

namespace silotest {

inline constexpr int kSide = 6;
inline constexpr int kLocal = 3;
inline constexpr int16_t kSiloClass = 4011;
inline constexpr int16_t kMissileClass = 42;
inline constexpr uint32_t kSiloId = 0x03000001;
inline constexpr uint32_t kMissileIds[3] = {0x03000002, 0x03000003, 0x03000004};
inline constexpr uint32_t kSiloCell = 2 * kSide + 2;

class SiloWorldTest : public ::testing::Test {
 protected:
  // The map, the (blank) classes, the local player and the silo with its
  // missiles, of the strengths given.
  void PlaceSilo(float siloStrength, const float (&missileStrengths)[3]) {
    World& w = g_world;
    w.mapWidth = w.mapHeight = kSide;
    w.cells.assign(kSide * kSide, HexCell{nullptr, WithCellOwner(0, kLocal)});
    w.unitClasses.assign(4100, UnitClassRecord{});
    w.gameState.localPlayer = kLocal;
    w.gameState.currentHex = HexPosition{2, 2, kSiloCell, 0};
    w.players[kLocal] = PlayerRecord{};
    w.units = nullptr;
    Unit(silo_, kSiloId, kSiloClass, siloStrength, 0, kMissileIds[0]);
    for (int i = 0; i < 3; ++i) {
      Unit(missiles_[i], kMissileIds[i], kMissileClass, missileStrengths[i], kSiloId, i < 2 ? kMissileIds[i + 1] : 0);
      missiles_[i].unitFlags = kUnitStock;
    }
    siloStack_.lead = &silo_;
    w.cells[kSiloCell].stack = &siloStack_;
    InsertUnitInRing(w, silo_);
    for (UnitRecord& m : missiles_) InsertUnitInRing(w, m);
  }
  void TearDown() override {
    ListHolderClear(SiloMissileList());
    for (HexCell& c : g_world.cells) c.stack = nullptr;
    g_world.units = nullptr;
    ReindexUnits(g_world);
  }
  static size_t Cell(int x, int y) { return static_cast<size_t>(y * kSide + x); }
  static void Unit(UnitRecord& u, uint32_t id, int16_t cls, float strength, uint32_t carrier, uint32_t next) {
    u.id = id;
    u.owner = kLocal;
    u.classIndex = cls;
    u.strength = strength;
    u.carrier = carrier;
    u.cargoNext = next;
  }

  GlobalGuard<std::vector<HexCell>> cells_{g_world.cells};
  GlobalGuard<std::vector<UnitClassRecord>> classes_{g_world.unitClasses};
  GlobalGuard<int32_t> width_{g_world.mapWidth};
  GlobalGuard<int32_t> height_{g_world.mapHeight};
  GlobalGuard<GameState> state_{g_world.gameState};
  GlobalGuard<PlayerRecord> local_{g_world.players[kLocal]};
  GlobalGuard<UnitRecord*> units_{g_world.units};
  UnitRecord silo_{};
  UnitRecord missiles_[3]{};
  HexUnitStack siloStack_;
};

}  // namespace silotest
