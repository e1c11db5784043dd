#pragma once
// The two unit chains of a hex, per unit kind (land, air, sea, submarine):
// chain A in ascending id order, chain B in ascending strength order. The
// links live in the units; facilities are never in a chain, only the hex's
// lead unit.
struct World;
struct HexCell;
struct HexUnitStack;
struct UnitRecord;

// The hex's stack, made on first use under the hex-extras lock.
HexUnitStack* GetStackDataLocked(World& world, HexCell& cell);

// Files the unit into chain A (by id) or chain B (by strength) of its kind.
// Returns the stack, or null when nothing was done (a facility, a unit
// without a kind, a unit already filed).
HexUnitStack* HexStackInsertById(World& world, HexCell& cell, UnitRecord& unit);
HexUnitStack* HexStackInsertOrdered(World& world, HexCell& cell, UnitRecord& unit);

// Takes the unit out of the hex's chains and clears both of its links.
// Returns 1 when it stood in a chain A, else 0 (at once when the hex has no
// stack).
int HexStackRemove(World& world, HexCell& cell, UnitRecord& unit);
