// The loading phase of a carrier's step: the carrier takes aboard one stock
// unit that waits in its owner's stock reserve, splitting one point off a
// pool when the stock is pooled. Whether it found one decides whether the
// surrender and advance phases run in this step, and brings the carrier
// back to this phase next minute.
#include "records/unit_record.h"
#include "records/unit_table_arrays.h"
#include "units/transport/cargo_boarding.h"
#include "units/transport/carrier_boarding.h"
#include "units/class_fields.h"
#include "units/paths/move_restart.h"
#include "world/movement_rates.h"
#include "world/unit_class.h"
#include "units/unit_command_handlers.h"
#include "world/unit_ring.h"
#include "units/step/unit_step_phases.h"
#include "world/world.h"
#include "world/movement_types.h"

namespace {

constexpr int kCountdownLoading = 55;
constexpr uint8_t kFacilityCarrierBit = 0x10;
constexpr uint8_t kStockKind = 5;

bool Based(const UnitRecord& carrier) {
  constexpr uint32_t kBoth = kUnitFollowsLeader | kUnitInBase;
  return (carrier.unitFlags & kBoth) == kBoth;
}

// The first stock of the owner's reserve that waits for a carrier of the
// kind bit and fits the room.
UnitRecord* WaitingStock(World& world, const UnitRecord& carrier, uint8_t kindBit, int32_t room) {
  const UnitTableArray* slot = world.unitTables.Slot(kUnitTableReserve, carrier.owner & 31, kUnitCategoryStock);
  if (!slot) return nullptr;
  for (int32_t i = 1; i < slot->Count(); ++i) {
    UnitRecord* s = slot->At(i).unit;
    if (!s || !IsUnitLive(*s) || (s->unitFlags & (kUnitProvisional | kUnitFacility)) || !InReserve(*s)) continue;
    if (s->owner != carrier.owner || !(s->strength >= 1.0f)) continue;
    if (!(s->unitFlags & kUnitStock) && s->kind != kStockKind) continue;
    if (!(s->orders[kOrderFlags] & kOrderLoadInto)) continue;
    const UnitClassRecord* cls = UnitClassOf(world, *s);
    if (!cls || !(cls->loadableMask & kindBit) || cls->slotSize > room) continue;
    if (s->orders[kLeaderUnit] != 0 && s->orders[kLeaderUnit] != carrier.id) continue;
    return s;
  }
  return nullptr;
}

// Works the found stock; true when the phase ends without the pool's wait
// being looked at (the point joined a stock already aboard).
bool LoadFound(World& world, UnitRecord& carrier, const UnitClassRecord& cls, UnitRecord& s, int32_t room) {
  const UnitClassRecord* stockClass = UnitClassOf(world, s);
  if (!stockClass) return true;
  const bool pool = (s.unitFlags & kUnitStock) != 0;
  if (!IsUnitLive(carrier) || InReserve(carrier) || carrier.carrier != 0) {
    s.orders[kOrderFlags] &= ~kOrderLoadInto;
    return false;
  }
  const uint32_t here = unitbytes::UnitPosition(carrier);
  const bool carrierAway = cls.movementType == kCarrierAircraft && !(carrier.unitFlags & kUnitInBase);
  UnitRecord* loaded = &s;
  if (!pool) {
    if (unitbytes::UnitPosition(s) != here || carrierAway) {
      // A unit already waiting where the carrier is going stays there.
      if (unitbytes::UnitPosition(s) != carrier.orders[kDestination])
        SendTowardGoal(world, s, CarrierMeetingGoal(carrier));
      return false;
    }
    if (PassengerLoad(world, s) + CarrierCargoLoad(world, carrier) > cls.carryCapacity * carrier.strength) {
      s.orders[kOrderFlags] &= ~kOrderLoadInto;
      return false;
    }
    LeaveHexForCarrier(world, s);
  } else {
    const HexCell* cell = UnitHexCell(world, carrier);
    if (!(cell && HexTakesCargo(world, s.owner, carrier.moveKind, *cell)) && !Based(carrier)) return true;
    if (carrierAway) return true;
    const float size = static_cast<float>(stockClass->slotSize);
    if (size + CarrierSlotsUsed(world, carrier) > static_cast<float>(cls.cargoSlots) * carrier.strength ||
        stockClass->slotSize > room) {
      s.orders[kOrderFlags] &= ~kOrderLoadInto;
      return false;
    }
    // One point off the pool; its order level was set to one on finding it.
    unitbytes::SetOrderLevel(s.orders, 0);
    if (s.orders[kLeaderUnit] != 0) {
      s.orders[kOrderFlags] &= ~kOrderLoadInto;
      s.orders[kLeaderUnit] = 0;
      s.ordersShown = s.orders;
    }
    PlayerRecord& owner = world.players[s.owner & 31];
    CountStockPointLoaded(owner, *stockClass);
    s.strength -= 1.0f;
    if (s.strength < 1.0f) s.strength = 0.0f;
    const uint32_t option = (s.orders[kOrdersHeader] & kHeaderLaunchAllowed) ? kFindLaunchAllowed : 0;
    if (!(carrier.unitFlags & kUnitFacility)) {
      if (UnitRecord* aboard = FindInPlayerUnitList(world, owner, s.classIndex, option, carrier.id)) {
        aboard->strength += 1.0f;
        RebalanceCarrierStores(world, carrier);
        return true;
      }
    }
    loaded = SpawnInService(world, owner, s.classIndex, 1, option);
    if (!loaded) return false;
  }
  LinkIntoCargoChain(world, carrier, *loaded);
  carrier.supply += s.supply;
  s.supply = 0.0f;
  s.unitFlags &= ~kUnitFullySupplied;
  RebalanceCarrierStores(world, carrier);
  carrier.unitFlags &= ~kUnitBit21;
  const uint32_t lift = loaded->orders[kOrderFlags] & kOrderLiftBits;
  TakeAboard(world, *loaded);
  if (lift != 0 && loaded->orders[kSecondHex] != 0) {
    UnitResetMoveState(world, 1, carrier, loaded->orders[kSecondHex], 0);
    BoardLiftFollowers(world, carrier);
  }
  return false;
}

}  // namespace

