#include "world_placement.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "world/hex_stack_chains.h"
#include "records/hex_unit_stack.h"
#include "units/deployment_weight.h"
#include "units/paths/path_route.h"
#include "units/unit_player_fields.h"
#include "world/unit_create.h"
#include "world/unit_tables.h"
#include "records/unit_record.h"
#include "world/hex_extra.h"
#include "records/le_bytes.h"
#include "world/world.h"

namespace worldgen {

namespace {

// Facility classes of the sample world's class table (CUSTOM\VDUNITS.CSV).
enum FacilityClass : int {
  kVillage = 4000,
  kTown = 4001,
  kCity = 4002,
  kCapitalCity = 4003,
  kSupplyDepot = 4004,
  kResearchCentre = 4037,
  kCommercialPort = 4006,
  kRadarStation = 4007,
  kFortress = 4008,
  kMissileSilo = 4011,
  kLaunchSite = 4012,
  kAirstrip = 4013,
  kNavalBase = 4014,
  kAirBase = 4015,
  kFirstExtraction = 4016,  // 4016 + product 0 to 7: farm ... power plant
  kGoodsFactory = 4032,
  kHeavyIndustry = 4033,
  kArmsFactory = 4034,
  kHydroDam = 4036,
  kBridge = 4005,
  kRailYard = 4038,
  kAirport = 4039,
  kOilRefinery = 4046,
  kArmyBase = 4054,
};

constexpr size_t kLabelPopulationAt = 4;  // the label's float: people beyond the terrain's base
constexpr size_t kTerrainPopulationAt = 98;
constexpr int kTownSpacing = 5;
constexpr int kVillagesPerRegion = 3;

struct Context {
  World& world;
  const WorldLayout& layout;
  const GeneratedMap& map;
  PlacementCounts& counts;
  std::string& error;

  HexCell& Cell(Hex h) { return world.cells[map.Index(h)]; }
  int Role(Hex h) const { return map.role[map.Index(h)]; }
  int Owner(Hex h) const { return map.owner[map.Index(h)]; }
  bool IsLand(Hex h) const { return !map.IsWater(h) && Role(h) != kPolarIce; }
  bool HasLead(Hex h) {
    const HexUnitStack* s = Cell(h).stack;
    return s && s->lead;
  }
  bool IsCoastal(Hex h) const {
    for (int d = 0; d < 6; ++d) {
      Hex n;
      if (Neighbour(map.width, map.height, h, d, n) && (Role(n) == kCoastalWaters || Role(n) == kDeepOcean))
        return true;
    }
    return false;
  }
  float TerrainYield(Hex h, int product) const {
    const TerrainRecord& t = world.terrains[static_cast<size_t>(layout.terrain[Role(h)])];
    return le::LoadF32(t.bytes + 4 * static_cast<size_t>(product));
  }
};

// The hexes within `radius` of `centre`, nearest first (then by row and
// column), that satisfy `wanted`.
template <typename Wanted>
std::vector<Hex> HexesNear(const Context& c, Hex centre, int radius, Wanted wanted) {
  std::vector<std::pair<int, Hex>> found;
  for (int dy = -radius; dy <= radius; ++dy) {
    const int y = centre.y + dy;
    if (y < 0 || y >= c.map.height) continue;
    for (int dx = -radius; dx <= radius; ++dx) {
      int x = (centre.x + dx) % c.map.width;
      if (x < 0) x += c.map.width;
      const Hex h{x, y};
      const int d = Distance(c.map.width, centre, h);
      if (d <= radius && wanted(h)) found.push_back({d, h});
    }
  }
  std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
    if (a.first != b.first) return a.first < b.first;
    return a.second.y != b.second.y ? a.second.y < b.second.y : a.second.x < b.second.x;
  });
  std::vector<Hex> out;
  for (const auto& f : found) out.push_back(f.second);
  return out;
}

