// The end of a unit's step: its sighting update, dropping the activity flags of an idle unit,
// refilling the countdowns and choosing the minute of its next step.
#include <algorithm>

#include "records/le_bytes.h"
#include "records/unit_record.h"
#include "records/unit_table_arrays.h"
#include "units/spotting/unit_sighting.h"
#include "units/step/unit_step_phases.h"
#include "world/scenario_settings.h"
#include "world/world.h"

namespace {

constexpr uint32_t kOrderBitsOfBusyUnit = 0x1fffffdfu;  // all but works and the top three
constexpr size_t kPlayerPaceValueAt = 5396;            // the owner's value that quickens busy units

int OrdersSetting(const OrderBlock& o, int field) { return static_cast<int>((o[kOrdersWord] >> (2 * field)) & 3u); }

}  // namespace

void StepSighting(World& world, UnitRecord& unit, UnitStepState& s) {
  if (unit.countdown5 != 0 || !s.cls || s.cls->spotValue == 0) return;
  if (!(world.scenario.head.gameFlags & kGameFlagFog)) return;
  UnitMarkSighting(world, unit, *s.cls);
}

void StepClose(World& world, UnitRecord& unit, const UnitStepState& s) {
  // 1: idle check.
  if (unit.orders[kOrderFlags] == 0 && unit.orders[kOrderMask] == 0 && unit.reloadTime == 0) {
    if (OrdersSetting(unit.orders, 8) < 3) unit.unitFlags &= ~kUnitDeployedHold;
  } else if ((unit.orders[kOrderFlags] & kOrderBitsOfBusyUnit) == 0) {
    unit.unitFlags &= ~kUnitStepped;
  }
  if (unit.pendingOrders == 0) unit.ordersShown = unit.orders;

  // 2: who sees the unit. Without a spotting map the mask is kept.
  if ((world.scenario.head.gameFlags & kGameFlagUnitSight) && s.cls) UpdateUnitSeenBy(world, unit, *s.cls, true);

  // 3: countdown refill.
  if (unit.countdowns[0] == 0) unit.countdowns[0] = 9;
  if (unit.countdowns[1] == 0) unit.countdowns[1] = 3;
  if (unit.countdowns[2] == 0) unit.countdowns[2] = 6;
  if (unit.countdowns[3] == 0) {
    const uint8_t difficulty = world.scenario.head.difficulty;
    unit.countdowns[3] = difficulty < 2 ? static_cast<uint8_t>((3 - difficulty) * 18) : 18;
  }

  // 4: the next wake-up.
  int wake;
  if ((unit.unitFlags & (kUnitMoved | kUnitStepEveryMinute)) || (unit.orders[kOrderFlags] & kOrderMoving)) {
    wake = 0;
  } else if (s.wasStepped && (unit.unitFlags & kUnitStepped)) {
    const PlayerRecord& owner = world.players[unit.owner & 31];
    const int32_t pace = le::LoadI32(reinterpret_cast<const uint8_t*>(&owner) + kPlayerPaceValueAt);
    const int classByte = s.cls ? s.cls->reloadFactor : 0;
    wake = static_cast<int>(std::clamp<int64_t>(50 - 8 * int64_t{pace} - classByte, 3, 256)) - 1;
  } else {
    wake = unit.countdowns[1] - 1;
  }
  if (unit.countdown5 != 0) wake = std::min(wake, unit.countdown5 - 1);
  wake = std::clamp(wake, 0, 255);
  if (unit.tableEntry) {
    unit.tableEntry->countdown = static_cast<uint8_t>(wake);
    unit.tableEntry->minutesSince = 0;
  }
}
