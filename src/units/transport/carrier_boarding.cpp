#include "units/transport/carrier_boarding.h"

#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/unit_record.h"
#include "sim/sim_ui_link.h"
#include "units/transport/cargo_boarding.h"
#include "units/class_fields.h"
#include "units/hex_geometry.h"
#include "units/paths/move_restart.h"
#include "world/movement_rates.h"
#include "world/unit_class.h"
#include "units/unit_command_handlers.h"
#include "world/unit_ring.h"
#include "world/hex_extra.h"
#include "world/id_lookups.h"
#include "world/world.h"
#include "world/movement_types.h"

namespace {

constexpr uint8_t kFacilityCarrierBit = 0x10;

bool CarrierBased(const UnitRecord& carrier) {
  constexpr uint32_t kBoth = kUnitFollowsLeader | kUnitInBase;
  return (carrier.unitFlags & kBoth) == kBoth;
}

// The carrier-kind bit the unit's class must hold to board the carrier.
uint8_t CarrierKindBit(const UnitRecord& carrier) {
  return (carrier.unitFlags & kUnitFacility) ? kFacilityCarrierBit : static_cast<uint8_t>(1u << (carrier.kind & 7));
}

bool HasRoom(const World& world, const UnitRecord& unit, const UnitClassRecord& cls, const UnitRecord& carrier,
             const UnitClassRecord& carrierClass, const BoardingRules& rules) {
  const bool stock = (unit.unitFlags & kUnitStock) != 0;
  const bool bySlots = rules.stockBySlots
                           ? stock
                           : carrierClass.movementType == kCarrierAircraft && !(carrier.unitFlags & kUnitInBase);
  if (!bySlots)
    return PassengerLoad(world, unit) + CarrierCargoLoad(world, carrier) <=
           carrierClass.carryCapacity * carrier.strength;
  const float size = static_cast<float>(cls.slotSize);
  if (size + CarrierSlotsUsed(world, carrier) > static_cast<float>(carrierClass.cargoSlots) * carrier.strength)
    return false;
  return rules.stockBySlots || cls.slotSize <= CarrierSlotRoom(world, carrier);
}

void EndLoadOrder(UnitRecord& unit) {
  unit.orders[kOrderFlags] &= ~kOrderLoadInto;
  unit.orders[kLeaderUnit] = 0;
  unitbytes::SetOrderLevel(unit.orders, 0);
}

}  // namespace

