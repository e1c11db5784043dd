// The unit step's phases on the hex the unit stands on, after its movement
// and orders for the minute: works and fortification marks, the stop on a
// neutral hex it has no right to be on, and the capture of a hostile hex
// that nobody defends.
#include "records/unit_table_arrays.h"
#include "records//hex_unit_stack.h"
#include "records/player_relations.h"
#include "records/unit_record.h"
#include "units/hex_state.h"
#include "units/class_fields.h"
#include "units/hex_capture.h"
#include "units/hex_geometry.h"
#include "units/order_cancel.h"
#include "units/paths/unit_base_choice.h"
#include "world/unit_class.h"
#include "units/step/unit_step_phases.h"
#include "world/hex_extra.h"
#include "world/world.h"

namespace {

namespace cf = classfields;

constexpr int kCountdownFortify = 55;

// The hex's state block is made under the hex-extras lock when missing; the
// mark itself is set outside it.
void MarkHex(World& world, HexCell& cell, uint8_t mark) {
  if (HexExtra* extra = GetHexExtra(world, cell)) HexPresenceFlags(*extra) |= mark;
}

// A unit that takes a hex or holds it against a taker: alive, in service and
// able to take ground (a class that fights for ground, not held back, and
// stocked or on its own player's hex).
bool Capable(World& world, const UnitRecord& u) { return IsUnitLive(u) && !InReserve(u) && UnitCanTakeGround(world, u); }

// Any capable unit on the hex at war with the player.
bool HostileCapableOn(World& world, const HexCell& cell, const PlayerRecord& player) {
  const HexUnitStack* stack = LoadHexStack(cell);
  if (!stack) return false;
  for (UnitRecord* head : stack->chainA)
    for (UnitRecord* u = head; u; u = u->nextInChainA)
      if (RelationClassOf(player, 1, u->owner) == kRelationHostile && Capable(world, *u)) return true;
  return false;
}

// A capable unit takes the hostile hex it stands on unless a capable enemy
// still holds it; the neighbours are taken along unless enemies stand
// beside it. Returns false when the unit could not try.
bool TryCapture(World& world, UnitRecord& unit, HexCell& cell) {
  if (!Capable(world, unit)) return false;
  const PlayerRecord& owner = world.players[unit.owner & 31];
  if (!(unit.unitFlags & kUnitMovesWhileTurning) && HostileCapableOn(world, cell, owner)) return true;
  const HexMapShape map = MapShape(world);
  const uint32_t here = MakeHexPos(unit.x, unit.y);
  bool enemyBeside = false;
  for (int d = 0; d < 6 && !enemyBeside; ++d) {
    const HexCell* next = HexCellAt(world, map, HexNeighbour(map, here, d));
    enemyBeside = next && HostileCapableOn(world, *next, owner);
  }
  CaptureHex(world, cell, unit.owner, enemyBeside ? 0 : 1, kRelationHostile, unit.kind, 0);
  return true;
}

}  // namespace

void StepHexMarksAndCapture(World& world, UnitRecord& unit, UnitStepState& s) {
  if (s.ended || !s.cls || !s.cell) return;
  const UnitClassRecord& cls = *s.cls;
  HexCell& cell = *s.cell;
  const uint32_t orderFlags = unit.orders[kOrderFlags];
  const bool turning = (unit.unitFlags & kUnitMoved) != 0;
  const bool freeToEnter = OnOwnGround(world, unit, cell);

  if ((orderFlags & kOrderWorks) && (cls.flags & kClassBuildsWorks) && !turning && freeToEnter)
    MarkHex(world, cell, kPresenceMarkers);

  const PlayerRecord& owner = world.players[unit.owner & 31];
  const int hexOwner = CellOwner(cell.word);
  switch (RelationClassOf(owner, 1, hexOwner)) {
    case kRelationSelf:
      if (StepCountdown(unit, kCountdownFortify) == 0 && (cls.flags & kClassFortifies) && !turning &&
          !(orderFlags & kOrderMissionBits))
        MarkHex(world, cell, kPresenceRepair);
      return;
    case kRelationFriendly: return;
    case kRelationNeutral:
      // Stopped once: the flag stays until its movement is cancelled again.
      if (!freeToEnter && !(unit.unitFlags & kUnitSeekingBase) &&
          !(UnitEntryMask(world, unit, cls, s.movementType) & (1u << hexOwner))) {
        CancelUnitMovement(world, unit, 1);
        UnitChooseBase(world, unit, false);
        unit.unitFlags |= kUnitSeekingBase;
      }
      return;
    default: break;
  }
  if (TryCapture(world, unit, cell)) return;
  // Unable to take the hex: a land unit that cannot fight back or lacks its
  // full stock, and is not between hexes, looks for a base.
  const bool shortOfStock = unit.ammo < cls.ammoPerShot * unit.strength;
  if (unit.moveKind == kMoveKindLand && ((cls.flags & kClassHaltsOnMove) || shortOfStock) &&
      !(orderFlags & kOrderMoving))
    UnitChooseBase(world, unit, false);
}
