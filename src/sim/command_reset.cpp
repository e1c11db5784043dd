#include "sim/command_reset.h"

#include <algorithm>
#include <map>
#include <vector>

#include "sim/availability.h"
#include "sim/command_log.h"
#include "sim/hex_refresh.h"
#include "records/hex_unit_stack.h"
#include "world/unit_class.h"
#include "world/unit_create.h"
#include "records/unit_record.h"
#include "world/unit_ring.h"
#include "records/hex_cell.h"
#include "world/id_lookups.h"
#include "world/hex_extra.h"
#include "records/le_bytes.h"
#include "sim/map_derived_data.h"
#include "units/deployment_weight.h"
#include "world/region_figures.h"
#include "world/world.h"
#include "world/hex_stack_chains.h"

namespace {

constexpr int kProducts = 11;
constexpr int kFirstFacilityDesign = 4000;
constexpr int kOwnerScaledFirst = 4024;
constexpr int kOwnerScaledLast = 4047;
constexpr int kOwnerScaleEntry = 36;

const UnitClassRecord* ClassOf(const World& w, const UnitRecord& u) { return ClassRecordAt(w, u.classIndex); }
uint32_t ClassFlags(const World& w, const UnitRecord& u) {
  const UnitClassRecord* k = ClassOf(w, u);
  return k ? k->flags : 0;
}
bool IsActive(const UnitRecord& u) { return !(u.unitFlags & kUnitGone); }

float TerrainYield(const World& w, const HexCell& cell, int product) {
  const size_t t = static_cast<size_t>(CellTerrain(cell.word));
  if (t >= w.terrains.size()) return 0.0f;
  return le::LoadF32(w.terrains[t].bytes + 4 * product);
}

float WorldPrice(const World& w, int product) {
  const size_t at = 64 * static_cast<size_t>(product) + 4;
  return at + 4 <= w.worldEconomy.size() ? le::LoadF32(w.worldEconomy.data() + at) : 0.0f;
}

HexCell* CellAt(World& w, int32_t x, int32_t y) {
  const int32_t width = w.mapHeader.width, height = w.mapHeader.height;
  if (width <= 0 || y < 0 || y >= height) return nullptr;
  const size_t i = static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(WrapX(x, width));
  return i < w.cells.size() ? &w.cells[i] : nullptr;
}

// The six neighbours of a hex; a neighbour past the top or bottom row is no
// hex (columns wrap).
std::vector<HexCell*> Neighbours(World& w, int32_t x, int32_t y) {
  static constexpr int kDx[6] = {-1, 0, 1, -1, 0, 1};
  static constexpr int kDyEven[6] = {-1, -1, -1, 0, 1, 0};
  static constexpr int kDyOdd[6] = {0, -1, 0, 1, 1, 1};
  const int* dy = (x & 1) ? kDyOdd : kDyEven;
  std::vector<HexCell*> out;
  for (int d = 0; d < 6; ++d)
    if (HexCell* n = CellAt(w, x + kDx[d], y + dy[d])) out.push_back(n);
  return out;
}

// Step 1.2: the presence flags of a hex from the units of its four chains
// and from its lead.
uint8_t PresenceFlags(const World& w, const HexUnitStack& stack) {
  uint8_t state = 0;
  for (const UnitRecord* first : stack.chainA)
    for (const UnitRecord* u = first; u; u = u->nextInChainA) {
      if (u->unitFlags & kUnitMoved) continue;
      const uint32_t cf = ClassFlags(w, *u);
      if (cf & kClassFortifies) state |= 2;
      if ((cf & kClassBuildsWorks) && (u->orders[kOrderFlags] & kOrderWorks)) state |= 1;
    }
  if (const UnitRecord* lead = stack.lead) {
    const uint32_t cf = ClassFlags(w, *lead);
    if (IsActive(*lead) && lead->classIndex != 0 && !InReserve(*lead) &&
        (cf & kClassBuildsWorks) && (cf & kClassRoad))
      state |= 1;
  }
  return state;
}

// A unit about to be freed leaves every unit group that names it.
void TakeOutOfGroups(World& w, UnitRecord& unit) {
  WorldLockGuard hold(w, kLockRecurring);
  for (auto& player : w.unitGroups.groups)
    for (ListHolder& group : player) {
      std::vector<ListItem28*> doomed;
      if (ListNode* first = group.first) {
        ListNode* node = first;
        do {
          auto* item = static_cast<ListItem28*>(node);
          if (item->object == &unit) doomed.push_back(item);
          node = node->next();
        } while (node && node != first);
      }
      for (ListItem28* item : doomed) {
        ListNode* next = item->next();
        if (group.first == item) group.first = (next && next != item) ? next : nullptr;
        item->Unlink();
        DeleteZeroed(item);
      }
    }
}

void ResetHexes(World& w) {
  const int32_t width = w.mapHeader.width;
  for (size_t i = 0; i < w.cells.size(); ++i) {
    HexCell& cell = w.cells[i];
    HexUnitStack* stack = LoadHexStack(cell);
    if (stack && stack->lead) {
      UnitRecord* lead = stack->lead;
      if (!(ClassFlags(w, *lead) & kClassFacility)) {
        // A lead that is no facility is taken off the map for good.
        UnitHexRefresh(w, *lead);
        stack->lead = nullptr;
        RemoveUnitFromMap(w, *lead);
        TakeOutOfGroups(w, *lead);
        delete lead;
      } else if (width > 0) {
        const auto x = static_cast<int16_t>(static_cast<int64_t>(i) % width);
        const auto y = static_cast<int16_t>(static_cast<int64_t>(i) / width);
        if (lead->x != x || lead->y != y) {
          lead->x = x;
          lead->y = y;
        }
      }
    }
    if (stack) {
      const uint8_t state = PresenceFlags(w, *stack);
      if (stack->extra || state != 0) {
        HexExtra* extra = GetHexExtra(w, cell);
        if (extra) extra->bytes10[1] = state;
      }
    }
    cell.word &= ~0x00FF0000u;
  }
}

void ResetPlayers(World& w) {
  for (int p = 0; p < kMaxPlayers; ++p) {
    PlayerRecord& r = w.players[p];
    r.commandCounter = 0;
    r.pendingCommands = 0;
    // The weight reserved by deployments not yet settled: none are, once
    // the log is emptied.
    SetPendingDeployments(w, p, 0.0f);
    if (LoadRegionFloat(r, kRegionPopReserve) < 0.0f) StoreRegionFloat(r, kRegionPopReserve, 0.0f);
    uint8_t* designs = DesignRow(w, p);
    if (!designs) continue;
    // Technology 0 stands for "none" and counts as known wherever it is
    // listed; its own entry starts cleared.
    ClearTechAndDependents(w, p, 0, false);
    if (PlayerTechState* techs = TechRow(w, p)) {
      const int count = std::min<int>(w.gameState.techCount, static_cast<int>(w.techs.size()));
      for (int t = 1; t < count; ++t) {
        if (!techs[t].known || w.techs[static_cast<size_t>(t)].category == 0) continue;
        for (int16_t need : w.techs[static_cast<size_t>(t)].prerequisites)
          if (need > 0 && need < count && !techs[need].known) GrantTechRecursive(w, p, need);
      }
    }
    const size_t width = static_cast<size_t>(w.gameState.designRowBytes);
    for (size_t k = kFirstFacilityDesign; k < w.unitClasses.size() && k < width; ++k) {
      const uint32_t cf = w.unitClasses[k].flags;
      if ((cf & kClassFacility) && !(cf & kClassNotDesign)) designs[k] |= 1;
    }
  }
}

// Step 3.4.1: the share of its full yield a yielding facility can reach on
// its hex.
float YieldShare(World& w, const UnitRecord& unit, const UnitClassRecord& k, HexCell& cell, int32_t x, int32_t y) {
  if (!(k.flags & kClassSpecialWeaponB) || !k.hasExtra) return 1.0f;
  float scale = 1.0f;
  if (unit.classIndex >= kOwnerScaledFirst && unit.classIndex <= kOwnerScaledLast && unit.owner < kMaxPlayers)
    scale = w.techEffects[unit.owner][kOwnerScaleEntry + (unit.classIndex - kOwnerScaledFirst)];
  const HexUnitStack* stack = LoadHexStack(cell);
  const bool improved = stack && stack->extra && (stack->extra->pairB[0] & 1u);
  const std::vector<HexCell*> around = Neighbours(w, x, y);
  const float hexSize = static_cast<float>(w.mapHeader.hexScale);
  const float hexArea = hexSize * hexSize / 400.0f;
  float full = 0.0f, reached = 0.0f;
  for (int p = 0; p < kProducts; ++p) {
    float potential = 2.0f * TerrainYield(w, cell, p);
    for (HexCell* n : around) potential += TerrainYield(w, *n, p);
    const float own = improved ? 0.0f : TerrainYield(w, cell, p);
    const float c = std::min(scale * le::LoadF32(k.extra.data() + 4 * p), 1.0f);
    const float a = std::min(c, ((k.flags & kClassFullAvailability) ? 1.0f : potential) - own);
    const float price = WorldPrice(w, p);
    full += c * price * hexArea;
    reached += a * price * hexArea;
  }
  return full > reached ? reached / full : 1.0f;
}

// The lead's strength limit and strength held to the share, with the repair
// owed and the repairing mark in both order copies.
void HoldLeadTo(World& w, UnitRecord& lead, float share) {
  const UnitClassRecord* k = ClassOf(w, lead);
  const float repairCost = k ? k->buildWorkPerPoint : 0.0f;
  auto mark = [&](bool on) {
    for (OrderBlock* o : {&lead.orders, &lead.ordersShown})
      (*o)[kPostureBits] = on ? ((*o)[kPostureBits] | kPostureUnderConstruction) : ((*o)[kPostureBits] & ~kPostureUnderConstruction);
  };
  if (lead.targetStrength > share) {
    lead.targetStrength = share;
    const bool owed = lead.strength < share;
    lead.buildWork = owed ? (share - lead.strength) * repairCost : 0.0f;
    mark(owed);
  }
  if (lead.strength > share + 0.05f) {
    lead.strength = share;
    const bool owed = share < lead.targetStrength;
    lead.buildWork = owed ? (lead.targetStrength - share) * repairCost : 0.0f;
    mark(owed);
  }
}

void ResetFacility(World& w, UnitRecord& unit) {
  const UnitClassRecord* k = ClassOf(w, unit);
  const int32_t width = w.mapHeader.width;
  HexCell* cell = CellAt(w, unit.x, unit.y);
  if (!k || !cell || width <= 0) return;
  const int32_t x = WrapX(unit.x, width);
  if (k->flags & kClassProduction) {
    const float share = YieldShare(w, unit, *k, *cell, x, unit.y);
    if (share < 0.02f) {
      SetUnitClass(w, unit, true, 0);
      return;
    }
    HexUnitStack* stack = LoadHexStack(*cell);
    UnitRecord* lead = stack ? stack->lead : nullptr;
    if (lead && IsActive(*lead) && lead->classIndex != 0 && !(lead->unitFlags & kUnitProvisional)) HoldLeadTo(w, *lead, share);
  }
  unit.owner = unit.controller = static_cast<uint8_t>(CellOwner(cell->word));
  NoteUnitOwnerChange(w);
  const uint8_t bottom = k->sweepLower, top = k->sweepUpper;
  uint8_t* variants = reinterpret_cast<uint8_t*>(static_cast<UnitImage*>(&unit)) + 64;
  if (variants[0] < bottom || variants[0] > top) {
    uint8_t v = static_cast<uint8_t>(variants[0] % (top + 1));
    if (v < bottom || v > top) v = bottom;
    for (int i = 0; i < 4; ++i) variants[i] = v;
  }
  const bool mapOption = (w.mapHeader.word600 & 1u) && (k->flags & kClassSpecialWeaponA);
  unit.unitFlags = mapOption ? (unit.unitFlags | kUnitMapOption) : (unit.unitFlags & ~kUnitMapOption);
}

// The units of the ring, in ring order.
std::vector<UnitRecord*> RingUnits(World& w) {
  std::vector<UnitRecord*> units;
  if (UnitRecord* first = w.units) {
    UnitRecord* u = first;
    do {
      units.push_back(u);
      u = u->next;
    } while (u && u != first);
  }
  return units;
}

void Relink(World& w, std::vector<UnitRecord*>& units) {
  std::stable_sort(units.begin(), units.end(), [](const UnitRecord* a, const UnitRecord* b) { return a->id < b->id; });
  WorldLockGuard hold(w, kLockUnits);
  const size_t n = units.size();
  for (size_t i = 0; i < n; ++i) {
    units[i]->next = units[(i + 1) % n];
    units[i]->prev = units[(i + n - 1) % n];
  }
  w.units = n ? units[0] : nullptr;
  ReindexUnits(w);
}

void ResetUnits(World& w) {
  std::vector<UnitRecord*> units = RingUnits(w);
  std::map<uint32_t, uint32_t> renamed;
  const int32_t width = w.mapHeader.width, height = w.mapHeader.height;
  for (UnitRecord* unit : units) {
    UnitRecord& u = *unit;
    const int owner = u.owner < kMaxPlayers ? u.owner : 0;
    PlayerRecord& r = w.players[owner];
    const uint32_t id = (++r.commandCounter & 0x00FFFFFFu) | (static_cast<uint32_t>(owner) << 24);
    renamed.emplace(u.id, id);
    u.id = id;
    if (u.x < 0 || u.x >= width || u.y < 0 || u.y >= height) {
      u.unitFlags |= kUnitGone;
      u.classIndex = 0;
    }
    if (const UnitClassRecord* k = ClassOf(w, u)) {
      u.unitType = k->typeByte;
      u.kind = k->kind;
      u.moveKind = k->kind == 3 ? 2 : k->kind;
      u.unitFlags = (k->flags & kClassFacility) ? (u.unitFlags | kUnitFacility) : (u.unitFlags & ~kUnitFacility);
      u.unitFlags = (k->flags & kClassStock) ? (u.unitFlags | kUnitStock) : (u.unitFlags & ~kUnitStock);
      if (k->flags & kClassFacility) ResetFacility(w, u);
    }
    u.ordersShown = u.orders;
    u.pendingOrders = 0;
    u.unitFlags &= ~kUnitProvisional;
  }
  // Links between units name ids: they follow their units to the new ids.
  for (UnitRecord* unit : units)
    for (size_t offset : kUnitLinkOffsets) {
      uint32_t& link = UnitLinkWord(*unit, offset);
      if (link == 0) continue;
      const auto found = renamed.find(link);
      link = found == renamed.end() ? 0 : found->second;
    }
  Relink(w, units);
}

}  // namespace

void ResyncCommands(World& world) {
  ResetHexes(world);
  ResetPlayers(world);
  ResetUnits(world);
  if (CommandLog* log = CommandLogOf(world)) log->Clear();
  RecalcDerivedMapData(world);
}
