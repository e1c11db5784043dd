#include "sim/daily/hex_pass.h"

#include "sim/facility_costs.h"
#include "sim/hex_refresh.h"
#include "sim/hex_state.h"
#include "sim/player_messages.h"
#include "units/hex_unit_stack.h"
#include "units/unit_class.h"
#include "units/unit_record.h"
#include "world/hex_cell.h"
#include "world/player_record.h"
#include "world/world.h"

namespace {

constexpr uint32_t kMsgHexLost = 446;
constexpr uint32_t kClassNoDefence = 1u << 26;
constexpr uint32_t kTerrainQuiet = 1u << 0;      // flag bit 0: no loss message; poor supply
constexpr uint32_t kTerrainPoorSupply = 1u << 5;
constexpr uint32_t kTerrainFullSupply = 1u << 6;
constexpr uint32_t kOrderStandDown = 1u << 14;    // order word 13
constexpr uint32_t kOrderHoldGround = 1u << 16;   // order word 11

bool Live(const UnitRecord& u) { return !(u.flags & (kUnitRemoved | kUnitHidden)) && u.classIndex != 0; }
bool Working(const UnitRecord& u) { return Live(u) && !(u.simOrders[kOrderStateWord] & kOrdersInactive); }

uint32_t ClassFlagsOf(const World& world, const UnitRecord& u) {
  const UnitClassRecord* c = UnitClassOf(world, u);
  return c ? c->flags : 0;
}

const TerrainRecord* TerrainOf(const World& world, uint32_t word) {
  const size_t t = static_cast<size_t>(CellTerrain(word));
  return t < world.terrains.size() ? &world.terrains[t] : nullptr;
}

uint32_t TerrainFlags(const TerrainRecord* t) { return t ? le::Load32(t->bytes + kTerrainFlagsAt) : 0; }

const UnitRecord* LiveLead(const HexCell& cell) {
  const HexUnitStack* stack = LoadHexStack(cell);
  return stack && stack->lead && Live(*stack->lead) ? stack->lead : nullptr;
}

// A unit that keeps its hex from falling: a working unit of the owner or of
// a friend of the owner that is no enemy, of a class that may defend, on the
// land (category 0) or sea (category 2) chains, not standing down.
bool IsDefender(const World& world, const UnitRecord& u, int category, int owner) {
  if (!Working(u)) return false;
  const PlayerPolicyBlock& policy = world.players[owner].simPolicy;
  const uint32_t bit = 1u << (u.owner & 31u);
  const bool side = u.owner == owner || ((policy.friendlyMask & bit) && !(policy.hostileMask & bit));
  if (!side) return false;
  if (ClassFlagsOf(world, u) & kClassNoDefence) return false;
  if (category != 0 && category != 2) return false;
  if ((u.simOrders[kOrderSettingWordA] & kOrderStandDown) && !(u.simOrders[kOrderFlagsWord] & kOrderHoldGround))
    return false;
  return true;
}

bool DefendedAround(const World& world, int32_t x, int32_t y, int owner) {
  for (int d = 0; d <= 6; ++d) {
    const int32_t n = HexNeighbourCell(world, x, y, d);
    if (n < 0) continue;
    const HexUnitStack* stack = LoadHexStack(world.cells[static_cast<size_t>(n)]);
    if (!stack) continue;
    for (int cat = 0; cat < 4; ++cat)
      for (const UnitRecord* u = stack->chainA[cat]; u; u = u->nextInChainA)
        if (IsDefender(world, *u, cat, owner)) return true;
  }
  return false;
}

// Whether a level-0 hex falls to a hostile neighbour; returns the player it
// falls to, or -1.
int Takeover(World& world, const HexDayMaps& maps, int32_t cell, int32_t x, int32_t y) {
  const uint32_t word = world.cells[static_cast<size_t>(cell)].word;
  const int owner = CellOwner(word);
  const int contender = CellLoyalTo(word);
  int counts[kMaxPlayers] = {};
  int best = -1;
  int bestCount = 0;
  for (int d = 0; d < 6; ++d) {
    const int32_t n = HexNeighbourCell(world, x, y, d);
    if (n < 0 || maps.levels[static_cast<size_t>(n)] <= 1) continue;
    const int other = CellOwner(world.cells[static_cast<size_t>(n)].word);
    if (other == owner) {
      ++counts[owner];
    } else if (world.players[other].simPolicy.hostileMask & (1u << owner)) {
      if (++counts[other] > bestCount) {
        bestCount = counts[other];
        best = other;
      }
    }
  }
  if (best < 0 || counts[owner] >= bestCount) return -1;
  const int candidate = counts[contender] > 0 ? contender : best;
  if (DefendedAround(world, x, y, owner)) return -1;
  if (!(TerrainFlags(TerrainOf(world, word)) & kTerrainQuiet)) {
    MessageParams p;
    p.p1 = static_cast<uint32_t>(x);
    p.p2 = static_cast<uint32_t>(y);
    PostPlayerMessage(world, world.players[owner], candidate, kMsgHexLost, nullptr, p);
  }
  // The hex changes hands: the battle over it is the units' business, the
  // cell's owner is the candidate from now on.
  world.cells[static_cast<size_t>(cell)].word = WithCellOwner(word, candidate);
  return candidate;
}

}  // namespace

