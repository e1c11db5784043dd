#pragma once
// Giving a unit an order from the order definitions of the rule table: the
// order becomes the unit-order commands that cancel the old orders and fill
// the new ones in, posted for the unit's owner. The interface and the
// computer players call these; they change nothing directly.
#include <cstdint>

struct World;
struct UnitRecord;
struct PathRequest;

// The custom order: the caller's flags and mask stand for the definition's.
inline constexpr int kCustomOrder = 251;
// The plain move to a hex.
inline constexpr int kMoveOrder = 1;

// Posts the commands of order `orderId` (0 to 254; anything else posts
// nothing) for the unit: cancel-all, the route and destination (to the
// route's goal when a route is given), the target hex and unit, the second
// hex, the partner, the setting of orders field 6 when `setting` is 0 or
// more, the flags and mask, and the order id. A carried unit's carrier is
// sent to the target position too.
void IssueUnitOrder(World& world, UnitRecord& unit, int orderId, uint32_t targetPosition, const PathRequest* route,
                    const UnitRecord* targetUnit, uint32_t customFlags, uint32_t customMask, int32_t setting);

// Posts a movement: the route (a fresh one from the unit's hex to the goal
// when none is given; with `cyclic` one that loops when it ends where it
// starts, else turns back and forth), the destination, and for a land or
// sea unit that should halt first, the second halt bit.
void PostUnitCommand(World& world, UnitRecord& unit, const PathRequest* route, uint32_t goal, bool cyclic);
