// The map editor's whole-map work on the largest map, 999 x 999 hexes of
// one terrain: the derived map data recomputed, and a fill that repaints
// every hex (the brush alternates, so each fill has the whole map to do).
#include <benchmark/benchmark.h>

#include <memory>

#include "editor/editor_fill.h"
#include "editor/editor_map_input.h"
#include "records/hex_cell.h"
#include "sim/map_derived_data.h"
#include "units/hex_geometry.h"
#include "world/map_data.h"
#include "world/world.h"

namespace {

constexpr int kSide = 999;

std::unique_ptr<World> LargeMap() {
  auto w = std::make_unique<World>();
  ResizeMap(*w, kSide, kSide);
  w->terrains.assign(kTerrainCount, TerrainRecord{});
  w->terrains[1].bytes[120 + 4] = 1;
  for (HexCell& c : w->cells) c.word = WithCellTerrain(WithCellOwner(0, 1), 1);
  w->gameState.playerCount = 8;
  return w;
}

void BM_RecalcDerivedMapData(benchmark::State& state) {
  auto w = LargeMap();
  for (auto _ : state) RecalcDerivedMapData(*w);
  state.SetItemsProcessed(state.iterations() * kSide * kSide);
}
BENCHMARK(BM_RecalcDerivedMapData)->Unit(benchmark::kMillisecond);

void BM_WholeMapFill(benchmark::State& state) {
  auto w = LargeMap();
  const EditorMapState saved = g_editorMap;
  g_editorMap.flags = kEditorEditing | kEditorKeepAttributes;
  int brush = 1;
  for (auto _ : state) {
    brush = 3 - brush;
    g_editorMap.terrainBrush = brush;
    FloodFillHexes(*w, MakeHexPos(kSide / 2, kSide / 2));
  }
  g_editorMap = saved;
  state.SetItemsProcessed(state.iterations() * kSide * kSide);
}
BENCHMARK(BM_WholeMapFill)->Unit(benchmark::kMillisecond);

}  // namespace
