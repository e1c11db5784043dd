#include "units/spotting/unit_sighting.h"

#include <algorithm>
#include <cmath>

#include "app/game_math.h"
#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/le_bytes.h"
#include "records/order_words.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "records/unit_table_arrays.h"
#include "units/spotting/bfs_fill.h"
#include "units/class_fields.h"
#include "units/hex_geometry.h"
#include "world/unit_class.h"
#include "units/combat/unit_fire.h"
#include "world/record_helpers.h"
#include "world/hex_extra.h"
#include "world/scenario_settings.h"
#include "world/terrain_flags.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

constexpr float kShortSight = 200.0f;
constexpr int32_t kNobodySees = 256;
constexpr int32_t kAircraftInTheOpen = 30;

// Minutes between sighting updates, in 120-minute periods, by unit type.
constexpr uint8_t kSightingPeriods[kUnitTypeCount] = {3, 1, 3, 3, 6, 6, 7, 1, 1, 2, 2, 2, 3,
                                                      1, 7, 3, 3, 2, 2, 1, 7, 7, 1, 1, 1, 1};

size_t SpotIndex(size_t cell, int player) { return cell * kMaxPlayers + static_cast<size_t>(player & 31); }

void RaiseSpot(World& world, size_t cell, int player, int64_t value) {
  uint8_t& b = world.spottingMap[SpotIndex(cell, player)];
  const auto v = static_cast<uint8_t>(std::min<int64_t>(value, 255));
  if (v > b) b = v;
}

// The columns of the box, once each: wrapped on a wrapping map, else cut.
template <class Fn>
void ForBoxColumns(const HexMapShape& map, int32_t x, int32_t radius, Fn fn) {
  if (map.wraps) {
    if (2 * int64_t{radius} + 1 >= map.width) {
      for (int32_t c = 0; c < map.width; ++c) fn(c);
      return;
    }
    for (int32_t c = x - radius; c <= x + radius; ++c) fn(WrapX(c, map.width));
    return;
  }
  for (int32_t c = std::max(0, x - radius); c <= std::min(map.width - 1, x + radius); ++c) fn(c);
}

template <class Fn>
void ForBox(const HexMapShape& map, int32_t x, int32_t y, int32_t radius, Fn fn) {
  const int32_t top = std::max(0, y - radius);
  const int32_t bottom = std::min(map.height - 1, y + radius);
  ForBoxColumns(map, x, radius, [&](int32_t c) {
    for (int32_t r = top; r <= bottom; ++r) fn(static_cast<size_t>(r) * static_cast<size_t>(map.width) + static_cast<size_t>(c));
  });
}

// The hex's lead is an air base that hides the aircraft parked there.
bool HidingAirBase(const World& world, const HexCell& cell, int owner, bool askAirfieldByte) {
  const HexUnitStack* stack = LoadHexStack(cell);
  const UnitRecord* lead = stack ? stack->lead : nullptr;
  if (!lead || !IsUnitLive(*lead) || (lead->unitFlags & kUnitProvisional) || InReserve(*lead)) return false;
  const UnitClassRecord* cls = ClassRecordAt(world, lead->classIndex);
  if (!cls || !(cls->flags & kClassAirBase)) return false;
  if (askAirfieldByte && cls->loadableMask == 0) return false;
  const int h = CellOwner(cell.word);
  if (h == (owner & 31)) return true;
  const PlayerRecord& o = world.players[owner & 31];
  const uint32_t bit = 1u << h;
  return !(o.simPolicy.hostileMask & bit) || (o.simPolicy.friendlyMask & bit);
}

}  // namespace

uint8_t SightingCountdown(uint8_t unitType) {
  const int i = std::min<int>(unitType, kUnitTypeCount - 1);
  return static_cast<uint8_t>((kSightingPeriods[i] * 120) & 0xFF);
}

SightSpread UnitSightSpread(const World& world, const UnitRecord& unit, const UnitClassImage& cls) {
  SightSpread s;
  s.strength = cls.spotValue;
  float d = cls.sightDistance;
  const int32_t hexSize = static_cast<int32_t>(world.mapHeader.hexScale);
  // A map without a distance per hex has no radius to spread over.
  if (CountsAsLandTarget(world, unit) || !(d > 1.0f) || s.strength == 0 || hexSize <= 0) {
    s.pointOnly = true;
    return s;
  }
  const uint32_t rules = world.scenario.head.gameFlags;
  if (!(rules & kGameFlagNoWeaponRangeBoost) && d < kShortSight) {
    const float g = world.gameState.sightRangeBoost;
    d = (g - (g - 1.0f) * d / kShortSight) * d + world.gameState.rangeBoostAddend;
  }
  const HexMapShape map = MapShape(world);
  const int32_t widest = std::max(map.width, map.height) + 1;
  int32_t q = CheckedTrunc(d / static_cast<float>(hexSize));
  int32_t r = q < 0 ? 1 : std::min(q, widest) + 1;
  if (unit.orders[kOrderFlags] & kOrderMoving) {
    const int32_t p = static_cast<int32_t>(unit.orders[kOrdersWord] & 3u);
    if (unit.kind == kUnitKindAir) {
      if (p >= 2) r = std::max((6 - p) * r / 5, 1);
    } else {
      r = std::max((9 - p) * r / 10, 1);
    }
  }
  if (cls.strengthPerSize == 1 && unit.strength < 1.0f) {
    r = std::max(CheckedTrunc(static_cast<float>(r) * unit.strength), 1);
  }
  int32_t big = r + 1;
  if (unit.kind == kUnitKindLand) {
    const int64_t i = HexCellIndex(map, MakeHexPos(unit.x, unit.y));
    const TerrainRecord* t = i >= 0 ? TerrainOf(world, world.cells[static_cast<size_t>(i)]) : nullptr;
    if (t && (TerrainFlags(*t) & kTerrainHighGround)) big *= 2;
  }
  s.radius = big;
  s.stepCost = (big + 1 + s.strength) / (big + 1);
  s.mode = cls.targetType == 4 || cls.targetType == 5 ? -2 : -1;
  return s;
}

