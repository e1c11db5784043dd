#include "units/facilities/facility_build.h"

#include <algorithm>
#include <cmath>

#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/le_bytes.h"
#include "records/unit_record.h"
#include "sim/command_counts.h"
#include "units/hex_state.h"
#include "units/class_fields.h"
#include "units/facilities/hex_facility_state.h"
#include "units/hex_geometry.h"
#include "units/hex_stack_commands.h"
#include "world/day_tallies.h"
#include "world/unit_class.h"
#include "world/unit_create.h"
#include "units/unit_orders.h"
#include "world/hex_extra.h"
#include "world/map_folders.h"
#include "world/record_helpers.h"
#include "world/region_figures.h"
#include "world/terrain_flags.h"
#include "world/world.h"
#include "world/hex_stack_chains.h"

namespace {

namespace cf = classfields;

constexpr int kResources = 11;
constexpr int kSpills = 8;
constexpr size_t kWorldGoodsScale = 804;
constexpr int32_t kTechClassFirst = 4024;
constexpr int32_t kTechClassLast = 4047;
constexpr int kTechClassFactor = 36;
constexpr int32_t kLabelClass = 4127;
constexpr float kSmallestSize = 0.02f;
constexpr int kLowestLevel = 2;

bool Provisional(const UnitRecord& u) { return (u.unitFlags & kUnitProvisional) != 0; }

uint32_t CellPosition(const World& world, const HexCell& cell) {
  const auto index = static_cast<size_t>(&cell - world.cells.data());
  const auto width = static_cast<size_t>(std::max(world.mapHeader.width, 1));
  return MakeHexPos(static_cast<int32_t>(index % width), static_cast<int32_t>(index / width));
}

const HexCell* NeighbourCell(const World& world, const HexCell& cell, int d) {
  const HexMapShape map = MapShape(world);
  const int64_t i = HexCellIndex(map, HexNeighbour(map, CellPosition(world, cell), d));
  return i < 0 || static_cast<size_t>(i) >= world.cells.size() ? nullptr : &world.cells[static_cast<size_t>(i)];
}

uint32_t TerrainFlagsOf(const World& world, const HexCell& cell) {
  const TerrainRecord* t = TerrainOf(world, cell);
  return t ? TerrainFlags(*t) : 0;
}

float WorldFloat(const World& world, size_t at) {
  return at + 4 <= world.worldEconomy.size() ? le::LoadF32(world.worldEconomy.data() + at) : 0.0f;
}

UnitRecord* LiveLead(const HexCell& cell) {
  HexUnitStack* stack = LoadHexStack(cell);
  UnitRecord* f = stack ? stack->lead : nullptr;
  return f && IsUnitLive(*f) ? f : nullptr;
}

bool PlacementAllowed(const World& world, const HexCell& cell, const UnitClassRecord& cls, float size) {
  const uint32_t flags = cls.flags;
  if ((world.mapHeader.word600 & 1u) && (flags & kClassSpecialWeaponA)) {
    for (int d = 0; d < 6; ++d) {
      const HexCell* n = NeighbourCell(world, cell, d);
      const UnitRecord* f = n ? LiveLead(*n) : nullptr;
      const UnitClassRecord* fc = f ? UnitClassOf(world, *f) : nullptr;
      if (fc && (fc->flags & kClassSpecialWeaponA)) return false;
    }
  }
  if (flags & kClassHaven) {
    int neighbours = 0, water = 0;
    for (int d = 0; d < 6; ++d)
      if (const HexCell* n = NeighbourCell(world, cell, d)) {
        ++neighbours;
        water += (TerrainFlagsOf(world, *n) & kTerrainWater) ? 1 : 0;
      }
    if (neighbours > 0 && water == neighbours) return false;
  }
  const TerrainRecord* own = TerrainOf(world, cell);
  const bool onWater = (TerrainFlagsOf(world, cell) & kTerrainWater) != 0;
  const bool waterClass = (flags & (kClassLandsOnCarrier | kClassBuildsWorks)) != 0;
  if (onWater && !waterClass) return false;
  if ((!own || cf::TerrainMovement(*own, 0) == 0) && !waterClass) return false;
  if ((flags & kClassLandsOnCarrier) && !onWater) return false;
  return size >= kSmallestSize;
}

// The pass's flag byte of site i.
uint8_t& SiteByte(HexExtra& e, int i, int pass) { return pass == 0 ? HexSlotDisplayFlags(e, i) : HexSlotSimFlags(e, i); }

int32_t SiteKind(HexExtra& e, int i, int pass) {
  if (!(SiteByte(e, i, pass) & kSlotInUse)) return 0;
  return SlotImprovementClass(HexSlotClass(e, i));
}

bool NeighbourHasSite(const World& world, const HexCell& cell, int32_t kind, int pass) {
  for (int d = 0; d < 6; ++d) {
    const HexCell* n = NeighbourCell(world, cell, d);
    HexUnitStack* stack = n ? LoadHexStack(*n) : nullptr;
    if (!stack || !stack->extra) continue;
    for (int i = 0; i < 2; ++i)
      if (SiteKind(*stack->extra, i, pass) == kind) return true;
  }
  return false;
}

}  // namespace

