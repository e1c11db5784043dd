#pragma once
// Cancelling a unit's orders in one copy (pass 0 the display copy, pass 1
// the simulation copy): its movement, its target, then the orders
// themselves, each one update of the two-copy count. Fields outside the
// order blocks change on the simulation pass only.
struct World;
struct UnitRecord;

// The route's flag that ends it: the route is finished or cannot be followed.
inline constexpr unsigned kRouteNoPath = 0x20;

void CancelUnitMovement(World& world, UnitRecord& unit, int pass);
void CancelUnitTarget(World& world, UnitRecord& unit, int pass);
void ClearUnitOrders(World& world, UnitRecord& unit, int pass);
// The three in order.
void CancelAllOrders(World& world, UnitRecord& unit, int pass);

// Marks the unit's current route as ended and, unless a second route waits,
// clears the destination's hold bit (orderFlags bit 30) when the route led
// somewhere else than where the unit stands; the second route is freed.
void EndUnitRoutes(UnitRecord& unit);
