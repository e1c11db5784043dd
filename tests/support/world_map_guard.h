#pragma once
// Keeps the world's map for one test that builds a small one of its own: the
// cells and their bytes, the map's size and header, the terrains and unit
// classes read off it, and the game state. They come back when the guard
// goes, in whatever order the tests run.
#include <cstdint>
#include <vector>

#include "support/global_guard.h"
#include "world/world.h"

struct WorldMapGuard {
  GlobalGuard<std::vector<HexCell>> cells{g_world.cells};
  GlobalGuard<std::vector<uint8_t>> cellBytes{g_world.cellBytes};
  GlobalGuard<std::vector<TerrainRecord>> terrains{g_world.terrains};
  GlobalGuard<std::vector<UnitClassRecord>> classes{g_world.unitClasses};
  GlobalGuard<MapHeader> header{g_world.mapHeader};
  GlobalGuard<int32_t> width{g_world.mapWidth};
  GlobalGuard<int32_t> height{g_world.mapHeight};
  GlobalGuard<GameState> state{g_world.gameState};
};
