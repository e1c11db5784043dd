#include "screens/main/map/map_units.h"

#include "app/gfx/renderer.h"
#include "app/gfx/sprite_batch.h"
#include "app/gfx/texture.h"
#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/le_bytes.h"
#include "records/player_relations.h"
#include "records/unit_record.h"
#include "screens/main/map/map_draw.h"
#include "sim/simulation_lock.h"
#include "ui/screen_manager.h"
#include "world/local_player.h"
#include "units/combat/fire_sight.h"
#include "units/hex_geometry.h"
#include "world/hex_stack_chains.h"
#include "world/unit_class.h"
#include "world/scenario_settings.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

constexpr float kSymbolWidth = 82.0f, kSymbolHeight = 40.0f;
// The disc under a symbol: UBITS cells of 32 x 32, the second for marked units.
plat::Rect DiscCell(bool marked) {
  const int32_t left = marked ? 32 : 0;
  return {left, 0, left + 32, 32};
}

// Two thirds of the way to white, opaque.
uint32_t Lightened(uint32_t c) {
  uint32_t out = 0xFF000000u;
  for (int shift = 0; shift <= 16; shift += 8) out |= (((c >> shift & 0xFFu) + 510u) / 3u) << shift;
  return out;
}

// One sprite of a symbol: on the map through the view, off it in screen
// pixels.
void DrawSymbolPart(const MapView& view, Texture* texture, const plat::Rect& source, float x, float y, float w, float h,
                    uint32_t colour, bool onMap, float cap) {
  // A sheet that is missing or did not load shows nothing rather than a box.
  if (!texture || !texture->deviceTexture) return;
  if (onMap)
    DrawMapSprite(view, texture, &source, x, y, w, h, colour, nullptr, cap);
  else
    DrawSprite(g_renderer, texture, x, y, 1.0f, w, h, colour, &source, kFilterModeLinear, nullptr, nullptr);
}

}  // namespace

bool UnitShownToLocalSide(const World& world, const UnitRecord& unit) {
  if (LocalPlayerIndex(world) < 0) return true;
  return UnitVisibleToSide(world, unit, world.gameState.localPlayer);
}

bool HexHiddenFromLocalSide(const World& world, uint32_t hex) {
  if (world.spottingMap.empty() || !(world.scenario.head.gameFlags & kGameFlagFog) || LocalPlayerIndex(world) < 0)
    return false;
  return !SideSpotsHex(world, hex, world.gameState.localPlayer);
}

HexCell* MapCell(World& world, uint32_t hex) {
  const Hex at = UnpackHex(hex);
  const HexMapShape map = MapShape(world);
  if (at.x < 0 || at.y < 0 || at.x >= map.width || at.y >= map.height) return nullptr;
  const size_t index = static_cast<size_t>(at.y) * static_cast<size_t>(map.width) + static_cast<size_t>(at.x);
  return index < world.cells.size() ? &world.cells[index] : nullptr;
}

Texture* SymbolTexture(int32_t number, bool secondTable) {
  if (number < 0 || number >= kUnitPictureCount) number = 0;
  Texture* t = secondTable ? g_ui.bitmaps.unitPictures2[number] : g_ui.bitmaps.unitPictures[number];
  if (t && !t->deviceTexture) TextureAcquire(t);
  return t;
}

uint32_t UnitSymbolTint(const World& world, const UnitRecord& unit) {
  if (!g_uiOptions.bunitcolor) return 0xFFFFFFFFu;
  const int owner = unit.owner & 31;
  uint32_t c = g_uiOptions.playercolor[owner];
  if (!g_uiOptions.bunitpcolor) {
    uint32_t relation = kRelationNeutral;
    if (const PlayerRecord* local = LocalPlayer(world)) relation = RelationClassOf(*local, 0, owner);
    const int entry = relation == kRelationHostile ? 2 : relation == kRelationNeutral ? 0 : 1;
    c = g_uiOptions.unitcolor[entry];
  }
  return Lightened(c);
}

bool UnitMarked(const UnitRecord& unit) { return (unit.unitFlags2 & kUnit2Selected) != 0; }

