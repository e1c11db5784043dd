#include "units/combat/target_scan.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "app/game_math.h"
#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/player_relations.h"
#include "records/unit_record.h"
#include "records/unit_table_arrays.h"
#include "units/combat/fire_sight.h"
#include "units/hex_geometry.h"
#include "units/combat/unit_attack.h"
#include "world/unit_class.h"
#include "units/combat/unit_engage.h"
#include "units/combat/unit_fire.h"
#include "units/unit_player_fields.h"
#include "units/combat/best_unit.h"
#include "world/hex_extra.h"
#include "world/scenario_settings.h"
#include "world/world.h"

namespace {

constexpr int kCategories = 5;
// No map is wider than this many hexes; a larger range left reaches as far.
constexpr int32_t kFarthest = 1 << 16;

// Columns apart, the short way round on a wrapping map.
int32_t ColumnGap(const HexMapShape& map, int32_t a, int32_t b) {
  int32_t d = std::abs(a - b);
  if (map.wraps && map.width > 0) {
    if (d >= map.width) d %= map.width;
    d = std::min(d, map.width - d);
  }
  return d;
}

class Scan {
 public:
  Scan(World& world, const UnitRecord& launcher, uint32_t point, const TargetScanRanges& ranges, bool pooled)
      : w_(world), a_(launcher), point_(point), ranges_(ranges), pooled_(pooled), map_(MapShape(world)),
        mode_(EngageFireMode(world, launcher)), owner_(launcher.owner & 31),
        shared_(unitfields::SharedSightMask(world.players[owner_])) {}

  UnitRecord* Run() {
    for (int p = 1; p < kMaxPlayers; ++p) {
      const PlayerRecord& player = w_.players[p];
      if (!TakesPart(player)) continue;
      if (RelationClassOf(w_.players[owner_], 1, p) != kRelationHostile) continue;
      for (int c = 0; c < kCategories; ++c) {
        const int32_t range = ranges_.hexes[c];
        if (range <= 0 || (range == 1 && !pooled_)) continue;
        // Facilities are filed in category 4 and the scan never picks one:
        // they are fought on their own hex and by the hex attacks.
        if (c == kUnitCategoryFacility) continue;
        if (mode_ == kFireBombard && (c == 1 || c == 3)) continue;
        ScanArray(p, c, range);
      }
    }
    return best_;
  }

 private:
  bool SideSees(uint32_t position, uint32_t seenBy, int targetOwner) const {
    const uint32_t rules = w_.scenario.head.gameFlags;
    if (!(rules & kGameFlagFog)) return true;
    if (rules & kGameFlagUnitSight)
      return ((shared_ >> targetOwner) & 1u) || (seenBy & ((1u << owner_) | shared_)) != 0;
    return SideSpotsHex(w_, position, owner_);
  }

  void ScanArray(int p, int c, int32_t range) {
    const UnitTableArray* array = w_.unitTables.Slot(kUnitTableOnMap, p, c);
    if (!array) return;
    const int32_t count = array->Count();
    const int32_t px = HexX(point_);
    const int32_t py = HexY(point_);
    for (int32_t i = 1; i < count; ++i) {
      const UnitTableEntry& e = array->At(i);
      // The entry's own words first: most units are out of reach, and their
      // records need not be read at all.
      if (!e.unit || e.position == kNoHexPosition) continue;
      if (std::abs(HexY(e.position) - py) > range || ColumnGap(map_, HexX(e.position), px) > range) continue;
      if (e.unit->unitFlags & kUnitFacility) continue;
      if (!SideSees(e.position, e.seenBy, p)) continue;
      const int32_t distance = HexDistance(map_, point_, e.position);
      if (distance > range) continue;
      if (mode_ == kFireBombard)
        ScoreHex(c, e.position, distance);
      else
        ScoreUnit(*e.unit, c, distance);
    }
  }

  float Weigh(float ratio, int32_t distance) const {
    const float d = static_cast<float>(distance);
    return ratio / (d * d + 1.0f);
  }

  void Consider(UnitRecord* unit, float priority) {
    if (priority > bestPriority_) {
      bestPriority_ = priority;
      if (unit) best_ = unit;
    }
  }

  void ScoreUnit(UnitRecord& t, int c, int32_t distance) {
    if (!IsUnitLive(t) || t.carrier != 0) return;
    // An aircraft in the air beyond ground range is out of reach.
    if (c == 1 && distance > ranges_.hexes[0] && CountsAsLandTarget(w_, t)) return;
    const float ratio = UnitTargetScore(w_, a_, t, mode_);
    if (!(ratio > 0.0f)) return;
    Consider(&t, Weigh(ratio, distance));
  }

  // A bombarding launcher values the hex as a whole, once a scan.
  void ScoreHex(int c, uint32_t position, int32_t distance) {
    if (std::find(scored_.begin(), scored_.end(), position) != scored_.end()) return;
    scored_.push_back(position);
    HexCell* cell = HexCellAt(w_, map_, position);
    HexUnitStack* stack = cell ? LoadHexStack(*cell) : nullptr;
    if (!stack) return;
    const bool ownKind = std::min(c, 2) == a_.moveKind;
    float sum = 0.0f;
    BestUnit first;
    BestUnit others;
    for (UnitRecord* u = stack->chainA[c]; u; u = u->nextInChainA) {
      if (!IsUnitLive(*u) || u->carrier != 0 || !UnitVisibleToSide(w_, *u, owner_)) continue;
      if (RelationClassOf(w_.players[owner_], 1, u->owner & 31) != kRelationHostile) continue;
      const float ratio = UnitTargetScore(w_, a_, *u, kFireBombard);
      if (!(ratio > 0.0f)) continue;
      sum = sum + ratio;
      const bool primary = !ownKind || u->kind == kUnitKindAir || u->kind == kUnitKindSubmarine || UnitFightsBack(w_, *u);
      (primary ? first : others).Offer(*u, ratio);
    }
    Consider(first.unit ? first.unit : others.unit, Weigh(sum, distance));
  }

  World& w_;
  const UnitRecord& a_;
  uint32_t point_;
  const TargetScanRanges& ranges_;
  bool pooled_;
  HexMapShape map_;
  int mode_;
  int owner_;
  uint32_t shared_;
  UnitRecord* best_ = nullptr;
  float bestPriority_ = 0.0f;
  std::vector<uint32_t> scored_;
};

}  // namespace

TargetScanRanges TargetScanRangesOf(const World& world, const UnitRecord& launcher, bool pooled) {
  TargetScanRanges out;
  const int32_t hexSize = static_cast<int32_t>(world.mapHeader.hexScale);
  if (!UnitClassOf(world, launcher)) return out;
  for (int c = 0; c < 4; ++c) {
    const float r = UnitBoostedRange(world, launcher, c);
    if (r == 0.0f) continue;
    if (pooled)
      out.hexes[c] = std::clamp(launcher.rangeLeft, 0, kFarthest) + 1;
    else if (hexSize > 0)
      out.hexes[c] = std::max(CheckedTrunc(r / static_cast<float>(hexSize)), 0) + 1;
  }
  out.hexes[4] = out.hexes[0];
  return out;
}

UnitRecord* RunTargetScan(World& world, const UnitRecord& launcher, uint32_t scanPoint,
                          const TargetScanRanges& ranges, bool pooled) {
  if (scanPoint == kNoHexPosition || !UnitClassOf(world, launcher)) return nullptr;
  return Scan(world, launcher, scanPoint, ranges, pooled).Run();
}
