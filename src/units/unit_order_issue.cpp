#include "units/unit_order_issue.h"

#include <cstring>
#include <vector>

#include "records/path_request.h"
#include "records/unit_record.h"
#include "records/command_ids.h"
#include "sim/command_log.h"
#include "sim/command_post.h"
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

namespace {

// Order definition flags that choose the commands.
constexpr uint32_t kMovementBits = 0x00FF0000u;                 // route and destination
constexpr uint32_t kTargetBits = 0x0000FF00u | (1u << 17);      // target hex and unit
constexpr uint32_t kSecondHexBits = (1u << 3) | (1u << 4) | (1u << 26);
constexpr uint32_t kPartnerBit = 1u << 19;
constexpr uint32_t kEscortBit = 1u << 28;
constexpr uint32_t kCyclicBit = 1u << 20;
constexpr uint32_t kMoveBit = 1u << 18;
// What a carried unit's order gains by its carrier's movement kind.
constexpr uint32_t kByAirCarrier = 1u << 4;
constexpr uint32_t kBySeaCarrier = 1u << 3;
// The orders field the setting goes to.
constexpr uint32_t kSettingField = 6;
constexpr uint8_t kAirMovement = 7;  // class movement type of aircraft

struct Words {
  uint32_t a24 = 0, a32 = 0, a36 = 0;
};

void Post(World& world, uint32_t id, int player, uint32_t unitId, const Words& w,
          std::vector<uint8_t> payload = {}) {
  CommandLog* log = CommandLogOf(world);
  if (!log) return;
  GameCommand c = MakeGameCommand(world.gameState, id, player);
  c.arg24 = w.a24;
  c.arg28 = unitId;
  c.arg32 = w.a32;
  c.arg36 = w.a36;
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

void PostCommand64(World& world, uint32_t commandId, int player, uint32_t unitId, uint32_t argument0) {
  Post(world, commandId, player, unitId, Words{argument0, 0, 0});
}

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
  Post(world, kCmdAssignUnitRoute, player, unit.id, Words{}, std::move(payload));
  Post(world, kCmdUnitSetDestination, player, unit.id, Words{goal, 0, 0});
  if (unit.kind == 1 || unit.kind == 3) return;
  const UnitClassRecord* cls = UnitClassOf(world, unit);
  if (!cls) return;
  const bool halts = (cls->flags & kClassHaltsOnMove) || cls->ammoPerShot * unit.strength > unit.ammo ||
                     (cls->attackValues[0] == 0 && cls->attackValues[1] == 0) ||
                     (unit.unitFlags & kUnitMovesWhileTurning);
  if (halts) Post(world, kCmdUnitSetStateBits, player, unit.id, Words{0, kStateHalt2, 1});
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
  Post(world, kCmdUnitCancelOrders, player, unitId, Words{});
  uint32_t flags = customFlags;
  uint32_t mask = customMask;
  if (orderId != kCustomOrder) {
    const OrderTypeRecord& def = RuleTablesOf(world).orderTypes.entries[orderId];
    flags = def.orderFlags;
    mask = def.orderMask;
  }
  uint32_t position = targetPosition;
  if (flags & kMovementBits) {
    if (UnitRecord* carrier = Find(world, unit.carrier)) {
      if (carrier->moveKind == 1) flags |= kByAirCarrier;
      if (carrier->moveKind == 2) flags |= kBySeaCarrier;
      if (position != kNoHexPosition)
        IssueOrder(world, *carrier, kMoveOrder, position, nullptr, nullptr, 0, 0, -1, depth + 1);
    }
    if (route) position = route->end;
    if (position != kNoHexPosition)
      PostUnitCommand(world, unit, route, position, (flags & kCyclicBit) != 0);
    else
      flags &= ~kMovementBits;
  }
  if (flags & kTargetBits) {
    PostCommand64(world, kCmdUnitSetOrderDword5, player, unitId, position);
    Post(world, kCmdUnitSetOrderDword7, player, unitId, Words{0, targetUnit ? targetUnit->id : 0u, 0});
  }
  if ((flags & kSecondHexBits) && position != kNoHexPosition)
    PostCommand64(world, kCmdUnitSetOrderDword6, player, unitId, position);
  if ((flags & kPartnerBit) && targetUnit) Post(world, kCmdUnitSetOrderDword8, player, unitId, Words{0, targetUnit->id, 0});
  if ((flags & kEscortBit) && targetUnit) {
    Post(world, kCmdUnitSetOrderDword8, player, unitId, Words{0, targetUnit->id, 0});
    const UnitClassRecord* tc = UnitClassOf(world, *targetUnit);
    const bool flies = tc && tc->movementType == kAirMovement;
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
          flags |= kMoveBit;
          PostUnitCommand(world, unit, nullptr, place, false);
        }
      }
    }
  }
  if (setting >= 0)
    Post(world, kCmdUnitSetOrderSetting, player, unitId, Words{0, kSettingField, static_cast<uint32_t>(setting)});
  Post(world, kCmdAddOrderFlags, player, unitId, Words{0, flags, mask});
  Post(world, kCmdUnitSetOrderDword2, player, unitId, Words{0, static_cast<uint32_t>(orderId), 0});
}

}  // namespace

void IssueUnitOrder(World& world, UnitRecord& unit, int orderId, uint32_t targetPosition, const PathRequest* route,
                    const UnitRecord* targetUnit, uint32_t customFlags, uint32_t customMask, int32_t setting) {
  IssueOrder(world, unit, orderId, targetPosition, route, targetUnit, customFlags, customMask, setting, 0);
}
