#include "screens/main/map/map_overlays.h"

#include <algorithm>
#include <cmath>

#include "app/game_math.h"
#include "records/le_bytes.h"
#include "records/order_words.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "platform/messages.h"
#include "screens/main/map/map_borders.h"
#include "screens/main/map/map_draw.h"
#include "sim/facility_costs.h"
#include "sim/simulation_lock.h"
#include "units/class_fields.h"
#include "units/hex_geometry.h"
#include "units/unit_player_fields.h"
#include "world/record_helpers.h"
#include "world/scenario_settings.h"
#include "world/terrain_flags.h"
#include "ui/screen_manager.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

constexpr int32_t kFullSight = 120;        // graded shading: seen this well, no shade
constexpr int32_t kMaxGroundDefenceAlpha = 220;
constexpr int kValueIndexes = 8;           // value buttons 1 to 8
constexpr int32_t kOwnerScaledFirst = 4024;  // classes whose output the owner's factors scale
constexpr int32_t kOwnerScaledLast = 4047;
constexpr int32_t kOwnerScaleFactorBase = 3988;
constexpr uint32_t kAreaTagColourMask = ~(1u << 30);

int64_t CellIndex(const World& world, Hex hex) {
  const HexMapShape map = MapShape(world);
  if (hex.x < 0 || hex.x >= map.width || hex.y < 0 || hex.y >= map.height) return -1;
  const int64_t index = static_cast<int64_t>(hex.y) * map.width + hex.x;
  return static_cast<size_t>(index) < world.cells.size() ? index : -1;
}

float TerrainYield(const TerrainRecord& t, int i) { return le::LoadF32(t.bytes + kTerrainYieldsAt + 4 * static_cast<size_t>(i)); }
float TerrainNeighbourhood(const TerrainRecord& t, int i) {
  return le::LoadF32(t.bytes + kTerrainNeighbourhoodAt + 4 * static_cast<size_t>(i));
}

// The order block's last word, bit 0: a facility standing down adds
// nothing to its hex.
bool FacilityOnDuty(const UnitRecord& unit) { return (unit.orders.words[kPostureBits] & 1u) == 0; }

const UnitClassRecord* ClassOf(const World& world, const UnitRecord* unit) {
  if (!unit || unit->classIndex <= 0 || static_cast<size_t>(unit->classIndex) >= world.unitClasses.size())
    return nullptr;
  return &world.unitClasses[static_cast<size_t>(unit->classIndex)];
}

// How firmly the hex is held, for the occupation shading: a facility's
// morale, else the loyal region's approval.
float FacilityControl(const UnitRecord& unit) { return unit.morale; }
float RegionControl(const PlayerRecord& region) { return region.approval; }

// The neighbourhood average of second-block value i: the six neighbours'
// values plus twice the hex's own, over 8. Off-map neighbours add nothing.
float NeighbourhoodAverage(const World& world, Hex hex, const TerrainRecord& own, int i) {
  float sum = TerrainNeighbourhood(own, i) * 2.0f;
  for (int d = 0; d < kHexDirections; ++d) {
    Hex n;
    if (!MapHexNeighbour(world, hex, d, n)) continue;
    const int64_t index = CellIndex(world, n);
    if (index < 0) continue;
    const TerrainRecord* t = TerrainOf(world, world.cells[static_cast<size_t>(index)]);
    if (t) sum += TerrainNeighbourhood(*t, i);
  }
  return sum / 8.0f;
}

float ValueAgainst(float own, float neighbourhood) { return own > neighbourhood ? own : std::min(neighbourhood, 1.0f); }

}  // namespace

bool SpottingInForce(const World& world) { return (world.scenario.head.gameFlags & kGameFlagFog) != 0; }

int32_t LocalSightLevel(const World& world, Hex hex) {
  if (world.spottingMap.empty() || world.spottingMap.size() != world.cells.size() * kMaxPlayers) return -1;
  const int64_t index = CellIndex(world, hex);
  if (index < 0) return 0;
  const int32_t local = world.gameState.localPlayer & 31;
  const uint32_t side = (1u << local) | unitfields::SharedSightMask(world.players[local]);
  const size_t base = static_cast<size_t>(index) * kMaxPlayers;
  int32_t best = 0;
  for (int p = 0; p < kMaxPlayers; ++p)
    if ((side >> p) & 1u) best = std::max<int32_t>(best, world.spottingMap[base + static_cast<size_t>(p)]);
  return best;
}

