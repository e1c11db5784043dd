#include "units/unit_order_issue.h"

#include <cstring>
#include <vector>

#include "records/path_request.h"
#include "records/unit_record.h"
#include "records/command_ids.h"
#include "sim/command_log.h"
#include "sim/command_post.h"
#include "sim/unit_order_args.h"
#include "units/class_fields.h"
#include "units/hex_geometry.h"
#include "units/order_cancel.h"
#include "units/paths/path_route.h"
#include "world/unit_class.h"
#include "units/unit_queries.h"
#include "world/id_lookups.h"
#include "world/text/rule_tables.h"
#include "world/unit_class_flags.h"
#include "world/world.h"
#include "world/movement_types.h"

namespace {

// The order definition's flags, which become the unit's orderFlags, choose
// the commands: the mission byte a route and destination, these the second
// hex. A carried unit's order gains the lift bit of its carrier's kind.
constexpr uint32_t kSecondHexBits = kOrderLiftBits | kOrderUnloadDue;
// The orders field the setting goes to.
constexpr uint32_t kSettingField = 6;

template <class Args>
void Post(World& world, uint32_t id, int player, const Args& args, std::vector<uint8_t> payload = {}) {
  CommandLog* log = CommandLogOf(world);
  if (!log) return;
  GameCommand c = MakeGameCommand(world.gameState, id, player);
  SetArgWords(c, args.Pack());
  c.payloadLength = static_cast<uint32_t>(payload.size());
  c.payload = std::move(payload);
  PostCommand(*log, std::move(c), true);
}

int OwnerOf(const UnitRecord& unit) { return unit.owner & 31; }

UnitRecord* Find(World& world, uint32_t id) {
  if (id == 0) return nullptr;
  WorldLockGuard hold(world, kLockUnits);
  return FindUnitById(world, id);
}

}  // namespace

void PostUnitCommand(World& world, UnitRecord& unit, const PathRequest* route, uint32_t goal, bool cyclic) {
  PathRequestImage image{};
  if (route) {
    image = *route;
  } else {
    // The goal is the route's second waypoint too: a route whose target
    // waypoint is none finds no way, and the unit would stand still.
    const uint32_t waypoints[8] = {unitbytes::UnitPosition(unit), goal};
    PathRequest fresh;
    InitPathRequest(waypoints, fresh, goal, 0, false);
    image = fresh;
  }
  image.stepsSlot = 0;
  if (cyclic) image.flags |= image.start == image.end ? kRouteLoop : kRouteTurnRound;
  std::vector<uint8_t> payload(sizeof image);
  std::memcpy(payload.data(), &image, sizeof image);
  const int player = OwnerOf(unit);
  Post(world, kCmdAssignUnitRoute, player, OrderUnitArgs{.unit = unit.id}, std::move(payload));
  Post(world, kCmdUnitSetDestination, player, OrderHexArgs{.unit = unit.id, .hex = goal});
  if (unit.kind == 1 || unit.kind == 3) return;
  const UnitClassRecord* cls = UnitClassOf(world, unit);
  if (!cls) return;
  const bool halts = (cls->flags & kClassHaltsOnMove) || cls->ammoPerShot * unit.strength > unit.ammo ||
                     (cls->attackValues[0] == 0 && cls->attackValues[1] == 0) ||
                     (unit.unitFlags & kUnitMovesWhileTurning);
  if (halts) Post(world, kCmdUnitSetStateBits, player, OrderBitsArgs{.unit = unit.id, .bits = kStateHalt2, .set = 1});
}

