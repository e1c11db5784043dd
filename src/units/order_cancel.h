#pragma once
// Cancelling a unit's orders in one copy (pass 0 the display copy, pass 1
// the simulation copy): its movement, its target, then the orders
// themselves, each one update of the two-copy count. Fields outside the
// order blocks change on the simulation pass only.
struct World;
struct UnitRecord;

// Route flags.
inline constexpr unsigned kRouteStepsBackward = 0x1;  // walk the steps from the last byte
inline constexpr unsigned kRouteWaypointsBackward = 0x2;  // follow the waypoints back to the start
inline constexpr unsigned kRouteTurnRound = 0x4;  // at the end, back and forth
inline constexpr unsigned kRouteLoop = 0x8;       // at the end, again from waypoint 0
inline constexpr unsigned kRouteOppositeSteps = 0x10;  // a step byte holds the opposite direction
// The route's flag that ends it: the route is finished or cannot be followed.
inline constexpr unsigned kRouteNoPath = 0x20;

// markRoute false leaves the current route as it is (a restart of the
// movement replaces it at once); the second route goes either way.
void CancelUnitMovement(World& world, UnitRecord& unit, int pass, bool markRoute = true);
void CancelUnitTarget(World& world, UnitRecord& unit, int pass);
void ClearUnitOrders(World& world, UnitRecord& unit, int pass);
// The three in order.
void CancelAllOrders(World& world, UnitRecord& unit, int pass);
// The full clear the unit step itself runs (merging, splitting, going home
// and the other order phases): the three on the simulation copy, each one
// step of the two-copy count.
inline void UnitClearOrders(World& world, UnitRecord& unit) { CancelAllOrders(world, unit, 1); }

// Marks the unit's current route as ended and, unless a second route waits,
// clears the destination's hold bit (orderFlags bit 30) when the route led
// somewhere else than where the unit stands; the second route is freed.
void EndUnitRoutes(UnitRecord& unit);