uint32_t LosShadeColour(int32_t v, bool graded, uint32_t losColour) {
  if (graded) {
    if (v < 0) v = 1;
    if (v == 0) return losColour;
    return v < kFullSight ? WithAlpha(losColour, static_cast<uint32_t>(kFullSight - v)) : 0;
  }
  return v == 0 ? losColour : 0;
}

uint32_t OccupationColour(float control, uint32_t loyalColour) {
  // Unsigned, so that a wild control value wraps like any other instead of
  // overflowing.
  const uint32_t alpha = 100u - static_cast<uint32_t>(CheckedTrunc(control * -100.0f));
  return WithAlpha(loyalColour, alpha);
}

uint32_t SupplyColour(uint8_t level, uint32_t ownerColour) { return level ? WithAlpha(ownerColour, level) : 0; }

uint32_t GroundDefenceColour(int32_t defenceByte, uint32_t defenceColour) {
  float d = static_cast<float>(defenceByte) / 10.0f;
  if (d < 0.3f) d = 1.0f;
  const float alpha = std::min(std::max((d - 0.5f) * 50.0f, 0.0f), static_cast<float>(kMaxGroundDefenceAlpha));
  return WithAlpha(defenceColour, static_cast<uint32_t>(CheckedTrunc(alpha)));
}

uint32_t TerrainValueColour(float a, uint32_t valueColour) {
  const int32_t alpha = std::clamp(CheckedTrunc(a * 255.0f), 0, 255);
  return WithAlpha(valueColour, static_cast<uint32_t>(alpha));
}

float TerrainValueStrength(const World& world, Hex hex, int32_t k, bool exact) {
  const int64_t index = CellIndex(world, hex);
  if (index < 0 || k < 0 || k > kValueIndexes) return 0.0f;
  const HexCell& cell = world.cells[static_cast<size_t>(index)];
  const TerrainRecord* terrain = TerrainOf(world, cell);
  if (!terrain) return 0.0f;
  if (k == 0) {
    const float b = terrain->bytes[kTerrainReliefAt];
    const float t = b * b + (b > 0.0f ? 99.0f : 0.0f);
    return std::sqrt(std::sqrt(t)) / 40.0f;
  }
  const int i = k - 1;
  const float own = TerrainYield(*terrain, i);
  const float neighbourhood = NeighbourhoodAverage(world, hex, *terrain, i);
  float r = ValueAgainst(own, neighbourhood);
  if (exact) {
    float added = 0.0f;
    float available = neighbourhood;
    const UnitRecord* facility = GetActiveObject(&cell, true);
    const UnitClassRecord* cls = ClassOf(world, facility);
    if (cls && (cls->flags & kClassProduction)) {
      const float s = facility->strength;
      const float f = s - (1.0f - s) * s * 0.3f;
      added = cls->hasExtra ? f * ClassOutputFactor(*cls, i) : 0.0f;
      const int owner = CellOwner(cell.word);
      if (facility->classIndex >= kOwnerScaledFirst && facility->classIndex <= kOwnerScaledLast) {
        const float m = world.techEffects[owner][facility->classIndex - kOwnerScaleFactorBase];
        if (m != 1.0f) added *= m;
      }
      if ((cls->flags & kClassFullAvailability) && FacilityOnDuty(*facility)) available += added;
    }
    r = std::min(ValueAgainst(own, available), own + added);
  }
  return r > 0.0f ? std::sqrt(r) : 0.0f;
}

