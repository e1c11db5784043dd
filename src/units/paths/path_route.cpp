#include "units/paths/path_route.h"

#include <algorithm>

#include "records/path_request.h"
#include "units/hex_geometry.h"
#include "units/order_cancel.h"
#include "units/paths/path_search.h"
#include "world/world.h"

namespace {

constexpr int kWaypoints = 8;

void DropSteps(PathRequest& route) {
  route.stepCount = 0;
  route.stepIndex = 0;
  route.steps.clear();
  route.steps.shrink_to_fit();
}

// The step byte the route stands at, or none: a route from a peer may carry
// any index, and one outside its steps ends it.
const uint8_t* StepAt(const PathRequest& route) {
  const int64_t i = route.stepIndex;
  if (i < 0 || i >= static_cast<int64_t>(route.stepCount) || i >= static_cast<int64_t>(route.steps.size()))
    return nullptr;
  return &route.steps[static_cast<size_t>(i)];
}

int StepDirection(const PathRequest& route, uint8_t step) {
  int d = step & 7;
  if ((route.flags & kRouteOppositeSteps) && d < kNoMove) d = OppositeDirection(d);
  return d;
}

bool ValidWaypoint(const PathRequest& route) {
  return route.waypointIndex >= 0 && route.waypointIndex < kWaypoints;
}

}  // namespace

PathRequest& InitPathRequest(const uint32_t waypoints[8], PathRequest& route, uint32_t end, int reverse,
                             bool repeat) {
  route.start = route.end = route.current = kNoHexPosition;
  std::copy(waypoints, waypoints + kWaypoints, route.waypoints);
  route.start = route.current = waypoints[0];
  route.end = end;
  route.waypointIndex = 1;
  const uint32_t walkBack = kRouteStepsBackward | kRouteOppositeSteps;
  route.flags = (route.flags & ~walkBack) | ((reverse & 1) ? walkBack : 0);
  route.stepCount = 0;
  route.steps.clear();
  if (repeat) route.flags |= route.start == route.end ? kRouteLoop : kRouteTurnRound;
  if (route.start == kNoHexPosition || route.end == kNoHexPosition) route.flags |= kRouteNoPath;
  return route;
}

void PathSearchRun(World& world, PathRequest& route, int restart) {
  DropSteps(route);
  route.flags &= ~kRouteNoPath;
  bool atEnd = restart != 0;
  bool next = true;
  if (!restart) {
    if (!ValidWaypoint(route)) {
      route.flags |= kRouteNoPath;
      return;
    }
    const uint32_t target = route.waypoints[route.waypointIndex];
    next = route.current == target;
    atEnd = next && route.current == PickFieldByFlag(route);
  }
  if (atEnd) {
    if (route.flags & kRouteTurnRound)
      route.flags ^= kRouteStepsBackward | kRouteWaypointsBackward;
    else if (route.flags & kRouteLoop)
      route.waypointIndex = 0;
    else
      route.flags |= kRouteNoPath;
  }
  if (next && !(route.flags & kRouteNoPath)) {
    route.waypointIndex += (route.flags & kRouteWaypointsBackward) ? -1 : 1;
    if (!ValidWaypoint(route) || route.waypoints[route.waypointIndex] == kNoHexPosition) route.flags |= kRouteNoPath;
  }
  if (route.flags & kRouteNoPath) return;
  if (!ValidWaypoint(route) || route.current == kNoHexPosition ||
      route.waypoints[route.waypointIndex] == kNoHexPosition) {
    route.flags |= kRouteNoPath;
    return;
  }
  PathSearchBlock& block = WorldPathSearch(world);
  block.from = route.current;
  block.to = route.waypoints[route.waypointIndex];
  if (FindPath(world, block) == 0) {
    route.flags |= kRouteNoPath;
    return;
  }
  route.steps = block.steps;
  route.stepCount = static_cast<uint32_t>(route.steps.size());
  const uint32_t walkBack = kRouteStepsBackward | kRouteOppositeSteps;
  route.flags = (route.flags & ~walkBack) | ((block.flags & kSearchStepsBack) ? walkBack : 0);
  route.stepIndex = (route.flags & kRouteStepsBackward) && route.stepCount ? static_cast<int32_t>(route.stepCount - 1) : 0;
  route.flags &= ~kRouteNoPath;
}

int PathNextDirection(World& world, PathRequest& route, uint32_t at, int restart) {
  if (route.flags & kRouteNoPath) return kNoMove;
  if (route.current != at || route.steps.empty()) {
    route.current = at;
    PathSearchRun(world, route, restart);
    if (route.flags & kRouteNoPath) return kNoMove;
  }
  const uint8_t* step = StepAt(route);
  if (!step) {
    route.flags |= kRouteNoPath;
    return kNoMove;
  }
  return StepDirection(route, *step);
}

int PathStepMarker(const PathRequest& route) {
  if (route.flags & kRouteNoPath) return 0;
  const uint8_t* step = StepAt(route);
  return step ? (*step >> 6) & 1 : 0;
}

void PathAdvance(World& world, PathRequest& route, uint32_t& out, uint32_t fallback) {
  if (route.flags & kRouteNoPath) {
    out = fallback;
    return;
  }
  if (!route.steps.empty()) {
    const uint8_t* step = StepAt(route);
    if (!step) {
      route.flags |= kRouteNoPath;
      out = fallback;
      return;
    }
    if (route.current != kNoHexPosition)
      route.current = HexNeighbour(MapShape(world), route.current, StepDirection(route, *step));
  } else {
    route.current = fallback;
  }
  if (route.current == kNoHexPosition) {
    route.flags |= kRouteNoPath;
    out = route.current;
    return;
  }
  route.stepIndex += (route.flags & kRouteStepsBackward) ? -1 : 1;
  if (route.stepIndex < 0 || route.stepIndex == static_cast<int32_t>(route.stepCount)) {
    DropSteps(route);
    if (ValidWaypoint(route) && route.current == route.waypoints[route.waypointIndex]) PathSearchRun(world, route, 0);
  }
  out = route.current;
}

uint32_t PickFieldByFlag(const PathRequest& route) {
  return (route.flags & kRouteWaypointsBackward) ? route.start : route.end;
}
