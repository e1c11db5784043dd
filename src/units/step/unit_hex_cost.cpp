#include "units/step/unit_hex_cost.h"

#include <cstring>

#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/unit_record.h"
#include "units/hex_geometry.h"
#include "units/paths/move_cost.h"
#include "world/movement_rates.h"
#include "world/unit_class.h"
#include "world/unit_class_flags.h"
#include "world/hex_extra.h"
#include "world/world.h"

namespace {

constexpr size_t kMarkByte = 11;
constexpr size_t kSlotModeByte = 32;
constexpr size_t kSlotFlagsByte = 36;
constexpr size_t kSlotProgressAt = 40;

uint32_t Column(const World& world, const HexCell& cell, int m) {
  const auto t = static_cast<size_t>(CellTerrain(cell.word));
  return t < world.terrains.size() && m >= 0 && m < 8 ? world.terrains[t].bytes[120 + m] : 0;
}

void Merge(uint32_t& c, uint32_t k) {
  if (k != 0 && (c == 0 || k < c)) c = k;
}

const uint8_t* Extra(const HexCell& cell) {
  const HexUnitStack* stack = LoadHexStack(cell);
  return stack && stack->extra ? reinterpret_cast<const uint8_t*>(static_cast<const HexExtraImage*>(stack->extra))
                               : nullptr;
}

const UnitRecord* Lead(const HexCell& cell) {
  const HexUnitStack* stack = LoadHexStack(cell);
  return stack ? stack->lead : nullptr;
}

// The cost a facility or works class gives a hex for movement type t.
uint32_t FacilityCost(const UnitClassRecord* cls, int t) {
  if (!cls) return 0;
  if (t == kSeaMode) return cls->hexSeaMoveCost;
  return t >= 0 && t <= 4 ? ClassMoveCost(cls, t) : 0;
}

// A works slot in use, usable and under way, and its class and ends.
struct Site {
  bool active = false;
  int endA = kNoMove, endB = kNoMove;
  int worksClass = kWorksClassA;
};

Site SiteOf(const uint8_t* e, int i) {
  Site s;
  const uint8_t mode = e[kSlotModeByte + i], flags = e[kSlotFlagsByte + i];
  float progress;
  std::memcpy(&progress, e + kSlotProgressAt + 4 * i, 4);
  s.active = (flags & 0x30) && !(flags & 0x0A) && progress != 0.0f;
  if (flags & 0x10) s.endA = mode & 7;
  if (flags & 0x20) s.endB = (mode >> 3) & 7;
  s.worksClass = (mode & 0x40) ? kWorksClassB : kWorksClassA;
  return s;
}

// The facility of a hex that serves the facing-hex rule: live, confirmed,
// and in service unless it is a haven.
const UnitClassRecord* ServingFacility(const World& world, const HexCell& cell) {
  const UnitRecord* lead = Lead(cell);
  if (!lead || !IsUnitLive(*lead) || (lead->unitFlags & kUnitProvisional)) return nullptr;
  const UnitClassRecord* cls = UnitClassOf(world, *lead);
  if (!cls) return nullptr;
  if ((lead->orders[kPostureBits] & kPostureInReserve) && !(cls->flags & kClassHaven)) return nullptr;
  return cls;
}

// The cost of the first site of a hex leading towards direction d.
uint32_t SiteCostTowards(const World& world, const HexCell& cell, int t, int d) {
  const uint8_t* e = Extra(cell);
  if (!e) return 0;
  for (int i = 1; i >= 0; --i) {
    const Site s = SiteOf(e, i);
    const uint32_t k = s.active ? FacilityCost(ClassRecordAt(world, s.worksClass), t) : 0;
    if (k > 0 && (s.endA == d || s.endB == d)) return k;
  }
  return 0;
}

// One try of the facing-hex rule: the cost of B for a unit leaving through
// it towards E, or 0 when it cannot.
uint32_t TryFacingHex(const World& world, const UnitRecord& unit, const UnitClassRecord& cls, const HexCell& b,
                      const HexCell& e, int d) {
  const int t = cls.movementType;
  const UnitClassRecord* mark = ClassRecordAt(world, kCrossingMarkClass);
  if (unit.moveKind == 2) {
    const uint32_t cost = Column(world, b, kSeaMode);
    const UnitClassRecord* facility = ServingFacility(world, b);
    if (Column(world, e, kSeaMode) != 0 ||
        (t < 5 && facility && (facility->flags & kClassHaven) && Column(world, e, t) != 0))
      return cost;
    return 0;
  }
  uint32_t cb = Column(world, b, t), cc = Column(world, e, t);
  if ((cls.flags & kClassAmphibious) && (cb || cc)) {
    Merge(cb, Column(world, b, 2));
    Merge(cc, Column(world, e, 2));
  }
  if (t < 5) {
    if (const UnitClassRecord* facility = ServingFacility(world, b)) {
      const uint32_t k = FacilityCost(facility, t);
      if (facility->flags & kClassRoad)
        Merge(cb, k);
      else if ((facility->flags & kClassHaven) && k != 0)
        cb = k;
    }
    const uint8_t* extra = Extra(b);
    if (extra && (extra[kMarkByte] & 1)) Merge(cb, FacilityCost(mark, t));
    if (const uint32_t k = SiteCostTowards(world, b, t, d)) {
      Merge(cb, k);
      if (cc == 0) cc = SiteCostTowards(world, e, t, OppositeDirection(d));
    }
  }
  if (cc == 0) {
    const UnitClassRecord* facility = ServingFacility(world, e);
    const uint8_t* extra = Extra(e);
    const bool open = (facility && (facility->flags & (kClassRoad | kClassHaven)) && FacilityCost(facility, t)) ||
                      (extra && (extra[kMarkByte] & 1) && FacilityCost(mark, t));
    if (!open) return 0;
  }
  return cb != 0 ? cb : FacilityCost(mark, t);
}

}  // namespace

