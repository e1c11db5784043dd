#include "units/unit_queries.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "app/game_math.h"
#include "records/le_bytes.h"
#include "records/player_kinds.h"
#include "records/unit_record.h"
#include "sim/sim_ui_link.h"
#include "units/class_fields.h"
#include "units/hex_geometry.h"
#include "world/unit_class.h"
#include "units/unit_player_fields.h"
#include "world/unit_tables.h"
#include "world/id_lookups.h"
#include "world/world.h"

namespace {

namespace cf = classfields;

bool Flag(const UnitClassRecord& c, int bit) { return ((c.flags >> bit) & 1u) != 0; }

// A rating byte above 150 counts for more: (b - 150) squared plus 150.
float Capped(uint8_t b) {
  const int v = b;
  return static_cast<float>(v <= 150 ? v : (v - 150) * (v - 150) + 150);
}

// Whether a carried unit counts under the switches.
bool Counted(const UnitRecord& q, bool ordinary, bool stock) {
  if (q.strength <= 0.0f) return false;
  const bool isStock = (q.unitFlags & kUnitStock) != 0;
  if (ordinary && stock) return true;
  return ordinary ? !isStock : isStock;
}

template <typename Fn>
void ForEachCargo(const World& world, const UnitRecord& unit, Fn&& fn) {
  if (unit.carrier != 0) return;
  uint32_t next = unit.cargoNext;
  for (int guard = 0; next != 0 && guard < 100000; ++guard) {
    const UnitRecord* q = FindUnitById(world, next);
    if (!q || q == &unit) return;
    next = q->cargoNext;
    fn(*q);
  }
}

int32_t BaseDistance(const World& world, uint32_t a, uint32_t b) { return HexRangeDistance(MapShape(world), a, b); }

}  // namespace

uint8_t ClassAvailabilityByte(const World& world, int player, int32_t classIndex) {
  const int32_t rowBytes = world.gameState.designRowBytes;
  if (player < 0 || player >= kMaxPlayers || classIndex < 0 || classIndex >= rowBytes) return 0;
  const size_t at = static_cast<size_t>(player) * static_cast<size_t>(rowBytes) + static_cast<size_t>(classIndex);
  return at < world.designRows.size() ? world.designRows[at] : 0;
}

int BaseKindOf(const UnitClassRecord& c) {
  if (c.flags & kClassHaven) return 2;
  if (c.flags & kClassAirBase) return 1;
  if ((c.flags & kClassSettlement) && c.loadableMask != 0) return 0;
  return -1;
}

float UnitLoadTotal(const World& world, const UnitRecord& unit, bool ownStores, bool ordinary, bool stock) {
  float total = ownStores ? unit.supply : 0.0f;
  if (!ordinary && !stock) return total;
  ForEachCargo(world, unit, [&](const UnitRecord& q) {
    if (!Counted(q, ordinary, stock)) return;
    const UnitClassRecord* cls = UnitClassOf(world, q);
    total += UnitLoadTotal(world, q, true, true, true) + (cls ? cls->weight : 0.0f) * q.strength + q.ammo;
  });
  return total;
}

float UnitCarriedSum(const World& world, const UnitRecord& unit, bool ownStores, bool ordinary, bool stock) {
  const UnitClassRecord* cls = UnitClassOf(world, unit);
  float total = (cls ? cls->weight : 0.0f) * unit.strength + unit.ammo + (ownStores ? unit.supply : 0.0f);
  if (!ordinary && !stock) return total;
  ForEachCargo(world, unit, [&](const UnitRecord& q) {
    if (Counted(q, ordinary, stock)) total += UnitCarriedSum(world, q, true, true, true);
  });
  return total;
}

uint32_t FindNearestBase(const World& world, const UnitRecord& unit, int baseKind, uint32_t position,
                         bool ownSideOnly, bool requireLoadable) {
  const int kind = baseKind >= 0 ? baseKind : unit.moveKind;
  const PlayerRecord& owner = world.players[unit.owner & 31];
  const int side = owner.number & 31;
  uint32_t best = kNoHexPosition;
  int32_t bestDistance = 0;
  bool found = false;
  // Candidates of one player's table; only a strictly nearer one replaces
  // the one found first.
  auto scan = [&](int player) {
    const UnitTableArray* slot = world.unitTables.Slot(kUnitTableOnMap, player, kUnitCategoryFacility);
    if (!slot) return;
    for (int32_t i = 1; i < slot->Count(); ++i) {
      const UnitRecord* f = slot->At(i).unit;
      if (!f || !(f->unitFlags & kUnitFacility) || !IsUnitLive(*f) || (f->unitFlags & kUnitProvisional)) continue;
      if (InReserve(*f) || (f->owner & 31) != player) continue;
      const UnitClassRecord* cls = UnitClassOf(world, *f);
      if (!cls || cls->baseKind != 0 || (requireLoadable && cls->loadableMask == 0)) continue;
      if (BaseKindOf(*cls) != kind) continue;
      const uint32_t at = unitbytes::UnitPosition(*f);
      const int32_t d = position != kNoHexPosition ? BaseDistance(world, position, at) : 0;
      if (!found || d < bestDistance) {
        found = true;
        best = at;
        bestDistance = d;
      }
    }
  };
  scan(side);
  if (ownSideOnly) return best;
  const uint32_t basing = unitfields::AccessMask(owner, kind);
  for (int p = 1; p < kMaxPlayers; ++p) {
    if (p == side || !((basing >> p) & 1u) || !TakesPart(world.players[p])) continue;
    scan(p);
  }
  return best;
}

