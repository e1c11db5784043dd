#include "units/order_cancel.h"

#include "sim/command_counts.h"
#include "units/class_fields.h"
#include "units/unit_orders.h"
#include "records/unit_record.h"
#include "records/le_bytes.h"
#include "world/world.h"

void EndUnitRoutes(UnitRecord& unit) {
  if (unit.route) {
    unit.route->flags |= kRouteNoPath;
    OrderBlock& o = unit.orders;
    if (!unit.route2 && o[kDestination] != 0 && (o[kOrderFlags] & kOrderGoalCheck) &&
        unit.route->end != unitbytes::UnitPosition(unit))
      o[kOrderFlags] &= ~kOrderGoalCheck;
  }
  unit.route2.reset();
}

void CancelUnitMovement(World& world, UnitRecord& unit, int pass, bool markRoute) {
  if (pass == 1) {
    unit.x2 = 0;
    unit.y2 = 0;
    unit.unitFlags &= ~(kUnitMovesWhileTurning | kUnitSeekingBase);
    if (markRoute)
      EndUnitRoutes(unit);
    else
      unit.route2.reset();
    unit.unitFlags2 &= ~kUnit2Bit8;
  }
  OrderBlock& o = PassOrders(unit, pass);
  o[kDestination] = 0;
  o[kOrderFlags] &= ~((1u << 18) | (1u << 23));
  o[kStateFlags] &= ~0xFFu;
  if ((o[kOrderFlags] & ~(1u << 15)) == 0) o[kOrderId] = 0;
  CountUnitOrder(world, unit, pass);
}

void CancelUnitTarget(World& world, UnitRecord& unit, int pass) {
  if (pass == 1) {
    unit.fireTargetPos = 0;
    unit.fireTarget = 0;
    unit.unitFlags &= ~kUnitSpeedBonus;
  }
  OrderBlock& o = PassOrders(unit, pass);
  o[kFireHex] = 0;
  o[kFireUnit] = 0;
  o[kOrderFlags] &= ~0xFF00u;
  if (o[kOrderFlags] == 0) o[kOrderId] = 0;
  CountUnitOrder(world, unit, pass);
}

void ClearUnitOrders(World& world, UnitRecord& unit, int pass) {
  OrderBlock& o = PassOrders(unit, pass);
  if (!(unit.unitFlags & kUnitFollowsLeader)) o[kLeaderUnit] = 0;
  o[kSecondHex] = 0;
  o[kOrderFlags] = 0;
  o[kOrderMask] = 0;
  o[kOrderId] = 0;
  o[kStateFlags] = 0;
  unitbytes::SetOrderLevel(o, 0);
  if (unit.owner < kMaxPlayers) {
    const PlayerRecord& owner = world.players[unit.owner];
    const uint32_t defaults = (pass == 0 ? owner.displayPolicy : owner.simPolicy).defsetadvorders[1];
    o[kOrdersHeader] = (o[kOrdersHeader] & ~0x3000u) | (defaults & 0x3000u);
  }
  if (pass == 1) {
    unit.unitFlags &= ~(kUnitBit16 | kUnitBit17 | kUnitBit21);
    unit.trainingDays = 0;
  }
  CountUnitOrder(world, unit, pass);
}

void CancelAllOrders(World& world, UnitRecord& unit, int pass) {
  CancelUnitMovement(world, unit, pass);
  CancelUnitTarget(world, unit, pass);
  ClearUnitOrders(world, unit, pass);
}
