#include "units/paths/move_cost.h"

#include <algorithm>
#include <cstddef>

#include "units/hex_geometry.h"
#include "records/hex_unit_stack.h"
#include "world/unit_class.h"
#include "records/unit_record.h"
#include "records/hex_cell.h"
#include "world/hex_extra.h"
#include "world/record_helpers.h"
#include "world/world.h"

namespace {

constexpr size_t kAccessMasksAt = 10016;
constexpr size_t kBorderAttemptsAt = 14468;
static_assert(kAccessMasksAt >= offsetof(PlayerRecord, simPolicy) + offsetof(PlayerPolicyBlock, bytes4872) &&
              kAccessMasksAt + 12 <= offsetof(PlayerRecord, simPolicy) + offsetof(PlayerPolicyBlock, ceasefireMask));
static_assert(kBorderAttemptsAt >= offsetof(PlayerRecord, bytes14084) &&
              kBorderAttemptsAt + 4 <= offsetof(PlayerRecord, slotName));

// The hex state block's crossing mark and works slots.
constexpr size_t kMarkByte = 11;         // bit 0: crossing mark
constexpr size_t kSlotModeByte = 32;     // + slot: bits 0-2 end A, 3-5 end B, 6 second works class
constexpr size_t kSlotFlagsByte = 36;    // + slot: the simulation flags
constexpr size_t kSlotProgressAt = 40;   // + 4 x slot: float
constexpr uint8_t kSlotEndA = 0x10;
constexpr uint8_t kSlotEndB = 0x20;
constexpr uint8_t kSlotUnusable = 0x0A;
constexpr int kNoEnd = 6;

const uint8_t* Bytes(const HexExtra& e) { return reinterpret_cast<const uint8_t*>(static_cast<const HexExtraImage*>(&e)); }

uint32_t Column(const World& world, const HexCell& cell, int m) {
  const TerrainRecord* t = TerrainOf(world, cell);
  return t && m >= 0 && m < 8 ? t->bytes[120 + m] : 0;
}

bool IsWater(const World& world, const HexCell& cell) {
  const TerrainRecord* t = TerrainOf(world, cell);
  return t && (TerrainFlags(*t) & kTerrainWater);
}

void Merge(uint32_t& c, uint32_t k) {
  if (k == 0) return;
  if (c == 0 || k < c) c = k;
}

const HexExtra* ExtraOf(const HexCell& cell) {
  const HexUnitStack* stack = LoadHexStack(cell);
  return stack ? stack->extra : nullptr;
}

// A facility in service, or a haven even when out of service, lowers the
// cost of leaving its hex.
const UnitRecord* LeadCountingWhenLeaving(const World& world, const HexCell& cell, const UnitClassRecord*& cls) {
  const UnitRecord* lead = GetActiveObject(&cell, true);
  if (!lead) return nullptr;
  cls = UnitClassOf(world, *lead);
  const bool inService = !InReserve(*lead);
  if (!inService && !(cls && (cls->flags & kClassHaven))) return nullptr;
  return lead;
}

const UnitClassRecord* FixedClass(const World& world, int index) { return ClassRecordAt(world, index); }

uint32_t CrossingMarkCost(const World& world, int m) {
  const UnitClassRecord* mark = FixedClass(world, kCrossingMarkClass);
  if (m == kSeaMode) return mark ? mark->hexSeaMoveCost : 0;
  return ClassMoveCost(mark, m);
}

struct Slot {
  bool active = false;
  int endA = kNoEnd;
  int endB = kNoEnd;
  int worksClass = kWorksClassA;
};

Slot SlotOf(const HexExtra& extra, int i) {
  const uint8_t* b = Bytes(extra);
  const uint8_t mode = b[kSlotModeByte + i];
  const uint8_t flags = b[kSlotFlagsByte + i];
  Slot s;
  s.active = (flags & (kSlotEndA | kSlotEndB)) && !(flags & kSlotUnusable) &&
             le::LoadF32(b + kSlotProgressAt + 4 * i) != 0.0f;
  if (flags & kSlotEndA) s.endA = mode & 7;
  if (flags & kSlotEndB) s.endB = (mode >> 3) & 7;
  s.worksClass = (mode & 0x40) ? kWorksClassB : kWorksClassA;
  return s;
}

}  // namespace

uint32_t PlayerAccessMask(const PlayerRecord& record, int kind) {
  if (kind < 0 || kind > 2) return 0;
  return le::Load32(reinterpret_cast<const uint8_t*>(&record) + kAccessMasksAt + 4 * static_cast<size_t>(kind));
}

