#include "units/spotting/spotting_map.h"

#include <algorithm>

#include "app/game_math.h"
#include "records/hex_cell.h"
#include "records/unit_record.h"
#include "units/hex_geometry.h"
#include "world/unit_class.h"
#include "units/spotting/unit_sighting.h"
#include "world/scenario_settings.h"
#include "world/world.h"

namespace {

// What an owned hex and its neighbours see, by the hex's class.
constexpr uint8_t kOwnedHexSight[4] = {30, 60, 120, 240};
constexpr uint8_t kNeighbourSight[4] = {15, 30, 60, 120};

// Alive, in service and not carried: a unit that sees and may be seen.
bool Counts(const UnitRecord& u) { return IsUnitLive(u) && !InReserve(u) && u.carrier == 0; }

template <class Fn>
void ForCountingUnits(World& world, Fn fn) {
  UnitRecord* head = world.units;
  for (UnitRecord* u = head; u;) {
    if (Counts(*u))
      if (const UnitClassRecord* cls = UnitClassOf(world, *u)) fn(*u, *cls);
    u = u->next;
    if (u == head) break;
  }
}

void Raise(World& world, size_t cell, int player, uint8_t value) {
  uint8_t& b = world.spottingMap[cell * kMaxPlayers + static_cast<size_t>(player)];
  b = std::max(b, value);
}

void SpotOwnedHexes(World& world) {
  const HexMapShape map = MapShape(world);
  if (int64_t{map.width} * map.height != static_cast<int64_t>(world.cells.size())) return;
  for (size_t c = 0; c < world.cells.size(); ++c) {
    const uint32_t word = world.cells[c].word;
    const int o = CellOwner(word);
    if (o == 0) continue;
    const int k = static_cast<int>(word & 3u);
    int32_t v = kOwnedHexSight[k];
    const float level = world.players[o].spottingLevel;
    if (level >= 0.05f) v = std::min(v + std::max(CheckedTrunc(level * 20.0f), 0), 254);
    uint8_t& here = world.spottingMap[c * kMaxPlayers + static_cast<size_t>(o)];
    if (here >= v) continue;
    here = static_cast<uint8_t>(v);
    const auto x = static_cast<int32_t>(c % static_cast<size_t>(map.width));
    const auto y = static_cast<int32_t>(c / static_cast<size_t>(map.width));
    for (int d = 0; d < 6; ++d) {
      // An off-map neighbour is no hex: nothing is written for it.
      const int64_t n = HexCellIndex(map, HexNeighbour(map, MakeHexPos(x, y), d));
      if (n >= 0) Raise(world, static_cast<size_t>(n), o, kNeighbourSight[k]);
    }
  }
}

}  // namespace

void BuildSpottingMap(World& world) {
  const uint32_t rules = world.scenario.head.gameFlags;
  if (!(rules & kGameFlagFog) || world.cells.empty()) return;
  world.spottingMap.assign(world.cells.size() * kMaxPlayers, 0);
  ForCountingUnits(world, [&](UnitRecord& u, const UnitClassRecord& cls) { UnitMarkSighting(world, u, cls); });
  SpotOwnedHexes(world);
  if (!(rules & kGameFlagUnitSight)) return;
  ForCountingUnits(world, [&](UnitRecord& u, const UnitClassRecord& cls) { UpdateUnitSeenBy(world, u, cls, true); });
}
