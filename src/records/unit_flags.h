#pragma once
// The bits of a unit's two flag words (UnitImage::flags at record byte 136
// and flags2 at 320): one name per bit. Where other rules know a bit by
// another name, the comment says so, so that a search for either finds it.
#include <cstdint>

// The flag word at 136.
// Bits 1 to 3: postures matched against the terrain's (kTerrainPostures);
// each pays off in combat only on a hex whose terrain has the same bit.
inline constexpr uint32_t kUnitPostures = 0x7u << 1;
// Turned or moved in this unit step; such units are left out of the repair
// sums and the hex marks. Was kUnitInactiveClass. The fire rules call it
// airborne (0x100): with a class of kClassHalvedAirborne the unit attacks at
// half value.
inline constexpr uint32_t kUnitMoved = 1u << 8;
// A stock unit (its class has kClassStock); a campaign carry-over holds it
// off the map. Was kUnitOffMap and kUnitIsStock; the unit lists call it
// kUnitMissile.
inline constexpr uint32_t kUnitStock = 1u << 11;
// Made on the display copy and not yet confirmed by the simulation; hidden
// from the other players. Was kUnitHidden.
inline constexpr uint32_t kUnitProvisional = 1u << 12;
inline constexpr uint32_t kUnitFacility = 1u << 13;  // a facility (its class has kClassFacility)
// Destroyed, disbanded or removed; the record stays in the unit list. Also
// called removed or dead; was kUnitRemoved.
inline constexpr uint32_t kUnitGone = 1u << 15;
// Cleared with the orders; the unit step gives them their meaning. Were
// kFlag16, kFlag17 and kFlag21. Bit 17 (0x20000): a unit waiting for a sea
// or air lift is paired with its transport. Bit 21 (0x200000): a carrier
// waits for a cargo unit; a transport is reserved by a lift passenger.
inline constexpr uint32_t kUnitBit16 = 1u << 16;
inline constexpr uint32_t kUnitBit17 = 1u << 17;
inline constexpr uint32_t kUnitBit21 = 1u << 21;
// Moves on while still turning; cleared when the movement is cancelled. Was
// kFlag18; the halt check calls it "never reacts". The fire rules call it
// 0x40000: set after a reaction to fire, the unit does not react again. The
// capture in the step calls it "skip the defender check": such a unit takes
// a hostile hex without counting the defenders on it.
inline constexpr uint32_t kUnitMovesWhileTurning = 1u << 18;
// Moves half as fast again; cleared when the target is cancelled. Was
// kFlag19. The fire rules call it 0x80000, engaged in air combat (also
// "slowed").
inline constexpr uint32_t kUnitSpeedBonus = 1u << 19;
// In a base that serves it. Was kAtServingBase, kUnitFlag20 and
// kUnitKeptSmall. The fire rules call it 0x100000: an aircraft of movement
// type 7 in its base counts as a land target; firing clears it.
// Also kUnitGarrison.
inline constexpr uint32_t kUnitInBase = 1u << 20;
// Sent away to a base; cleared when the movement is cancelled. Was
// kAwayFromBase and kFlag22. Also "stopped at a border" (0x400000): set
// when the unit was stopped on a neutral hex it may not enter, so that it
// is stopped only once.
inline constexpr uint32_t kUnitSeekingBase = 1u << 22;
// Follows its leader (the orders' leaderUnit), which clearing the orders
// keeps. Was kKeepsLeader and kUnitKeepsPartner.
inline constexpr uint32_t kUnitFollowsLeader = 1u << 24;
// Stepped this minute. Was kStepped and kUnitFlag25. Called 0x2000000 by
// the fire rules: cleared when the unit is hit and survives.
inline constexpr uint32_t kUnitStepped = 1u << 25;
// Fully supplied; cleared on deployment, on capture and when the fuel runs
// out. Was kFullyStocked and kFullySupplied. Called 0x4000000 by the fire
// rules: cleared when the unit fires or loses strength.
inline constexpr uint32_t kUnitFullySupplied = 1u << 26;
// Loses its orders' hold on the hex: set on deployment when the settings
// header asks for it (bits 16 or 17). Called 0x800000 elsewhere; a reaction
// to fire clears it; the unit step calls it "in close combat" and drops it
// when the unit is idle (was kUnitCloseCombat). A unit's own decision to
// fall back sets it too: retreating, it starts no new retreat.
inline constexpr uint32_t kUnitDeployedHold = 1u << 23;
// Over-stacked: deployed without a destination where more than seven
// friendly units stood; the dispersal rule moves it on. Called 0x10000000.
inline constexpr uint32_t kUnitOverStacked = 1u << 28;
// Stepped again the very next minute: "loaded this step". A carrier's
// loading phase sets it when it found stock waiting for it, which also
// decides whether the surrender and advance phases run in that step; a
// facility sets it when it pulled in a stock unit ordered into it and then
// looks for the next without waiting for its slow timer.
inline constexpr uint32_t kUnitStepEveryMinute = 1u << 27;
// The map's option bit 0 with a class of kClassSpecialWeaponA. Was
// kUnitPlaced30.
// Also kFacilityFlag30.
inline constexpr uint32_t kUnitMapOption = 1u << 30;
// Stopped at a hex edge it could not cross.
inline constexpr uint32_t kUnitStoppedAtEdge = 1u << 31;

// The second flag word, at 320.
// Marked selected on the map (the selection's stack units); the computer
// players pass over units so marked. Was kSelectedMark.
inline constexpr uint32_t kUnit2Selected = 1u << 0;
// Cleared whenever the orders change the unit's course. Was kFlags2Bit8 and
// kUnitFlags2Bit8.
inline constexpr uint32_t kUnit2Bit8 = 1u << 8;
// A deployment's display pass reserved its weight and showed the unit on
// its hex; its simulation pass commits or refuses it and clears the mark.
// Called unitFlags2 0x200 and the pending mark.
inline constexpr uint32_t kUnit2DeployPending = 1u << 9;
// Keeps its own standing orders: the post of the player's settings to all
// units passes over it.
inline constexpr uint32_t kUnit2CustomOrders = 1u << 12;
// A stock unit whose launch order its owner's rules of engagement hold back
// has told the owner so; cleared once the order is gone or released, so
// that the next held order is told again.
inline constexpr uint32_t kUnit2LaunchHeldTold = 1u << 13;
// Stacks under the larger limit (17 instead of 10) at a deployment base.
// Called unitFlags2 0x400.
inline constexpr uint32_t kUnit2LargeStack = 1u << 10;
// A facility's sweep runs toward its lower bound.
inline constexpr uint32_t kUnit2SweepDown = 1u << 31;
