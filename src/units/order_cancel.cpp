#include "units/order_cancel.h"

#include "sim/command_counts.h"
#include "units/class_fields.h"
#include "units/unit_orders.h"
#include "records/unit_record.h"
#include "records/le_bytes.h"
#include "world/world.h"

namespace {

constexpr size_t kRouteEnd = 4;
constexpr size_t kRouteFlags = 56;

}  // namespace

void EndUnitRoutes(UnitRecord& unit) {
  if (unit.route) {
    uint8_t* flags = unit.route->bytes + kRouteFlags;
    le::Store32(flags, le::Load32(flags) | kRouteNoPath);
    OrderBlock& o = unit.simOrders;
    if (!unit.route2 && o[kDestination] != 0 && (o[kOrderFlags] & kOrderGoalCheck) &&
        le::Load32(unit.route->bytes + kRouteEnd) != unitbytes::UnitPosition(unit))
      o[kOrderFlags] &= ~kOrderGoalCheck;
  }
  unit.route2.reset();
}

void CancelUnitMovement(World& world, UnitRecord& unit, int pass) {
  if (pass == 1) {
    unit.x2 = 0;
    unit.y2 = 0;
    unit.flags &= ~(kUnitMovesWhileTurning | kUnitSeekingBase);
    EndUnitRoutes(unit);
    unit.flags2 &= ~kUnit2Bit8;
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
    unit.word284 = 0;
    unit.linkSlot288 = 0;
    unit.flags &= ~kUnitSpeedBonus;
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
  if (!(unit.flags & kUnitFollowsLeader)) o[kLeaderUnit] = 0;
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
    unit.flags &= ~(kUnitBit16 | kUnitBit17 | kUnitBit21);
    unit.bytes120[0] = 0;
  }
  CountUnitOrder(world, unit, pass);
}

void CancelAllOrders(World& world, UnitRecord& unit, int pass) {
  CancelUnitMovement(world, unit, pass);
  CancelUnitTarget(world, unit, pass);
  ClearUnitOrders(world, unit, pass);
}