const UnitClassRecord* NamedClass(const World& world, int classIndex) {
  if (classIndex <= 0 || static_cast<size_t>(classIndex) >= world.unitClasses.size()) return nullptr;
  const UnitClassRecord& cls = world.unitClasses[static_cast<size_t>(classIndex)];
  return cls.name[0] ? &cls : nullptr;
}

// A unit made as the editor's unit brush makes it and placed ready on its
// hex: confirmed, complete, not in reserve.
UnitRecord* MakeUnit(Context& c, int region, int classIndex, Hex at, bool inReserve) {
  if (!NamedClass(c.world, classIndex)) {
    c.error = "class " + std::to_string(classIndex) + " is not in the unit-class table";
    return nullptr;
  }
  PlayerRecord& owner = c.world.players[region];
  ++owner.commandCounter;
  const uint32_t id = (static_cast<uint32_t>(owner.number) << 24) | (owner.commandCounter & 0xFFFFFFu);
  const uint32_t position = static_cast<uint32_t>(at.x) | (static_cast<uint32_t>(at.y) << 16);
  UnitRecord* unit = CreateUnit(c.world, owner, id, classIndex, 1.0f, position, 0, 0);
  unit->unitFlags &= ~kUnitProvisional;
  unit->buildWork = 0.0f;
  unit->morale = 0.75f;
  // Forces start with full magazines.
  if (const UnitClassRecord* cls = NamedClass(c.world, classIndex)) unit->ammo = cls->ammoCapacity * unit->strength;
  uint32_t& state = unit->orders[kPostureBits];
  state &= ~kPostureUnderConstruction;
  if (!inReserve) state &= ~kPostureInReserve;
  unit->ordersShown = unit->orders;
  ++c.counts.byClass[classIndex];
  return unit;
}

// A force starts as if it had been deployed (or filed in the reserve): its
// owner's running counts by category and the value of the forces on the
// map include it, as the military pages and graphs read them.
void CountAsDeployed(World& world, const UnitRecord& unit, bool inReserve) {
  namespace uf = unitfields;
  PlayerRecord& owner = world.players[unit.owner & 31];
  const auto category = static_cast<size_t>(UnitTableCategory(unit));
  if (!inReserve) uf::SetReal(owner, uf::kForcesOnMap, uf::Real(owner, uf::kForcesOnMap) + DeploymentWeight(world, unit));
  if (!(unit.unitFlags & kUnitStock))
    uf::AddShort(owner, (inReserve ? uf::kReserveCounts : uf::kMapCounts) + 2 * category, 1);
}

bool PlaceFacility(Context& c, int region, int classIndex, Hex at, Hex* placed = nullptr) {
  if (c.HasLead(at)) {
    c.error = "hex " + std::to_string(at.x) + "," + std::to_string(at.y) + " already has a facility";
    return false;
  }
  UnitRecord* unit = MakeUnit(c, region, classIndex, at, false);
  if (!unit) return false;
  GetStackDataLocked(c.world, c.Cell(at))->lead = unit;
  ++c.counts.facilities;
  if (placed) *placed = at;
  return true;
}

// The first free hex of the region near `centre` that satisfies `wanted`;
// false (and nothing placed) when there is none.
template <typename Wanted>
bool PlaceNear(Context& c, int region, int classIndex, Hex centre, int radius, Wanted wanted, Hex* placed = nullptr) {
  const auto hexes = HexesNear(c, centre, radius, [&](Hex h) {
    return c.Owner(h) == region && c.IsLand(h) && !c.HasLead(h) && wanted(h);
  });
  if (hexes.empty()) return false;
  return PlaceFacility(c, region, classIndex, hexes.front(), placed);
}

void SetLabel(Context& c, Hex at, const std::string& name, float population) {
  HexExtra* extra = GetHexExtra(c.world, c.Cell(at));
  if (!name.empty()) {
    auto* text = static_cast<char*>(std::malloc(name.size() + 1));
    std::memcpy(text, name.c_str(), name.size() + 1);
    std::free(extra->text);
    extra->text = text;
  }
  extra->x = static_cast<int16_t>(at.x);
  extra->y = static_cast<int16_t>(at.y);
  le::StoreF32(extra->bytes4 + (kLabelPopulationAt - 4), population);
}

