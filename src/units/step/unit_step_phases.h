#pragma once
// The phases of a unit's step and the facts they share. Only the step's own
// files and their tests include this.
#include <cstdint>

#include "records/unit_record.h"
#include "world/data_tables.h"

struct World;
struct HexCell;
struct UnitRecord;

// What the step works out once and hands from phase to phase.
struct UnitStepState {
  const UnitClassRecord* cls = nullptr;
  HexCell* cell = nullptr;
  int level = -1;            // the hex's level byte minus 1
  int movementType = 0;      // the class's
  bool atSeaNoHaven = false; // on water without a live lead facility
  bool wasStepped = false;   // the stepped bit before this step set it
  uint32_t entryMask = 0;    // the players whose hexes the unit may enter
  bool ownGround = false;
  int searchLimit = 0;
  int turnGap = 0;           // |wanted heading - heading| of this step's turn
  bool stoppedByHostile = false;
  float weaponReach = 0.0f;  // this step's, when worked out
  bool wasSlowed = false;    // engaged in air combat before the fire phase cleared it
  bool ended = false;        // the unit is gone: no later phase runs
  bool decisionsHeld = false;  // the decision countdown runs: no retreat, advance or dispersal
  bool advance = false;        // the decisions let the unit push on
};

// The step's minute countdowns, by their bytes in the record (52 to 55 and
// 70). Inline: every phase of every step asks one.
inline uint8_t& StepCountdown(UnitRecord& unit, int byteOffset) {
  if (byteOffset == 70) return unit.countdown5;
  return unit.countdowns[byteOffset - 52];
}

// A live lead facility on the cell (alive, a class, confirmed), or null.
UnitRecord* LiveLeadFacility(const HexCell& cell);
// On water (terrain flag) with no live lead facility.
bool AtSeaWithoutHaven(const World& world, const HexCell& cell);
// The hex is the owner's, in its entry grants for the unit's move kind, or
// unowned water.
bool OnOwnGround(const World& world, const UnitRecord& unit, const HexCell& cell);

// Entry rights, reach and the path search's arguments.
void StepEntryRights(World& world, UnitRecord& unit, UnitStepState& s);
// The players whose hexes the unit may enter by its owner's rules, before
// the hex it stands on is opened to it.
uint32_t UnitEntryMask(const World& world, const UnitRecord& unit, const UnitClassRecord& cls, int movementType);
// The reach in hexes from the unit's load; the cruise speed at a percentage
// factor.
void StepReach(World& world, UnitRecord& unit, const UnitClassRecord& cls);
void SetCruiseSpeed(World& world, UnitRecord& unit, const UnitClassRecord& cls, float factor);
// The unit's speed from its order's speed setting.
void SetSpeedFromSetting(World& world, UnitRecord& unit, const UnitClassRecord& cls, int movementType);
// The path search's arguments for this unit.
void PrepareUnitSearch(World& world, const UnitRecord& unit, const UnitStepState& s);

// Turning toward the wanted heading and second angle.
void StepTurns(UnitRecord& unit, UnitStepState& s);
// Motion in the hex and crossing into the next.
void StepMotion(World& world, UnitRecord& unit, UnitStepState& s);
// A mission's chase of the unit it names: the unit follows it while it is
// seen, stops on its hex, and drops the mission when it is lost.
void StepMissionTarget(World& world, UnitRecord& unit, UnitStepState& s);
// Arrival at the destination: the leg finished (true: the movement was
// reset and the route phases are skipped) or the next goal taken; berthing,
// circling, and a missile's strike (which ends the step).
bool StepArrival(World& world, UnitRecord& unit, UnitStepState& s);
// A missile's strike at its destination: it fires, is destroyed, and the
// news, picture and reactions follow.
void StepImpact(World& world, UnitRecord& unit, UnitStepState& s);
// A finished move: the movement is cancelled, the motion state bits kept.
void UnitMovementReset(World& world, UnitRecord& unit);
// An aircraft on its way turns back to a base in time.
void StepFuelWatch(World& world, UnitRecord& unit, UnitStepState& s);
// The route's next step and the steering toward it.
void StepRoute(World& world, UnitRecord& unit, UnitStepState& s);
// A unit that can neither stay nor go on is lost where it stands: it is
// destroyed and its loss shows on the map; the owner of any but stock is
// told.
void StepLost(World& world, UnitRecord& unit, const UnitClassRecord& cls);
// The wanted heading (0 to 23) of a move by (dx, dy) pixels.
int SteeringHeading(float dx, float dy);
// The weapon reach; true when the engagement phases are to run.
bool StepWeaponReach(World& world, UnitRecord& unit, UnitStepState& s);

