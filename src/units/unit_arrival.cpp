// A unit reaching its destination: the leg of its route is finished or the
// route hands it the next goal. (Missions, berthing, circling and impact
// join here.)
#include <cmath>

#include "records/path_request.h"
#include "records/unit_record.h"
#include "units/hex_geometry.h"
#include "units/order_cancel.h"
#include "units/path_route.h"
#include "units/unit_step_phases.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

constexpr uint8_t kAirMoveKind = 1;
constexpr int kShipOrAircraft = 6;
constexpr float kArrivalPixels = 3.0f;

// The move is over: the unit stays in its hex's centre until ordered again.
void FinishMove(UnitRecord& unit) {
  unit.orders[kOrderFlags] &= ~(kOrderMove | kOrderMoving);
  unit.nextStep = kNoMove;
  unit.velocityX = 0.0f;
  unit.velocityY = 0.0f;
}

}  // namespace

bool StepArrival(World& world, UnitRecord& unit, UnitStepState& s) {
  const uint32_t position = MakeHexPos(unit.x, unit.y);
  if (unit.orders[kDestination] == 0) unit.orders[kDestination] = position;
  if (unit.orders[kDestination] != position || !(std::fabs(unit.pixelX) < kArrivalPixels) ||
      !(std::fabs(unit.pixelY) < kArrivalPixels))
    return false;
  if (s.cls->flags & kClassStock) return false;  // a missile's impact is its own rule
  const bool landsAnywhere = unit.moveKind != kAirMoveKind || (s.movementType == kShipOrAircraft && !s.atSeaNoHaven);
  bool finished = false;
  if (!unit.route || (unit.route->flags & kRouteNoPath)) {
    finished = landsAnywhere;
  } else if (!(unit.orders[kOrderFlags] & kOrderKeepsRoute) && !unit.route2) {
    unit.route->flags |= kRouteNoPath;
  } else {
    unit.nextStep = static_cast<uint8_t>(PathNextDirection(world, *unit.route, position, 0));
    unit.orders[kDestination] = PickFieldByFlag(*unit.route);
  }
  unit.route2.reset();
  if (unit.unitFlags & kUnitMovesWhileTurning) unit.orders[kStateFlags] |= kStateHalt;
  if (finished) FinishMove(unit);
  return finished;
}
