#include "units/spotting/bfs_fill.h"

#include <algorithm>
#include <cmath>
#include <thread>

#include "units/hex_geometry.h"
#include "records/hex_unit_stack.h"
#include "units/paths/move_cost.h"
#include "world/unit_class.h"
#include "records/unit_record.h"
#include "records/hex_cell.h"
#include "world/hex_extra.h"
#include "world/record_helpers.h"
#include "world/world.h"

BfsFillBlock g_bfsFill;

namespace {


uint16_t* Entry(const BfsFillBlock& block, const HexMapShape& map, uint32_t position) {
  const int64_t i = HexCellIndex(map, position);
  if (i < 0 || static_cast<size_t>(i) >= block.rangeMapCells || !block.rangeMap) return nullptr;
  return block.rangeMap + i;
}

const HexCell* CellAt(const World& world, const HexMapShape& map, uint32_t position) {
  const int64_t i = HexCellIndex(map, position);
  if (i < 0 || static_cast<size_t>(i) >= world.cells.size()) return nullptr;
  return &world.cells[static_cast<size_t>(i)];
}

// Plain step cost: covered or high ground, or a fortification, costs 2.
uint32_t PlainStepCost(const World& world, const HexCell& b) {
  const TerrainRecord* t = TerrainOf(world, b);
  if (t && (TerrainFlags(*t) & (kTerrainCovered | kTerrainHighGround))) return 2;
  const UnitRecord* lead = GetActiveObject(&b, true);
  const UnitClassRecord* cls = ClassRecordAt(world, lead ? lead->classIndex : 0);
  return cls && (cls->flags & kClassFortification) ? 2 : 1;
}

// Appends to the ring. Slot N is never written (the ring wraps from N to
// slot 0), so with the head on slot 0 and the tail on N the next slot is the
// one being taken: the ring is full then as well.
bool Enqueue(BfsFillBlock& block, uint32_t position) {
  const int32_t n = block.queueCapacity;
  if (block.tail == block.head || (block.tail == n && block.head == 0)) return false;
  if (block.tail < n) {
    block.queue[static_cast<size_t>(block.tail)] = position;
    block.tail += 1;
  } else {
    block.queue[0] = position;
    block.tail = 1;
  }
  return true;
}

// PlainStepCost of the cell, worked out once a fill.
uint32_t PlainCost(const World& world, BfsFillBlock& block, size_t cell) {
  uint32_t& kept = block.plainCosts[cell];
  if ((kept & ~3u) != block.plainStamp) kept = block.plainStamp | PlainStepCost(world, world.cells[cell]);
  return kept & 3u;
}

}  // namespace

void EnsureFillBuffers(World& world, BfsFillBlock& block) {
  const size_t cells = world.cells.size();
  if (world.rangeMap.size() != cells) world.rangeMap.assign(cells, 0);
  const auto n = static_cast<int32_t>(std::sqrt(static_cast<float>(cells)) * 10.0f);
  if (block.queueCapacity != n || block.queue.size() != static_cast<size_t>(n) + 1) {
    block.queue.assign(static_cast<size_t>(n) + 1, 0);
    block.queueCapacity = n;
    block.head = block.tail = 0;
  }
}

void BfsSeed(BfsFillBlock& block, const HexMapShape& map, uint32_t seed) {
  if (block.queue.empty()) return;
  block.queue[0] = seed;
  block.head = 0;
  block.tail = 1;
  if (uint16_t* e = Entry(block, map, seed))
    *e = block.budget == 0 ? 1 : static_cast<uint16_t>(std::clamp<int32_t>(block.budget, 1, 0xFFFF));
}