int TownScore(const Context& c, Hex h) {
  static const int kScore[kTerrainRoleCount] = {0, 0, 0, 7, 8, 4, 3, 5, 0, 2, 1, 0, 1, 10};
  return kScore[c.Role(h)] * 100 + (c.IsCoastal(h) ? 300 : 0) +
         static_cast<int>(Hash(static_cast<uint32_t>(h.x), static_cast<uint32_t>(h.y), c.layout.seed + 11) % 200u);
}

struct RegionSites {
  std::vector<Hex> towns;  // capital first
  std::vector<bool> coastalTown;
  Hex airBase{}, navalBase{}, silo{};
  bool hasAirBase = false, hasNavalBase = false, hasSilo = false;
};

bool PlaceTowns(Context& c, const RegionSpec& r, RegionSites& sites) {
  const Hex capital{r.capitalX, r.capitalY};
  std::vector<Hex> chosen{capital};
  for (const TownSpec& t : r.towns)
    if (t.fixed) chosen.push_back({t.x, t.y});
  // The others on the best free land of the region, spaced apart.
  std::vector<std::pair<int, Hex>> candidates;
  for (int y = 0; y < c.map.height; ++y)
    for (int x = 0; x < c.map.width; ++x) {
      const Hex h{x, y};
      if (c.Owner(h) == r.number && c.IsLand(h) && c.Role(h) != kMountains) candidates.push_back({TownScore(c, h), h});
    }
  std::sort(candidates.begin(), candidates.end(), [](const auto& a, const auto& b) {
    if (a.first != b.first) return a.first > b.first;
    return a.second.y != b.second.y ? a.second.y < b.second.y : a.second.x < b.second.x;
  });
  std::vector<Hex> automatic;
  const size_t wanted = static_cast<size_t>(std::count_if(r.towns.begin() + 1, r.towns.end(), [](const TownSpec& t) { return !t.fixed; }));
  for (const auto& cand : candidates) {
    if (automatic.size() >= wanted) break;
    bool spaced = true;
    for (const Hex& t : chosen) spaced = spaced && Distance(c.map.width, t, cand.second) >= kTownSpacing;
    for (const Hex& t : automatic) spaced = spaced && Distance(c.map.width, t, cand.second) >= kTownSpacing;
    if (spaced) automatic.push_back(cand.second);
  }
  // Capital, then the towns in the layout's order.
  size_t nextAuto = 0;
  size_t fixedIndex = 1;
  for (size_t i = 0; i < r.towns.size(); ++i) {
    const TownSpec& t = r.towns[i];
    Hex at;
    if (i == 0) {
      at = capital;
    } else if (t.fixed) {
      at = chosen[fixedIndex++];
    } else if (nextAuto < automatic.size()) {
      at = automatic[nextAuto++];
    } else {
      continue;  // no room left in the region for this town
    }
    if (c.Owner(at) != r.number) {
      c.error = t.name + " at " + std::to_string(at.x) + "," + std::to_string(at.y) + " lies outside " + r.name;
      return false;
    }
    const uint32_t h = Hash(static_cast<uint32_t>(at.x), static_cast<uint32_t>(at.y), c.layout.seed + 13);
    int cls;
    float population;
    if (i == 0) {
      cls = kCapitalCity;
      population = 800000.0f + static_cast<float>(h % 700000u);
    } else if (sites.towns.size() <= 2) {
      cls = kCity;
      population = 150000.0f + static_cast<float>(h % 150000u);
    } else {
      cls = kTown;
      population = 30000.0f + static_cast<float>(h % 90000u);
    }
    if (!PlaceFacility(c, r.number, cls, at)) return false;
    SetLabel(c, at, t.name, population);
    sites.towns.push_back(at);
    sites.coastalTown.push_back(c.IsCoastal(at));
    ++c.counts.towns;
  }
  return true;
}

