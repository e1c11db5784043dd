#pragma once
// A small hand-built world for the tests of unit destruction, hand-over and
// hex capture: a 6 x 6 map of land (terrain 1) with a water terrain (2),
// a few classes and units made, placed and filed as the game does.
#include <cstring>
#include <memory>

#include "units/class_fields.h"
#include "world/hex_stack_chains.h"
#include "records/hex_unit_stack.h"
#include "world/unit_create.h"
#include "records/unit_record.h"
#include "world/unit_tables.h"
#include "records/hex_cell.h"
#include "world/hex_extra.h"
#include "records/le_bytes.h"
#include "world/map_data.h"
#include "world/id_lookups.h"
#include "world/world.h"

namespace handover_test {

inline constexpr int kTank = 4;        // land, value 3 a point, attacks ground
inline constexpr int kShip = 5;        // sea carrier
inline constexpr int kBase = 6;        // facility: a settlement base serving land units
inline constexpr int kStockClass = 7;  // stock
inline constexpr int kFort = 8;        // land, fortifies its hex
inline constexpr int kDepot = 9;       // plain facility
inline constexpr int kAirBase = 10;    // facility serving air units
inline constexpr int kPlane = 11;      // air

inline void SetTerrainByte(TerrainRecord& t, size_t at, uint8_t v) { t.bytes[at] = v; }

class World6 {
 public:
  World6() : world(std::make_unique<World>()) {
    World& w = *world;
    if (ResizeMap(w, 6, 6) != 0) std::abort();
    w.terrains.assign(kTerrainCount, TerrainRecord{});
    SetTerrainByte(w.terrains[1], 120, 1);  // land: open to movement
    SetTerrainByte(w.terrains[2], 120, 0);  // water
    SetTerrainByte(w.terrains[2], 125, 1);
    le::Store32(w.terrains[2].bytes + 136, kTerrainWater);
    for (HexCell& c : w.cells) c.word = WithCellTerrain(0, 1);
    w.cellBytes.assign(36, 0);
    w.unitClasses.assign(12, UnitClassRecord{});
    UnitClassRecord& tank = w.unitClasses[kTank];
    std::strcpy(tank.name, "Tank");
    tank.strengthPerSize = 10;
    tank.valuePerPoint = 3;
    tank.kind = 0;
    tank.attackValues[0] = 5;  // attacks target type 0
    UnitClassRecord& ship = w.unitClasses[kShip];
    std::strcpy(ship.name, "Ship");
    ship.strengthPerSize = 1;
    ship.valuePerPoint = 100;
    ship.kind = 2;
    UnitClassRecord& base = w.unitClasses[kBase];
    std::strcpy(base.name, "Town");
    base.strengthPerSize = 1;
    base.valuePerPoint = 50;
    base.flags = kClassFacility | kClassSettlement;
    base.loadableMask = 1;
    UnitClassRecord& stock = w.unitClasses[kStockClass];
    std::strcpy(stock.name, "Fuel");
    stock.strengthPerSize = 1;
    stock.valuePerPoint = 1;
    stock.flags = kClassStock;
    UnitClassRecord& fort = w.unitClasses[kFort];
    std::strcpy(fort.name, "Engineers");
    fort.strengthPerSize = 1;
    fort.valuePerPoint = 2;
    fort.flags = kClassFortifies;
    UnitClassRecord& depot = w.unitClasses[kDepot];
    std::strcpy(depot.name, "Depot");
    depot.strengthPerSize = 1;
    depot.valuePerPoint = 20;
    depot.flags = kClassFacility;
    UnitClassRecord& air = w.unitClasses[kAirBase];
    std::strcpy(air.name, "Airfield");
    air.strengthPerSize = 1;
    air.valuePerPoint = 10;
    air.flags = kClassFacility | kClassAirBase;
    UnitClassRecord& plane = w.unitClasses[kPlane];
    std::strcpy(plane.name, "Plane");
    plane.strengthPerSize = 1;
    plane.valuePerPoint = 4;
    plane.kind = 1;
    for (int p = 0; p < kMaxPlayers; ++p) world->players[p].number = static_cast<uint8_t>(p);
  }

  HexCell& Cell(int x, int y) { return world->cells[static_cast<size_t>(y * 6 + x)]; }
  void Own(int x, int y, int owner) { Cell(x, y).word = WithCellOwner(Cell(x, y).word, owner); }
  void OwnAll(int owner) {
    for (HexCell& c : world->cells) c.word = WithCellOwner(c.word, owner);
  }

  // A complete unit on the map at (x, y) (none for 0, 0), filed in table 1
  // and standing in its hex's chains; a facility becomes its hex's lead.
  UnitRecord& Place(int owner, int cls, float size, int x, int y) {
    World& w = *world;
    UnitRecord* u = CreateUnit(w, w.players[owner], ++nextId, cls, size, unitbytes::PackPosition(
                                   static_cast<int16_t>(x), static_cast<int16_t>(y)), 0, 0);
    u->unitFlags &= ~kUnitProvisional;
    u->orders[kPostureBits] = 0;
    u->ordersShown[kPostureBits] = 0;
    u->buildWork = 0.0f;
    if (x || y) {
      if (u->unitFlags & kUnitFacility) {
        GetStackDataLocked(w, Cell(x, y))->lead = u;
      } else {
        HexStackInsertById(w, Cell(x, y), *u);
        HexStackInsertOrdered(w, Cell(x, y), *u);
      }
    }
    AppendUnitPtr(w, kUnitTableOnMap, owner, UnitTableCategory(*u), *u);
    return *u;
  }

  // A unit in the reserve (filed in table 2), positioned at (x, y).
  UnitRecord& Reserve(int owner, int cls, float size, int x, int y) {
    World& w = *world;
    UnitRecord* u = CreateUnit(w, w.players[owner], ++nextId, cls, size, unitbytes::PackPosition(
                                   static_cast<int16_t>(x), static_cast<int16_t>(y)), 0, 0);
    u->unitFlags &= ~kUnitProvisional;
    u->orders[kPostureBits] = kPostureInReserve;
    u->ordersShown[kPostureBits] = kPostureInReserve;
    u->buildWork = 0.0f;
    AppendUnitPtr(w, kUnitTableReserve, owner, UnitTableCategory(*u), *u);
    return *u;
  }

  // Puts cargo into the carrier's chain, at its head.
  void Load(UnitRecord& carrier, UnitRecord& cargo) {
    if (HexCell* c = cargo.x || cargo.y ? &Cell(cargo.x, cargo.y) : nullptr) HexStackRemove(*world, *c, cargo);
    cargo.carrier = carrier.id;
    cargo.cargoNext = carrier.cargoNext;
    carrier.cargoNext = cargo.id;
  }

  // The strength of everything in the carrier's cargo chain.
  float Aboard(const UnitRecord& carrier) {
    float total = 0.0f;
    for (const UnitRecord* q = FindUnitById(*world, carrier.cargoNext); q; q = FindUnitById(*world, q->cargoNext))
      total += q->strength;
    return total;
  }

  bool InChainA(int x, int y, const UnitRecord& u) {
    HexUnitStack* s = LoadHexStack(Cell(x, y));
    if (!s) return false;
    for (UnitRecord* head : s->chainA)
      for (UnitRecord* v = head; v; v = v->nextInChainA)
        if (v == &u) return true;
    return false;
  }

  std::unique_ptr<World> world;
  uint32_t nextId = 0x100;
};

}  // namespace handover_test
