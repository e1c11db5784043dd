#pragma once
// A unit's orders (the sixteen words of its OrderBlock, kept twice in the
// unit record): one name per word and one per bit. Where other rules know a
// word or a bit by another name, the comment says so.
#include <cstdint>

// The words, by index.
inline constexpr int kOrderMask = 1;       // second mask of the order definition
inline constexpr int kOrderId = 2;         // the order definition, 0 none
inline constexpr int kDestination = 3;     // hex to reach (packed x, y)
inline constexpr int kMoveTarget = 4;      // hex headed for now
inline constexpr int kFireHex = 5;         // hex to attack
inline constexpr int kSecondHex = 6;       // drop, landing or lift hex
inline constexpr int kFireUnit = 7;        // unit to attack (an id); was kOrderLinkWordA
inline constexpr int kLeaderUnit = 8;      // the partner unit (an id); was kOrderLinkWordB
inline constexpr int kOrderStartTick = 9;  // tick a timed order is due
inline constexpr int kOrderLevelByte = 43;  // orderLevel, by byte offset (the fourth byte of word 10); was kOrderByteSetting
inline constexpr int kOrderFlags = 11;     // orderFlags; was kOrderFlagsWord
inline constexpr int kStateFlags = 12;     // stateFlags; was kOrderModeWord
inline constexpr int kOrdersHeader = 13;   // option bits of the orders; was kOrderSettingWordA
inline constexpr int kOrdersWord = 14;     // sixteen 2-bit settings; was kOrderSettingWordB
inline constexpr int kPostureBits = 15;    // was kOrderStateWord

// orderMask (word 1).
// A training order: the reserve unit runs training programme orderLevel.
// Also kOrderMaskTrainingTip.
inline constexpr uint32_t kMaskTraining = 1u << 24;

// orderFlags (word 11).
// Works: a works builder at work; with a class of kClassBuildsWorks it marks
// its hex. Was kUnitAtWorkBit, kOrdersWorksBit and kOrderMarkerBit.
inline constexpr uint32_t kOrderWorks = 1u << 5;
// Bits 8 to 23: the attack-target bits and the mission byte of a timed
// order; a stock transfer is pending while any is set. Was
// kOrderTransferPending.
inline constexpr uint32_t kOrderMissionBits = 0x00FFFF00u;
// Bits 8 to 15: the attack-target bits, cleared with the target.
inline constexpr uint32_t kOrderTargetBits = 0x0000FF00u;
// Takes ground even with kHeaderNoCapture set; also doubles the path
// search's limit (the wide search). Was kTakeGround and kOrderHoldGround;
// the production lists read it as a stock unit that has its lift, was
// kHasLift.
inline constexpr uint32_t kOrderTakeGround = 1u << 16;
// Bits 16 to 23: the mission byte; the unit step's missions, route and
// steering run only while one is set. An order definition with any of them
// posts a route and destination (was kMovementBits there).
inline constexpr uint32_t kOrderMissionByte = 0x00FF0000u;
// A move to the destination was ordered (or restarted). Also the movement
// bit of standing orders; with kOrderMoving cleared when the movement is
// cancelled. Was kMoveBit.
inline constexpr uint32_t kOrderMove = 1u << 18;
// Arrival at the destination leaves the route running (a cyclic route, was
// kCyclicBit).
inline constexpr uint32_t kOrderKeepsRoute = 1u << 20;
// Moving along the route to the next hex (a pending one-hex move); the fire
// rules count the unit as airborne. Was kOrderMoving.
// Also kMissileTargetList (an order definition whose list is of missile
// targets).
inline constexpr uint32_t kOrderMoving = 1u << 23;
// Engaged: has fired in this step (the last of the attack-target bits). The
// sighting calls it "easier to see"; it also lets the second angle keep its
// own aim and holds the unit out of its base. Was kOrderExposed and
// kOrderFired.
// Also kOrderFlagsAirborne.
inline constexpr uint32_t kOrderEngaged = 1u << 15;
// Any of these halves the path search's limit (bits 1, 2 and 25).
inline constexpr uint32_t kOrderNarrowSearch = 0x2000006u;
// Check whether the route's goal is reached; cleared when the movement is
// cancelled short of it. Was kHoldsDestination.
inline constexpr uint32_t kOrderGoalCheck = 1u << 30;
// Withdrawing: the unit does not fire during its step. Also the order to
// go home: the base phases send it to its side's nearest base and take it
// into that base's reserve there (called return to base).
inline constexpr uint32_t kOrderWithdrawing = 1u << 2;
// Choose a base: the base phases let the base choice send the unit there.
inline constexpr uint32_t kOrderChooseBase = 1u << 1;
// Launch the carried stock units at the carrier's target.
inline constexpr uint32_t kOrderLaunchCargo = 1u << 9;
// What an ordered attack on a hex may hit: anything there (bit 10), its
// facility (bit 11), the units standing there (bit 14). With bit 10 a carried
// unit keeps its target hex when the target search finds nothing, was
// kOrderKeepHex.
inline constexpr uint32_t kOrderHexAnything = 1u << 10;
inline constexpr uint32_t kOrderHexFacility = 1u << 11;
inline constexpr uint32_t kOrderHexUnits = 1u << 14;
inline constexpr uint32_t kOrderHexAttackBits = kOrderHexAnything | kOrderHexFacility | kOrderHexUnits;
// Keeps its target when the target search finds nothing.
inline constexpr uint32_t kOrderKeepsTarget = 1u << 17;
// A target, or the order to keep one: an order definition with any of them
// posts the target hex and unit (was kTargetBits there).
inline constexpr uint32_t kOrderTargetAndKeep = kOrderTargetBits | kOrderKeepsTarget;
// The mission is aimed at the partner unit (leaderUnit) rather than at the
// fire unit; an order definition with it names the partner. Was kPartnerBit.
inline constexpr uint32_t kOrderAimedAtLeader = 1u << 19;
// Repairing or automatic deployment; cleared when a deployment runs. Called
// bit 25 of word 11.
inline constexpr uint32_t kOrderAutoDeploy = 1u << 25;
// Orders that double a unit's supply rate while it is not turning: the
// reserve resupplies it faster, and so does its supply line without a base
// of its kind (was kOrderSupplyLine there).
inline constexpr uint32_t kOrderHasteBits =
    kOrderWithdrawing | kOrderAutoDeploy | kOrderGoalCheck | (1u << 29) | (1u << 31);