uint8_t HexLevelByte(const World& world, const HexCell& cell) {
  const auto index = static_cast<size_t>(&cell - world.cells.data());
  return index < world.cellBytes.size() ? world.cellBytes[index] : 0;
}

float EngineerEffort(const World& world, const HexCell& cell) {
  float s = 1.0f;
  for (int d = 0; d <= 6; ++d) {
    const HexCell* c = d == 6 ? &cell : NeighbourCell(world, cell, d);
    const HexUnitStack* stack = c ? LoadHexStack(*c) : nullptr;
    if (!stack || !stack->extra || !(HexPresenceFlags(*stack->extra) & kPresenceRepair)) continue;
    for (const UnitRecord* u = stack->chainA[0]; u; u = u->nextInChainA) {
      const UnitClassRecord* cls = UnitClassOf(world, *u);
      if (!cls || !(cls->flags & kClassFortifies) || (u->unitFlags & kUnitMoved) ||
          (u->orders[kOrderFlags] & kOrderMissionBits))
        continue;
      s = s + u->morale * u->efficiency * u->strength * std::max(0.0f, 1.0f - u->disruption) / 50.0f;
    }
  }
  return s;
}

float SupplyLevelFactor(uint8_t level, float sup) {
  return (static_cast<float>(level) / 125.0f + sup + 1.0f) / 3.0f;
}

void NeighbourhoodSpill(const TerrainRecord& own, const TerrainRecord* const (&around)[6], float (&spill)[11]) {
  for (int k = 0; k < kResources; ++k) spill[k] = 0.0f;
  for (int k = 0; k < kSpills; ++k) {
    float sum = 2.0f * cf::TerrainSpill(own, k);
    for (const TerrainRecord* t : around)
      if (t) sum = sum + cf::TerrainSpill(*t, k);
    spill[k] = sum / 8.0f;
  }
}

void HexAreaSpill(const World& world, const HexCell& cell, float (&spill)[11]) {
  for (float& v : spill) v = 0.0f;
  const TerrainRecord* own = TerrainOf(world, cell);
  if (!own) return;
  const TerrainRecord* around[6] = {};
  for (int d = 0; d < 6; ++d)
    if (const HexCell* n = NeighbourCell(world, cell, d)) around[d] = TerrainOf(world, *n);
  NeighbourhoodSpill(*own, around, spill);
}

SiteSupply HexSiteResources(const World& world, const HexCell& cell) {
  SiteSupply out;
  const TerrainRecord* own = TerrainOf(world, cell);
  if (!own) return out;
  float spill[kResources];
  HexAreaSpill(world, cell, spill);
  bool noOwnUse = false;
  if (const HexUnitStack* s = LoadHexStack(cell); s && s->extra)
    noOwnUse = (HexSlotSimFlags(*s->extra, 0) & kSlotNoYield) != 0;
  for (int i = 0; i < kResources; ++i) {
    const float resource = cf::TerrainResource(*own, i);
    out.available[i] = resource > spill[i] ? resource : std::min(spill[i], 1.0f);
    out.used[i] = noOwnUse ? 0.0f : resource;
  }
  return out;
}

