#include "screens/main/map/unit_bars.h"

#include <algorithm>

#include "app/gfx/renderer.h"
#include "app/gfx/sprite_batch.h"
#include "records/hex_unit_stack.h"
#include "records/player_relations.h"
#include "records/unit_record.h"
#include "screens/main/map/map_draw.h"
#include "screens/main/map/map_units.h"
#include "sim/simulation_lock.h"
#include "ui/screen_manager.h"
#include "units/hex_geometry.h"
#include "world/hex_stack_chains.h"
#include "units/supply_distribution.h"
#include "world/unit_class.h"
#include "world/text/ui_options.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

constexpr float kLengthByKind[4] = {0.5f, 1.0f, 26.0f, 26.0f};
// A full-strength ship's bar, as wide as the readiness square's cell: a
// land unit counted in hundreds of men, or one above its full strength,
// would otherwise draw a bar across a dozen hexes.
constexpr float kLongestBar = 32.0f;
constexpr plat::Rect kBarCell{192, 0, 224, 32};
constexpr plat::Rect kReadinessSingle{128, 0, 160, 32};
constexpr plat::Rect kReadinessStacked{160, 0, 192, 32};

// r is multiplied by have / (full / 5) when the unit holds less than that.
float CutByStock(float r, float have, float full) {
  const float fifth = full / 5.0f;
  return fifth > 0.0f && have < fifth ? r * (have / fifth) : r;
}

uint32_t BarColour(const UnitRecord& unit) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const int owner = unit.owner & 31;
  if (g_uiOptions.bunithudpcolor) return g_uiOptions.playercolor[owner];
  const int local = g_world.gameState.localPlayer;
  if (local < 0 || local >= kMaxPlayers) return 0xFF0000FFu;
  const uint32_t relation = RelationClassOf(g_world.players[local], 0, owner);
  if (relation == kRelationHostile) return 0xFFFF0000u;
  return relation == kRelationNeutral ? 0xFF0000FFu : 0xFF00FF00u;
}

void DrawPart(const MapView& view, const plat::Rect& cell, float x, float y, float w, float h, uint32_t colour, bool onMap,
              float cap) {
  if (onMap)
    DrawMapSprite(view, g_ui.bitmaps.ubits, &cell, x, y, w, h, colour, nullptr, cap);
  else
    DrawSprite(g_renderer, g_ui.bitmaps.ubits, x, y, 1.0f, w, h, colour, &cell, kFilterModeLinear, nullptr, nullptr);
}

template <class Fn>
void ForCountedUnits(const HexUnitStack& stack, Fn fn) {
  plat::CriticalSectionLock lock(g_simulationLock);
  for (const int category : kStackDrawOrder)
    for (const UnitRecord* u = ChainLink(stack.chainB[category]); u; u = ChainLink(u->nextInChainB))
      if (!(u->unitFlags & kUnitGone) && UnitShownToLocalSide(g_world, *u)) fn(*u, category);
}

}  // namespace

float UnitReadiness(const World& world, const UnitRecord& unit, const UnitClassRecord& cls) {
  float r = (1.1f - unit.disruption) * unit.morale * unit.efficiency * 1.5f;
  r = CutByStock(r, unit.ammo, FullAmmoLoad(world, cls, unit));
  r = CutByStock(r, unit.fuel, FullFuelLoad(cls, unit));
  return std::clamp(r, 0.0f, 1.0f);
}

float UnitBarLength(const UnitRecord& unit, const UnitClassRecord& cls) {
  if (g_uiOptions.bunithudssize) return std::min(kLengthByKind[unit.kind & 3] * unit.strength + 6.0f, kLongestBar);
  // A class without a full-strength count counts as one.
  const float full = cls.strengthPerSize > 0 ? static_cast<float>(cls.strengthPerSize) : 1.0f;
  return std::min(unit.strength * 30.0f / full + 2.0f, kLongestBar);
}

void DrawUnitHudBar(const MapView& view, float x, float y, int32_t index, bool onMap, float scaleX, float scaleY,
                    const UnitRecord& unit) {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (index > 0 && !g_uiOptions.bunithudmulti) return;
  const UnitClassRecord* cls = UnitClassOf(g_world, unit);
  if (!cls) return;
  const float cap = g_uiOptions.bunithudnozoom ? 1.0f : 0.5f;
  const float height = g_uiOptions.bunithudthinbar ? 20.0f : 32.0f;
  const float spacing = g_uiOptions.bunithudthinbar ? 4.0f : 6.0f;
  if (index >= 0) {
    // Under the cap the rows keep their spacing on the screen.
    const float row = static_cast<float>(index) * spacing;
    y += view.zoom < cap ? row * view.zoom / cap : row;
  } else if (onMap) {
    x += unit.pixelX, y += unit.pixelY;
  } else {
    x += unit.pixelX * scaleX, y += unit.pixelY * scaleY;
  }
  const float anchor = x + (g_uiOptions.bunithudcenter ? 23.0f : 46.0f);
  if (index <= 0 && !(cls->flags & kClassStock)) {
    const float r = UnitReadiness(g_world, unit, *cls);
    const uint32_t colour = 0xFFFF0000u | (static_cast<uint32_t>(r * 255.0f) << 8);
    DrawPart(view, index < 0 ? kReadinessSingle : kReadinessStacked, anchor, y - 6.0f, 32.0f, 32.0f, colour, onMap,
             cap);
  }
  const float length = UnitBarLength(unit, *cls);
  DrawPart(view, kBarCell, anchor + 16.0f - length / 2.0f, y - 6.0f, length, height, BarColour(unit), onMap, cap);
}

void DrawHexHudBars(const MapView& view, uint32_t hex, const HexUnitStack& stack, int32_t) {
  if (hex == 0) return;
  const Hex at = UnpackHex(hex);
  const float x0 = static_cast<float>(at.x * kHexColumnWidth - 27 + WrappedCopyOffset(view, at.x));
  const float y0 = static_cast<float>(at.y * kHexHeight - ((at.x & 1) ? 8 : 19));
  int32_t n = 0;
  ForCountedUnits(stack, [&](const UnitRecord&, int) { ++n; });
  if (n == 1) n = 0;
  // Only the units counted get a bar, so the indexes end at 0 (or -1 for a
  // single unit).
  ForCountedUnits(stack, [&](const UnitRecord& u, int category) {
    --n;
    DrawUnitHudBar(view, x0, category == kAirCategory ? y0 - 5.0f : y0, n, true, 1.0f, 1.0f, u);
  });
}

void DrawUnitHudBars(const MapView& view) {
  ForEachVisibleHex(view, [&](uint32_t hex) {
    plat::CriticalSectionLock lock(g_simulationLock);
    if (hex == 0 || HexHiddenFromLocalSide(g_world, hex)) return;
    const HexCell* cell = MapCell(g_world, hex);
    if (cell && cell->stack) DrawHexHudBars(view, hex, *cell->stack, -1);
  });
}