uint32_t BorderAttemptMask(const PlayerRecord& record) {
  return le::Load32(reinterpret_cast<const uint8_t*>(&record) + kBorderAttemptsAt);
}

void NoteBorderAttempt(PlayerRecord& record, int player) {
  le::Store32(reinterpret_cast<uint8_t*>(&record) + kBorderAttemptsAt,
              BorderAttemptMask(record) | (1u << (player & 31)));
}

uint8_t StepCostByLevel(uint8_t level) {
  if (level == 0) return 5;
  if (level < 8) return 3;
  if (level < 64) return 2;
  if (level < 128) return 1;
  return 0;
}

uint32_t ClassMoveCost(const UnitClassRecord* cls, int m) {
  if (!cls) return 0;
  if (m == 4 || (m >= 0 && m < 4 && !(cls->flags & kClassNoTerrainCost))) return cls->hexMoveCost;
  return 0;
}

namespace {

// MayEnterHex, which the path search asks for every move it weighs: inline
// in this file.
[[gnu::always_inline]] inline bool MayEnter(World& world, uint32_t ownerMask, int mode, const HexCell& from,
                                            const HexCell& to) {
  uint32_t mask = ownerMask;
  if (mode > kSeaMode && IsWater(world, to)) mask |= 1u;
  const int owner = CellOwner(to.word);
  if (mask & (1u << owner)) return true;
  NoteBorderAttempt(world.players[CellOwner(from.word)], owner);
  return false;
}

}  // namespace

bool MayEnterHex(World& world, uint32_t ownerMask, int mode, const HexCell& from, const HexCell& to) {
  return MayEnter(world, ownerMask, mode, from, to);
}

namespace {

// The crossing rule's part that the hex being left decides: its cost by
// its own column and, apart, with the amphibious column merged in (whether
// that joins depends on the hex entered too), each lowered by what stands
// on it; and, by direction, the first works slot leading that way.
void LeaveForCrossing(World& world, int m, bool useAltCost, const HexCell& a, LeavingHex& leave) {
  leave.cell = &a;
  leave.hasWorks = false;
  leave.markCost = CrossingMarkCost(world, m);
  leave.column = Column(world, a, m);
  leave.cost = leave.column;
  leave.altCost = leave.column;
  if (m == kSeaMode) return;
  if (useAltCost) Merge(leave.altCost, Column(world, a, 2));
  // Nothing stands or is built on a hex without a stack.
  if (m >= kSeaMode || !LoadHexStack(a)) return;
  const UnitClassRecord* cls = nullptr;
  if (LeadCountingWhenLeaving(world, a, cls) && cls) {
    const uint32_t k = ClassMoveCost(cls, m);
    for (uint32_t* c : {&leave.cost, &leave.altCost}) {
      if (cls->flags & kClassRoad)
        Merge(*c, k);
      else if ((cls->flags & kClassHaven) && k != 0)
        *c = k;
    }
  }
  const HexExtra* extra = ExtraOf(a);
  if (!extra) return;
  if (Bytes(*extra)[kMarkByte] & 1) {
    Merge(leave.cost, leave.markCost);
    Merge(leave.altCost, leave.markCost);
  }
  for (int i = 1; i >= 0; --i) {
    const Slot s = SlotOf(*extra, i);
    const uint32_t k = s.active ? ClassMoveCost(FixedClass(world, s.worksClass), m) : 0;
    if (k == 0) continue;
    if (!leave.hasWorks) std::fill(std::begin(leave.worksCost), std::end(leave.worksCost), 0u);
    for (int d = 0; d < 6; ++d)
      if ((s.endA == d || s.endB == d) && leave.worksCost[d] == 0) {
        leave.worksCost[d] = k;
        leave.hasWorks = true;
      }
  }
}

// Inline in the path search's MoveCostFrom, which asks it for every move.
[[gnu::always_inline]] inline int32_t CrossingCostFrom(World& world, int m, bool useAltCost, const LeavingHex& leave,
                                                       const HexCell& b, int d) {
  uint32_t cA = leave.cost;
  if (m == kSeaMode) {
    if (Column(world, b, kSeaMode) == 0) return kRefused;
  } else {
    uint32_t cB = Column(world, b, m);
    if (useAltCost && (leave.column != 0 || cB != 0)) {
      cA = leave.altCost;
      Merge(cB, Column(world, b, 2));
    }
    if (m < kSeaMode && leave.hasWorks && leave.worksCost[d] != 0) {
      // Works leading out towards d: they also carry the move into a hex
      // whose own works lead back.
      Merge(cA, leave.worksCost[d]);
      const HexExtra* other = cB == 0 ? ExtraOf(b) : nullptr;
      const int back = OppositeDirection(d);
      for (int j = 1; other && j >= 0; --j) {
        const Slot t = SlotOf(*other, j);
        if (t.active && (t.endA == back || t.endB == back)) {
          cB = ClassMoveCost(FixedClass(world, t.worksClass), m);
          break;
        }
      }
    }
    if (cB == 0) {
      // The hex entered is passable only through its facility or its
      // crossing mark.
      if (!LoadHexStack(b)) return kRefused;
      const UnitClassRecord* cls = nullptr;
      const UnitRecord* lead = LeadCountingWhenLeaving(world, b, cls);
      bool open = false;
      if (lead && cls && (cls->flags & (kClassRoad | kClassHaven))) open = ClassMoveCost(cls, m) != 0;
      if (!open) {
        const HexExtra* other = ExtraOf(b);
        open = other && (Bytes(*other)[kMarkByte] & 1) && leave.markCost != 0;
      }
      if (!open) return kRefused;
    }
  }
  if (cA == 0) cA = leave.markCost;
  return static_cast<int32_t>(cA);
}

}  // namespace