HexOverlayColours OverlayColoursOfHex(const World& world, const UiOptions& options, const MapView& view, Hex hex,
                                      bool shiftHeld) {
  HexOverlayColours out;
  const int64_t index = CellIndex(world, hex);
  if (index < 0) return out;
  auto add = [&](uint32_t colour) {
    if ((colour >> 24) && out.count < static_cast<int>(std::size(out.colour))) out.colour[out.count++] = colour;
  };
  const HexCell& cell = world.cells[static_cast<size_t>(index)];
  const int owner = CellOwner(cell.word);
  const int loyal = CellLoyalTo(cell.word);
  const TerrainRecord* terrain = TerrainOf(world, cell);
  const uint32_t terrainFlags = terrain ? TerrainFlags(*terrain) : 0;
  const UnitRecord* facility = GetActiveObject(&cell, true);
  const UnitClassRecord* cls = ClassOf(world, facility);
  const bool onDuty = facility && FacilityOnDuty(*facility);

  if (options.ovshowownership) add(HalfOpaque(options.playercolor[owner]));
  if (options.occupationShading) {
    const float v = facility ? FacilityControl(*facility) : RegionControl(world.players[loyal]);
    add(OccupationColour(v, options.playercolor[loyal]));
  }
  if (view.overrideValueIndex || options.terrainValueOverlay) {
    const int32_t k = view.overrideValueIndex ? view.overrideValueIndex : view.valueIndex;
    bool exact = view.overrideValueIndex ? false : view.exactHex != 0;
    if (shiftHeld) exact = !exact;
    add(TerrainValueColour(TerrainValueStrength(world, hex, k, exact), options.mapovlcolor));
  }
  if (options.ovshowsupply) {
    const uint8_t level = static_cast<size_t>(index) < world.cellBytes.size() ? world.cellBytes[static_cast<size_t>(index)] : 0;
    add(SupplyColour(level, options.playercolor[owner]));
  }
  if (options.ovshowhighground && (terrainFlags & kTerrainHighGround)) add(HalfOpaque(options.mapovlhgcolor));
  if (options.ovshowgrounddef) {
    int32_t d = terrain ? terrain->bytes[kTerrainGroundDefenceAt] : 0;
    if (cls && onDuty) d = std::max<int32_t>(d, cls->defenceValues[3]);
    add(GroundDefenceColour(d, options.mapovlgdcolor));
  }
  if (options.ovshowclosecombat &&
      ((cls && onDuty && (cls->flags & kClassFortification)) || (terrainFlags & kTerrainCovered)))
    add(HalfOpaque(options.mapovlcccolor));
  if (options.areaTagOverlay) {
    const uint32_t tags = (cell.word >> 16) & options.areaTagMask & 0xFFu;
    for (int t = 0; t < 8; ++t)
      if ((tags >> t) & 1u) add(options.playercolor[t + 1] & kAreaTagColourMask);
  }
  return out;
}

void DrawLosShading(const MapView& view) {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (!g_uiOptions.ovshowlos || !SpottingInForce(g_world)) return;
  const bool graded = (g_world.scenario.head.gameFlags & kGameFlagUnitSight) != 0;
  ForEachVisibleHex(view, [&](uint32_t packed) {
    plat::CriticalSectionLock lock(g_simulationLock);
    if (packed == 0) return;
    const uint32_t colour = LosShadeColour(LocalSightLevel(g_world, UnpackHex(packed)), graded, g_uiOptions.maploscolor);
    DrawHexMarker(kMarkerShade, colour, view, packed);
  });
}

void DrawOverlayColouring(const MapView& view) {
  const UiOptions& o = g_uiOptions;
  const bool any = o.ovshowownership || o.occupationShading || o.terrainValueOverlay || view.overrideValueIndex ||
                   o.ovshowsupply || o.ovshowhighground || o.ovshowgrounddef || o.ovshowclosecombat || o.areaTagOverlay;
  if (!any) return;
  const bool shift = (g_ui.keyState & plat::kMkShift) != 0;
  ForEachVisibleHex(view, [&](uint32_t packed) {
    plat::CriticalSectionLock lock(g_simulationLock);
    if (packed == 0) return;
    const HexOverlayColours colours = OverlayColoursOfHex(g_world, o, view, UnpackHex(packed), shift);
    for (int i = 0; i < colours.count; ++i) DrawHexMarker(kMarkerShade, colours.colour[i], view, packed);
  });
}