uint32_t FillMoveCost(World& world, const BfsFillBlock& block, const HexMapShape& map, uint32_t a, uint32_t b, int d) {
  const HexCell* from = CellAt(world, map, a);
  const HexCell* to = CellAt(world, map, b);
  if (!from || !to) return 0;
  if (block.mode == -1) return PlainStepCost(world, *to);
  if (block.mode == -2) return 1;
  if (block.mode < 0) return 0;
  if (!MayEnterHex(world, block.ownerMask, block.mode, *from, *to)) return 0;
  const int ownerA = CellOwner(from->word);
  const int ownerB = CellOwner(to->word);
  if (block.respectBorders && ownerA != ownerB) {
    NoteBorderAttempt(world.players[ownerA], ownerB);
    if (!(PlayerAccessMask(world.players[ownerB], AccessKind(block.mode)) & (1u << ownerA))) return 0;
  }
  const int32_t cost = CrossingCost(world, block.mode, block.useAltCost != 0, *from, *to, d);
  return cost == kRefused ? 0 : static_cast<uint32_t>(cost);
}

void BfsFill(World& world, BfsFillBlock& block) {
  // A ring of no capacity (a map without cells) has no slot to go round:
  // the head would stay on slot 0 and never meet the tail.
  if (block.queueCapacity < 1 || block.queue.size() <= static_cast<size_t>(block.queueCapacity)) {
    block.head = block.tail;
    return;
  }
  const HexMapShape map = MapShape(world);
  const int32_t n = block.queueCapacity;
  // Each position's cell index is found once and serves both the work map
  // and the cell; the sight modes' costs, which ask only the cell entered,
  // are taken here and the others from FillMoveCost.
  const auto cells = static_cast<int64_t>(world.cells.size());
  const auto mapCells = block.rangeMap ? static_cast<int64_t>(block.rangeMapCells) : 0;
  if (block.mode == -1) {
    block.plainStamp += 4;
    if (block.plainCosts.size() != world.cells.size() || block.plainStamp == 0) {
      block.plainCosts.assign(world.cells.size(), 0);
      block.plainStamp = 4;
    }
  }
  // The sight modes spend 1 or 2 a move, times a multiplier of at least 1
  // here: no move out of a hex leaves more than its value less the
  // multiplier, so a hex with no more than that to spend reaches nothing,
  // and a neighbour already holding that much is passed over before its
  // cost is looked at.
  const bool sight = block.budget != 0 && block.costMultiplier >= 1 && (block.mode == -1 || block.mode == -2);
  while (block.head != block.tail) {
    const uint32_t p = block.queue[static_cast<size_t>(block.head)];
    const int64_t ip = HexCellIndex(map, p);
    const int64_t v = ip >= 0 && ip < mapCells ? block.rangeMap[ip] : 0;
    const bool fromCell = ip >= 0 && ip < cells;
    const int64_t most = v - block.costMultiplier;
    const bool spreads = v != 0 && !(sight && most <= 0);
    for (int d = 0; spreads && d < 6; ++d) {
      const uint32_t b = HexNeighbour(map, p, d);
      if (b == kNoHexPosition) continue;
      const int64_t ib = HexCellIndex(map, b);
      if (ib < 0 || ib >= mapCells) continue;
      uint16_t* there = block.rangeMap + ib;
      if (sight && most <= *there) continue;
      uint32_t c = 0;
      if (!fromCell || ib >= cells)
        c = 0;
      else if (block.mode == -1)
        c = PlainCost(world, block, static_cast<size_t>(ib));
      else if (block.mode == -2)
        c = 1;
      else if (block.mode >= 0)
        c = FillMoveCost(world, block, map, p, b, d);
      if (c == 0) continue;
      int64_t next;
      if (block.budget != 0) {
        next = v - int64_t{block.costMultiplier} * c;
        if (next <= 0 || next <= *there) continue;
      } else {
        next = v + c;
        if (*there != 0 && *there <= next) continue;
      }
      *there = static_cast<uint16_t>(next);
      if (!Enqueue(block, b)) std::this_thread::yield();
    }
    block.head += 1;
    if (block.head > n) block.head = 0;
    if (block.stepLimit != 0 && --block.stepLimit == 0) break;
  }
}
