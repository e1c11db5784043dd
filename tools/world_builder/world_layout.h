#pragma once
// The sample world's layout, authored as "CUSTOM\WORLD.CSV" beside the
// scenario's import files: the generator's seed and sizes, the landmasses,
// the regions with their capitals, towns and technology levels, and the
// forces each region starts with. One line per entry, its keyword first;
// the first line is the file's title.
#include <cstdint>
#include <string>
#include <vector>

namespace worldgen {

// The terrain types the generator lays down, in the order of the TERRAINS
// line, which gives each one's index in the terrain table.
enum TerrainRole : int {
  kDeepOcean,
  kCoastalWaters,
  kLake,
  kPlains,
  kGrassland,
  kForest,
  kJungle,
  kHills,
  kMountains,
  kDesert,
  kTundra,
  kPolarIce,
  kSwamp,
  kRiverValley,
  kTerrainRoleCount
};

struct ContinentSpec {  // an oval landmass: centre, radii, height at the centre
  int x, y, rx, ry, peak;
};
struct RectSpec {  // a stretch kept open sea
  int x0, x1, y0, y1;
};
struct PointSpec {
  int x, y;
};
struct TownSpec {
  std::string name;
  bool fixed = false;  // at x, y; otherwise the builder chooses the hex
  int x = 0, y = 0;
};
struct RegionSpec {
  int number = 0;
  std::string name;
  int capitalX = 0, capitalY = 0;
  int techLevel = 0;              // technologies up to this level are known
  std::vector<TownSpec> towns;    // the capital's name first
  bool silo = false;
  bool launchSite = false;  // the LAUNCHSITE line
  // The aggressiveness setting (0 to 3) of the region's default unit
  // orders, over the settings template's; -1 keeps the template's. The
  // AGGRESSION line.
  int aggression = -1;
};
struct ForceSpec {
  int region = 0;
  int classIndex = 0;
  int count = 0;
  std::string place;  // capital, border, front, airbase, navalbase or silo
  int toward = 0;     // front: the region it faces
};

struct WorldLayout {
  uint32_t seed = 0;
  int width = 0;
  int height = 0;
  int seaLevel = 0;
  int terrain[kTerrainRoleCount] = {};
  std::vector<ContinentSpec> continents;
  std::vector<RectSpec> straits;
  std::vector<PointSpec> lakes;
  std::vector<RegionSpec> regions;  // in region order
  std::vector<ForceSpec> forces;
  int patrolEvery = 3;  // every n-th land unit of a force patrols (0: none); the PATROL line
  // The game's short-range boost of weapon reach: factor and addend (the
  // addend also lengthens sight). Without the RANGEBOOST line a weapon's
  // reach shrinks to its square over 400.
  float rangeBoost = 0.0f;
  float rangeAddend = 0.0f;
};

// Reads "CUSTOM\" + name + ".CSV" under the data root. False with the file,
// line and reason in error when a line is not what its keyword needs.
bool ReadWorldLayout(const char* name, WorldLayout& layout, std::string& error);

}  // namespace worldgen
