#pragma once
// A region's satellites as the launch site panels of the main screen and
// the launch site pop-up and operations page of the military department
// show them: the types, costs and build times, the coverage block and the
// launch box. Window thread; the figures are read under the simulation lock.
#include <cstdint>

#include "screens/common/screen_types_fwd.h"

inline constexpr int kSatelliteTypes = 3;
// Control ids: the type's choice button, its satellites ready to launch and
// those in orbit.
inline constexpr int32_t kSatelliteChoiceId = 20;
inline constexpr int32_t kSatelliteReadyId = 23;
inline constexpr int32_t kSatelliteOrbitId = 26;
// Build panel ids, each the first of three (one per type).
inline constexpr int32_t kSatelliteProgressId = 50;
inline constexpr int32_t kSatelliteDaysId = 53;
inline constexpr int32_t kSatelliteCostId = 56;
inline constexpr int32_t kSatelliteOrdersId = 59;
inline constexpr int32_t kSatelliteAvailableId = 62;
inline constexpr int32_t kSatelliteMinusId = 65;
inline constexpr int32_t kSatellitePlusId = 68;
inline constexpr int32_t kSatelliteUnavailableId = 72;
// What a satellite costs: a launch, and a build of type t.
inline constexpr float kSatelliteLaunchCost = 20000.0f;
inline constexpr float kSatelliteBuildCost = 20000.0f;
inline constexpr float kSatelliteBuildCostStep = 5000.0f;
// A build of type t takes 90, 110 or 130 days.
inline constexpr float kSatelliteBuildDays = 90.0f;
inline constexpr float kSatelliteBuildDaysStep = 20.0f;

// The region's satellite figures as the panels show them.
struct SatelliteView {
  float coverageBase = 0.0f;
  float coverageFigures[2] = {};
  uint32_t alliedMask = 0;
  uint32_t excludedMask = 0;
  uint32_t coveredMask = 0;
  uint32_t availableMask = 0;  // bit 5 + t: type t may be built and launched
  uint16_t inOrbit[kSatelliteTypes] = {};
  uint16_t ready[kSatelliteTypes] = {};
  float daysLeft[kSatelliteTypes] = {};
  uint8_t orders[kSatelliteTypes] = {};
  uint8_t launchPending = 0;  // bit t while a launch of type t is under way
  bool siteActive = false;    // the region runs a launch site
  float costMultiplier = 0.0f;
  int32_t self = 0;           // the region's own player number
  int32_t highestPlayer = 0;
};

// The player's figures: the shown settings copy for what commands change.
// Call under the simulation lock.
SatelliteView ReadSatelliteView(const World& world, int32_t player);
bool SatelliteTypeAvailable(const SatelliteView& view, int32_t type);

// The allied and the other players' shares of the coverage: each is the
// base when every counted player of its group is covered, else 0.
struct CoverageShares {
  float allied = 0.0f;
  float other = 0.0f;
};
CoverageShares SatelliteCoverageShares(const SatelliteView& view);
// How far a build of the type has come: 0 with no days left.
float SatelliteBuildProgress(float daysLeft, int32_t type);

// The coverage block: COVERAGE1 to 5, the satellites in orbit, the choice
// buttons' look and the inactive or pending marks; the local region's, or
// the view's.
void FillSatelliteCoverage(Control* form);
void FillSatelliteCoverage(Control* form, const SatelliteView& view);
// The launch box for the selected type, which becomes that of the pressed
// choice button (0 when none is).
void RefreshSatelliteLaunch(Control* form, int32_t& selectedType);
void RefreshSatelliteLaunch(Control* form, int32_t& selectedType, const SatelliteView& view);

// The local region's figures, read under the simulation lock.
SatelliteView LocalSatelliteView();