BoardingResult BoardUnit(World& world, UnitRecord& unit, UnitRecord& carrier, const BoardingRules& rules,
                         bool withFollowers) {
  const UnitClassRecord* cls = UnitClassOf(world, unit);
  const UnitClassRecord* carrierClass = UnitClassOf(world, carrier);
  if (!cls || !carrierClass || &unit == &carrier) return BoardingResult::kNotBoarded;
  const bool stock = (unit.unitFlags & kUnitStock) != 0;
  if (!stock && unitbytes::UnitPosition(unit) != unitbytes::UnitPosition(carrier)) {
    SendTowardGoal(world, unit, CarrierMeetingGoal(carrier));
    return BoardingResult::kNotBoarded;
  }
  if (rules.hexAndClassTests) {
    if (!stock) {
      const HexCell* cell = UnitHexCell(world, carrier);
      if (!(cell && HexTakesCargo(world, unit.owner, carrier.moveKind, *cell)) && !CarrierBased(carrier))
        return BoardingResult::kNotBoarded;
    }
    if (!(cls->loadableMask & CarrierKindBit(carrier))) return BoardingResult::kNotBoarded;
  }
  if (!HasRoom(world, unit, *cls, carrier, *carrierClass, rules)) {
    unit.orders[kOrderFlags] &= ~kOrderLoadInto;
    return BoardingResult::kNotBoarded;
  }

  if (!stock) LeaveHexForCarrier(world, unit);
  NotifyUnitsChanged();
  const uint8_t level = unitbytes::OrderLevel(unit.orders);
  if (level != kOrderLevelUnlimited && level > 0) unitbytes::SetOrderLevel(unit.orders, static_cast<uint8_t>(level - 1));
  if (unit.orders[kLeaderUnit] != 0 && (unitbytes::OrderLevel(unit.orders) == 0 || unit.strength == 1.0f)) {
    EndLoadOrder(unit);
    unit.ordersShown = unit.orders;
  }

  UnitRecord* boarding = &unit;
  if (stock) {
    PlayerRecord& owner = world.players[unit.owner & 31];
    CountStockPointLoaded(owner, *cls);
    const uint32_t option = (unit.orders[kOrdersHeader] & kHeaderLaunchAllowed) ? kFindLaunchAllowed : 0;
    UnitRecord* aboard = (carrier.unitFlags & kUnitFacility)
                             ? nullptr
                             : FindInPlayerUnitList(world, owner, unit.classIndex, option, carrier.id);
    unit.strength -= 1.0f;
    if (unit.strength < 1.0f) unit.strength = 0.0f;
    if (aboard) {
      aboard->strength += 1.0f;
      RebalanceCarrierStores(world, carrier);
      if (rules.addEndsWait) carrier.unitFlags &= ~kUnitBit21;
      return BoardingResult::kAddedToStock;
    }
    boarding = SpawnInService(world, owner, unit.classIndex, 1, option);
    if (!boarding) return BoardingResult::kNotBoarded;
  }
  const uint32_t lift = unit.orders[kOrderFlags] & kOrderLiftBits;
  const uint32_t landing = unit.orders[kSecondHex];

  LinkIntoCargoChain(world, carrier, *boarding);
  carrier.supply += boarding->supply;
  boarding->supply = 0.0f;
  boarding->unitFlags &= ~kUnitFullySupplied;
  RebalanceCarrierStores(world, carrier);
  carrier.unitFlags &= ~kUnitBit21;
  TakeAboard(world, *boarding);

  if (lift != 0 && landing != kNoHexPosition) {
    UnitResetMoveState(world, 1, carrier, landing, 0);
    // The followers board from this walk alone, so each boards once.
    if (withFollowers) BoardLiftFollowers(world, carrier);
  }
  return BoardingResult::kBoarded;
}

void BoardCarrier(World& world, UnitRecord& unit, UnitRecord* carrier) {
  const bool stock = (unit.unitFlags & kUnitStock) != 0;
  if (stock && unit.strength < 1.0f) {
    unit.strength = 0.0f;
    return;
  }
  UnitRecord* target = carrier;
  if (!target && !(stock && unitbytes::OrderLevel(unit.orders) == 0) && unit.orders[kLeaderUnit] != 0)
    target = FindUnitById(world, unit.orders[kLeaderUnit]);
  if (!target || !CarrierUsable(*target)) {
    unit.orders[kOrderFlags] &= ~kOrderLoadInto;
    return;
  }
  BoardUnit(world, unit, *target, BoardingRules{});
}

void BoardLiftFollowers(World& world, UnitRecord& carrier) {
  HexCell* cell = UnitHexCell(world, carrier);
  HexUnitStack* stack = cell ? LoadHexStack(*cell) : nullptr;
  if (!stack) return;
  const uint32_t bound = carrier.orders[kDestination];
  UnitRecord* w = stack->chainA[0];
  for (int guard = 0; w && guard < 100000; ++guard) {
    // The walk keeps its place: a unit that boards leaves the chain.
    UnitRecord* next = w->nextInChainA;
    if (w->carrier == 0 && w != &carrier && IsUnitLive(*w) && !InReserve(*w) && w->owner == carrier.owner &&
        (w->orders[kOrderFlags] & kOrderLiftBits) && w->orders[kSecondHex] == bound &&
        PassengerLoad(world, *w) <= CarrierFreeCapacity(world, carrier)) {
      w->orders[kLeaderUnit] = carrier.id;
      BoardUnit(world, *w, carrier, BoardingRules{}, false);
    }
    w = next;
  }
}
