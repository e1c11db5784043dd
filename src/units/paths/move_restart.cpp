#include "units/paths/move_restart.h"

#include <memory>

#include "records/unit_record.h"
#include "records/unit_table_arrays.h"
#include "sim/command_counts.h"
#include "units/class_fields.h"
#include "world/movement_rates.h"
#include "units/order_cancel.h"
#include "units/paths/path_route.h"
#include "units/unit_orders.h"
#include "world/world.h"

void UnitResetMoveState(World& world, int markRoute, UnitRecord& unit, uint32_t goal, int asSecondRoute) {
  CancelUnitMovement(world, unit, 1, markRoute != 0);
  unit.orders[kOrderFlags] |= kOrderMove;
  unit.unitFlags &= ~kUnitStepped;
  if (unit.tableEntry) unit.tableEntry->countdown = 0;
  CountUnitOrder(world, unit, 1);
  UnitSetDestination(world, unit, 1, goal);
  CountUnitOrder(world, unit, 1);

  // From where it stands to the goal: the goal is the waypoint it heads for.
  const uint32_t waypoints[8] = {unitbytes::UnitPosition(unit), goal};
  auto route = std::make_unique<PathRequest>();
  InitPathRequest(waypoints, *route, goal, 0, false);
  if (asSecondRoute) {
    unit.route2 = std::move(route);
    return;
  }
  unit.route = std::move(route);
  RecomputeMovementRates(world, unit, SpeedSource::kOrderedSetting);
}