void DrawUnitIcon(const MapView& view, float x, float y, const UnitRecord& unit, bool onMap, float scaleX, float scaleY) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const UnitClassRecord* cls = UnitClassOf(g_world, unit);
  if (!cls) return;
  const uint32_t tint = UnitSymbolTint(g_world, unit);
  const uint32_t ownerColour = g_uiOptions.playercolor[unit.owner & 31];
  const uint32_t discColour =
      g_uiOptions.bunitdiscon ? (ownerColour & 0x00FFFFFFu) | (uint32_t{g_uiOptions.unitdiscalpha} << 24) : ownerColour;
  const float cap = g_uiOptions.bunitnozoom ? 1.0f : 0.5f;
  // Off the map the scales place the unit within its enlarged hex; the
  // symbol keeps its size in screen pixels, so that it stays in its cell.
  const float w = kSymbolWidth, h = kSymbolHeight;
  if (onMap) {
    x += unit.pixelX, y += unit.pixelY;
  } else {
    x += scaleX * unit.pixelX, y += scaleY * unit.pixelY;
  }
  const bool marked = UnitMarked(unit);
  Texture* ubits = g_ui.bitmaps.ubits;
  // The disc keeps its square cell's shape, as high as the symbol and
  // centred under it.
  const float discX = x + (w - h) / 2.0f;
  if (g_uiOptions.bunitdiscon) DrawSymbolPart(view, ubits, DiscCell(marked), discX, y, h, h, discColour, onMap, cap);
  if (marked || (unit.orders[kOrderFlags] & (1u << 15)))
    DrawSymbolPart(view, ubits, DiscCell(marked), discX, y, h, h, ownerColour, onMap, cap);

  const int32_t first = ClassSymbol(*cls), second = ClassSecondSymbol(*cls);
  const bool layout = ClassSymbolLayout(*cls);
  // A class with only a second symbol shows it as its first.
  const bool firstFromSecond = first == 0 && second != 0;
  const SymbolFrame main = UnitSymbolFrame(unit.heading, layout);
  DrawSymbolPart(view, SymbolTexture(firstFromSecond ? second : first, firstFromSecond), main.source, x, y,
                 main.mirrored ? -w : w, h, tint, onMap, cap);
  if (second != 0 && !firstFromSecond) {
    const SymbolFrame top = UnitSymbolFrame(unit.angle2, layout);
    DrawSymbolPart(view, SymbolTexture(second, true), top.source, x, y, top.mirrored ? -w : w, h, tint, onMap, cap);
  }
}

void DrawHexUnitIcons(const MapView& view, uint32_t hex, const HexUnitStack& stack, int32_t, int32_t) {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (hex == 0) return;
  const Hex at = UnpackHex(hex);
  const float x0 = static_cast<float>(at.x * kHexColumnWidth - 29 + WrappedCopyOffset(view, at.x));
  const float y0 = static_cast<float>(at.y * kHexHeight - ((at.x & 1) ? 9 : 20));
  for (const int category : kStackDrawOrder) {
    const float y = category == kAirCategory ? y0 - 5.0f : y0;
    for (const UnitRecord* u = ChainLink(stack.chainB[category]); u; u = ChainLink(u->nextInChainB)) {
      if (u->unitFlags & (kUnitGone | kUnitInBase)) continue;
      if (!UnitShownToLocalSide(g_world, *u)) continue;
      DrawUnitIcon(view, x0, y, *u, true, 1.0f, 1.0f);
    }
  }
}

void DrawAllUnitsLayer(const MapView& view) {
  if (!g_uiOptions.showUnitsLayer) return;
  ForEachVisibleHex(view, [&](uint32_t hex) {
    plat::CriticalSectionLock lock(g_simulationLock);
    if (hex == 0 || HexHiddenFromLocalSide(g_world, hex)) return;
    const HexCell* cell = MapCell(g_world, hex);
    if (cell && cell->stack) DrawHexUnitIcons(view, hex, *cell->stack, -1, 1);
  });
}
