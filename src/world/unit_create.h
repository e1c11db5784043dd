#pragma once
// Making units and changing what they are: the creation of a record, the
// class change that turns a record into a fresh unit of another class, the
// facility a hex gets from a map summary, custom names and the name a unit
// is shown under.
#include <cstdint>
#include <string>

struct World;
struct HexCell;
struct PlayerRecord;
struct UnitRecord;

// CreateUnit flags bits.
inline constexpr uint32_t kCreateStateBitA = 1;  // orders word 12 bit 0x4000000
inline constexpr uint32_t kCreateStateBitB = 2;  // orders word 12 bit 0x8000000
inline constexpr uint32_t kCreateHeaderBit = 4;  // orders word 13 bit 0x2000

// Makes a unit of the class for the owner with the given id, of the given
// size, at the packed position (column in the low 16 bits, row in the high),
// provisional (0x1000) until its command's simulation pass confirms it, and
// links it into the unit ring. A placeholder is the empty facility record of
// a hex. Returns the unit.
UnitRecord* CreateUnit(World& world, PlayerRecord& owner, uint32_t id, int32_t classIndex, float size,
                       uint32_t position, int32_t placeholder, uint32_t flags);

// Turns the record into a fresh unit of another class (0 leaves it without
// one): its routes and custom name go, its state and flags are cleared, its
// class-derived fields are set from the new class, and the orders of the
// pass are reset to "in reserve, under construction".
void SetUnitClass(World& world, UnitRecord& unit, bool simulationPass, int32_t classIndex);

// The hex's facility. A hex without one gets an empty facility record of
// the hex's owner with the given id, made at the hex and set to class 0 on
// the simulation copy. With reset, a facility of another id is emptied
// (class 0, simulation pass) and takes the id. Returns the hex's lead.
UnitRecord* EnsureHexFacility(World& world, HexCell& cell, uint32_t id, bool reset);

// Replaces the unit's custom name with a copy of text (none for null).
void SetUnitCustomName(World& world, UnitRecord& unit, const char* text);

// The interface's two switches for unit names.
struct UnitNameOptions {
  bool numberedNames = true;    // off: the local side's units show their number
  bool alternateNames = false;  // on: they show their number, or their label in the alternate form
};

// The name a unit is shown under: its custom name; a stock unit's class
// name; for a unit of the local player's side or of a region it is related
// to and not at war with, while numbered names are off or alternate names on
// and the unit is not being built up (or is dead or has no class), its
// label in the alternate form with alternate names on, else "%d%s %s" with
// its number, the number's ordinal suffix and its kind's short text; the
// class name otherwise. At most 34 characters.
std::string UnitDisplayName(const World& world, const UnitRecord& unit, bool alternateForm = false,
                            const UnitNameOptions& options = UnitNameOptions{});
