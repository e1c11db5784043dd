#include "units/paths/move_cost.h"

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

bool MayEnterHex(World& world, uint32_t ownerMask, int mode, const HexCell& from, const HexCell& to) {
  uint32_t mask = ownerMask;
  if (mode > kSeaMode && IsWater(world, to)) mask |= 1u;
  const int owner = CellOwner(to.word);
  if (mask & (1u << owner)) return true;
  NoteBorderAttempt(world.players[CellOwner(from.word)], owner);
  return false;
}

int32_t CrossingCost(World& world, int m, bool useAltCost, const HexCell& a, const HexCell& b, int d) {
  uint32_t cA = 0;
  if (m == kSeaMode) {
    cA = Column(world, a, kSeaMode);
    if (Column(world, b, kSeaMode) == 0) return kRefused;
  } else {
    cA = Column(world, a, m);
    uint32_t cB = Column(world, b, m);
    if (useAltCost && (cA != 0 || cB != 0)) {
      Merge(cA, Column(world, a, 2));
      Merge(cB, Column(world, b, 2));
    }
    bool passable = cB != 0;
    bool seenSlots = false;
    if (m < kSeaMode) {
      const UnitClassRecord* cls = nullptr;
      if (LeadCountingWhenLeaving(world, a, cls) && cls) {
        const uint32_t k = ClassMoveCost(cls, m);
        if (cls->flags & kClassRoad)
          Merge(cA, k);
        else if ((cls->flags & kClassHaven) && k != 0)
          cA = k;
      }
      if (const HexExtra* extra = ExtraOf(a)) {
        if (Bytes(*extra)[kMarkByte] & 1) Merge(cA, CrossingMarkCost(world, m));
        for (int i = 1; i >= 0 && !seenSlots; --i) {
          const Slot s = SlotOf(*extra, i);
          const uint32_t k = s.active ? ClassMoveCost(FixedClass(world, s.worksClass), m) : 0;
          if (k == 0 || (s.endA != d && s.endB != d)) continue;
          // Works leading out towards d: they also carry the move into a
          // hex whose own works lead back.
          seenSlots = true;
          Merge(cA, k);
          if (cB != 0) break;
          const HexExtra* other = ExtraOf(b);
          if (!other) break;
          const int back = OppositeDirection(d);
          for (int j = 1; j >= 0; --j) {
            const Slot t = SlotOf(*other, j);
            if (t.active && (t.endA == back || t.endB == back)) {
              cB = ClassMoveCost(FixedClass(world, t.worksClass), m);
              break;
            }
          }
        }
      }
      passable = cB != 0;
    }
    if (!passable) {
      // The hex entered is passable only through its facility or its
      // crossing mark.
      const UnitClassRecord* cls = nullptr;
      const UnitRecord* lead = LeadCountingWhenLeaving(world, b, cls);
      bool open = false;
      if (lead && cls && (cls->flags & (kClassRoad | kClassHaven)))
        open = (m == kSeaMode ? cls->hexSeaMoveCost : ClassMoveCost(cls, m)) != 0;
      if (!open) {
        const HexExtra* other = ExtraOf(b);
        open = other && (Bytes(*other)[kMarkByte] & 1) && CrossingMarkCost(world, m) != 0;
      }
      if (!open) return kRefused;
    }
  }
  if (cA == 0) cA = CrossingMarkCost(world, m);
  return static_cast<int32_t>(cA);
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
  const HexCell& a = world.cells[static_cast<size_t>(ia)];
  const HexCell& b = world.cells[static_cast<size_t>(ib)];
  if (!MayEnterHex(world, rules.ownerMask, rules.mode, a, b)) return 0;
  uint32_t level = 0;
  if (rules.levelCost) {
    const uint8_t levelByte =
        static_cast<size_t>(ia) < world.cellBytes.size() ? world.cellBytes[static_cast<size_t>(ia)] : 0;
    level = LevelStepCost(world, rules.mode, rules.mover, a, levelByte);
  }
  const int32_t cost = CrossingCost(world, rules.mode, rules.useAltCost, a, b, d);
  if (cost == kRefused) return 0;
  return static_cast<uint32_t>(cost) + level;
}
