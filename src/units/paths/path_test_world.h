#pragma once
// Test support for the path search and routes: a small world whose map,
// terrain, facilities and works the tests lay out, a walk of a stored way
// and a brute-force cheapest-cost search over MoveCost to compare with.
#include <cstring>
#include <limits>
#include <memory>
#include <queue>
#include <random>
#include <vector>

#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/le_bytes.h"
#include "records/unit_record.h"
#include "units/hex_geometry.h"
#include "units/paths/move_cost.h"
#include "units/paths/path_search.h"
#include "world/hex_extra.h"
#include "world/map_data.h"
#include "world/world.h"

class PathTestWorld {
 public:
  PathTestWorld(int width, int height, bool wraps) : world_(std::make_unique<World>()) {
    World& w = *world_;
    ResizeMap(w, width, height);
    reinterpret_cast<uint8_t*>(&w.mapHeader)[67] = wraps ? 1 : 0;
    w.terrains.assign(kTerrainCount, TerrainRecord{});
    w.unitClasses.assign(4130, UnitClassRecord{});
    for (HexCell& c : w.cells) c.word = WithCellTerrain(WithCellOwner(0, 1), 1);
    Terrain(1, 1);
  }
  ~PathTestWorld() {
    for (HexCell& c : world_->cells)
      if (c.stack) c.stack->lead = nullptr;
  }

  World& world() { return *world_; }
  HexMapShape map() const { return MapShape(*world_); }
  HexCell& Cell(uint32_t position) { return *HexCellAt(*world_, map(), position); }

  // Terrain type t costs every movement type `cost` (0 impassable).
  void Terrain(int t, uint8_t cost, uint32_t flags = 0) {
    TerrainRecord& r = world_->terrains[static_cast<size_t>(t)];
    for (int m = 0; m < 8; ++m) r.bytes[120 + m] = cost;
    le::Store32(r.bytes + 136, flags);
  }
  void Hex(uint32_t position, int terrain, int owner = 1) {
    Cell(position).word = WithCellTerrain(WithCellOwner(0, owner), terrain);
  }
  UnitClassRecord& Class(int i, uint32_t flags, uint8_t land, uint8_t sea = 0) {
    UnitClassRecord& c = world_->unitClasses[static_cast<size_t>(i)];
    c.flags = flags;
    c.hexMoveCost = land;
    c.hexSeaMoveCost = sea;
    return c;
  }
  UnitRecord& Facility(uint32_t position, int classIndex) {
    units_.push_back(std::make_unique<UnitRecord>());
    UnitRecord& u = *units_.back();
    u.classIndex = static_cast<int16_t>(classIndex);
    u.unitFlags = kUnitFacility;
    u.x = static_cast<int16_t>(HexX(position));
    u.y = static_cast<int16_t>(HexY(position));
    GetStackDataLocked(position)->lead = &u;
    return u;
  }
  // A works slot (ends 6 for none) of the first or second works class.
  void Works(uint32_t position, int slot, int endA, int endB, bool second = false) {
    uint8_t* b = reinterpret_cast<uint8_t*>(static_cast<HexExtraImage*>(GetHexExtra(*world_, Cell(position))));
    b[32 + slot] = static_cast<uint8_t>((endA == 6 ? 0 : endA) | ((endB == 6 ? 0 : endB) << 3) | (second ? 0x40 : 0));
    b[36 + slot] = static_cast<uint8_t>((endA == 6 ? 0 : 0x10) | (endB == 6 ? 0 : 0x20));
    le::StoreF32(b + 40 + 4 * slot, 1.0f);
  }
  void CrossingMark(uint32_t position) {
    reinterpret_cast<uint8_t*>(static_cast<HexExtraImage*>(GetHexExtra(*world_, Cell(position))))[11] |= 1;
  }

