#pragma once
// Which orders of the order definitions a set of units can take, as the
// local player sees them, and against which hex: the list the interface
// offers when units are selected.
#include <cstdint>
#include <vector>

struct World;
struct UnitRecord;
struct OrderTypeRecord;

// Whether the unit meets the definition's per-category byte and its
// requirement bits on the unit and its class (the target-hex bits count as
// met here; see OrderFitsTarget).
bool UnitMeetsOrder(const World& world, const OrderTypeRecord& order, const UnitRecord& unit);

// The target part: without a target hex (position 0) the order needs none
// of the target requirements; with one, the hex must pass them and the
// order must allow the hex's owner, its facility or a unit seen on it by
// its relation to the local player.
bool OrderFitsTarget(const World& world, const OrderTypeRecord& order, uint32_t targetHex);

// The ids (ascending) of the orders with a name, listed in the list mode (0
// or any other), that every one of the units can take against the target
// hex (0: none). No units: no orders.
std::vector<int> OrdersForUnits(const World& world, const std::vector<const UnitRecord*>& units, int listMode,
                                uint32_t targetHex);

// The order id of the units' display orders when they all have the same
// one, else 0.
uint32_t CommonOrderId(const std::vector<const UnitRecord*>& units);
