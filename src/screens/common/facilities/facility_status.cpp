#include "screens/common/facilities/facility_status.h"

#include "records/hex_cell.h"
#include "records/order_words.h"
#include "records/unit_record.h"
#include "units/facilities/facility_build.h"
#include "world/record_helpers.h"
#include "world/world.h"

int32_t FacilityStatus(const World& world, uint32_t cellIndex) {
  if (cellIndex >= world.cells.size()) return kFacilityInactive;
  const HexCell& cell = world.cells[cellIndex];
  const UnitRecord* lead = GetActiveObject(&cell, false);
  if (!lead) return kFacilityInactive;
  const uint32_t state = lead->ordersShown[kStateFlags];
  if (FacilityOnLine(*lead)) return kFacilityActive;
  if (state & kStateModeC) return kFacilityDemolishing;
  const bool building = FacilityUnderConstruction(*lead);
  if (building && (state & kStatePausedBuild)) return kFacilityPaused;
  if (building) return HexLevelByte(world, cell) == 0 ? kFacilityBuildingNoSupply : kFacilityBuilding;
  return kFacilityInactive;
}

bool FacilityOnLine(const UnitRecord& lead) { return !(lead.ordersShown[kPostureBits] & kPostureInReserve); }

bool FacilityUnderConstruction(const UnitRecord& lead) {
  return (lead.ordersShown[kPostureBits] & kPostureUnderConstruction) && (lead.ordersShown[kStateFlags] & kStateHeldSlot);
}
