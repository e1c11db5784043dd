#pragma once
// What every way of putting a unit into a carrier shares: the load and slot
// sums, the share-out of the carrier's stores, linking the unit into the
// carrier's cargo chain, taking it off the map, and sending a unit to where
// its carrier is (or is going). Turn thread, under the simulation lock.
#include <cstdint>

#include "records/order_words.h"

struct World;
struct HexCell;
struct PlayerRecord;
struct UnitRecord;
struct UnitClassRecord;

// Class fields of carrying.
float ClassAmmoCapacity(const UnitClassRecord& cls);    // ammunition per strength point (float 92)

// The weight of what the carrier carries (nothing when it is carried
// itself): for each carried unit with strength, its loads, weight and
// ammunition.
float CarrierCargoLoad(const World& world, const UnitRecord& carrier);
// The weight a unit brings aboard: its weight, ammunition and, unless it is
// carried itself, everything it carries.
float PassengerLoad(const World& world, const UnitRecord& unit);
// The carrying capacity left: capacity x strength less the cargo load.
float CarrierFreeCapacity(const World& world, const UnitRecord& carrier);

// Stock slots in use: slot size x strength over the carried units.
float CarrierSlotsUsed(const World& world, const UnitRecord& carrier);
// The slots a carrier may still give one stock unit: its class's slots (a
// tenth of them for a one-point class of another kind than land), held to
// what its strength leaves free, truncated. 0 for a carrier without a class.
int32_t CarrierSlotRoom(const World& world, const UnitRecord& carrier);

// Shares the carrier's ammunition and supply cargo out again: ammunition
// first up to its capacity (less any overload of a carrier that carries
// units), then supply cargo up to the free capacity, the rest to the owner's
// supply stock.
void RebalanceCarrierStores(World& world, UnitRecord& carrier);

// The unit goes to the head of the carrier's cargo chain, its own cargo
// behind it, then the carrier's earlier cargo; all of them name the carrier.
void LinkIntoCargoChain(World& world, UnitRecord& carrier, UnitRecord& unit);

// One stock point moves from the owner's pooled counter of its kind to the
// loaded counter.
void CountStockPointLoaded(PlayerRecord& owner, const UnitClassRecord& stockClass);

// count units of the class (one unit of that size for a stock class) made
// for the owner to go aboard a carrier or to leave one: in service and filed
// with the units on the map, whatever the owner's force budget (they are no
// new deployment). Null for a class not in the table.
UnitRecord* SpawnInService(World& world, PlayerRecord& owner, int32_t classIndex, int32_t count, uint32_t findOption);

// A unit that boarded leaves the map: no position (nor in its schedule
// entry), no pixel offset, its load order, partner and order level gone,
// flags 16 and 17 cleared, and its movement cancelled on the simulation
// copy (one update of its outstanding count).
void TakeAboard(World& world, UnitRecord& unit);

// Takes a boarding unit out of its hex's chains; the hex's marks are
// recounted and the screens told.
void LeaveHexForCarrier(World& world, UnitRecord& unit);

// The hex takes cargo for the owner with the move kind: its own, granted to
// the kind, or unowned water; and its level is not 0.
bool HexTakesCargo(const World& world, int owner, int moveKind, const HexCell& cell);

// Alive, classed, not in reserve and not carried itself.
bool CarrierUsable(const UnitRecord& carrier);

// Where the unit should go to meet the carrier: the carrier's destination,
// else its position.
uint32_t CarrierMeetingGoal(const UnitRecord& carrier);
// Orders the unit to goal unless it is already moving there or its route
// already ends there.
void SendTowardGoal(World& world, UnitRecord& unit, uint32_t goal);

// The order level that never counts down.
inline constexpr uint8_t kOrderLevelUnlimited = 255;
