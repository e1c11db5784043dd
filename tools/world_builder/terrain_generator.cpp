#include "terrain_generator.h"

#include <algorithm>
#include <cstdlib>
#include <deque>

namespace worldgen {

namespace {

constexpr int kNoiseAmplitude = 420;
constexpr int kMountainAltitude = 900;
constexpr int kHillAltitude = 780;
constexpr int kLowland = 450;
constexpr int kRiverSources = 18;
constexpr int kRiverSpacing = 6;
constexpr int kRiverSteps = 80;

// Hashed lattice values 0..1023 every `cell` hexes, blended linearly; the
// lattice wraps east to west (cell divides the width).
int ValueNoise(int x, int y, int cell, int width, uint32_t seed) {
  const int columns = width / cell;
  const int gx = x / cell, fx = x % cell;
  const int gy = y / cell, fy = y % cell;
  auto v = [&](int i, int j) { return static_cast<int>(Hash(static_cast<uint32_t>(i % columns), static_cast<uint32_t>(j), seed) & 1023u); };
  const int top = v(gx, gy) * (cell - fx) + v(gx + 1, gy) * fx;
  const int bottom = v(gx, gy + 1) * (cell - fx) + v(gx + 1, gy + 1) * fx;
  return (top * (cell - fy) + bottom * fy) / (cell * cell);
}

int Fractal(int x, int y, int width, uint32_t seed) {
  return (3 * ValueNoise(x, y, 20, width, seed) + 2 * ValueNoise(x, y, 10, width, seed + 1) +
          2 * ValueNoise(x, y, 5, width, seed + 2)) /
         7;
}

int WrappedDx(int a, int b, int width) {
  int d = std::abs(a - b);
  return std::min(d, width - d);
}

bool OnMap(const GeneratedMap& m, int x, int y) { return x >= 0 && y >= 0 && x < m.width && y < m.height; }

void RaiseToLowland(GeneratedMap& m, Hex h) {
  auto raise = [&](Hex p) {
    int32_t& a = m.altitude[m.Index(p)];
    a = std::clamp(a, kLowland + 50, kHillAltitude - 10);
  };
  raise(h);
  for (int d = 0; d < 6; ++d) {
    Hex n;
    if (Neighbour(m.width, m.height, h, d, n)) raise(n);
  }
}

uint8_t LandRole(int altitude, int moisture, int latitude) {
  if (altitude > kMountainAltitude) return kMountains;
  if (altitude > kHillAltitude) return kHills;
  if (latitude > 62) return kTundra;
  if (latitude >= 18 && latitude <= 40 && moisture < 380) return kDesert;
  if (latitude < 16 && moisture > 620) return kJungle;
  if (altitude < 420 && moisture > 640) return kSwamp;
  if (moisture > 600) return kForest;
  if (moisture > 440) return kGrassland;
  return kPlains;
}

void LayRivers(const WorldLayout& layout, GeneratedMap& m) {
  std::vector<std::pair<uint32_t, Hex>> candidates;
  for (int y = 0; y < m.height; ++y)
    for (int x = 0; x < m.width; ++x) {
      const Hex h{x, y};
      const int r = m.role[m.Index(h)];
      if (r == kHills || r == kMountains)
        candidates.push_back({Hash(static_cast<uint32_t>(x), static_cast<uint32_t>(y), layout.seed + 7), h});
    }
  std::sort(candidates.begin(), candidates.end(), [](const auto& a, const auto& b) {
    return a.first != b.first ? a.first < b.first : (a.second.y != b.second.y ? a.second.y < b.second.y : a.second.x < b.second.x);
  });
  std::vector<Hex> sources;
  for (const auto& c : candidates) {
    if (static_cast<int>(sources.size()) >= kRiverSources) break;
    bool spaced = true;
    for (const Hex& s : sources) spaced = spaced && Distance(m.width, s, c.second) >= kRiverSpacing;
    if (spaced) sources.push_back(c.second);
  }
  for (const Hex& source : sources) {
    Hex here = source;
    int crossed = 0;
    for (int step = 0; step < kRiverSteps; ++step) {
      Hex lowest = here;
      int32_t lowestAltitude = m.altitude[m.Index(here)];
      for (int d = 0; d < 6; ++d) {
        Hex n;
        if (Neighbour(m.width, m.height, here, d, n) && m.altitude[m.Index(n)] < lowestAltitude) {
          lowest = n;
          lowestAltitude = m.altitude[m.Index(n)];
        }
      }
      if (lowest.x == here.x && lowest.y == here.y) {  // a pit: the river ends in a lake
        if (step > 0 && m.role[m.Index(here)] != kPolarIce) m.role[m.Index(here)] = kLake;
        break;
      }
      here = lowest;
      if (m.IsWater(here) || m.role[m.Index(here)] == kPolarIce) break;
      uint8_t& r = m.role[m.Index(here)];
      if (r != kHills && r != kMountains && r != kRiverValley) {
        r = kRiverValley;
        ++m.riverHexes;
        ++crossed;
      }
    }
    if (crossed > 0) ++m.riverCount;
  }
}

void AssignRegions(const WorldLayout& layout, GeneratedMap& m) {
  std::deque<Hex> queue;
  for (const RegionSpec& r : layout.regions) {
    const Hex c{r.capitalX, r.capitalY};
    m.owner[m.Index(c)] = static_cast<uint8_t>(r.number);
    queue.push_back(c);
  }
  while (!queue.empty()) {
    const Hex h = queue.front();
    queue.pop_front();
    for (int d = 0; d < 6; ++d) {
      Hex n;
      if (!Neighbour(m.width, m.height, h, d, n)) continue;
      const size_t i = m.Index(n);
      if (m.owner[i] || m.IsWater(n) || m.role[i] == kPolarIce) continue;
      m.owner[i] = m.owner[m.Index(h)];
      queue.push_back(n);
    }
  }
}

}  // namespace

bool GenerateMap(const WorldLayout& layout, GeneratedMap& m, std::string& error) {
  m = GeneratedMap{};
  m.width = layout.width;
  m.height = layout.height;
  const size_t cells = static_cast<size_t>(m.width) * static_cast<size_t>(m.height);
  m.altitude.assign(cells, 0);
  m.role.assign(cells, kDeepOcean);
  m.owner.assign(cells, 0);
  for (const RegionSpec& r : layout.regions) {
    bool ok = OnMap(m, r.capitalX, r.capitalY);
    for (const TownSpec& t : r.towns) ok = ok && (!t.fixed || OnMap(m, t.x, t.y));
    if (!ok) {
      error = "region " + std::to_string(r.number) + " has a capital or town off the map";
      return false;
    }
  }
  if (m.width % 20 != 0 || m.height < 8) {  // the noise lattices must wrap whole
    error = "the map's width must be a multiple of 20";
    return false;
  }
  for (const PointSpec& p : layout.lakes) {
    if (!OnMap(m, p.x, p.y)) {
      error = "a lake lies off the map";
      return false;
    }
  }

  // 1. Height.
  for (int y = 0; y < m.height; ++y) {
    for (int x = 0; x < m.width; ++x) {
      int64_t dome = 0;
      for (const ContinentSpec& c : layout.continents) {
        const int64_t dx = WrappedDx(x, c.x, m.width), dy = y - c.y;
        const int64_t d2 = dx * dx * 1024 / (int64_t{c.rx} * c.rx) + dy * dy * 1024 / (int64_t{c.ry} * c.ry);
        if (d2 < 1024) dome = std::max(dome, c.peak * (1024 - d2) / 1024);
      }
      const int noise = Fractal(x, y, m.width, layout.seed);
      m.altitude[m.Index({x, y})] = static_cast<int32_t>(dome) + (noise - 512) * kNoiseAmplitude / 512;
    }
  }
  for (const RectSpec& s : layout.straits)
    for (int y = std::max(0, s.y0); y <= std::min(m.height - 1, s.y1); ++y)
      for (int x = std::max(0, s.x0); x <= std::min(m.width - 1, s.x1); ++x) m.altitude[m.Index({x, y})] = 0;
  for (const RegionSpec& r : layout.regions) {
    RaiseToLowland(m, {r.capitalX, r.capitalY});
    for (const TownSpec& t : r.towns)
      if (t.fixed) RaiseToLowland(m, {t.x, t.y});
  }
  for (const PointSpec& p : layout.lakes) RaiseToLowland(m, {p.x, p.y});

  // 2. Land types.
  for (int y = 0; y < m.height; ++y) {
    const int latitude = std::abs(2 * y - (m.height - 1)) * 40 / (m.height - 1) * 2;  // 0 at the equator, 80 at the poles
    for (int x = 0; x < m.width; ++x) {
      const size_t i = m.Index({x, y});
      if (y < 2 || y >= m.height - 2) {
        m.role[i] = kPolarIce;
      } else if (m.altitude[i] > layout.seaLevel) {
        m.role[i] = LandRole(m.altitude[i], Fractal(x, y, m.width, layout.seed + 100), latitude);
      }
    }
  }

  // 3. Rivers and lakes. A river never drowns a capital or a named town.
  LayRivers(layout, m);
  for (const PointSpec& p : layout.lakes) m.role[m.Index({p.x, p.y})] = kLake;
  for (const RegionSpec& r : layout.regions) {
    auto keepDry = [&](Hex h) {
      if (m.IsWater(h)) m.role[m.Index(h)] = kPlains;
    };
    keepDry({r.capitalX, r.capitalY});
    for (const TownSpec& t : r.towns)
      if (t.fixed) keepDry({t.x, t.y});
  }

  // 4. Coasts.
  for (int y = 0; y < m.height; ++y)
    for (int x = 0; x < m.width; ++x) {
      const Hex h{x, y};
      if (m.role[m.Index(h)] != kDeepOcean) continue;
      for (int d = 0; d < 6; ++d) {
        Hex n;
        if (Neighbour(m.width, m.height, h, d, n) && !m.IsWater(n)) {
          m.role[m.Index(h)] = kCoastalWaters;
          break;
        }
      }
    }

  // 5. Regions.
  AssignRegions(layout, m);
  return true;
}

}  // namespace worldgen
