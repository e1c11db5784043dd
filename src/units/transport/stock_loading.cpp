#include "units/transport/stock_loading.h"

#include "records/unit_record.h"
#include "units/transport/cargo_boarding.h"
#include "units/transport/carrier_boarding.h"
#include "units/class_fields.h"
#include "units/hex_geometry.h"
#include "units/paths/move_restart.h"
#include "world/movement_rates.h"
#include "world/unit_class.h"
#include "units/unit_command_handlers.h"
#include "world/unit_ring.h"
#include "world/id_lookups.h"
#include "world/world.h"
#include "world/movement_types.h"

namespace {

constexpr uint8_t kFacilityCarrierBit = 0x10;

void CancelLoad(UnitRecord& stock, bool pooled) {
  stock.orders[kOrderFlags] &= ~kOrderLoadInto;
  if (!pooled) return;
  stock.orders[kStateFlags] &= ~kStateDeployRefused;
  stock.orders[kLeaderUnit] = 0;
  unitbytes::SetOrderLevel(stock.orders, 0);
}

bool BasedCarrier(const UnitRecord& target) {
  constexpr uint32_t kBoth = kUnitFollowsLeader | kUnitInBase;
  return (target.unitFlags & kBoth) == kBoth;
}

// A pooled stock's point into the target: the loaded unit, or null when the
// point joined a stock already aboard.
UnitRecord* MovePoolPoint(World& world, UnitRecord& stock, const UnitClassRecord& cls, UnitRecord& target) {
  OrderBlock& o = stock.orders;
  const uint8_t level = unitbytes::OrderLevel(o);
  if (level != kOrderLevelUnlimited && level > 0) unitbytes::SetOrderLevel(o, static_cast<uint8_t>(level - 1));
  if (unitbytes::OrderLevel(o) == 0 || stock.strength == 1.0f) {
    o[kOrderFlags] &= ~kOrderLoadInto;
    o[kLeaderUnit] = 0;
    unitbytes::SetOrderLevel(o, 0);
    stock.ordersShown = stock.orders;
  }
  PlayerRecord& owner = world.players[stock.owner & 31];
  CountStockPointLoaded(owner, cls);
  const uint32_t option = (o[kOrdersHeader] & kHeaderLaunchAllowed) ? kFindLaunchAllowed : 0;
  UnitRecord* loaded = nullptr;
  UnitRecord* aboard = (target.unitFlags & kUnitFacility)
                           ? nullptr
                           : FindInPlayerUnitList(world, owner, stock.classIndex, option, target.id);
  if (aboard) {
    aboard->strength += 1.0f;
  } else if ((loaded = SpawnInService(world, owner, stock.classIndex, 1, option)) != nullptr) {
    LinkIntoCargoChain(world, target, *loaded);
  }
  stock.strength -= 1.0f;
  if (stock.strength < 1.0f) stock.strength = 0.0f;
  return loaded;
}

}  // namespace

bool RunStockLoadOrder(World& world, UnitRecord& stock) {
  if (!(stock.strength > 0.0f)) return false;
  OrderBlock& o = stock.orders;
  if (!(o[kOrderFlags] & kOrderLoadInto) || o[kLeaderUnit] == 0) return false;
  UnitRecord* target = FindUnitById(world, o[kLeaderUnit]);
  if (!target) return false;
  stock.unitFlags &= ~kUnitStepped;

  const bool pooled = (stock.unitFlags & kUnitStock) != 0;
  if (pooled && unitbytes::OrderLevel(o) == 0) {
    CancelLoad(stock, pooled);  // a pool with no points left to load has no target
    return true;
  }
  if (pooled && stock.strength < 1.0f) {
    stock.strength = 0.0f;
    return true;
  }
  const UnitClassRecord* cls = UnitClassOf(world, stock);
  const UnitClassRecord* targetClass = UnitClassOf(world, *target);
  if (!cls || !targetClass || target == &stock || !CarrierUsable(*target)) {
    CancelLoad(stock, pooled);
    return true;
  }

  if (pooled) {
    const HexCell* cell = UnitHexCell(world, *target);
    if (!(cell && HexTakesCargo(world, stock.owner, target->moveKind, *cell)) && !BasedCarrier(*target)) return true;
    const uint8_t bit = (target->unitFlags & kUnitFacility) ? kFacilityCarrierBit
                                                            : static_cast<uint8_t>(1u << (targetClass->kind & 7));
    if (!(cls->loadableMask & bit)) return true;
    const float slots = static_cast<float>(targetClass->cargoSlots) * target->strength;
    if (static_cast<float>(cls->slotSize) + CarrierSlotsUsed(world, *target) > slots ||
        CarrierSlotRoom(world, *target) < cls->slotSize) {
      CancelLoad(stock, pooled);
      return true;
    }
  } else {
    const uint32_t here = unitbytes::UnitPosition(stock);
    if (here != unitbytes::UnitPosition(*target) ||
        (targetClass->movementType == kCarrierAircraft && !(target->unitFlags & kUnitInBase))) {
      const uint32_t goal = CarrierMeetingGoal(*target);
      if (goal != here) SendTowardGoal(world, stock, goal);
      return true;
    }
    if (targetClass->carryCapacity * target->strength <
        PassengerLoad(world, stock) + CarrierCargoLoad(world, *target)) {
      CancelLoad(stock, pooled);
      return true;
    }
  }

  UnitRecord* loaded = nullptr;
  if (pooled) {
    loaded = MovePoolPoint(world, stock, *cls, *target);
  } else {
    LeaveHexForCarrier(world, stock);
    LinkIntoCargoChain(world, *target, stock);
    target->supply += stock.supply;
    stock.supply = 0.0f;
    stock.unitFlags &= ~kUnitFullySupplied;
    loaded = &stock;
  }
  RebalanceCarrierStores(world, *target);
  target->unitFlags &= ~kUnitBit21;
  if (!loaded) return true;
  const uint32_t lift = loaded->orders[kOrderFlags] & kOrderLiftBits;
  TakeAboard(world, *loaded);
  if (lift != 0 && loaded->orders[kSecondHex] != kNoHexPosition) {
    UnitResetMoveState(world, 1, *target, loaded->orders[kSecondHex], 0);
    BoardLiftFollowers(world, *target);
  }
  return true;
}