bool PlaceRegionFacilities(Context& c, const RegionSpec& r, RegionSites& s) {
  const int n = r.number;
  const Hex capital = s.towns.front();
  auto any = [](Hex) { return true; };
  auto flat = [&](Hex h) { return c.Role(h) != kMountains && c.Role(h) != kHills && c.Role(h) != kSwamp; };

  if (!PlaceNear(c, n, kResearchCentre, capital, 3, any)) return false;
  if (!PlaceNear(c, n, kArmyBase, capital, 4, any)) return false;
  s.hasAirBase = PlaceNear(c, n, kAirBase, capital, 5, flat, &s.airBase);
  if (!s.hasAirBase) s.hasAirBase = PlaceNear(c, n, kAirstrip, capital, 8, any, &s.airBase);
  // The naval base on the coast by the capital, else by the first coastal town.
  auto coastal = [&](Hex h) { return c.IsCoastal(h); };
  s.hasNavalBase = PlaceNear(c, n, kNavalBase, capital, 5, coastal, &s.navalBase);
  for (size_t i = 1; !s.hasNavalBase && i < s.towns.size(); ++i)
    if (s.coastalTown[i]) s.hasNavalBase = PlaceNear(c, n, kNavalBase, s.towns[i], 3, coastal, &s.navalBase);
  // Commercial ports beside the coastal towns.
  for (size_t i = 0; i < s.towns.size(); ++i)
    if (s.coastalTown[i]) (void)PlaceNear(c, n, kCommercialPort, s.towns[i], 2, coastal);
  const Hex second = s.towns.size() > 1 ? s.towns[1] : capital;
  const Hex last = s.towns.back();
  if (!PlaceNear(c, n, kSupplyDepot, second, 3, any)) return false;
  (void)PlaceNear(c, n, kRadarStation, capital, 10, [&](Hex h) { return c.Role(h) == kHills || c.Role(h) == kMountains; });
  if (r.silo) {
    s.hasSilo = PlaceNear(c, n, kMissileSilo, last, 5, any, &s.silo);
    if (!s.hasSilo) {
      c.error = r.name + " has no room for its missile silo";
      return false;
    }
  }
  // Factories by the capital and the largest city, power beside them.
  if (!PlaceNear(c, n, kGoodsFactory, capital, 3, any) || !PlaceNear(c, n, kHeavyIndustry, second, 3, any) ||
      !PlaceNear(c, n, kArmsFactory, capital, 4, any) ||
      !PlaceNear(c, n, kFirstExtraction + 7, capital, 4, any))  // power plant
    return false;
  (void)PlaceNear(c, n, kRailYard, capital, 3, any);
  if (s.towns.size() > 2) (void)PlaceNear(c, n, kAirport, s.towns[2], 3, flat);
  // Extraction where the land yields most: farms, plantations, mills, wells, mines.
  for (int product = 0; product < 7; ++product) {
    std::vector<std::pair<float, Hex>> best;
    for (int y = 0; y < c.map.height; ++y)
      for (int x = 0; x < c.map.width; ++x) {
        const Hex h{x, y};
        if (c.Owner(h) == n && c.IsLand(h) && !c.HasLead(h) && c.TerrainYield(h, product) >= 0.3f)
          best.push_back({c.TerrainYield(h, product), h});
      }
    std::stable_sort(best.begin(), best.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    const size_t sites = product == 0 ? 3 : 2;
    for (size_t i = 0; i < best.size() && i < sites; ++i)
      if (!PlaceFacility(c, n, kFirstExtraction + product, best[i].second)) return false;
    if (product == 3 && !best.empty()) (void)PlaceNear(c, n, kOilRefinery, best.front().second, 3, any);
  }
  // A bridge where a river valley meets the capital's surroundings, a dam in the hills.
  (void)PlaceNear(c, n, kBridge, capital, 8, [&](Hex h) { return c.Role(h) == kRiverValley; });
  (void)PlaceNear(c, n, kHydroDam, capital, 12, [&](Hex h) {
    if (c.Role(h) != kHills) return false;
    for (int d = 0; d < 6; ++d) {
      Hex nb;
      if (Neighbour(c.map.width, c.map.height, h, d, nb) && (c.Role(nb) == kRiverValley || c.Role(nb) == kLake))
        return true;
    }
    return false;
  });
  // Villages on the best farmland away from the towns.
  int villages = 0;
  for (const Hex& h : HexesNear(c, capital, 30, [&](Hex h) {
         return c.Owner(h) == n && !c.HasLead(h) && (c.Role(h) == kGrassland || c.Role(h) == kPlains || c.Role(h) == kRiverValley);
       })) {
    if (villages >= kVillagesPerRegion) break;
    bool apart = true;
    for (const Hex& t : s.towns) apart = apart && Distance(c.map.width, t, h) >= 3;
    if (!apart) continue;
    if (!PlaceFacility(c, n, kVillage, h)) return false;
    SetLabel(c, h, "", 2000.0f + static_cast<float>(Hash(static_cast<uint32_t>(h.x), static_cast<uint32_t>(h.y), c.layout.seed + 17) % 6000u));
    ++villages;
    ++c.counts.villages;
  }
  // A fortress on the Kessarian side of the channel's approaches: any
  // region with hills by its capital gets one.
  (void)PlaceNear(c, n, kFortress, capital, 6, [&](Hex h) { return c.Role(h) == kHills; });
  // Last, so that it takes no hex the sites above were given.
  if (r.launchSite && !PlaceNear(c, n, kLaunchSite, capital, 8, flat)) {
    c.error = r.name + " has no room for its launch site";
    return false;
  }
  return true;
}

// Every n-th land unit of a force (the layout's PATROL line) patrols: back
// and forth between its hex and the farthest land hex of its region within
// four hexes, so that the world is in motion from the first day.
constexpr int kPatrolRadius = 4;

void GivePatrol(Context& c, UnitRecord& unit, int region, Hex at) {
  if (unit.kind != 0 || (unit.unitFlags & kUnitStock)) return;
  const auto hexes = HexesNear(c, at, kPatrolRadius, [&](Hex h) { return c.Owner(h) == region && c.IsLand(h); });
  if (hexes.empty()) return;
  const Hex goal = hexes.back();
  if (goal.x == at.x && goal.y == at.y) return;
  const uint32_t from = static_cast<uint32_t>(at.x) | (static_cast<uint32_t>(at.y) << 16);
  const uint32_t to = static_cast<uint32_t>(goal.x) | (static_cast<uint32_t>(goal.y) << 16);
  const uint32_t waypoints[8] = {from, to};
  unit.route = std::make_unique<PathRequest>();
  InitPathRequest(waypoints, *unit.route, to, 0, true);
  // A patrol sets out with full tanks.
  if (const UnitClassRecord* cls = NamedClass(c.world, unit.classIndex)) unit.fuel = cls->fuelCapacity * unit.strength;
  unit.orders[kDestination] = to;
  unit.orders[kOrderFlags] |= kOrderMove | kOrderKeepsRoute;
  unit.ordersShown = unit.orders;
}

// The region's land hexes nearest the land of the region it faces (then
// by row and column), so that two regions at war start within reach of
// each other.
constexpr size_t kFrontHexes = 4;

std::vector<Hex> FrontHexes(const Context& c, int region, int toward) {
  std::vector<Hex> theirs;
  std::vector<Hex> ours;
  for (int y = 0; y < c.map.height; ++y)
    for (int x = 0; x < c.map.width; ++x) {
      const Hex h{x, y};
      if (!c.IsLand(h)) continue;
      if (c.Owner(h) == toward) theirs.push_back(h);
      if (c.Owner(h) == region) ours.push_back(h);
    }
  std::vector<std::pair<int, Hex>> found;
  for (const Hex& h : ours) {
    int nearest = -1;
    for (const Hex& t : theirs) {
      const int d = Distance(c.map.width, h, t);
      if (nearest < 0 || d < nearest) nearest = d;
    }
    if (nearest >= 0) found.push_back({nearest, h});
  }
  std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
    if (a.first != b.first) return a.first < b.first;
    return a.second.y != b.second.y ? a.second.y < b.second.y : a.second.x < b.second.x;
  });
  std::vector<Hex> out;
  for (size_t i = 0; i < found.size() && i < kFrontHexes; ++i) out.push_back(found[i].second);
  return out;
}

