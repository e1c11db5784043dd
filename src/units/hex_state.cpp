#include "units/hex_state.h"

#include "records/hex_unit_stack.h"
#include "world/unit_class.h"
#include "records/unit_record.h"
#include "records/hex_cell.h"
#include "records/player_record.h"
#include "world/world.h"

namespace {

constexpr int kDx[6] = {-1, 0, 1, -1, 0, 1};
constexpr int kDyEven[6] = {-1, -1, -1, 0, 1, 0};
constexpr int kDyOdd[6] = {0, -1, 0, 1, 1, 1};

// One flag change of a pass: the display pass leaves it to be replayed, the
// simulation pass replays it and, once nothing is outstanding, the display
// copy becomes the simulation copy.
void CountStep(HexExtra& block, int pass) {
  uint8_t& pending = HexPendingCount(block);
  if (pass == 0) {
    // Saturates rather than wrapping to 0, which would hand the display copy
    // over before its changes were replayed.
    if (pending < 0xFF) ++pending;
    return;
  }
  if (pending != 0) --pending;
  if (pending == 0) {
    HexSlotDisplayFlags(block, 0) = HexSlotSimFlags(block, 0);
    HexSlotDisplayFlags(block, 1) = HexSlotSimFlags(block, 1);
  }
}

uint8_t& PassFlags(HexExtra& block, int slot, int pass) {
  return pass == 0 ? HexSlotDisplayFlags(block, slot) : HexSlotSimFlags(block, slot);
}

void CloseSlot(HexExtra& block, int slot) {
  const uint8_t kept = HexSlotSimFlags(block, slot) & kSlotNoYield;
  HexSlotClass(block, slot) = 0;
  HexSlotSimFlags(block, slot) = kept;
  HexSlotDisplayFlags(block, slot) = kept;
  SetHexSlotProgress(block, slot, 0.0f);
}

int SlotDirection(uint8_t classByte, int k) { return (classByte >> (3 * k)) & 7; }

uint8_t WithSlotDirection(uint8_t classByte, int k, int d) {
  const int shift = 3 * k;
  return static_cast<uint8_t>((classByte & ~(7u << shift)) | ((static_cast<unsigned>(d) & 7u) << shift));
}

bool LiveForHex(const UnitRecord& unit) {
  return !(unit.unitFlags & (kUnitGone | kUnitProvisional)) && unit.classIndex != 0;
}

int32_t CellOfBlock(const World& world, const HexExtra& block) {
  if (block.x < 0 || block.y < 0 || block.x >= world.mapWidth || block.y >= world.mapHeight) return -1;
  return static_cast<int32_t>(block.y) * world.mapWidth + block.x;
}

}  // namespace

int32_t HexNeighbourCell(const World& world, int32_t x, int32_t y, int d) {
  const int32_t width = world.mapWidth;
  const int32_t height = world.mapHeight;
  if (width <= 0 || height <= 0 || d < 0 || d > 6) return -1;
  if (x < 0 || x >= width || y < 0 || y >= height) return -1;
  if (x == 0 && y == 0) return -1;
  if (d == 6) return y * width + x;
  const int32_t ny = y + ((x & 1) ? kDyOdd[d] : kDyEven[d]);
  if (ny < 0 || ny >= height) return -1;
  const int32_t nx = WrapX(x + kDx[d], width);
  if (nx == 0 && ny == 0) return -1;
  return ny * width + nx;
}

HexExtra* FindHexExtra(const World& world, int32_t cell) {
  if (cell < 0 || static_cast<size_t>(cell) >= world.cells.size()) return nullptr;
  const HexUnitStack* stack = LoadHexStack(world.cells[static_cast<size_t>(cell)]);
  return stack ? stack->extra : nullptr;
}

void HexStateCount(HexExtra& block, int pass) { CountStep(block, pass); }

void HexStateSetMode(HexExtra& block, int slot, int pass, int32_t improvementClass) {
  if (HexSlotSimFlags(block, slot) & kSlotInUse) return;
  uint8_t& flags = PassFlags(block, slot, pass);
  if (flags & kSlotInUse) {
    CountStep(block, pass);
    return;
  }
  HexSlotClass(block, slot) = improvementClass == kImprovementClassB ? 0xF6 : 0xB6;
  SetHexSlotProgress(block, slot, 0.0f);
  flags &= static_cast<uint8_t>(~kSlotHeld);
  CountStep(block, pass);
  flags &= static_cast<uint8_t>(~kSlotRemoving);
  CountStep(block, pass);
  flags |= kSlotBuilding;
  CountStep(block, pass);
  CountStep(block, pass);
}

