#include "units/facilities/hex_facility_state.h"

#include <algorithm>

#include "app/game_math.h"
#include "records/order_words.h"
#include "sim/command_counts.h"
#include "sim/message_ids.h"
#include "sim/player_messages.h"
#include "units/class_fields.h"
#include "units/deployment_weight.h"
#include "records/hex_unit_stack.h"
#include "units/order_cancel.h"
#include "world/unit_class.h"
#include "units/unit_command_handlers.h"
#include "units/unit_deploy.h"
#include "units/unit_destroy.h"
#include "units/unit_orders.h"
#include "units/unit_player_fields.h"
#include "records/unit_record.h"
#include "world/unit_ring.h"
#include "world/unit_tables.h"
#include "units/unit_transfer.h"
#include "world/hex_extra.h"
#include "world/record_helpers.h"
#include "world/world.h"

namespace {

namespace cf = classfields;
namespace uf = unitfields;

constexpr int kMostStaying = 8;

bool Provisional(const UnitRecord& u) { return (u.unitFlags & kUnitProvisional) != 0; }

void RecomputeMarksOf(World& world, UnitRecord& facility) {
  if (HexCell* cell = UnitHexCell(world, facility)) RecomputeHexMarks(world, *cell);
}

float Weight(const World& world, const UnitRecord& u) {
  const UnitClassRecord* cls = UnitClassOf(world, u);
  return (cls ? static_cast<float>(cls->valuePerPoint) : 0.0f) * u.strength;
}

void Disband(World& world, UnitRecord& unit, int player) {
  DisbandUnit(world, unit.id, player, world.players[unit.owner & 31]);
}

// A unit that left the reserve starts from clean orders.
void ResetDeployedOrders(World& world, UnitRecord& unit) { CancelAllOrders(world, unit, 1); }

// Deploys a reserve unit within its owner's budget; returns true when it
// counts as one that stayed.
bool TryDeploy(World& world, UnitRecord& unit, int disband, int player, int stayed) {
  if (stayed < kMostStaying) {
    ScheduleUnit(world, unit, 0);
    ScheduleUnit(world, unit, 1);
    unit.unitFlags &= ~kUnitInBase;
  }
  if (InReserve(unit)) {
    if (disband) {
      Disband(world, unit, player);
      return false;
    }
    return true;
  }
  ResetDeployedOrders(world, unit);
  return false;
}

// The owner's order to switch the facility on was refused: it needs more
// troops from the force reserve than the reserve holds.
void TellUnstaffed(World& world, const UnitRecord& f, float staff, float reserve) {
  MessageParams p;
  p.p1 = static_cast<uint32_t>(f.classIndex);
  p.p2 = unitbytes::UnitPosition(f);
  p.p3 = static_cast<uint32_t>(CheckedTrunc(staff));
  p.p4 = static_cast<uint32_t>(std::max(0, CheckedTrunc(reserve)));
  PostPlayerMessage(world, world.players[f.owner & 31], f.owner & 31, kMsgFacilityUnstaffed, nullptr, p);
}

}  // namespace

void SetFacilityModeA(World& world, UnitRecord& f, int pass, int on) {
  if (on) {
    CancelAllOrders(world, f, pass);
    OrderBlock& o = PassOrders(f, pass);
    o[kPostureBits] |= kPostureInReserve | kPostureUnderConstruction;
    o[kStateFlags] |= kStateHeldSlot;
  } else {
    OrderBlock& o = PassOrders(f, pass);
    o[kStateFlags] &= ~(kStateHeldSlot | kStateBit24);
    o[kPostureBits] &= ~kPostureUnderConstruction;
  }
  CountUnitOrder(world, f, pass);
}

void SetFacilityModeB(World& world, UnitRecord& f, int pass, int on) {
  if (on) {
    CancelAllOrders(world, f, pass);
    PassOrders(f, pass)[kPostureBits] |= kPostureInReserve;
    if (pass == 1) f.disruption = 0.0f;
  } else {
    OrderBlock& o = PassOrders(f, pass);
    o[kStateFlags] &= ~(kStateHeldSlot | kStateBit24);
    o[kPostureBits] &= ~(kPostureInReserve | kPostureUnderConstruction);
    if (pass == 1) {
      f.unitFlags &= ~kUnitStepped;
      if (f.tableEntry) f.tableEntry->countdown = 0;
    }
  }
  CountUnitOrder(world, f, pass);
  // The hex's marks count only facilities in service.
  if (on && pass == 1) RecomputeMarksOf(world, f);
}

