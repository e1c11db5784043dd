#pragma once
// The unit-order setters: each writes one field of the order block copy of
// its pass (the display copy in pass 0, the simulation copy in pass 1).
// Fields of the unit outside its order blocks change in pass 1 only. The
// command executor keeps the unit's count of outstanding commands; the
// setters never count.
#include <cstdint>
#include <vector>

struct World;
struct UnitRecord;
struct OrderBlock;

// The order block a pass works on.
OrderBlock& PassOrders(UnitRecord& unit, int pass);

// 337: ORs the order definition's flags into orderFlags (word 11) and its
// mask into orderMask (word 1). Pass 1 also clears the unit's stepped mark
// and zeroes its schedule entry's countdown, so it is stepped at once.
void AddOrderFlags(World& world, UnitRecord& unit, int pass, uint32_t flags, uint32_t mask);
// 338: sets (set non-zero) or clears the mask's bits of the state word
// (word 12). Bits 29 and 30 change only while the copy's posture bit 1
// (building) is set: otherwise the whole mask counts as empty. Pass 1 also
// clears bit 8 of the unit's second flag word, and a unit whose held build
// slot (bit 31) is cleared gives the slot up: a class of type 8 from its
// owner's type-8 count, any other from the occupancy of its hex's facility.
void UnitSetStateBits(World& world, UnitRecord& unit, int pass, uint32_t mask, uint32_t set);
// 339: the destination (word 3), a packed hex; pass 1 works out the
// movement rates again from the orders' speed setting.
void UnitSetDestination(World& world, UnitRecord& unit, int pass, uint32_t packedHex);
// 340: pass 1 only: the 64-byte route in the payload becomes the unit's
// current route (the old one is freed) and the movement rates are worked
// out again; the payload is taken. The steps the sender's route had stay
// with the sender, so the route waits for a search of its way.
void AssignUnitRoute(World& world, UnitRecord& unit, int pass, std::vector<uint8_t>& payload);
// 341: pass 1 only, on the unit's current route (without one nothing is
// attached and the payload stays with the command, to be freed with it).
// With steps, they replace the route's steps, unless there are fewer than
// the route's step count (then nothing changes and false is returned). With
// none, the route's steps are released (step count 0) so that the next step
// searches the way again with the unit's present settings; the waypoints
// stay. Either way the movement rates are worked out again.
bool AssignRouteSteps(World& world, UnitRecord& unit, int pass, std::vector<uint8_t>& payload);
// 342: the hex to fire at (word 5).
void UnitSetFireHex(World& world, UnitRecord& unit, int pass, uint32_t packedHex);
// 343: the unit to fire at (word 7), by id; none for null.
void UnitSetFireUnit(World& world, UnitRecord& unit, int pass, const UnitRecord* target);
// 344: the partner unit (word 8), by id; none for null. Pass 1 also clears
// flag bits 24 and 20 when bit 24 is set.
void UnitSetLeaderUnit(World& world, UnitRecord& unit, int pass, const UnitRecord* partner);
// 347: the second hex of the order (word 6).
void UnitSetSecondHex(World& world, UnitRecord& unit, int pass, uint32_t packedHex);
// 348: sets (set non-zero) or clears the mask's bits of the option word (13).
void UnitSetOrdersHeaderBits(World& world, UnitRecord& unit, int pass, uint32_t mask, uint32_t set);
// 349: the option word (13) = value with bit 31 set.
void UnitSetOrdersHeader(World& world, UnitRecord& unit, int pass, uint32_t value);
// 350: two-bit field 0..15 of the settings word (14) = value & 3; a field
// past 15 changes nothing.
void UnitSetOrderSetting(World& world, UnitRecord& unit, int pass, uint32_t field, uint32_t value);
// 351: the order level (byte 43) = the value's low byte.
void UnitSetOrderLevel(World& world, UnitRecord& unit, int pass, uint32_t value);
// 352: the order level + a signed delta, held within 0..255.
void UnitAddOrderLevel(World& world, UnitRecord& unit, int pass, int32_t delta);
// 353: the order id (word 2).
void UnitSetOrderId(World& world, UnitRecord& unit, int pass, uint32_t value);
// 354: the settings word (14) whole.
void UnitSetOrdersWord(World& world, UnitRecord& unit, int pass, uint32_t value);
// 355: posture bit 2 (word 15) = bit 0 of the value.
void UnitSetNoAutoDeploy(World& world, UnitRecord& unit, int pass, uint32_t value);