static_assert(kOrderHasteBits == 0xE2000004u);
// Lifts: the unit is to be carried by sea (bit 3) or air (bit 4) to its
// second hex; aboard, the same bits are its order to land there (the order
// issue adds its carrier's, was kBySeaCarrier and kByAirCarrier).
inline constexpr uint32_t kOrderSeaLift = 1u << 3;
inline constexpr uint32_t kOrderAirLift = 1u << 4;
inline constexpr uint32_t kOrderLiftBits = kOrderSeaLift | kOrderAirLift;
// A transport tells its passengers to land; aboard: landing is due. The
// production lists mark a deployment by carrier with it (was kProdAutoDeploy
// there).
inline constexpr uint32_t kOrderUnloadDue = 1u << 26;
// Load into (board) the unit named by the partner word (leaderUnit); a
// finished stock unit waiting for its transport is marked with it. An order
// definition with it escorts the target unit: names it the partner and
// meets it at a base. Was kOrderLoadInto and kEscortBit; the production
// lists call it a deployment under way, was kProdUnderWay.
// Also kLoadingUnderWay and kLoadPending; an order definition with it takes
// its target from a list, was kNeedsTarget and kTargetFromList.
inline constexpr uint32_t kOrderLoadInto = 1u << 28;

// orderMask (word 1): the unit step's standing requests.
// Split into two units of half the strength once strong enough.
inline constexpr uint32_t kMaskSplit = 1u << 25;
// Merge with the partner (leaderUnit) once both stand on one hex.
inline constexpr uint32_t kMaskMerge = 1u << 26;
// Disband at a base: return the unit into stock, or (with kMaskDisbandSell)
// sell it.
inline constexpr uint32_t kMaskDisband = 1u << 27;
inline constexpr uint32_t kMaskDisbandSell = 1u << 28;
inline constexpr uint32_t kMaskDisbandAny = kMaskDisband | kMaskDisbandSell;