uint32_t StandingHexCost(World& world, UnitRecord& unit) {
  const UnitClassRecord* cls = UnitClassOf(world, unit);
  const HexMapShape map = MapShape(world);
  const uint32_t at = MakeHexPos(unit.x, unit.y);
  const HexCell* cell = HexCellAt(world, map, at);
  uint32_t c = 0;
  if (cls && cell) {
    const int m = cls->movementType;
    c = Column(world, *cell, m);
    const uint32_t a = Column(world, *cell, 2);
    if ((cls->flags & kClassAmphibious) && a != 0) {
      if (c == 0) {
        // A neighbour off the map is no hex and gives no way out.
        for (int d = 0; d < 6 && c == 0; ++d) {
          const HexCell* n = HexCellAt(world, map, HexNeighbour(map, at, d));
          if (n && Column(world, *n, m) != 0) c = a;
        }
      } else if (a < c) {
        c = a;
      }
    }
    const UnitRecord* lead = Lead(*cell);
    if (m < 6 && lead && IsUnitLive(*lead) && !(lead->unitFlags & kUnitProvisional)) {
      const UnitClassRecord* lc = UnitClassOf(world, *lead);
      const uint32_t state = lead->orders[kPostureBits], mode = lead->orders[kStateFlags];
      const bool counts = !(state & kPostureInReserve) ||
                          (lc && (lc->flags & kClassHaven) && !(mode & kStateModeC) &&
                           (!(state & kPostureUnderConstruction) || !(mode & kStateHeldSlot)));
      if (counts) Merge(c, FacilityCost(lc, m));
    }
    const uint8_t* extra = Extra(*cell);
    if (m < 5 && extra) {
      if (extra[kMarkByte] & 1) Merge(c, ClassMoveCost(ClassRecordAt(world, kCrossingMarkClass), m));
      for (int i = 1; i >= 0; --i) {
        const Site s = SiteOf(extra, i);
        if (s.active) Merge(c, ClassMoveCost(ClassRecordAt(world, s.worksClass), m));
      }
    }
  }
  if (c == 0) c = FacingHexCost(world, unit);
  unit.costByte = static_cast<uint8_t>(c > 255 ? 255 : c);
  return c;
}

uint32_t UnitCrossingCost(World& world, const UnitRecord& unit, uint32_t entryMask, const HexCell& from,
                          const HexCell& to, int d) {
  const UnitClassRecord* cls = UnitClassOf(world, unit);
  if (!cls) return 0;
  const int m = cls->movementType;
  if (!MayEnterHex(world, entryMask, m, from, to)) return 0;
  if (unit.moveKind == 2) {
    // Ships cross by the sea column; a haven lets them out onto land water.
    uint32_t cost = Column(world, from, kSeaMode);
    if (Column(world, to, kSeaMode) == 0) {
      const UnitClassRecord* haven = nullptr;
      const UnitRecord* lead = Lead(from);
      if (lead && IsUnitLive(*lead) && !(lead->unitFlags & kUnitProvisional)) haven = UnitClassOf(world, *lead);
      const bool serves = haven && (haven->flags & kClassHaven);
      if (m >= 5 || !serves || Column(world, to, m) == 0) return 0;
    }
    if (cost == 0) cost = FacilityCost(ClassRecordAt(world, kCrossingMarkClass), m);
    return cost;
  }
  const int32_t cost = CrossingCost(world, m, (cls->flags & kClassAmphibious) != 0, from, to, d);
  return cost == kRefused ? 0 : static_cast<uint32_t>(cost);
}

void FacingTryOrder(int facing, int order[6]) {
  int d0 = 1;
  if (facing >= 3 && facing <= 6) d0 = 2;
  else if (facing >= 7 && facing <= 10) d0 = 5;
  else if (facing >= 11 && facing <= 14) d0 = 4;
  else if (facing >= 15 && facing <= 18) d0 = 3;
  else if (facing >= 19 && facing <= 22) d0 = 0;
  static constexpr int kTurns[6] = {0, 1, -1, 2, -2, 3};
  for (int k = 0; k < 6; ++k) {
    int d = ((d0 + kTurns[k]) % 6 + 6) % 6;
    if (d0 < 3 && d > 2) d = 8 - d;
    if (d0 > 2 && d < 3) d = 2 - d;
    order[k] = d;
  }
}

uint32_t FacingHexCost(World& world, const UnitRecord& unit, uint32_t* way) {
  const UnitClassRecord* cls = UnitClassOf(world, unit);
  if (!cls || world.cells.empty()) return 0;
  const HexMapShape map = MapShape(world);
  const uint32_t at = MakeHexPos(unit.x, unit.y);
  int order[6];
  FacingTryOrder(unit.heading, order);
  for (int d : order) {
    const uint32_t b = HexNeighbour(map, at, d);
    const HexCell* cb = HexCellAt(world, map, b);
    if (!cb) continue;
    // A unit cannot leave B towards a hex beyond the map: there is none.
    const HexCell* ce = HexCellAt(world, map, HexNeighbour(map, b, d));
    if (!ce) continue;
    const uint32_t cost = TryFacingHex(world, unit, *cls, *cb, *ce, d);
    if (cost > 0) {
      if (way) *way = b;
      return cost;
    }
  }
  return 0;
}
