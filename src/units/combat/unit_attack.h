#pragma once
// Whether a unit may and can fire at a chosen target this minute, with which
// hit chance; the shot; and the firer brought up to date after it (facing,
// flash and sound, ammunition, experience, reload, air combat).
#include <cstdint>

struct World;
struct UnitRecord;

// Passed by the unit step for an aircraft's shot that takes no reload.
inline constexpr int kFireNoReload = -2;

// The attacker's weapon range against a target kind (0-3; others count as
// 0), with the short-range boost unless the rules forbid it and, for
// long-range weapons against kinds 0 and 2, its owner's technology factor.
// The short-range boost of a weapon or sight range: a range below 400
// grows, the shorter the more, unless the game's rules turn it off.
float ShortRangeBoost(const World& world, float range);
float UnitBoostedRange(const World& world, const UnitRecord& attacker, int targetKind);

// The chance of a range against a distance in hexes: 1 on the same hex or
// the next, falling by one part in truncate(range) + 1 per map distance
// unit beyond, 0 out of range.
float RangeHitChance(const World& world, float range, int32_t distance);

// The attacker's hit chance against the target where both stand.
float UnitHitChance(const World& world, const UnitRecord& attacker, const UnitRecord& target);

// Fires at the target when it is an enemy's (at war), on the map, in range
// and visible to the attacker's side; returns 1 when it fired. Otherwise the
// attacker's fire order is dropped and the result is 0.
int UnitAttackTarget(World& world, UnitRecord& attacker, UnitRecord& target, int mode);

// The firer after a shot.
void UnitAfterFire(World& world, UnitRecord& attacker, int mode);

// Minutes to reload: the steadier and better trained the unit, the sooner;
// reloadFactor is the class's reload byte (at most 10 counts), scale 1 for
// an ordinary reload (a shot's own range or bombardment factor otherwise).
// Always 2..250.
uint8_t UnitReloadTime(const UnitRecord& unit, int reloadFactor, float scale = 1.0f);