// stateFlags (word 12). Bits 24, 25, 29, 30 and 31 are the facility modes.
// Low byte: the unit step's motion states.
inline constexpr uint32_t kStateHalt = 1u << 0;         // stop short of the next hex; also set after a crossing
inline constexpr uint32_t kStateOutOfFuel = 1u << 1;
inline constexpr uint32_t kStateCanRefuel = 1u << 2;   // out of fuel by a facility that refuels it
inline constexpr uint32_t kStateWaitFormation = 1u << 3;  // waiting for its formation
inline constexpr uint32_t kStateHalt2 = 1u << 4;        // the second halt bit
// Engaged on an ordered attack of a hex this step.
inline constexpr uint32_t kStateHexAttackEngaged = 1u << 5;
// In contact with its mission's target: on the target's hex.
inline constexpr uint32_t kStateInContact = 1u << 6;
inline constexpr uint32_t kStateMotionByte = 0xFFu;
// Cleared when the first facility mode goes off; was kBit24 and
// kOrderBuildingMark.
inline constexpr uint32_t kStateBit24 = 1u << 24;
// With kStateModeC: removal at once. Was kBit25 and kOrderInstantRemoval.
inline constexpr uint32_t kStateModeCExtra = 1u << 25;
// A deployment was refused (or, on the display copy, not reserved): the
// simulation pass decides for itself. Called bit 26 of word 12. The reserve
// step sets it as a deployment request; a pooled stock's load wait drops it
// with its partner. The production lists' automatic deployment, was
// kProdAutoDeploy.
// Also kAutoButtonBit.
inline constexpr uint32_t kStateDeployRefused = 1u << 26;
// A deployment command is due; the production lists' continuous
// production, was kProdContinuous.
// Also kContButtonBit.
inline constexpr uint32_t kStateDeployDue = 1u << 27;
// The third facility mode: run down (taken apart); the unit lists leave such
// units out. Was kBit29, kOrderRunDown, kStateLeaving and kProdCancelled.
// Also kStateDemolishing and kRunDown.
inline constexpr uint32_t kStateModeC = 1u << 29;
// A paused build (mothballed). Was kBit30, kOrderMothballed and kProdHeld.
// Also kPausedBit and kHeld.
inline constexpr uint32_t kStatePausedBuild = 1u << 30;
// A held build slot (the first facility mode, a build order). Was kBit31,
// kStateHeld, kOrderBuildOrder and kProdInProduction.
// Also kQueued.
inline constexpr uint32_t kStateHeldSlot = 1u << 31;

// ordersHeader (word 13).
inline constexpr uint32_t kHeaderDefaultBits = 0x3000u;  // bits 12 and 13, reset from the owner's defaults; was kDefaultOrderBits
// Hold fire: the unit fires only at enemies on its own hex unless it is
// aggressive, and searches for no targets.
inline constexpr uint32_t kHeaderHoldFire = 1u << 11;
// No capture: the unit takes no ground unless kOrderTakeGround. Was
// kHoldsBack and kOrderStandDown; the production lists read it as a stock
// unit waiting for its lift, was kWaitsForLift.
inline constexpr uint32_t kHeaderNoCapture = 1u << 14;
// No stock loading: a facility pulls in no stock units ordered into it. Was
// kHeaderNoLoading.
// Also kNoLoading and kNoLoad.
inline constexpr uint32_t kHeaderNoStockLoading = 1u << 16;
// Launch allowed: a stock unit may be launched; also asks for the same on a
// unit the build queue orders. The reserve keeps such stock apart, was
// kHeaderKeptApart; the production lists' authorisation, was
// kProdAuthorised.
// Also kAuthorised.
inline constexpr uint32_t kHeaderLaunchAllowed = 1u << 13;
// Set whenever the whole header is stored.
inline constexpr uint32_t kHeaderSet = 1u << 31;

// ordersWord (word 14): field 8 (bits 16 and 17) is the hold setting 0-3,
// which raises the disruption a unit bears before it reacts to fire.
inline uint32_t OrderHoldSetting(uint32_t ordersWord) { return (ordersWord >> 16) & 3u; }
// Field 3 (bits 6 and 7): the aggressiveness setting 0-3.
inline uint32_t OrderAggressiveness(uint32_t ordersWord) { return (ordersWord >> 6) & 3u; }

// postureBits (word 15).
// In reserve or not in service (inactive, idle): no target. Was
// kOrdersInactive.
// Also kStatusActive, kFacilityIdle, kOffline and kInReserve (a facility not
// working).
inline constexpr uint32_t kPostureInReserve = 1u << 0;
// Under construction or being built up (repairing). Was kOrdersBuilding,
// kBuildingPosture and kOrdersRepairing; a stored unit still awaiting
// completion, was kAwaitingCompletion.
// Also kStatusBuilding and kBeingBuilt.
inline constexpr uint32_t kPostureUnderConstruction = 1u << 1;
// No automatic deployment; also kept out of lifts, was kPostureNoLift.
// Also kOrdersLockedBit and kLockedBit (the LOCK button).
inline constexpr uint32_t kPostureNoAutoDeploy = 1u << 2;
// Bit 3 is set and read by nothing; a save that has it set on a facility
// loads and plays as if it were clear.