int UnitClassAvailable(const World& world, int32_t classIndex, int wantedCategory, int level, int player,
                       bool checkSuccessor, int mode, const ClassListFilters* filters, int cargoKind,
                       int minCapacity, uint32_t categoryMask) {
  const UnitClassRecord* cls = ClassRecordAt(world, classIndex);
  if (!cls || cls->name[0] == 0 || (cls->flags & kClassFacility)) return 0;
  if ((cls->flags & kClassObsolete) && SimUiMode() == kSimUiInGame) return 0;
  if (cls->level > level) return 0;
  const bool hasPlayer = player >= 0 && player < kMaxPlayers;
  const uint8_t avail = hasPlayer ? ClassAvailabilityByte(world, player, classIndex) : 0;
  if (hasPlayer) {
    if (mode < 1 && !(cls->availability & world.players[player].classMask)) return 0;
    if (mode == 0 || mode == 1) {
      if ((avail & 1u) != static_cast<unsigned>(mode)) return 0;
      if (mode == 0 && (avail & 0x10u)) return 0;
    }
  }
  bool thresholdTest = true;
  if (filters) {
    if (!filters->showHidden && (avail & 0x08u)) return 0;
    if (filters->onlyMarked && !(avail & 0x02u)) return 0;
    if (filters->ignoreSuccessor) checkSuccessor = false;
    thresholdTest = !filters->ignoreThreshold;
  }
  const uint8_t threshold = cls->buildThreshold;
  if (thresholdTest && hasPlayer && threshold > 0 && CheckedTrunc(world.players[player].techLevel) > threshold)
    return 0;
  const int16_t successor = cls->successor;
  if (checkSuccessor && successor > 0) {
    if (UnitClassAvailable(world, successor, wantedCategory, level, player, false, mode, nullptr, 0, 0, 0)) return 0;
    if (mode == 0 && (ClassAvailabilityByte(world, player, successor) & 0x11u)) return 0;
  }
  if (minCapacity > 0) {
    int capacity = cls->cargoSlots;
    if (cls->strengthPerSize == 1) capacity /= 10;
    if (minCapacity > capacity) return 0;
  }
  if (categoryMask != 0 && !((categoryMask >> (cls->kind & 31)) & 1u)) return 0;
  if (cls->flags & kClassStock) {
    if (wantedCategory >= 0 && !((cls->loadableMask >> (wantedCategory & 7)) & 1u)) return 0;
    const bool special = (cls->flags & kClassSpecialKinds) != 0;
    if ((cargoKind == 1 && special) || (cargoKind == 2 && !special)) return 0;
  } else if (wantedCategory >= 0) {
    const int category = cls->kind == 3 ? 2 : cls->kind;
    if (wantedCategory != category) return 0;
  }
  if (Flag(*cls, 31) && mode == 0) return 0;
  return 1;
}

float UnitClassStat(const World& world, int32_t classIndex, int statistic) {
  const UnitClassRecord* cls = ClassRecordAt(world, classIndex);
  if (!cls) return 0.0f;
  const UnitClassRecord& c = *cls;
  const int category = c.kind;
  auto bit = [&](int n) { return Flag(c, n) ? 1 : 0; };
  switch (statistic) {
    case 1: return c.sightDistance;
    case 2: return static_cast<float>(c.reloadFactor) * 10.0f;
    case 3: {
      const float v = 2.0f * std::sqrt(std::max(0.0f, c.stockRange));
      return Flag(c, 28) && Flag(c, 30) ? v * 1.5f : v;
    }
    case 4: return static_cast<float>(c.speed) / 2.0f;
    case 5:
      switch (category) {
        case 0:
          return static_cast<float>((bit(29) + bit(18)) * 10 + bit(19) * bit(17) * 100 + bit(22) * 25 + bit(14) * 30 +
                                    bit(7) * 20);
        case 1: return static_cast<float>((bit(29) + bit(13) + bit(8)) * 10 + (bit(12) + bit(9)) * 20);
        case 2: {
          int v = bit(29) * 10 + bit(11) * 20 + bit(10) * 25;
          if (c.carryCapacity != 0.0f && !Flag(c, 23)) v += 30;
          return static_cast<float>(v);
        }
        case 3: return static_cast<float>(bit(29) * 10);
        default: return 0.0f;
      }
    case 6: return static_cast<float>(c.cargoSlots);
    case 15:
    case 16: return 0.0f;
    case 21: return Capped(c.coveredAttack);
    case 22:
    case 66: return c.carryCapacity;
    case 23: return 70.0f - static_cast<float>(c.valuePerPoint) * 5.0f;
    case 28: {
      const float m = Flag(c, 28) ? 40.0f : (category >= 1 && category <= 3 ? 2.0f : 20.0f);
      return 100.0f - c.costPerElement / 1000000.0f * m;
    }
    case 29: {
      const float m = Flag(c, 28) ? 40.0f : (category == 2 || category == 3 ? 1.0f : 100.0f);
      return 100.0f - m * c.buildWorkPerPoint;
    }
    case 90: return static_cast<float>(c.level);
    default: break;
  }
  if (statistic >= 7 && statistic <= 14) {
    const float v = Capped(c.attackValues[statistic - 7]);
    return Flag(c, 25) ? v : v * 1.5f;
  }
  if (statistic >= 17 && statistic <= 20) return Capped(c.defenceValues[statistic - 17]);
  if (statistic >= 24 && statistic <= 27) return c.weaponRanges[statistic - 24];
  return 1000.0f - static_cast<float>(c.strengthPerSize) * c.buildWorkPerPoint;
}
