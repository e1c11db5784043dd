#pragma once
// The launch site panel (MAP1_ss9) for the selected hex: the facility's
// head, the region's satellite coverage and its satellites in orbit; with
// its two sub-panels, the launch panel (MAP1_ss9a: pick a type, launch one)
// and the build panel (MAP1_ss9a1: order satellites of each type). The
// coverage block and the launch box are common/facilities/satellite_figures.
// Window thread; the figures are read under the simulation lock.
#include <cstdint>

#include "screens/common/facilities/satellite_figures.h"
#include "screens/common/screen_types_fwd.h"
#include "ui/screen.h"

// The facility actions button of the facility panels.
inline constexpr int32_t kFacilityActionsButtonId = 10;

inline constexpr const char* kLaunchSiteTags[] = {"BASENAME",  "NOTE",      "CONDITION", "COVERAGE1", "COVERAGE2",
                                                  "COVERAGE3", "COVERAGE4", "COVERAGE5", "GRIDDEACT", "GRIDPEND",
                                                  "INDPIC",    "BASEDETAILS", "BUILD",   "LAUNCH"};
inline constexpr int32_t kLaunchSiteIds[] = {kFacilityActionsButtonId, kSatelliteChoiceId, kSatelliteChoiceId + 1,
                                             kSatelliteChoiceId + 2, kSatelliteOrbitId, kSatelliteOrbitId + 1,
                                             kSatelliteOrbitId + 2};
inline constexpr const char* kSatelliteLaunchTags[] = {"LAUNCH", "SATTYPE", "LAUNCHCOST"};
inline constexpr int32_t kSatelliteLaunchIds[] = {kSatelliteChoiceId, kSatelliteChoiceId + 1, kSatelliteChoiceId + 2,
                                                  kSatelliteReadyId,  kSatelliteReadyId + 1,  kSatelliteReadyId + 2};
inline constexpr int32_t kSatelliteBuildIds[] = {
    kSatelliteProgressId,  kSatelliteProgressId + 1,  kSatelliteProgressId + 2,  kSatelliteDaysId,
    kSatelliteDaysId + 1,  kSatelliteDaysId + 2,      kSatelliteCostId,          kSatelliteCostId + 1,
    kSatelliteCostId + 2,  kSatelliteOrdersId,        kSatelliteOrdersId + 1,    kSatelliteOrdersId + 2,
    kSatelliteAvailableId, kSatelliteAvailableId + 1, kSatelliteAvailableId + 2, kSatelliteMinusId,
    kSatelliteMinusId + 1, kSatelliteMinusId + 2,     kSatellitePlusId,          kSatellitePlusId + 1,
    kSatellitePlusId + 2,  kSatelliteUnavailableId,   kSatelliteUnavailableId + 1, kSatelliteUnavailableId + 2};

class LaunchSitePanel : public Screen {
 public:
  LaunchSitePanel();
  // Docks at the second level; the details button and the two marks see
  // through to the panel.
  void BindControls() override;
  // Opens the dock two deep.
  void OnOpen() override;
  void Refresh() override;
  void OnCommand(Control* control, int32_t id) override;
};

class SatelliteLaunchPanel : public Screen {
 public:
  SatelliteLaunchPanel();
  void BindControls() override;
  void OnOpen() override;
  void Refresh() override;
  void OnCommand(Control* control, int32_t id) override;

  int32_t selectedType = 0;
};

class SatelliteBuildPanel : public Screen {
 public:
  SatelliteBuildPanel();
  void BindControls() override;
  // Opens the dock three deep, only when docked in the second bar.
  void OnOpen() override;
  void Refresh() override;
  void OnCommand(Control* control, int32_t id) override;
};
