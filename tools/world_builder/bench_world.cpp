#include "bench_world.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace worldgen {

namespace {

namespace fs = std::filesystem;

constexpr int kWidth = 240;
constexpr int kHeight = 120;
constexpr int kColumns = 8;  // regions on a grid of 8 x 4 landmasses
constexpr int kCell = 30;
constexpr int kTownsPerRegion = 4;
constexpr int kPatrolEvery = 10;

// A region's starting forces: class, count, place (320 units a region).
struct Force {
  int classIndex, count;
  const char* place;
};
constexpr Force kForces[] = {{2, 120, "capital"}, {2, 60, "border"}, {8, 60, "capital"},
                             {10, 40, "capital"}, {14, 20, "capital"}, {18, 20, "airbase"}};

std::vector<std::string> Split(const std::string& line) {
  std::vector<std::string> cells;
  std::stringstream in(line);
  std::string cell;
  while (std::getline(in, cell, ',')) cells.push_back(cell);
  if (!line.empty() && line.back() == ',') cells.emplace_back();
  return cells;
}

// The sample's region data widened to 31 regions: each figure of region r
// is the sample's figure of region (r - 1) mod 9 + 1; names are numbered.
bool WriteRegionData(const fs::path& from, const fs::path& to, std::string& error) {
  std::ifstream in(from);
  std::ofstream out(to);
  if (!in || !out) {
    error = "the region data cannot be copied to " + to.string();
    return false;
  }
  std::string line;
  bool title = true;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::vector<std::string> cells = Split(line);
    if (title || cells.size() != 10) {
      if (!title && !cells.empty() && cells[0] == "NUMPLAYERSINFILE")
        out << "NUMPLAYERSINFILE," << kBenchRegions << "\r\n";
      else
        out << line << "\r\n";
      title = false;
      continue;
    }
    out << cells[0];
    for (int r = 1; r <= kBenchRegions; ++r) {
      if (cells[0] == "pname[16];")
        out << ",Region " << r;
      else
        out << "," << cells[static_cast<size_t>((r - 1) % 9 + 1)];
    }
    out << "\r\n";
  }
  return static_cast<bool>(out);
}

bool WriteLayout(const fs::path& to, std::string& error) {
  std::ofstream out(to);
  if (!out) {
    error = "the benchmark layout cannot be written to " + to.string();
    return false;
  }
  out << "Layout of the benchmark world, written by tools/world_builder\r\n";
  out << "SEED,20100302\r\nSIZE," << kWidth << "," << kHeight << "\r\nSEALEVEL,350\r\n";
  out << "TERRAINS,1,2,3,4,5,6,7,8,9,10,11,12,13,14\r\n";
  out << "PATROL," << kPatrolEvery << "\r\n";
  for (int r = 1; r <= kBenchRegions; ++r) {
    const int cx = kCell / 2 + kCell * ((r - 1) % kColumns);
    const int cy = kCell / 2 + kCell * ((r - 1) / kColumns);
    out << "CONTINENT," << cx << "," << cy << ",12,11,820\r\n";
  }
  for (int r = 1; r <= kBenchRegions; ++r) {
    const int cx = kCell / 2 + kCell * ((r - 1) % kColumns);
    const int cy = kCell / 2 + kCell * ((r - 1) / kColumns);
    out << "REGION," << r << ",Region " << r << "," << cx << "," << cy << ",3\r\n";
    out << "TOWNS," << r << ",Capital " << r;
    for (int t = 1; t < kTownsPerRegion; ++t) out << ",Town " << r << "-" << t;
    out << "\r\n";
  }
  for (int r = 1; r <= kBenchRegions; ++r)
    for (const Force& f : kForces) out << "FORCE," << r << "," << f.classIndex << "," << f.count << "," << f.place << "\r\n";
  return static_cast<bool>(out);
}

}  // namespace

bool WriteBenchSources(const std::string& sampleSource, const std::string& dataFolder, const std::string& workFolder,
                       std::string& error) {
  std::error_code ec;
  const fs::path custom = fs::path(workFolder) / "world" / "CUSTOM";
  const fs::path settings = fs::path(workFolder) / "PlayerSet";
  fs::create_directories(custom, ec);
  fs::create_directories(settings, ec);
  const fs::path sample = fs::path(sampleSource) / "CUSTOM";
  for (const char* name : {"TERFILE.CSV", "VDUNITS.CSV", "TECHTREE.CSV", "PPLFILE.CSV"}) {
    fs::copy_file(sample / name, custom / name, fs::copy_options::overwrite_existing, ec);
    if (ec) {
      error = (sample / name).string() + " cannot be copied: " + ec.message();
      return false;
    }
  }
  fs::copy(fs::path(dataFolder) / "PlayerSet", settings,
           fs::copy_options::overwrite_existing | fs::copy_options::recursive, ec);
  if (ec) {
    error = "the player settings cannot be copied: " + ec.message();
    return false;
  }
  return WriteRegionData(sample / "CHANNEL.CSV", custom / "CHANNEL.CSV", error) &&
         WriteLayout(custom / "WORLD.CSV", error);
}

}  // namespace worldgen
