#pragma once
// The status of the facility on a hex, as the base, silo and facility-action
// panels show it: an index into the "ugstatus" text list.

#include <cstdint>

struct UnitRecord;
struct World;

enum FacilityStatusIndex : int32_t {
  kFacilityActive = 0,
  kFacilityInactive = 1,
  kFacilityBuilding = 2,
  kFacilityDemolishing = 3,
  kFacilityUpgrading = 4,  // never given here; the upgrade rule still knows it
  kFacilityPaused = 5,
  kFacilityBuildingNoSupply = 6,
};

// First match wins: active, being demolished, construction paused, then under
// construction (6 on a hex without supply, else 2); anything else, a hex
// without a cell among it, is inactive.
int32_t FacilityStatus(const World& world, uint32_t cellIndex);

// The facility's shown state: running (on line), and under construction
// with its build slot held.
bool FacilityOnLine(const UnitRecord& lead);
bool FacilityUnderConstruction(const UnitRecord& lead);