int32_t CrossingCost(World& world, int m, bool useAltCost, const HexCell& a, const HexCell& b, int d) {
  LeavingHex leave;
  LeaveForCrossing(world, m, useAltCost, a, leave);
  return CrossingCostFrom(world, m, useAltCost, leave, b, d);
}

uint32_t LevelStepCost(const World& world, int mode, int mover, const HexCell& from, uint8_t level) {
  const int o = CellOwner(from.word);
  const bool water = IsWater(world, from);
  const bool own = o == mover || (PlayerAccessMask(world.players[mover & 31], AccessKind(mode)) & (1u << o)) ||
                   (o == 0 && water);
  if (!own) return StepCostByLevel(0);
  if (mode == 6 && water) return o == 0 ? StepCostByLevel(8) : StepCostByLevel(0);
  return StepCostByLevel(level);
}

uint32_t MoveCost(World& world, const HexMapShape& map, const MoveRules& rules, uint32_t from, uint32_t to, int d) {
  const int64_t ia = HexCellIndex(map, from);
  const int64_t ib = HexCellIndex(map, to);
  if (ia < 0 || ib < 0 || static_cast<size_t>(ia) >= world.cells.size() ||
      static_cast<size_t>(ib) >= world.cells.size())
    return 0;
  LeavingHex leave;
  LeaveHex(world, rules, world.cells[static_cast<size_t>(ia)], static_cast<size_t>(ia), leave);
  return MoveCostFrom(world, rules, leave, world.cells[static_cast<size_t>(ib)], d);
}

void LeaveHex(World& world, const MoveRules& rules, const HexCell& from, size_t index, LeavingHex& leave) {
  LeaveForCrossing(world, rules.mode, rules.useAltCost, from, leave);
  leave.level = 0;
  if (rules.levelCost) {
    const uint8_t levelByte = index < world.cellBytes.size() ? world.cellBytes[index] : 0;
    leave.level = LevelStepCost(world, rules.mode, rules.mover, from, levelByte);
  }
  // Every move pays the cost of leaving by one of the columns, lowered by
  // works towards its direction, or the crossing mark's when that is
  // nothing, then the level step.
  const auto paid = [&](uint32_t c) { return c != 0 ? c : leave.markCost; };
  uint32_t least = paid(leave.cost);
  if (rules.useAltCost) least = std::min(least, paid(leave.altCost));
  for (int d = 0; d < 6 && leave.hasWorks; ++d)
    if (leave.worksCost[d] != 0) least = std::min(least, leave.worksCost[d]);
  leave.least = std::max<uint32_t>(1, least + leave.level);
}

uint32_t MoveCostFrom(World& world, const MoveRules& rules, const LeavingHex& from, const HexCell& to, int d) {
  if (!MayEnter(world, rules.ownerMask, rules.mode, *from.cell, to)) return 0;
  const int32_t cost = CrossingCostFrom(world, rules.mode, rules.useAltCost, from, to, d);
  if (cost == kRefused) return 0;
  return static_cast<uint32_t>(cost) + from.level;
}