bool PlaceForces(Context& c, const std::vector<RegionSites>& sites) {
  for (const ForceSpec& f : c.layout.forces) {
    const RegionSpec* region = nullptr;
    for (const RegionSpec& r : c.layout.regions)
      if (r.number == f.region) region = &r;
    if (!region) {
      c.error = "a force names region " + std::to_string(f.region) + ", which has no REGION line";
      return false;
    }
    const RegionSites& s = sites[static_cast<size_t>(f.region - 1)];
    const Hex capital = s.towns.front();
    std::vector<Hex> spots;
    bool reserve = false;
    if (f.place == "airbase" && s.hasAirBase) {
      spots = {s.airBase};
    } else if (f.place == "navalbase") {
      if (!s.hasNavalBase) {
        c.error = region->name + " has ships but no naval base";
        return false;
      }
      spots = {s.navalBase};
    } else if (f.place == "silo") {
      if (!s.hasSilo) {
        c.error = region->name + " has missiles but no silo";
        return false;
      }
      spots = {s.silo};
      reserve = true;
    } else if (f.place == "border") {
      for (int y = 0; y < c.map.height && spots.size() < 6; ++y)
        for (int x = 0; x < c.map.width && spots.size() < 6; ++x) {
          const Hex h{x, y};
          if (c.Owner(h) != f.region) continue;
          for (int d = 0; d < 6; ++d) {
            Hex nb;
            if (Neighbour(c.map.width, c.map.height, h, d, nb) && c.Owner(nb) != 0 && c.Owner(nb) != f.region) {
              spots.push_back(h);
              break;
            }
          }
        }
    } else if (f.place == "front") {
      spots = FrontHexes(c, f.region, f.toward);
    }
    if (spots.empty())
      spots = HexesNear(c, capital, 3, [&](Hex h) { return c.Owner(h) == f.region && c.IsLand(h); });
    for (int i = 0; i < f.count; ++i) {
      const Hex at = spots[static_cast<size_t>(i) % spots.size()];
      UnitRecord* unit = MakeUnit(c, f.region, f.classIndex, at, reserve);
      if (!unit) return false;
      if (unit->unitFlags & kUnitFacility) {
        c.error = "class " + std::to_string(f.classIndex) + " of a force is a facility";
        return false;
      }
      if (unit->unitFlags & kUnitStock) ++c.counts.stockUnits;
      // Forces start with full tanks too; aircraft and ships set down at
      // their base start in it, as a unit finished there does: a carrier-borne
      // aircraft left empty outside a base is lost in its first step.
      if (const UnitClassRecord* cls = NamedClass(c.world, f.classIndex)) unit->fuel = cls->fuelCapacity * unit->strength;
      if (unit->moveKind != 0 && c.HasLead(at)) {
        unit->unitFlags |= kUnitInBase;
        unit->orders[kStateFlags] |= kStateCanRefuel;
        unit->ordersShown = unit->orders;
      }
      ++c.counts.units;
      CountAsDeployed(c.world, *unit, reserve);
      if (!reserve) HexStackInsertOrdered(c.world, c.Cell(at), *unit);
      if (!reserve && c.layout.patrolEvery > 0 && i % c.layout.patrolEvery == 0) GivePatrol(c, *unit, f.region, at);
    }
  }
  return true;
}