uint8_t NextHexLevel(uint8_t level, uint16_t range) {
  const int target = range < 255 ? range : 255;
  if (level < target) {
    const int raised = level + range / 10 + 1;
    return static_cast<uint8_t>(raised < target ? raised : target);
  }
  return static_cast<uint8_t>(target);
}

bool DailyHexPassRuns(const World&) { return false; }

void DailyHexPass(World&) {
  // The world keeps no level or range map yet; the pass runs over them
  // through DailyHexPassOver once it does.
}

void DailyHexPassOver(World& world, HexDayMaps& maps) {
  const size_t cells = world.cells.size();
  const int32_t width = world.mapWidth;
  if (cells == 0 || width <= 0 || maps.levels.size() < cells || maps.ranges.size() < cells) return;
  for (size_t i = 0; i < cells; ++i) {
    HexCell& hex = world.cells[i];
    const int32_t cell = static_cast<int32_t>(i);
    const int32_t x = cell % width;
    const int32_t y = cell / width;

    const uint8_t level = NextHexLevel(maps.levels[i], maps.ranges[i]);
    maps.levels[i] = level;

    if (CellLoyalTo(hex.word) != 0 && world.gameState.turnNumber > 1 && level == 0)
      Takeover(world, maps, cell, x, y);
    const int owner = CellOwner(hex.word);
    const int contender = CellLoyalTo(hex.word);
    PlayerRecord& region = world.players[owner];

    const TerrainRecord* terrain = TerrainOf(world, hex.word);
    const uint32_t terrainFlags = TerrainFlags(terrain);
    ++region.dayHexCount;
    const float t = terrain ? static_cast<float>(terrain->bytes[kTerrainPopulationAt]) : 0.0f;
    const float rural = t != 0.0f ? t * t + 99.0f : 0.0f;
    HexUnitStack* stack = LoadHexStack(hex);
    HexExtra* extra = stack ? stack->extra : nullptr;
    const float pop = rural + (extra ? HexSettlementPopulation(*extra) : 0.0f);

    const UnitRecord* lead = LiveLead(hex);
    const uint32_t leadFlags = lead ? ClassFlagsOf(world, *lead) : 0;
    const float s = owner != contender ? 0.0f : lead ? lead->efficiency : world.players[contender].efficiency;

    region.dayPopulation += pop;
    region.dayRuralPopulation += rural;
    uint32_t supply;
    if ((leadFlags & kClassSettlement) || (terrainFlags & kTerrainFullSupply))
      supply = 3;
    else if (terrainFlags & (kTerrainQuiet | kTerrainPoorSupply))
      supply = 1;
    else
      supply = 2;
    if (owner != contender || s < 0.5f) supply = (supply + 3) & 3u;
    hex.word = (hex.word & ~3u) | supply;

    if (stack && stack->lead && Live(*stack->lead) && (stack->lead->simOrders[kOrderModeWord] & kOrderRunDown))
      UnitHexDailyUpdate(world, *stack->lead, level);

    if (extra) {
      for (int slot = 0; slot < 2; ++slot) {
        if (HexSlotClass(*extra, slot) == 0 || !(HexSlotSimFlags(*extra, slot) & kSlotInUse)) continue;
        if (HexSlotSimFlags(*extra, slot) & kSlotRemoving) HexStateUnitCheck(world, *extra, slot, level);
      }
    }
  }
}