void HexStateSetSlot(HexExtra& block, int slot, int k, int pass, int d, bool force) {
  const uint8_t mask = static_cast<uint8_t>(kSlotReach0 << k);
  if (!force && (HexSlotSimFlags(block, slot) & mask)) return;
  uint8_t& flags = PassFlags(block, slot, pass);
  if (!force && (flags & mask)) {
    CountStep(block, pass);
    return;
  }
  HexSlotClass(block, slot) = WithSlotDirection(HexSlotClass(block, slot), k, d);
  flags |= mask;
  CountStep(block, pass);
}

void HexStateSetFlag2(HexExtra& block, int slot, int pass, bool set) {
  uint8_t& flags = PassFlags(block, slot, pass);
  if (set) {
    flags |= kSlotBuilding;
  } else {
    flags &= static_cast<uint8_t>(~kSlotBuilding);
  }
  CountStep(block, pass);
}

void HexStateClear(HexExtra& block, int slot) { CloseSlot(block, slot); }

void HexStateEvaluate(World& world, HexExtra& block, int slot) {
  const uint8_t own = HexSlotClass(block, slot);
  if (own == 0) return;
  for (int k = 0; k < 2; ++k) {
    if (!(HexSlotSimFlags(block, slot) & (kSlotReach0 << k))) continue;
    const int d = SlotDirection(own, k);
    if (d >= kNoDirection) continue;
    HexExtra* other = FindHexExtra(world, HexNeighbourCell(world, block.x, block.y, d));
    if (!other || other == &block) continue;
    for (int j = 1; j >= 0; --j) {
      if (HexSlotClass(*other, j) == 0) continue;
      bool settled[2] = {false, false};
      for (int m = 0; m < 2; ++m) {
        const bool reaching = HexSlotSimFlags(*other, j) & (kSlotReach0 << m);
        const int value = reaching ? SlotDirection(HexSlotClass(*other, j), m) : kNoDirection;
        if (value == 5 - d) {
          HexSlotClass(*other, j) = WithSlotDirection(HexSlotClass(*other, j), m, kNoDirection);
          CountStep(*other, 1);
          settled[m] = true;
        } else {
          settled[m] = value == kNoDirection;
        }
      }
      if (settled[0] && settled[1]) CloseSlot(*other, j);
    }
  }
  CloseSlot(block, slot);
}

float HexWorkRate(const World& world, int32_t cell, uint8_t level, int regionForS) {
  float s = 0.0f;
  if (cell >= 0 && static_cast<size_t>(cell) < world.cells.size()) {
    const HexCell& hex = world.cells[static_cast<size_t>(cell)];
    if (CellOwner(hex.word) == CellLoyalTo(hex.word)) {
      const HexUnitStack* stack = LoadHexStack(hex);
      if (stack && stack->lead && LiveForHex(*stack->lead)) {
        s = stack->lead->efficiency;
      } else if (regionForS >= 0 && regionForS < kMaxPlayers) {
        s = world.players[regionForS].efficiency;
      }
    }
  }
  return (static_cast<float>(level) / 125.0f + s + 1.0f) / 3.0f;
}

void HexStateUnitCheck(World& world, HexExtra& block, int slot, uint8_t level) {
  if (!(HexSlotSimFlags(block, slot) & kSlotInUse)) return;
  const UnitClassRecord* cls = ClassRecordAt(world, SlotImprovementClass(HexSlotClass(block, slot)));
  const float t = cls ? cls->buildWorkPerPoint : 0.0f;
  const int32_t cell = CellOfBlock(world, block);
  float progress = HexSlotProgress(block, slot);
  if (t > 0.0f) {
    const int owner = cell >= 0 ? CellOwner(world.cells[static_cast<size_t>(cell)].word) : -1;
    const float amount = (1.0f / t) * HexWorkRate(world, cell, level, owner) * 10.0f;
    // A day's amount that is not a number removes nothing.
    if (amount == amount) progress -= amount;
    if (progress < 0.0f) progress = 0.0f;
  } else {
    // Work that takes no time comes down at once.
    progress = 0.0f;
  }
  SetHexSlotProgress(block, slot, progress);
  if (progress <= 0.0f) HexStateEvaluate(world, block, slot);
}