// The technologies of each region up to its level, with their
// prerequisites, and the designs those technologies allow.
void SetRows(Context& c) {
  World& w = c.world;
  for (const RegionSpec& r : c.layout.regions) {
    PlayerTechState* techs = TechRow(w, r.number);
    uint8_t* designs = DesignRow(w, r.number);
    if (!techs || !designs) continue;
    std::vector<bool> known(w.techs.size(), false);
    known[0] = true;
    bool grew = true;
    while (grew) {  // until no technology of the level has its prerequisites newly met
      grew = false;
      for (size_t t = 1; t < w.techs.size(); ++t) {
        const TechRecord& tech = w.techs[t];
        if (known[t] || tech.category == 0 || tech.techLevel > r.techLevel) continue;
        if (known[static_cast<size_t>(tech.prerequisites[0])] && known[static_cast<size_t>(tech.prerequisites[1])]) {
          known[t] = true;
          grew = true;
        }
      }
    }
    for (size_t t = 1; t < w.techs.size(); ++t) techs[t].known = known[t] ? 1 : 0;
    for (size_t k = 1; k < w.unitClasses.size(); ++k) {
      const UnitClassRecord& cls = w.unitClasses[k];
      if (!cls.name[0] || (cls.flags & kClassObsolete)) continue;
      const auto need = [&](int16_t t) { return t <= 0 || (static_cast<size_t>(t) < known.size() && known[static_cast<size_t>(t)]); };
      if (need(cls.requiredTechs[0]) && need(cls.requiredTechs[1])) designs[k] |= 1;
    }
    w.players[r.number].techLevel = 100.0f + 40.0f * static_cast<float>(r.techLevel);
    // Every class mask of the sample's designs is open to every region.
    w.players[r.number].classMask = 0xFFFFFFFFu;
  }
}

