#pragma once
// The sample world's map, generated from the layout's seed by a fixed
// procedure in whole-number arithmetic, so every build on every machine
// lays down the same hexes:
//
// 1. Height, 0 to about 1000 per hex: for each landmass of the layout an
//    oval dome, peak x (1 - d^2) with d the distance from its centre in
//    radii; the highest dome counts; then fractal value noise (three
//    octaves of hashed lattice values, 20, 10 and 5 hexes apart, weighted 3,
//    2 and 2, wrapping east to west) moves it by up to 420 either way. Straits are cut to
//    sea; each capital, fixed town and lake point and its neighbours are
//    raised to dry lowland.
// 2. Land is every hex above the sea level. Rows 0, 1 and the last two
//    are polar ice. Land above 900 is mountains, above 780 hills; the rest
//    takes its type from a second noise field, moisture, and the latitude:
//    tundra near the poles, desert in the dry middle latitudes, jungle in
//    the wet tropics, swamp on wet lowland, then forest, grassland and
//    plains by falling moisture.
// 3. Rivers: the hills and mountains in the order of their hash, at least
//    6 hexes apart, up to 18 sources, each flowing to its lowest neighbour
//    until it reaches water; the lowland it crosses becomes river valley;
//    a river that finds no lower neighbour ends in a lake. Each lake point
//    of the layout is a lake.
// 4. Sea next to land is coastal water; the rest deep ocean.
// 5. Regions: from the capitals in region order, a breadth-first spread
//    over land that is not ice, each hex going to the region that reaches
//    it first; land the spread does not reach stays unowned.
#include <cstdint>
#include <string>
#include <vector>

#include "hex_grid.h"
#include "world_layout.h"

namespace worldgen {

struct GeneratedMap {
  int width = 0;
  int height = 0;
  std::vector<int32_t> altitude;  // per hex, row by row
  std::vector<uint8_t> role;      // TerrainRole per hex
  std::vector<uint8_t> owner;     // region number, 0 for none
  int riverHexes = 0;             // hexes a river crosses
  int riverCount = 0;

  size_t Index(Hex h) const { return static_cast<size_t>(h.y) * static_cast<size_t>(width) + static_cast<size_t>(h.x); }
  bool IsWater(Hex h) const {
    const int r = role[Index(h)];
    return r == kDeepOcean || r == kCoastalWaters || r == kLake;
  }
};

// False with the reason when a place the layout names lies off the map.
bool GenerateMap(const WorldLayout& layout, GeneratedMap& map, std::string& error);

}  // namespace worldgen
