// Recovery in a unit's step: a unit that is not firing reloads and settles
// down from the disruption fire caused.
#include <cstdint>

#include "records/le_bytes.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "units/step/unit_step_phases.h"
#include "world/data_tables.h"

namespace {

constexpr float kRecoveryDivisor = 150.0f;

}  // namespace

void StepRecovery(UnitRecord& unit, const UnitStepState& s) {
  if ((unit.unitFlags & kUnitStock) || StepCountdown(unit, 53) != 0 || !s.cls) return;
  const UnitClassRecord& cls = *s.cls;
  const uint16_t cargoSlots = cls.cargoSlots;
  bool recovers = cls.ammoCapacity == 0.0f && cargoSlots == 0;
  recovers = recovers || (!(s.weaponReach > 0.0f) && cargoSlots == 0);
  if (unit.reloadTime != 0) {
    --unit.reloadTime;
    unit.unitFlags &= ~kUnitStepped;
    recovers = true;
  }
  if (!recovers) return;
  if (unit.disruption > 0.0f) {
    const float eased = unit.disruption - (unit.morale + unit.experience + unit.efficiency) / kRecoveryDivisor;
    unit.disruption = eased > 0.0f ? eased : 0.0f;
    unit.unitFlags &= ~kUnitStepped;
  } else {
    unit.unitFlags &= ~kUnitMovesWhileTurning;
  }
}
