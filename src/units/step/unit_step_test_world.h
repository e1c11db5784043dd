#pragma once
// Test support for the unit step: the 6 x 6 hand-built world with every hex
// owned by region 3, a tank class that moves, and the interface calls
// captured while a test runs.
#include <vector>

#include "records/le_bytes.h"
#include "units/unit_player_fields.h"
#include "sim/sim_ui_link.h"
#include "units/handover_test_world.h"
#include "units/paths/move_cost.h"
#include "world/unit_class.h"
#include "units/step/unit_step_phases.h"

namespace step_test {

using namespace handover_test;

inline constexpr int kOwner = 3;
inline constexpr int kWall = 3;  // a terrain no movement type enters

struct Effect {
  uint32_t position;
  int32_t view, offsetX, offsetY, firstFrame, frames, size;
  uint32_t colour;
  float scale;
};
inline std::vector<Effect> g_effects;
inline std::vector<int32_t> g_sounds;

// The interface's map effects and sounds captured while it lives.
class EffectCapture {
 public:
  EffectCapture() : saved_(g_simUi) {
    g_simUi = SimUiLink{};
    g_simUi.addMapEffect = [](uint32_t position, int32_t view, int32_t x, int32_t y, int32_t first, int32_t frames,
                              int32_t size, uint32_t colour, float scale) {
      g_effects.push_back({position, view, x, y, first, frames, size, colour, scale});
    };
    g_simUi.playMilitarySound = [](int32_t n) { g_sounds.push_back(n); };
    g_effects.clear();
    g_sounds.clear();
  }
  ~EffectCapture() { g_simUi = saved_; }
  EffectCapture(const EffectCapture&) = delete;
  EffectCapture& operator=(const EffectCapture&) = delete;

 private:
  SimUiLink saved_;
};

class StepWorld : public World6, public EffectCapture {
 public:
  StepWorld() {
    World& w = *world;
    OwnAll(kOwner);
    for (int p = 0; p < kMaxPlayers; ++p) w.techEffects[p][13] = 1.0f;
    w.players[kOwner].kind = kKindComputer;
    w.mapHeader.hexScale = 10;
    w.mapHeader.scale = 1.0f;
    w.unitClasses[kTank].speed = 100;  // speed
    w.unitClasses[kPlane].speed = 100;
  }

  void Wall(int x, int y) { Cell(x, y).word = WithCellTerrain(Cell(x, y).word, kWall); }
  UnitRecord& Tank(int x, int y) { return Place(kOwner, kTank, 1.0f, x, y); }

  // The facts the step's entry works out, for calling one phase alone.
  UnitStepState State(UnitRecord& u) {
    UnitStepState s;
    s.cls = UnitClassOf(*world, u);
    s.cell = &Cell(u.x, u.y);
    s.movementType = s.cls->movementType;
    StepEntryRights(*world, u, s);
    return s;
  }
};

// The step world with region 3's ships that carry 100 a point in 10 cargo
// slots a point, and its stock (looked up among the air units) and tanks,
// weighing 1 a point, loading into ships.
class CargoWorld : public StepWorld {
 public:
  CargoWorld() {
    World& w = *world;
    w.cellBytes.assign(36, 2);
    w.players[kOwner].soldiers = 1.0e6f;
    UnitClassRecord& ship = w.unitClasses[kShip];
    ship.cargoSlots = 10;
    ship.carryCapacity = 100.0f;
    UnitClassRecord& stock = w.unitClasses[kStockClass];
    stock.kind = 1;
    stock.loadableMask = 1u << 2;
    stock.slotSize = 1;
    stock.weight = 1.0f;
    w.unitClasses[kTank].weight = 1.0f;
    w.unitClasses[kTank].loadableMask = 1u << 2;
  }
  UnitRecord& Ship() { return Place(kOwner, kShip, 1.0f, 2, 2); }
  float SupplyStock() { return unitfields::SupplyStock(world->players[kOwner]); }
};

}  // namespace step_test