SiteSupply HexSiteSupply(const World& world, const HexCell& cell, const UnitClassRecord& cls, int32_t classIndex,
                         int techOwner) {
  SiteSupply out = HexSiteResources(world, cell);
  float needs[kResources];
  if (!cf::ProductValues(cls, needs) || !TerrainOf(world, cell)) return out;
  float q = 1.0f;
  if (classIndex >= kTechClassFirst && classIndex <= kTechClassLast)
    q = world.techEffects[techOwner & 31][kTechClassFactor + (classIndex - kTechClassFirst)];
  const float scale = WorldFloat(world, kWorldGoodsScale);
  for (int i = 0; i < kResources; ++i) {
    const float u =
        SiteResourceShare(q, needs[i], out.available[i], out.used[i], (cls.flags & kClassFullAvailability) != 0).usable;
    const float weight = WorldFloat(world, kWorldProductBytes * static_cast<size_t>(i) + product::kWorldOutputWeight);
    out.need = out.need + needs[i] * weight * scale * q;
    out.supply = out.supply + u * weight * scale;
  }
  return out;
}

ResourceShare SiteResourceShare(float q, float need, float available, float used, bool fullAvailability) {
  ResourceShare out;
  out.cap = std::min(q * need, 1.0f);
  const float d = (fullAvailability ? 1.0f : available) - used;
  out.usable = d < out.cap ? d : out.cap;
  return out;
}

float SupplyCarriedSize(const SiteSupply& s, float size) {
  const float wanted = s.need * size;
  if (!(wanted > 0.0f) || !(s.supply < wanted)) return size;
  return s.supply / wanted * size;
}

void RemakeFacility(World& world, HexCell& cell, int pass, float size, int32_t classIndex) {
  HexUnitStack* stack = LoadHexStack(cell);
  UnitRecord* f = stack ? stack->lead : nullptr;
  if (!f) return;
  if (pass == 0 && f->classIndex != 0 && !Provisional(*f)) return;
  const int owner = CellOwner(cell.word);
  f->owner = f->controller = static_cast<uint8_t>(owner);
  NoteUnitOwnerChange(world);
  SetUnitClass(world, *f, pass == 1, classIndex);
  if (pass == 0)
    f->unitFlags |= kUnitProvisional;
  else
    f->unitFlags &= ~kUnitProvisional;
  PassOrders(*f, pass)[kPostureBits] &= ~kPostureInReserve;
  const UnitClassRecord* cls = UnitClassOf(world, *f);
  if (cls && (cls->flags & kClassProduction)) {
    const float wanted = size > 0.0f ? size : 1.0f;
    const SiteSupply s = HexSiteSupply(world, cell, *cls, classIndex, owner);
    const float wanted2 = s.need * wanted;
    // With no need to weigh, a supply below nothing feeds nothing.
    const float carried = !(wanted2 > 0.0f) && s.supply < 0.0f ? 0.0f : SupplyCarriedSize(s, wanted);
    if (!(carried > 0.0f)) {
      const bool wasLive = IsUnitLive(*f);
      f->classIndex = 0;
      NoteUnitLiveChange(world, *f, wasLive);
    } else {
      LeadUnitSetTargetStrength(world, cell, pass, carried);
      LeadUnitSetStrength(world, cell, pass, std::min(size, carried));
      if (size == 0.0f) SetStackUnitState(world, cell, pass, 1);
    }
  }
  CountUnitOrder(world, *f, pass);
}