// Following a leader; a base's count of its aircraft.
void StepFollowLeader(World& world, UnitRecord& unit);
void StepCarrierCapacity(World& world, UnitRecord& unit);
// The direction (0 to 5) a heading (0 to 23) faces.
int HeadingDirection(int heading);

// Whether a moving unit must stop short of its next hex.
void UnitHaltCheck(World& world, UnitRecord& unit);

// The fire phase: launches, return fire, ordered attacks, target search.
void StepEngagement(World& world, UnitRecord& unit, UnitStepState& s);

// Merging with the partner once both stand on one hex; splitting in two.
void StepMergeAndSplit(World& world, UnitRecord& unit, UnitStepState& s);
// Keeps the unit's at-friendly-base flag up to date.
void StepBaseStatus(World& world, UnitRecord& unit, UnitStepState& s);
// Going home, choosing a base, disbanding at a base; ends the step when the
// unit leaves the map.
void StepBaseOrders(World& world, UnitRecord& unit, UnitStepState& s);
// Works and fortification marks on the hex, the stop on a neutral hex the
// unit may not enter, and taking a hostile hex nobody defends.
void StepHexMarksAndCapture(World& world, UnitRecord& unit, UnitStepState& s);

// Reloading and recovery from disruption, while the unit is not firing.
void StepRecovery(UnitRecord& unit, const UnitStepState& s);

// Phase 15's upkeep: the rates after air combat, the return when low on
// ammunition, recovery, and (when the supply countdown is out) resupply,
// the supply state bits and the hand-out of carried supply.
void StepRatesAndResupply(World& world, UnitRecord& unit, UnitStepState& s);
// Its parts. Resupply from the hex's supply level, paid from the owner's
// stocks (fuel, ammunition and carried supply also from the hex owner's).
void StepResupply(World& world, UnitRecord& unit, const UnitStepState& s);
// The out-of-fuel and wants-a-base bits go once the unit is refilled.
void StepSupplyStateBits(World& world, UnitRecord& unit, const UnitStepState& s);
// Hands out the supply the unit carries; parts from a leader it was told
// to leave.
void StepDistributeSupply(World& world, UnitRecord& unit);

// The unit's own decisions (when its decision countdown is out and it
// loaded nothing this step): surrender, retreat, and whether it may
// advance.
void StepSurrenderAndRetreat(World& world, UnitRecord& unit, UnitStepState& s);
// The push one hex into the best-scored enemy neighbour, when the decisions
// let the unit advance.
void StepAdvance(World& world, UnitRecord& unit, UnitStepState& s);
// One direction's worth for the advance: open when the neighbour is on the
// map and may be entered at a cost; its score, and whether the fight around
// it looks even.
struct AdvanceScore {
  bool open = false;
  uint32_t hex = 0;
  int32_t score = 0;
  bool even = false;
};
AdvanceScore ScoreAdvanceDirection(World& world, const UnitRecord& unit, const UnitStepState& s, int d);
// Over-stacking: the owner's surplus units of the unit's category leave its
// hex for the emptiest neighbours.
void StepOverStacking(World& world, UnitRecord& unit, UnitStepState& s);

// A carrier takes aboard one stock unit waiting in its owner's reserve;
// unitFlags bit 27 records whether it found one.
void StepLoadStockOntoCarriers(World& world, UnitRecord& carrier, UnitStepState& s);

// Sea and air lifts, boarding and unloading. A unit that ends it carried
// ends its step (s.ended) without the closing phase.
void StepTransport(World& world, UnitRecord& unit, UnitStepState& s);

// The unit's sensors mark the spotting map when its sighting countdown
// runs out (under the fog rule).
void StepSighting(World& world, UnitRecord& unit, UnitStepState& s);

// The closing phase: idle check, who sees the unit, countdown refill, next
// wake-up.
void StepClose(World& world, UnitRecord& unit, const UnitStepState& s);

