#pragma once
// Builds the sample world "The Narrow Channel" from its CSV sources through
// the map editor's imports and the game's own file writers. The sources
// are "CUSTOM\" files under the source folder: the region data (CHANNEL),
// the terrain types (TERFILE), the people (PPLFILE), the unit and facility
// classes (VDUNITS), the technology tree (TECHTREE) and the layout (WORLD).
// Written under the game folder: "MAPS\CHANNEL.MAP" and "MAPS\CHANNEL.GAM",
// and "MAPS\DATA\" CHANNEL and DEFAULT .UNI, .TER, .TTR and .PPL (the files
// a new editor map reads). File stamps come from the clock, which the
// builder fixes to the scenario's first day, so two builds write the same
// bytes.
#include <string>

#include "world_placement.h"

namespace worldgen {

struct BuildSummary {
  int width = 0;
  int height = 0;
  int regions = 0;
  int terrainCounts[kTerrainRoleCount] = {};
  int rivers = 0;
  int riverHexes = 0;
  int unitClasses = 0;  // named classes, facilities included
  int technologies = 0;
  int people = 0;
  PlacementCounts placed;
};

// Builds into the global world and writes the files. False with the reason
// (naming the file and line for a bad source) when anything fails; the
// files are then not all written.
bool BuildSampleWorld(const std::string& sourceFolder, const std::string& gameFolder, BuildSummary& summary,
                      std::string& error);

}  // namespace worldgen