int ProcessUnitStack(World& world, HexCell& cell, int pass, uint32_t id, int32_t classIndex, float size, bool checkOnly,
                     bool complete, bool localOnly) {
  const int owner = CellOwner(cell.word);
  const int local = world.gameState.localPlayer & 31;
  if (localOnly && owner != local) return 0;
  if (UnitRecord* lead = LiveLead(cell)) {
    if (!Provisional(*lead) || (pass == 0 && owner == local)) return 0;
  }
  const UnitClassRecord* cls = classIndex > 0 ? ClassRecordAt(world, classIndex) : nullptr;
  if (!cls) return 0;
  UnitRecord* f = nullptr;
  if (!checkOnly) {
    f = EnsureHexFacility(world, cell, id, false);
    if (!f) return 0;
  }
  auto refuse = [&]() {
    if (f) CountUnitOrder(world, *f, pass);
    return 0;
  };
  const SiteSupply s = HexSiteSupply(world, cell, *cls, classIndex, owner);
  // No need to weigh and a supply below nothing: the hex feeds nothing.
  if (!(s.need * size > 0.0f) && s.supply < 0.0f) return refuse();
  size = SupplyCarriedSize(s, size);
  if (!PlacementAllowed(world, cell, *cls, size)) return refuse();
  const bool anyLevel = (cls->flags & kClassRoad) != 0;
  // The editor places facilities where no supply reaches yet: a new map's
  // levels are all 0 until towns stand on it.
  if (!InMapEditor() && HexLevelByte(world, cell) < kLowestLevel && !anyLevel &&
      !((cls->flags & kClassFortifies) && EngineerEffort(world, cell) > 1.0f))
    return refuse();
  if (HexUnitStack* stack = LoadHexStack(cell); stack && stack->extra && !anyLevel &&
      (SiteByte(*stack->extra, 0, pass) & kSlotNoYield))
    return refuse();
  if (checkOnly) return 1;
  RemakeFacility(world, cell, pass, size, classIndex);
  LeadUnitSetTargetStrength(world, cell, pass, size);
  if (complete) {
    LeadUnitSetStrength(world, cell, pass, size);
    LeadUnitSetModeA(world, cell, pass, 0);
    SetFacilityModeB(world, *f, pass, 0);
  } else {
    LeadUnitSetStrength(world, cell, pass, 0.0f);
    LeadUnitSetModeA(world, cell, pass, 1);
  }
  CountUnitOrder(world, *f, pass);
  return 1;
}

int BuildHexSite(World& world, HexCell& cell, int pass, uint32_t id, int32_t siteKind, int value, bool checkOnly,
                 bool mark, bool localOnly) {
  const int owner = CellOwner(cell.word);
  if (localOnly && owner != (world.gameState.localPlayer & 31)) return 0;
  HexUnitStack* stack = LoadHexStack(cell);
  HexExtra* e = stack ? stack->extra : nullptr;
  if (e) {
    for (int i = 0; i < 2; ++i) {
      if (SiteKind(*e, i, pass) != siteKind) continue;
      const uint8_t b = SiteByte(*e, i, pass);
      if (b & (kSlotHeld | kSlotRemoving)) continue;
      const uint8_t cb = HexSlotClass(*e, i);
      const int first = (b & kSlotReach0) ? (cb & 7) : kNoDirection;
      const int second = (b & kSlotReach1) ? ((cb >> 3) & 7) : kNoDirection;
      if (first == value || second == value) return 0;
    }
  }
  int slot = -1;
  for (int i = 1; i >= 0 && slot < 0; --i) {
    if (!e) {
      slot = i;
      break;
    }
    const bool freeHere = !(SiteByte(*e, i, pass) & kSlotInUse);
    const bool freeThere = pass == 1 || !(HexSlotSimFlags(*e, i) & kSlotInUse);
    if (freeHere && freeThere) slot = i;
  }
  if (slot < 0) return 0;
  if ((TerrainFlagsOf(world, cell) & kTerrainWater) && !NeighbourHasSite(world, cell, siteKind, pass)) {
    if (!checkOnly && e) HexStateCount(*e, pass);
    return 0;
  }
  if (checkOnly) return 1;
  if (!e) e = GetHexExtra(world, cell);
  if (!e) return 0;
  HexStateSetMode(*e, slot, pass, siteKind);
  HexStateSetSlot(*e, slot, 0, pass, value & 7, false);
  const TerrainRecord* own = TerrainOf(world, cell);
  if (own && cf::TerrainMovement(*own, 0) == 0 && !LiveLead(cell))
    ProcessUnitStack(world, cell, pass, id, kLabelClass, 1.0f, false, false);
  if (mark) {
    HexStateSetFlag2(*e, slot, pass, false);
    SetHexSlotProgress(*e, slot, 1.0f);
  }
  HexStateCount(*e, pass);
  return 1;
}
