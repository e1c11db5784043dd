#include "screens/common/facilities/satellite_figures.h"

#include <algorithm>
#include <cstdio>

#include "records/command_ids.h"
#include "records/hex_cell.h"
#include "records/player_record.h"
#include "screens/common/figure_text.h"
#include "screens/common/units/class_icon.h"
#include "screens/common/facilities/facility_header.h"
#include "screens/common/facilities/object_popups.h"
#include "sim/daily/research_fields.h"
#include "sim/game_command.h"
#include "sim/policy_block_fields.h"
#include "sim/simulation_lock.h"
#include "sim/unit_command_args.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "ui/slide_bar.h"
#include "ui/string_control.h"
#include "world/data_tables.h"
#include "world/text/text_lists.h"
#include "world/unit_class.h"
#include "world/world.h"

namespace {

// The availability bit of type 0 in the region's special-effects word.
constexpr int kFirstSatelliteEffect = 5;
// The site kind whose committed capacity lets satellites be built and bought.
constexpr int kLaunchSiteKind = 3;

// "N/A" for a type with none that may not be had; the choice button looks
// disabled while the type is not available.
void SetTypeCount(Control* form, int32_t countId, int32_t type, int32_t count, const SatelliteView& view) {
  const bool available = SatelliteTypeAvailable(view, type);
  Control* c = Id(form, countId + type);
  if (count == 0 && !available) {
    ControlSetText(c, "N/A");
  } else {
    SetInt(c, count);
  }
  SetControlFlag(Id(form, kSatelliteChoiceId + type), kStateDisabled, available ? 0 : 1);
}

}  // namespace

SatelliteView LocalSatelliteView() {
  plat::CriticalSectionLock lock(g_simulationLock);
  return ReadSatelliteView(g_world, g_world.gameState.localPlayer);
}

SatelliteView ReadSatelliteView(const World& world, int32_t player) {
  SatelliteView v;
  v.highestPlayer = world.gameState.highestPlayer;
  if (player < 0 || player >= kMaxPlayers) return v;
  const PlayerRecord& r = world.players[player];
  v.self = r.number;
  // The readiness the region's satellites give: the first is the coverage
  // the shares are taken of.
  v.coverageBase = RecordF32(r, kProgramReadiness);
  v.coverageFigures[0] = RecordF32(r, kProgramReadiness + 4);
  v.coverageFigures[1] = RecordF32(r, kProgramReadiness + 8);
  v.alliedMask = r.displayPolicy.friendlyMask;
  v.availableMask = r.specialEffects;
  for (int t = 0; t < kSatelliteTypes; ++t) {
    const size_t at = static_cast<size_t>(t);
    v.inOrbit[t] = RecordU16(r, kProgramStock + 2 * at);
    v.ready[t] = RecordU16(r, kProgramReady + 2 * at);
    v.daysLeft[t] = RecordF32(r, kProgramProgress + 4 * at);
    v.orders[t] = LaunchCount(r.displayPolicy, t);
  }
  v.launchPending = LaunchBits(r.displayPolicy);
  v.siteActive = RecordF32(r, kCapacityByKind + 4 * kLaunchSiteKind) != 0.0f;
  // A satellite is paid for by the head of the population, as the
  // simulation charges it.
  v.costMultiplier = r.gdpPerCapita;
  return v;
}

bool SatelliteTypeAvailable(const SatelliteView& view, int32_t type) {
  return type >= 0 && type < kSatelliteTypes && (view.availableMask & (1u << (kFirstSatelliteEffect + type)));
}

CoverageShares SatelliteCoverageShares(const SatelliteView& view) {
  CoverageShares s;
  const float c = view.coverageBase;
  if (!(c > 0.0f) || view.highestPlayer < 1) return s;
  int allied = 0, alliedHits = 0, others = 0, otherHits = 0;
  for (int32_t i = 1; i <= std::min(view.highestPlayer, kMaxPlayers - 1); ++i) {
    const uint32_t bit = 1u << i;
    const bool covered = (view.coveredMask & bit) != 0;
    if (view.alliedMask & bit) {
      ++allied;
      alliedHits += covered;
    } else if (view.excludedMask & bit) {
      continue;
    } else if (i != view.self) {
      ++others;
      otherHits += covered;
    }
  }
  // Whole groups only: a share is the base or nothing.
  if (allied) s.allied = static_cast<float>(alliedHits / allied) * c;
  if (others) s.other = static_cast<float>(otherHits / others) * c;
  return s;
}

float SatelliteBuildProgress(float daysLeft, int32_t type) {
  if (daysLeft == 0.0f) return 0.0f;
  return 1.0f - daysLeft / (kSatelliteBuildDays + kSatelliteBuildDaysStep * static_cast<float>(type));
}

void FillSatelliteCoverage(Control* form) { FillSatelliteCoverage(form, LocalSatelliteView()); }

void FillSatelliteCoverage(Control* form, const SatelliteView& view) {
  if (!form) return;
  const CoverageShares shares = SatelliteCoverageShares(view);
  SetPercentText(Tag(form, "COVERAGE1"), 100.0f * view.coverageBase);
  SetPercentText(Tag(form, "COVERAGE2"), 100.0f * shares.allied);
  SetPercentText(Tag(form, "COVERAGE3"), 100.0f * shares.other);
  SetPercentText(Tag(form, "COVERAGE4"), 100.0f * view.coverageFigures[0]);
  SetPercentText(Tag(form, "COVERAGE5"), 100.0f * view.coverageFigures[1]);
  for (int32_t t = 0; t < kSatelliteTypes; ++t) SetTypeCount(form, kSatelliteOrbitId, t, view.inOrbit[t], view);
  Control* inactive = Tag(form, "GRIDDEACT");
  Control* pending = Tag(form, "GRIDPEND");
  SetHidden(inactive, true);
  SetHidden(pending, true);
  if (!view.siteActive) {
    SetHidden(inactive, false);
  } else if (view.launchPending) {
    SetHidden(pending, false);
  }
}

void RefreshSatelliteLaunch(Control* form, int32_t& selectedType) {
  RefreshSatelliteLaunch(form, selectedType, LocalSatelliteView());
}

void RefreshSatelliteLaunch(Control* form, int32_t& selectedType, const SatelliteView& view) {
  if (!form) return;
  for (int32_t t = 0; t < kSatelliteTypes; ++t) SetTypeCount(form, kSatelliteReadyId, t, view.ready[t], view);
  const Control* second = Id(form, kSatelliteChoiceId + 1);
  const Control* third = Id(form, kSatelliteChoiceId + 2);
  selectedType = second && second->Selected() ? 1 : third && third->Selected() ? 2 : 0;
  const bool pending = (view.launchPending & (1u << selectedType)) != 0;
  SetHidden(Tag(form, "LAUNCH"), view.ready[selectedType] == 0 || pending);
  ControlSetText(Tag(form, "SATTYPE"), TextListText(kListSattypes, selectedType));
  SetAmountText(Tag(form, "LAUNCHCOST"), kSatelliteLaunchCost * view.costMultiplier, 1, 0);
}

