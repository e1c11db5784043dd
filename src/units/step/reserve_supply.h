#pragma once
// What a unit held in reserve draws from its owner's stocks while it waits
// (fuel, ammunition, supply cargo, repairs) and whether a deployment is
// drawn for it. The reserve step uses them; turn thread, under the
// simulation lock.
struct World;
struct UnitRecord;
struct UnitClassRecord;

// How far the unit is from full: fuel, ammunition (less what an overloaded
// carrier gives up), supply cargo (only for a unit in service and not
// carried) and strength.
struct ReserveNeeds {
  float fuel = 0.0f;
  float ammo = 0.0f;
  float supply = 0.0f;
  float strength = 0.0f;
};
ReserveNeeds ReserveUnitNeeds(const World& world, const UnitRecord& unit, const UnitClassRecord& cls);

// One step's resupply and repair at the level of the unit's hex, paid from
// the owner's stocks (fuel and supplies from the hex's player when the
// owner's run short); every amount asked is booked, whether delivered or
// not. A unit that needs nothing becomes fully supplied; one that needed
// something is no longer idle. Nothing for a unit without a hex or on a hex
// of level 1 or below.
void ResupplyReserveUnit(World& world, UnitRecord& unit, const UnitClassRecord& cls);

// Whether the owner's settings draw a deployment for the unit this day:
// an aggressive unit by the owner's deployment rate, a worn one now and then.
bool ReserveDeploymentDrawn(const World& world, const UnitRecord& unit);