void SetFacilityModeC(World& world, UnitRecord& f, int pass, int on, int extra) {
  if (on) {
    CancelAllOrders(world, f, pass);
    OrderBlock& o = PassOrders(f, pass);
    o[kStateFlags] |= kStateModeC;
    if (extra)
      o[kStateFlags] |= kStateModeCExtra;
    else
      o[kStateFlags] &= ~kStateModeCExtra;
    o[kPostureBits] = (o[kPostureBits] | kPostureInReserve) & ~kPostureUnderConstruction;
  } else {
    PassOrders(f, pass)[kStateFlags] &= ~(kStateModeC | kStateModeCExtra);
  }
  CountUnitOrder(world, f, pass);
  if (on && pass == 1) RecomputeMarksOf(world, f);
}

void SetStateBit30(World& world, UnitRecord& f, int pass, int on) {
  OrderBlock& o = PassOrders(f, pass);
  if (on)
    o[kStateFlags] |= kStatePausedBuild;
  else
    o[kStateFlags] &= ~kStatePausedBuild;
  CountUnitOrder(world, f, pass);
}

void SetStateBit24(World& world, UnitRecord& f, int pass, int on) {
  OrderBlock& o = PassOrders(f, pass);
  if (on)
    o[kStateFlags] |= kStateBit24;
  else
    o[kStateFlags] &= ~kStateBit24;
  CountUnitOrder(world, f, pass);
}

void SetStackUnitState(World& world, HexCell& cell, int pass, int inactive) {
  UnitRecord* f = GetActiveObject(&cell, false);
  if (!f || (pass == 1 && Provisional(*f))) return;
  const bool wantOff = inactive != 0;
  const bool isOff = (PassOrders(*f, pass)[kPostureBits] & kPostureInReserve) != 0;
  if (isOff == wantOff) return;
  const UnitClassRecord* cls = UnitClassOf(world, *f);
  const uint32_t flags = cls ? cls->flags : 0;
  if (!(flags & kClassSettlement)) {
    if ((flags & kClassRoad) && !(flags & kClassSettlementPopulation) && !wantOff && f->strength < 1.0f)
      SetFacilityModeA(world, *f, pass, 1);
    else
      SetFacilityModeB(world, *f, pass, wantOff);
    return;
  }
  PlayerRecord& owner = world.players[f->owner & 31];
  const int player = f->owner & 31;
  const float pending = PendingDeployments(world, player);
  if (wantOff) {
    const float c = static_cast<float>(cls->valuePerPoint) * f->strength;
    if (pass == 0) {
      AddPendingDeployments(world, player, -c);
      SetFacilityModeB(world, *f, 0, 1);
      return;
    }
    owner.soldiers += c;
    uf::SetReal(owner, uf::kForcesOnMap, uf::Real(owner, uf::kForcesOnMap) - c);
    AddPendingDeployments(world, player, c);
    SetFacilityModeB(world, *f, 1, 1);
    StackSideEffects(world, cell, 0, 1, -1);
    return;
  }
  if (f->strength < 1.0f) {
    SetFacilityModeA(world, *f, pass, 1);
    return;
  }
  const float c = static_cast<float>(cls->valuePerPoint);
  if (pass == 1) {
    if (c < owner.soldiers) {
      owner.soldiers -= c;
      uf::SetReal(owner, uf::kForcesOnMap, uf::Real(owner, uf::kForcesOnMap) + c);
      AddPendingDeployments(world, player, -c);
      SetFacilityModeB(world, *f, 1, 0);
    }
    f->ordersShown[kPostureBits] =
        (f->ordersShown[kPostureBits] & ~kPostureInReserve) | (f->orders[kPostureBits] & kPostureInReserve);
    return;
  }
  if (c < owner.soldiers - pending) {
    AddPendingDeployments(world, player, c);
    SetFacilityModeB(world, *f, 0, 0);
  }
}

