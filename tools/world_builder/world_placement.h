#pragma once
// What the sample world puts on its generated map, as the map editor's
// tools would: town labels and settlements, bases, ports, airfields, silos,
// depots, research centres, industries and infrastructure as the hexes'
// lead facilities, the regions' forces, the designs and technologies each
// region knows, and the region figures the editor derives from the map.
#include <map>
#include <string>

#include "terrain_generator.h"
#include "world_layout.h"

struct World;

namespace worldgen {

struct PlacementCounts {
  int towns = 0;         // named settlements, capitals included
  int villages = 0;
  int facilities = 0;    // every lead facility
  int units = 0;         // every unit that is not a facility
  int stockUnits = 0;
  std::map<int, int> byClass;  // units and facilities by class
};

// Writes the map's terrain and owners into the world's cells and places
// everything. False with the reason (a class the layout or the rules need
// is missing, a force has nowhere to stand) without finishing.
bool PlaceWorldContents(World& world, const WorldLayout& layout, const GeneratedMap& map, PlacementCounts& counts,
                        std::string& error);

}  // namespace worldgen
