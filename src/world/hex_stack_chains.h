#pragma once
// The two unit chains of a hex, per unit kind (land, air, sea, submarine):
// chain A in ascending id order, chain B in ascending strength order. The
// links live in the units; facilities are never in a chain, only the hex's
// lead unit.
//
// Writers hold the stack-chain lock; a deployment's display pass files into
// chain B from a posting thread while the turn thread walks chains without
// it. So every link is published with a release store, after the unit's
// own link is set, and a reader on another thread loads links with
// ChainLink (an acquire load).
#include <atomic>
#include <vector>

struct World;
struct HexCell;
struct HexUnitStack;
struct UnitRecord;

template <typename T>
inline void PublishChainLink(T*& slot, T* value) {
  std::atomic_ref<T*>(slot).store(value, std::memory_order_release);
}
template <typename T>
inline T* ChainLink(T* const& slot) {
  return std::atomic_ref<T*>(const_cast<T*&>(slot)).load(std::memory_order_acquire);
}

// The hex's stack, made on first use under the hex-extras lock.
HexUnitStack* GetStackDataLocked(World& world, HexCell& cell);

// Files the unit into chain A (by id) or chain B (by strength) of its kind.
// Returns the stack, or null when nothing was done (a facility, a unit
// without a kind, a unit already filed).
HexUnitStack* HexStackInsertById(World& world, HexCell& cell, UnitRecord& unit);
HexUnitStack* HexStackInsertOrdered(World& world, HexCell& cell, UnitRecord& unit);

// Moves the unit to the end (the map view cycling through a stack) or to
// the head (a unit picked from a list) of chain B of its kind; nothing when
// the hex has no stack or the unit is not in that chain.
void HexStackMoveToEnd(World& world, HexCell& cell, UnitRecord& unit);
void HexStackMoveToFront(World& world, HexCell& cell, UnitRecord& unit);

// Replaces a hex label text with a heap copy of text (none for null), under
// the hex-extras lock; the old text is freed.
void SetLockedText(World& world, char*& slot, const char* text);

// The units of the ring held in reserve at the hex: live, confirmed, not
// facilities, with display orders in reserve (word 15 bit 0) and complete
// (bit 1 clear), standing at the cell's position.
int CountReserveUnitsAtHex(const World& world, const HexCell& cell);
// The same units, in the order of the unit ring.
std::vector<const UnitRecord*> ReserveUnitsAtHex(const World& world, const HexCell& cell);

// The owners (bit owner & 31) of the units in the stack's chain A of the
// kind, or of every kind for -1; maybe more, never fewer. A clear bit rules
// that owner out without a walk. Turn thread only, like the chain A walks.
uint32_t HexStackOwnersA(World& world, HexUnitStack& stack, int kind);

// A unit changed owner (wherever it stands): every stack remakes its owner
// masks on their next read. Every write of a unit's owner calls it.
void NoteUnitOwnerChange(World& world);

// Takes the unit out of the hex's chains and clears both of its links.
// Returns 1 when it stood in a chain A, else 0 (at once when the hex has no
// stack).
int HexStackRemove(World& world, HexCell& cell, UnitRecord& unit);