void StepLoadStockOntoCarriers(World& world, UnitRecord& carrier, UnitStepState& s) {
  const UnitClassRecord* cls = s.cls;
  if (!cls || !((carrier.unitFlags & kUnitStepEveryMinute) || StepCountdown(carrier, kCountdownLoading) == 0)) return;
  if (cls->cargoSlots == 0 || !s.ownGround || s.level <= 0) return;
  if (carrier.moveKind == kMoveKindAir && ((carrier.unitFlags & kUnitMoved) || !(carrier.unitFlags & kUnitInBase)))
    return;

  bool found = false;
  const int32_t room = CarrierSlotRoom(world, carrier);
  if (!(carrier.orders[kOrdersHeader] & kHeaderNoStockLoading) && room >= 1) {
    const uint8_t kindBit = (carrier.unitFlags & kUnitFacility) ? kFacilityCarrierBit
                                                                : static_cast<uint8_t>(1u << (cls->kind & 7));
    if (UnitRecord* stock = WaitingStock(world, carrier, kindBit, room)) {
      found = true;
      unitbytes::SetOrderLevel(stock->orders, 1);
      const bool waitedBefore = (stock->orders[kOrderFlags] & kOrderLoadInto) != 0;
      const bool settled = LoadFound(world, carrier, *cls, *stock, room);
      // A pool whose wait ended here lets go of its carrier.
      if (!settled && (stock->unitFlags & kUnitStock) && waitedBefore &&
          !(stock->orders[kOrderFlags] & kOrderLoadInto)) {
        stock->orders[kStateFlags] &= ~kStateDeployRefused;
        stock->orders[kLeaderUnit] = 0;
        unitbytes::SetOrderLevel(stock->orders, 0);
      }
    }
  }
  if (found) {
    carrier.unitFlags |= kUnitStepEveryMinute;
    carrier.unitFlags &= ~kUnitStepped;
  } else {
    carrier.unitFlags &= ~kUnitStepEveryMinute;
  }
}
