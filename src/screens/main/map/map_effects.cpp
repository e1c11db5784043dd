#include "screens/main/map/map_effects.h"

#include "app/gfx/texture.h"
#include "screens/main/map/map_draw.h"
#include "screens/common/frame/map_geometry.h"
#include "screens/main/map/map_view.h"
#include "sim/sim_ui_link.h"
#include "sim/simulation_lock.h"
#include "ui/screen_manager.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

// Whether a wrapping tick a lies after b.
bool After(uint32_t a, uint32_t b) { return static_cast<int32_t>(a - b) > 0; }

bool InView(const MapView& view, const MapEffect& e) {
  const int32_t right = view.panX + static_cast<int32_t>(static_cast<float>(view.viewRight - view.viewLeft) * view.zoom);
  const int32_t bottom =
      view.panY + static_cast<int32_t>(static_cast<float>(view.viewBottom - view.viewTop) * view.zoom);
  return e.x + e.width >= view.panX && e.y + e.height >= view.panY && e.x <= right && e.y <= bottom;
}

void DrawEffect(MapView& view, const MapEffect& e) {
  Texture* sheet = g_ui.bitmaps.ebits;
  const plat::Rect cell{(e.frame % kEffectCellsPerRow) * kEffectCell, (e.frame / kEffectCellsPerRow) * kEffectCell,
                        (e.frame % kEffectCellsPerRow + 1) * kEffectCell,
                        (e.frame / kEffectCellsPerRow + 1) * kEffectCell};
  const float cap = g_uiOptions.bunitnozoom ? 1.0f : 0.5f;
  DrawMapSprite(view, sheet, &cell, static_cast<float>(e.x), static_cast<float>(e.y), static_cast<float>(e.width),
                static_cast<float>(e.height), e.colour, nullptr, cap);
}

// Moves the effect on to the frame the clock has reached. A duration of 0
// would never catch up: it counts as 1 ms. Once past the last frame there
// is nothing more to skip.
void Age(MapEffect& e, uint32_t now) {
  if (After(e.frameStart, now)) e.frameStart = now;
  const uint32_t step = e.frameMs > 0 ? static_cast<uint32_t>(e.frameMs) : 1u;
  while (e.frame <= e.lastFrame && After(now, e.frameStart + step)) {
    e.frameStart += step;
    ++e.frame;
  }
}

MapEffect* Prev(MapEffect* e) { return static_cast<MapEffect*>(e->prev()); }
MapEffect* Next(MapEffect* e) { return static_cast<MapEffect*>(e->next()); }

// The simulation's hooks: every effect lands on the one map view.
void OnAddMapEffect(uint32_t hex, int32_t, int32_t offsetX, int32_t offsetY, int32_t firstFrame, int32_t frames,
                    int32_t frameMs, uint32_t colour, float scale) {
  AddMapEffect(g_mapView, hex, offsetX, offsetY, firstFrame, frames, frameMs, colour, scale);
}
void OnUnitFired(uint32_t hex, int32_t pixelX, int32_t pixelY, int sound) {
  AddMapEffect(g_mapView, hex, pixelX, pixelY, kShotFirstFrame, kShotFrames, kShotFrameMs, kShotColour, 1.0f);
  PlayMilitarySound(sound);
}
void OnUnitDestroyedByFire(uint32_t hex, int32_t pixelX, int32_t pixelY, int sound) {
  AddMapEffect(g_mapView, hex, pixelX, pixelY, kImpactFirstFrame, kImpactFrames, kImpactFrameMs, kImpactColour,
               1.0f);
  PlayMilitarySound(sound);
}

}  // namespace

void AddMapEffect(MapView& view, uint32_t hex, int32_t offsetX, int32_t offsetY, int32_t firstFrame, int32_t frames,
                  int32_t frameMs, uint32_t colour, float scale) {
  plat::CriticalSectionLock walking(g_simulationLock);
  const int32_t size = static_cast<int32_t>(scale * 64.0f);
  const int32_t half = size / 2;
  const Hex at = UnpackHex(hex);
  const Hex centre = HexCentre(at.x, at.y);
  MapEffect* e = NewZeroed<MapEffect>();
  if (!e) return;
  e->x = centre.x - half + offsetX;
  e->y = centre.y - half + offsetY;
  e->width = e->height = size;
  e->frame = firstFrame;
  e->lastFrame = firstFrame + frames - 1;
  e->frameStart = g_ui.nowTick.load(std::memory_order_relaxed);
  e->frameMs = frameMs;
  e->colour = colour;
  WorldLockGuard lock(g_world, kLockMapEffects);
  if (!view.effects)
    view.effects = e;
  else
    view.effects->Append(e);
}

void DrawMapEffects(MapView& view) {
  plat::CriticalSectionLock walking(g_simulationLock);
  // Held for the whole walk, unlinks included, so that an effect the turn
  // thread appends meanwhile waits for the next frame.
  WorldLockGuard lock(g_world, kLockMapEffects);
  MapEffect* e = view.effects;
  if (!e) return;
  const uint32_t now = g_ui.nowTick.load(std::memory_order_relaxed);
  const bool show = g_uiOptions.buniteffecton != 0;
  // Head first, then newest to oldest: the oldest (the head's next) is the
  // last one visited, whichever effects go on the way.
  MapEffect* const last = Next(e);
  while (e) {
    MapEffect* following = e == last ? nullptr : Prev(e);
    if (show && InView(view, *e)) DrawEffect(view, *e);
    Age(*e, now);
    if (e->frame > e->lastFrame) {
      if (e == view.effects) view.effects = Next(e);
      e->Unlink();
      DeleteZeroed(e);
    }
    e = following;
  }
}

void ClearMapEffects(MapView& view) {
  plat::CriticalSectionLock walking(g_simulationLock);
  WorldLockGuard lock(g_world, kLockMapEffects);
  while (MapEffect* e = view.effects) {
    view.effects = Next(e);
    e->Unlink();
    DeleteZeroed(e);
  }
}

int32_t CountMapEffects(MapView& view) {
  plat::CriticalSectionLock walking(g_simulationLock);
  WorldLockGuard lock(g_world, kLockMapEffects);
  MapEffect* e = view.effects;
  if (!e) return 0;
  int32_t n = 1;
  for (ListNode* p = e->next(); p && p != e; p = p->next()) ++n;
  return n;
}

void InstallMapEffectHooks() {
  g_simUi.addMapEffect = OnAddMapEffect;
  g_simUi.unitFired = OnUnitFired;
  g_simUi.unitDestroyedByFire = OnUnitDestroyedByFire;
}