void ActivateStackUnit(World& world, HexCell& cell, int pass) {
  SetStackUnitState(world, cell, pass, 0);
  UnitRecord* f = GetActiveObject(&cell, false);
  const UnitClassRecord* cls = f ? UnitClassOf(world, *f) : nullptr;
  if (pass != 1 || !cls || !(cls->flags & kClassSettlement) || Provisional(*f)) return;
  // Off and not building: the force budget could not staff it.
  if ((f->orders[kPostureBits] & (kPostureInReserve | kPostureUnderConstruction)) == kPostureInReserve)
    TellUnstaffed(world, *f, static_cast<float>(cls->valuePerPoint), world.players[f->owner & 31].soldiers);
}

void StackSideEffects(World& world, HexCell& cell, int release, int disband, int player) {
  HexUnitStack* stack = LoadHexStack(cell);
  UnitRecord* f = stack ? stack->lead : nullptr;
  int served[2] = {-1, -1};
  if (f && IsUnitLive(*f) && !Provisional(*f)) {
    if (const UnitClassRecord* cls = UnitClassOf(world, *f); cls && cls->baseKind == 0) {
      if (cls->flags & kClassHaven) {
        served[0] = 2;
        served[1] = 3;
      } else if (cls->flags & kClassAirBase) {
        served[0] = 1;
      } else if ((cls->flags & kClassSettlement) && cls->loadableMask != 0) {
        served[0] = 0;
      }
    }
  }
  const int owner = CellOwner(cell.word);
  const uint32_t here = f ? unitbytes::UnitPosition(*f) : 0;
  PlayerRecord& holder = world.players[owner];
  auto filedHere = [&](int table, int category, auto&& fn) {
    // (0, 0) is no place: the units filed without one are held nowhere.
    if (here == 0) return;
    UnitTableArray* slot = world.unitTables.Slot(table, owner, category);
    if (!slot) return;
    // Units handed on or deployed leave holes behind them; only this slot's
    // entries as they stood are walked.
    const int32_t count = slot->Count();
    for (int32_t i = 1; i < count && i < slot->Count(); ++i) {
      UnitTableEntry& entry = slot->At(i);
      if (entry.unit && entry.position == here) fn(*entry.unit);
    }
  };

  int stayed = 0;
  for (int category : served) {
    if (category < 0) continue;
    filedHere(kUnitTableReserve, category, [&](UnitRecord& u) {
      if (Weight(world, u) <= holder.soldiers) {
        if (TryDeploy(world, u, disband, player, stayed)) ++stayed;
        return;
      }
      if (disband) {
        Disband(world, u, player);
        return;
      }
      if (player < 0) return;
      TransferUnit(world, u, player, 0, 0);
      if (!(u.unitFlags & kUnitGone) && Weight(world, u) <= world.players[u.owner & 31].soldiers &&
          TryDeploy(world, u, disband, player, stayed))
        ++stayed;
    });
  }
  for (int category : served) {
    if (category < 0) continue;
    filedHere(kUnitTableOnMap, category, [&](UnitRecord& u) { u.unitFlags &= ~kUnitInBase; });
  }
  for (int category : served) {
    if (category < 0) continue;
    filedHere(kUnitTableOnOrder, category, [&](UnitRecord& u) {
      if (release)
        Disband(world, u, player);
      else if (player >= 0)
        TransferUnit(world, u, player, 0, 0);
    });
  }
  if (release && f && IsUnitLive(*f) && !Provisional(*f)) unitbytes::LeadValue(*f) = 0;
}

void ReleaseHexReserve(World& world, HexCell& cell, int player) {
  const int owner = CellOwner(cell.word);
  bool friendly = false;
  if (player > 0 && player < kMaxPlayers && player != owner) {
    const PlayerRecord& p = world.players[player];
    const uint32_t bit = 1u << owner;
    friendly = (p.simPolicy.friendlyMask & bit) && !(p.simPolicy.hostileMask & bit);
  }
  StackSideEffects(world, cell, 1, friendly ? 0 : 1, player);
}