bool SpottingMapFits(const World& world) {
  return !world.cells.empty() && world.spottingMap.size() == world.cells.size() * kMaxPlayers;
}

void EnsureSpottingMap(World& world) {
  if (!SpottingMapFits(world)) world.spottingMap.assign(world.cells.size() * kMaxPlayers, 0);
}

void UnitMarkSighting(World& world, UnitRecord& unit, const UnitClassImage& cls) {
  unit.countdown5 = SightingCountdown(unit.unitType);
  EnsureSpottingMap(world);
  const HexMapShape map = MapShape(world);
  const uint32_t at = MakeHexPos(unit.x, unit.y);
  const int64_t here = HexCellIndex(map, at);
  if (here < 0 || static_cast<size_t>(here) >= world.cells.size() || !SpottingMapFits(world)) return;
  const SightSpread s = UnitSightSpread(world, unit, cls);
  if (s.pointOnly) {
    if (s.strength > 10) RaiseSpot(world, static_cast<size_t>(here), unit.owner, s.strength);
    return;
  }
  BfsFillBlock& fill = g_bfsFill;
  EnsureFillBuffers(world, fill);
  fill.rangeMap = world.rangeMap.data();
  fill.rangeMapCells = world.rangeMap.size();
  if (world.rangeMap.size() != world.cells.size()) return;
  const int32_t x = map.wraps ? WrapX(unit.x, map.width) : unit.x;
  fill.box[0] = x - s.radius;
  fill.box[1] = std::max(0, unit.y - s.radius);
  fill.box[2] = x + s.radius;
  fill.box[3] = std::min(map.height - 1, unit.y + s.radius);
  ForBox(map, x, unit.y, s.radius, [&](size_t c) { world.rangeMap[c] = 0; });
  fill.mode = s.mode;
  fill.ownerMask = 0xFFFFFFFFu;
  fill.respectBorders = 0;
  fill.useAltCost = 0;
  fill.stepLimit = 0;
  fill.budget = s.strength;
  fill.costMultiplier = s.stepCost;
  BfsSeed(fill, map, at);
  BfsFill(world, fill);
  ForBox(map, x, unit.y, s.radius, [&](size_t c) {
    if (world.rangeMap[c] > 10) RaiseSpot(world, c, unit.owner, world.rangeMap[c]);
  });
}

int32_t UnitSightThreshold(const World& world, const UnitRecord& unit, const UnitClassImage& cls, bool askAirfieldByte) {
  const float raw = static_cast<float>(cls.targetSize) * std::sqrt(unit.efficiency) +
                    std::min(10.0f * unit.experience, 20.0f);
  // A NaN or negative efficiency leaves the unit as easy to see as can be.
  int32_t t = std::clamp(CheckedTrunc(raw), 0, 1 << 20);
  const uint32_t orderFlags = unit.orders[kOrderFlags];
  if (CountsAsLandTarget(world, unit)) {
    const HexMapShape map = MapShape(world);
    const int64_t i = HexCellIndex(map, MakeHexPos(unit.x, unit.y));
    const bool hidden = i >= 0 && static_cast<size_t>(i) < world.cells.size() &&
                        HidingAirBase(world, world.cells[static_cast<size_t>(i)], unit.owner, askAirfieldByte);
    return hidden ? kNobodySees : kAircraftInTheOpen;
  }
  if (unit.kind == kUnitKindSubmarine) {
    if (orderFlags & kOrderEngaged) return t / 2;
    return (unit.unitFlags & kUnitMoved) ? t * 3 / 4 : t;
  }
  if (orderFlags & kOrderEngaged) return t / 4;
  if (cls.kind == kUnitKindAir) return (unit.unitFlags & kUnitSpeedBonus) ? std::min(t * 3 / 2, 240) : t;
  return (unit.unitFlags & kUnitMoved) ? t / 2 : t;
}

void UpdateUnitSeenBy(World& world, UnitRecord& unit, const UnitClassImage& cls, bool askAirfieldByte) {
  if (unit.unitFlags & kUnitFacility) {
    unit.seenBy = 0xFFFFFFFFu;
    return;
  }
  if (!SpottingMapFits(world)) return;
  const int64_t i = HexCellIndex(MapShape(world), MakeHexPos(unit.x, unit.y));
  if (i < 0 || static_cast<size_t>(i) >= world.cells.size()) return;
  const int32_t t = UnitSightThreshold(world, unit, cls, askAirfieldByte);
  const int32_t keep = std::max(t - 10, 1);
  for (int p = 0; p < kMaxPlayers; ++p) {
    const int32_t s = world.spottingMap[SpotIndex(static_cast<size_t>(i), p)];
    const uint32_t bit = 1u << p;
    const bool seen = (unit.seenBy & bit) != 0;
    if (seen ? s >= keep : s < t) continue;
    unit.seenBy ^= bit;
    if (unit.tableEntry) unit.tableEntry->seenBy = unit.seenBy;
  }
}