// The figures the editor derives from the map: land, people and output.
void DeriveRegionFigures(Context& c) {
  World& w = c.world;
  for (const RegionSpec& r : c.layout.regions) {
    PlayerRecord& p = w.players[r.number];
    int hexes = 0;
    float rural = 0.0f;
    float towns = 0.0f;
    for (int y = 0; y < c.map.height; ++y)
      for (int x = 0; x < c.map.width; ++x) {
        const Hex h{x, y};
        if (c.Owner(h) != r.number) continue;
        ++hexes;
        const float b = w.terrains[static_cast<size_t>(c.layout.terrain[c.Role(h)])].bytes[kTerrainPopulationAt];
        if (b > 0.0f) rural = rural + b * b + 99.0f;
        const HexUnitStack* s = c.Cell(h).stack;
        if (s && s->extra) towns = towns + le::LoadF32(s->extra->bytes4 + (kLabelPopulationAt - 4));
      }
    p.hexCount = hexes;
    p.ruralPopulation = rural;
    p.population = rural + towns;
    p.gdp = p.gdpPerCapita * p.population;
    p.kind = r.number == 1 ? kKindHuman : kKindComputer;
  }
}

}  // namespace

bool PlaceWorldContents(World& world, const WorldLayout& layout, const GeneratedMap& map, PlacementCounts& counts,
                        std::string& error) {
  Context c{world, layout, map, counts, error};
  for (int y = 0; y < map.height; ++y)
    for (int x = 0; x < map.width; ++x) {
      const Hex h{x, y};
      uint32_t word = WithCellTerrain(0, layout.terrain[map.role[map.Index(h)]]);
      word = WithCellLoyalTo(WithCellOwner(word, map.owner[map.Index(h)]), map.owner[map.Index(h)]);
      world.cells[map.Index(h)].word = word;
    }
  std::vector<RegionSites> sites(layout.regions.size());
  for (size_t i = 0; i < layout.regions.size(); ++i)
    if (!PlaceTowns(c, layout.regions[i], sites[i])) return false;
  for (size_t i = 0; i < layout.regions.size(); ++i)
    if (!PlaceRegionFacilities(c, layout.regions[i], sites[i])) return false;
  if (!PlaceForces(c, sites)) return false;
  SetRows(c);
  DeriveRegionFigures(c);
  return true;
}

}  // namespace worldgen