namespace {

// Orders passed on to carriers and escorted units go one level down each; a
// chain of carriers that loops in bad data ends here.
constexpr int kMostRelayedOrders = 4;

void IssueOrder(World& world, UnitRecord& unit, int orderId, uint32_t targetPosition, const PathRequest* route,
                const UnitRecord* targetUnit, uint32_t customFlags, uint32_t customMask, int32_t setting, int depth) {
  if (orderId < 0 || orderId >= kOrderTypeCount || depth > kMostRelayedOrders) return;
  const int player = OwnerOf(unit);
  const uint32_t unitId = unit.id;
  Post(world, kCmdUnitCancelOrders, player, OrderUnitArgs{.unit = unitId});
  uint32_t flags = customFlags;
  uint32_t mask = customMask;
  if (orderId != kCustomOrder) {
    const OrderTypeRecord& def = RuleTablesOf(world).orderTypes.entries[orderId];
    flags = def.orderFlags;
    mask = def.orderMask;
  }
  uint32_t position = targetPosition;
  if (flags & kOrderMissionByte) {
    if (UnitRecord* carrier = Find(world, unit.carrier)) {
      if (carrier->moveKind == 1) flags |= kOrderAirLift;
      if (carrier->moveKind == 2) flags |= kOrderSeaLift;
      if (position != kNoHexPosition)
        IssueOrder(world, *carrier, kMoveOrder, position, nullptr, nullptr, 0, 0, -1, depth + 1);
    }
    if (route) position = route->end;
    if (position != kNoHexPosition)
      PostUnitCommand(world, unit, route, position, (flags & kOrderKeepsRoute) != 0);
    else
      flags &= ~kOrderMissionByte;
  }
  if (flags & kOrderTargetAndKeep) {
    Post(world, kCmdUnitSetFireHex, player, OrderHexArgs{.unit = unitId, .hex = position});
    const uint32_t target = targetUnit ? targetUnit->id : 0u;
    Post(world, kCmdUnitSetFireUnit, player, OrderTargetArgs{.unit = unitId, .target = target});
  }
  if ((flags & kSecondHexBits) && position != kNoHexPosition)
    Post(world, kCmdUnitSetSecondHex, player, OrderHexArgs{.unit = unitId, .hex = position});
  if ((flags & kOrderAimedAtLeader) && targetUnit)
    Post(world, kCmdUnitSetLeaderUnit, player, OrderTargetArgs{.unit = unitId, .target = targetUnit->id});
  if ((flags & kOrderLoadInto) && targetUnit) {
    Post(world, kCmdUnitSetLeaderUnit, player, OrderTargetArgs{.unit = unitId, .target = targetUnit->id});
    const UnitClassRecord* tc = UnitClassOf(world, *targetUnit);
    const bool flies = tc && tc->movementType == kCarrierAircraft;
    if (flies || targetUnit->kind >= 2) {
      const uint32_t here = unitbytes::UnitPosition(unit);
      const uint32_t place = FindNearestBase(world, *targetUnit, -1, here, false, false);
      // No base found leaves both where they are.
      if (place != kNoHexPosition) {
        if (place != unitbytes::UnitPosition(*targetUnit)) {
          if (UnitRecord* escorted = Find(world, targetUnit->id))
            IssueOrder(world, *escorted, kMoveOrder, place, nullptr, nullptr, 0, 0, -1, depth + 1);
        }
        if (place != here) {
          flags |= kOrderMove;
          PostUnitCommand(world, unit, nullptr, place, false);
        }
      }
    }
  }
  if (setting >= 0)
    Post(world, kCmdUnitSetOrderSetting, player,
         OrderSettingArgs{.unit = unitId, .field = kSettingField, .value = static_cast<uint32_t>(setting)});
  Post(world, kCmdAddOrderFlags, player, OrderFlagsArgs{.unit = unitId, .flags = flags, .mask = mask});
  Post(world, kCmdUnitSetOrderId, player, OrderValueArgs{.unit = unitId, .value = static_cast<uint32_t>(orderId)});
}

}  // namespace

void IssueUnitOrder(World& world, UnitRecord& unit, int orderId, uint32_t targetPosition, const PathRequest* route,
                    const UnitRecord* targetUnit, uint32_t customFlags, uint32_t customMask, int32_t setting) {
  IssueOrder(world, unit, orderId, targetPosition, route, targetUnit, customFlags, customMask, setting, 0);
}
