#pragma once
// One shot of one unit at another: the firer's attack value, the target's
// defence, the strength lost, disruption and morale, the reward for a kill,
// the news, and what the target's region makes of being fired on. Also the
// bombardment of a whole hex, and the loss of strength spread over cargo and
// over the units a facility houses or builds.
#include <cstdint>

struct World;
struct UnitRecord;

// Fire modes.
inline constexpr int kFireDirect = 0;
inline constexpr int kFireClose = 1;    // anti-aircraft or close fire
inline constexpr int kFireBombard = 2;
inline constexpr int kFireCovered = 3;  // derived, never passed in

// An aircraft on the ground (not engaged, not airborne, and not a carrier
// aircraft in flight) is shot at as a land target.
bool CountsAsLandTarget(const World& world, const UnitRecord& target);

// The attack value of the attacker against the target and the target's
// defence value, as one shot of that mode weighs them (the mode becomes
// kFireCovered against a covered land target). Without crowding,
// bombardment or special-weapon factors; the scores of the target search.
struct FireValues {
  float attack = 0.0f;
  float defence = 0.0f;
  int mode = kFireDirect;
};
FireValues UnitFireValues(const World& world, const UnitRecord& attacker, const UnitRecord& target, int mode);

// The shot. Returns 1 when it was resolved, 0 when the attacker has no
// attack power against the target or the target has no strength left.
int UnitFireAtUnit(World& world, UnitRecord& attacker, UnitRecord& target, int mode, float hitChance);

// Bombards the hex: every combat-ready surface unit in chain order (land,
// then sea), the chance falling by a fifth after each shot, then the hex's
// facility with the chance that remains.
void UnitFireAtHex(World& world, UnitRecord& attacker, uint32_t position, float hitChance);

// Takes the loss from the unit's strength and its stocks in proportion,
// spreads it over its cargo and, for a facility, over the units it holds in
// reserve or builds. Returns the value destroyed; 0 for a unit without
// strength.
float ApplyStrengthLoss(World& world, UnitRecord& unit, float loss);