  // Rough ground, as the path benchmark lays it: terrain types 10 to 15
  // cost 1, 2, 3, 5, 8 and nothing, drawn hex by hex in the proportions
  // 8:4:3:2:1:2.
  void LayRoughGround(std::mt19937& rng) {
    const uint8_t costs[] = {1, 2, 3, 5, 8, 0};
    for (int k = 0; k < 6; ++k) Terrain(10 + k, costs[k]);
    const HexMapShape m = map();
    for (int y = 0; y < m.height; ++y)
      for (int x = 0; x < m.width; ++x) {
        const uint32_t roll = rng() % 20;
        const int type = roll < 8 ? 10 : roll < 12 ? 11 : roll < 15 ? 12 : roll < 17 ? 13 : roll < 18 ? 14 : 15;
        if (MakeHexPos(x, y) != kNoHexPosition) Hex(MakeHexPos(x, y), type);
      }
  }
  // A hex below the top row drawn from `rng`: the row is drawn before the
  // column, which keeps the benchmark's pairs as they have always been.
  uint32_t RandomHex(std::mt19937& rng) const {
    const HexMapShape m = map();
    const int y = 1 + static_cast<int>(rng() % static_cast<uint32_t>(m.height - 1));
    const int x = static_cast<int>(rng() % static_cast<uint32_t>(m.width));
    return MakeHexPos(x, y);
  }

  MoveRules Rules(const PathSearchBlock& b) const {
    MoveRules r;
    r.mode = b.moveMode;
    r.ownerMask = b.ownerMask;
    r.useAltCost = b.useAltCost;
    r.levelCost = (b.flags & kSearchLevelCost) != 0;
    r.mover = b.mover;
    return r;
  }

  // The hexes a stored way passes through from `from`, last byte first.
  // Sets `cost` to the sum of MoveCost of its moves and `lastMove` to that
  // of the move into the final hex; false when a move leaves the map.
  bool Walk(const PathSearchBlock& b, std::vector<uint32_t>& hexes, uint64_t& cost, uint32_t& lastMove) {
    const MoveRules rules = Rules(b);
    hexes.assign(1, b.from);
    cost = 0;
    lastMove = 0;
    for (size_t i = b.steps.size(); i-- > 0;) {
      if (b.steps[i] == kNoMove) continue;
      const int d = OppositeDirection(b.steps[i]);
      const uint32_t next = HexNeighbour(map(), hexes.back(), d);
      if (next == kNoHexPosition) return false;
      lastMove = MoveCost(*world_, map(), rules, hexes.back(), next, d);
      cost += lastMove;
      hexes.push_back(next);
    }
    return true;
  }

  // The cheapest cost of every hex from `from` over moves MoveCost allows
  // (max for none).
  std::vector<uint64_t> Cheapest(const PathSearchBlock& b, uint32_t from) {
    const MoveRules rules = Rules(b);
    const HexMapShape m = map();
    std::vector<uint64_t> best(world_->cells.size(), std::numeric_limits<uint64_t>::max());
    using Item = std::pair<uint64_t, uint32_t>;
    std::priority_queue<Item, std::vector<Item>, std::greater<>> open;
    best[static_cast<size_t>(HexCellIndex(m, from))] = 0;
    open.push({0, from});
    while (!open.empty()) {
      const auto [g, at] = open.top();
      open.pop();
      if (g != best[static_cast<size_t>(HexCellIndex(m, at))]) continue;
      for (int d = 0; d < 6; ++d) {
        const uint32_t next = HexNeighbour(m, at, d);
        if (next == kNoHexPosition) continue;
        const uint32_t c = MoveCost(*world_, m, rules, at, next, d);
        if (c == 0) continue;
        uint64_t& known = best[static_cast<size_t>(HexCellIndex(m, next))];
        if (g + c < known) {
          known = g + c;
          open.push({known, next});
        }
      }
    }
    return best;
  }

 private:
  HexUnitStack* GetStackDataLocked(uint32_t position) { return MakeHexStack(Cell(position)); }

  std::unique_ptr<World> world_;
  std::vector<std::unique_ptr<UnitRecord>> units_;
};
