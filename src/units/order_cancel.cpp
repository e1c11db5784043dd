#include "units/order_cancel.h"

#include "sim/command_counts.h"
#include "units/class_fields.h"
#include "units/unit_orders.h"
#include "records/unit_record.h"
#include "records/le_bytes.h"
#include "world/world.h"

namespace {

constexpr uint32_t kFlag16 = 1u << 16;
constexpr uint32_t kFlag17 = 1u << 17;
constexpr uint32_t kFlag18 = 1u << 18;
constexpr uint32_t kFlag19 = 1u << 19;
constexpr uint32_t kFlag21 = 1u << 21;
constexpr uint32_t kFlag22 = 1u << 22;
constexpr uint32_t kKeepsLeader = 1u << 24;
constexpr uint32_t kFlags2Bit8 = 1u << 8;
constexpr uint32_t kHoldsDestination = 1u << 30;

}  // namespace

void EndUnitRoutes(UnitRecord& unit) {
  if (unit.route) {
    unit.route->flags |= kRouteNoPath;
    OrderBlock& o = unit.orders;
    if (!unit.route2 && o[unitbytes::kDestination] != 0 && (o[kOrderFlagsWord] & kHoldsDestination) &&
        unit.route->end != unitbytes::UnitPosition(unit))
      o[kOrderFlagsWord] &= ~kHoldsDestination;
  }
  unit.route2.reset();
}

void CancelUnitMovement(World& world, UnitRecord& unit, int pass) {
  if (pass == 1) {
    unit.x2 = 0;
    unit.y2 = 0;
    unit.unitFlags &= ~(kFlag18 | kFlag22);
    EndUnitRoutes(unit);
    unit.unitFlags2 &= ~kFlags2Bit8;
  }
  OrderBlock& o = PassOrders(unit, pass);
  o[unitbytes::kDestination] = 0;
  o[kOrderFlagsWord] &= ~((1u << 18) | (1u << 23));
  o[kOrderModeWord] &= ~0xFFu;
  if ((o[kOrderFlagsWord] & ~(1u << 15)) == 0) o[unitbytes::kOrderId] = 0;
  CountUnitOrder(world, unit, pass);
}

void CancelUnitTarget(World& world, UnitRecord& unit, int pass) {
  if (pass == 1) {
    unit.fireTargetPos = 0;
    unit.fireTarget = 0;
    unit.unitFlags &= ~kFlag19;
  }
  OrderBlock& o = PassOrders(unit, pass);
  o[unitbytes::kFireHex] = 0;
  o[unitbytes::kFireUnit] = 0;
  o[kOrderFlagsWord] &= ~0xFF00u;
  if (o[kOrderFlagsWord] == 0) o[unitbytes::kOrderId] = 0;
  CountUnitOrder(world, unit, pass);
}

void ClearUnitOrders(World& world, UnitRecord& unit, int pass) {
  OrderBlock& o = PassOrders(unit, pass);
  if (!(unit.unitFlags & kKeepsLeader)) o[unitbytes::kLeaderUnit] = 0;
  o[unitbytes::kSecondHex] = 0;
  o[kOrderFlagsWord] = 0;
  o[unitbytes::kOrderMask] = 0;
  o[unitbytes::kOrderId] = 0;
  o[kOrderModeWord] = 0;
  unitbytes::SetOrderLevel(o, 0);
  if (unit.owner < kMaxPlayers) {
    const PlayerRecord& owner = world.players[unit.owner];
    const uint32_t defaults = (pass == 0 ? owner.displayPolicy : owner.simPolicy).defsetadvorders[1];
    o[kOrderSettingWordA] = (o[kOrderSettingWordA] & ~0x3000u) | (defaults & 0x3000u);
  }
  if (pass == 1) {
    unit.unitFlags &= ~(kFlag16 | kFlag17 | kFlag21);
    unit.trainingDays = 0;
  }
  CountUnitOrder(world, unit, pass);
}

void CancelAllOrders(World& world, UnitRecord& unit, int pass) {
  CancelUnitMovement(world, unit, pass);
  CancelUnitTarget(world, unit, pass);
  ClearUnitOrders(world, unit, pass);
}
