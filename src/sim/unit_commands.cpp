#include "sim/unit_commands.h"

#include <cmath>
#include <cstring>

#include "sim/availability.h"
#include "sim/command_counts.h"
#include "sim/unit_command_args.h"
#include "sim/unit_order_args.h"
#include "records/command_ids.h"
#include "units/order_cancel.h"
#include "units/research_projects.h"
#include "world/unit_class.h"
#include "units/unit_command_handlers.h"
#include "units/unit_deploy.h"
#include "world/unit_create.h"
#include "units/hex_geometry.h"
#include "units/unit_orders.h"
#include "records/unit_record.h"
#include "world/id_lookups.h"
#include "world/list_items.h"
#include "world/world.h"

namespace {


UnitRecord* FindUnit(World& world, uint32_t id) {
  WorldLockGuard hold(world, kLockUnits);
  return FindUnitById(world, id);
}

// A position word of an order: none (0) or a hex of the map.
bool OrderPositionValid(const World& world, uint32_t position) {
  return position == kNoHexPosition || HexCellIndex(MapShape(world), position) >= 0;
}

// A route payload: a whole route image whose points are each none or a hex
// of the map and whose waypoint index names one of its eight waypoints.
bool RoutePayloadValid(const World& world, const std::vector<uint8_t>& payload) {
  if (payload.size() != sizeof(PathRequestImage)) return false;
  PathRequestImage route;
  std::memcpy(&route, payload.data(), sizeof route);
  if (route.waypointIndex < 0 || route.waypointIndex > 7) return false;
  for (uint32_t p : route.waypoints)
    if (!OrderPositionValid(world, p)) return false;
  return OrderPositionValid(world, route.start) && OrderPositionValid(world, route.end) &&
         OrderPositionValid(world, route.current);
}

// Arguments a peer could send wrong, checked from the command alone so that
// both passes agree: a command that fails changes nothing and is not counted
// on the unit in either pass.
bool OrderArgumentsValid(const World& world, const GameCommand& c) {
  switch (c.id) {
    case kCmdUnitSetDestination:
    case kCmdUnitSetFireHex:
    case kCmdUnitSetSecondHex: return OrderPositionValid(world, ArgsOf<OrderHexArgs>(c).hex);
    case kCmdAssignUnitRoute: return RoutePayloadValid(world, c.payload);
    case kCmdUnitSetOrderSetting: return ArgsOf<OrderSettingArgs>(c).field <= 15;
    default: return true;
  }
}

// The order commands: the unit named at 28.
void Order(CommandPass& run) {
  World& w = run.world;
  GameCommand& c = run.command;
  const int pass = run.pass;
  UnitRecord* unit = FindUnit(w, ArgsOf<OrderUnitArgs>(c).unit);
  if (!unit || !OrderArgumentsValid(w, c)) return;
  UnitRecord& u = *unit;
  const auto hex = [&c] { return ArgsOf<OrderHexArgs>(c).hex; };
  const auto bits = [&c] { return ArgsOf<OrderBitsArgs>(c); };
  const auto value = [&c] { return ArgsOf<OrderValueArgs>(c).value; };
  const auto target = [&w, &c]() -> UnitRecord* {
    const uint32_t id = ArgsOf<OrderTargetArgs>(c).target;
    return id ? FindUnit(w, id) : nullptr;
  };
  switch (c.id) {
    case kCmdUnitCancelOrders:
      CancelAllOrders(w, u, pass);
      return;
    case kCmdUnitCancelMove: CancelUnitMovement(w, u, pass); return;
    case kCmdUnitCancelTask: CancelUnitTarget(w, u, pass); return;
    case kCmdAddOrderFlags: {
      const auto a = ArgsOf<OrderFlagsArgs>(c);
      AddOrderFlags(w, u, pass, a.flags, a.mask);
      break;
    }
    case kCmdUnitSetStateBits: UnitSetStateBits(w, u, pass, bits().bits, bits().set); break;
    case kCmdUnitSetDestination: UnitSetDestination(w, u, pass, hex()); break;
    case kCmdAssignUnitRoute: AssignUnitRoute(w, u, pass, c.payload); break;
    case kCmdAssignRouteSteps: AssignRouteSteps(w, u, pass, c.payload); break;
    case kCmdUnitSetFireHex: UnitSetFireHex(w, u, pass, hex()); break;
    case kCmdUnitSetFireUnit: UnitSetFireUnit(w, u, pass, target()); break;
    case kCmdUnitSetLeaderUnit: UnitSetLeaderUnit(w, u, pass, target()); break;
    case kCmdUnitSetSecondHex: UnitSetSecondHex(w, u, pass, hex()); break;
    case kCmdUnitSetOrdersHeaderBits: UnitSetOrdersHeaderBits(w, u, pass, bits().bits, bits().set); break;
    case kCmdUnitSetOrdersHeader: UnitSetOrdersHeader(w, u, pass, value()); break;
    case kCmdUnitSetOrderSetting: {
      const auto a = ArgsOf<OrderSettingArgs>(c);
      UnitSetOrderSetting(w, u, pass, a.field, a.value);
      break;
    }
    case kCmdUnitSetOrderLevel: UnitSetOrderLevel(w, u, pass, value()); break;
    case kCmdUnitAddOrderLevel: UnitAddOrderLevel(w, u, pass, static_cast<int32_t>(value())); break;
    case kCmdUnitSetOrderId: UnitSetOrderId(w, u, pass, value()); break;
    case kCmdUnitSetOrdersWord: UnitSetOrdersWord(w, u, pass, value()); break;
    case kCmdUnitSetNoAutoDeploy: UnitSetNoAutoDeploy(w, u, pass, value()); break;
    default: return;
  }
  c.payloadLength = static_cast<uint32_t>(c.payload.size());
  CountUnitOrder(w, u, pass);
}

// A unit of a class in the table and of a size a unit can have, under an id
// no unit has.
bool CanMakeUnit(World& world, uint32_t id, int32_t classIndex, float size) {
  return id != 0 && std::isfinite(size) && size >= 0.0f && UnitClassOrderable(world, classIndex) &&
         !FindUnit(world, id);
}

void Creation(CommandPass& run) {
  World& w = run.world;
  const GameCommand& c = run.command;
  const int player = c.player;
  switch (c.id) {
    case kCmdCreateUnit:
      if (run.pass == 0) {
        const auto a = ArgsOf<NewUnitArgs>(c);
        const auto classIndex = static_cast<int32_t>(a.classIndex);
        if (CanMakeUnit(w, c.sequence, classIndex, a.size))
          CreateUnit(w, run.player, c.sequence, classIndex, a.size, a.position, 0, a.flags);
      } else {
        ConfirmNewUnit(w, run.player, c.sequence);
      }
      break;
    case kCmdDisbandUnit:
      if (run.pass == 1) DisbandUnit(w, ArgsOf<UnitArgs>(c).unit, -1, run.player);
      break;
    case kCmdScheduleUnit:
      if (UnitRecord* unit = FindUnit(w, ArgsOf<UnitArgs>(c).unit)) ScheduleUnit(w, *unit, run.pass);
      break;
    case kCmdCreateUnitAt: {
      const auto a = ArgsOf<OrderedUnitArgs>(c);
      if (run.pass == 0) {
        if (a.size >= 0) CreateUnitAt(w, run.player, c.sequence, static_cast<int32_t>(a.classIndex), a.size, a.flags);
      } else {
        ConfirmOrderedUnit(w, c.sequence, run.player, a.classIndex, static_cast<uint32_t>(a.size), a.flags);
      }
      break;
    }
    case kCmdProjectCreate:
      if (run.pass == 0) {
        const auto a = ArgsOf<NewProjectArgs>(c);
        CreateProject(w, player, c.sequence, a.kind, a.index, a.flags);
      } else {
        PursueProject(w, player, c.sequence);
      }
      break;
    case kCmdProjectClose: CloseProject(w, player, run.pass, ArgsOf<ProjectArgs>(c).project, true); break;
    case kCmdAvailabilityBit: {
      const auto a = ArgsOf<ProjectBitsArgs>(c);
      WorldLockGuard hold(w, kLockProjects);
      if (ProjectEntry* entry = FindProjectById(w, a.project)) SetMaskBit(*entry, run.pass, a.bits, a.set);
      break;
    }
    default: break;
  }
}

}  // namespace

CommandHandler UnitCommandHandler(uint32_t id) {
  switch (id) {
    case kCmdCreateUnit:
    case kCmdDisbandUnit:
    case kCmdScheduleUnit:
    case kCmdCreateUnitAt:
    case kCmdProjectCreate:
    case kCmdProjectClose:
    case kCmdAvailabilityBit: return &Creation;
    default: break;
  }
  if (id >= kCmdUnitCancelOrders && id <= kCmdUnitSetNoAutoDeploy) return &Order;
  return nullptr;
}
