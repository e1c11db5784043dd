#include "world/hex_stack_chains.h"

#include <cstdlib>
#include <cstring>

#include "records/hex_unit_stack.h"
#include "world/unit_class.h"
#include "records/unit_record.h"
#include "world/hex_extra.h"
#include "world/world.h"

namespace {

// The chain a unit belongs in: its class's kind, 0 to 3; -1 for a facility
// or a unit whose class names no kind.
int ChainKind(const World& world, const UnitRecord& unit) {
  const UnitClassRecord* cls = UnitClassOf(world, unit);
  if (!cls) return -1;
  if (cls->flags & kClassFacility) return -1;
  return cls->kind < 4 ? cls->kind : -1;
}

bool InChain(UnitRecord* head, const UnitRecord& unit, UnitRecord* UnitRecord::*link) {
  for (UnitRecord* u = head; u; u = u->*link)
    if (u == &unit) return true;
  return false;
}

uint32_t OwnerBit(const UnitRecord& unit) { return 1u << (unit.owner & 31); }

uint32_t OwnersOf(const UnitRecord* head) {
  uint32_t owners = 0;
  for (const UnitRecord* u = head; u; u = u->nextInChainA) owners |= OwnerBit(*u);
  return owners;
}

using ChainHeads = UnitRecord* (HexUnitStack::*)[4];

// Filing into chain A (marksOwners) adds the unit's owner to the kind's mask.
template <typename Before>
HexUnitStack* InsertInto(World& world, HexCell& cell, UnitRecord& unit, ChainHeads heads,
                         UnitRecord* UnitRecord::*link, bool marksOwners, Before before) {
  const int kind = ChainKind(world, unit);
  if (kind < 0 || unit.*link) return nullptr;
  HexUnitStack* stack = GetStackDataLocked(world, cell);
  WorldLockGuard guard(world, kLockHexStacks);
  UnitRecord*& head = (stack->*heads)[kind];
  if (InChain(head, unit, link)) return stack;
  if (marksOwners) stack->ownersA[kind] |= OwnerBit(unit);
  UnitRecord* last = nullptr;
  for (UnitRecord* u = head; u; u = u->*link)
    if (before(*u, unit)) last = u;
  // The unit's own link is set before it is published, so a reader walking
  // the chain without the lock never meets a half-linked unit.
  if (last) {
    PublishChainLink(unit.*link, last->*link);
    PublishChainLink(last->*link, &unit);
  } else {
    PublishChainLink(unit.*link, head);
    PublishChainLink(head, &unit);
  }
  return stack;
}

bool Unlink(UnitRecord*& head, UnitRecord& unit, UnitRecord* UnitRecord::*link) {
  for (UnitRecord** at = &head; *at; at = &((*at)->*link)) {
    if (*at == &unit) {
      PublishChainLink(*at, unit.*link);
      return true;
    }
  }
  return false;
}

}  // namespace

HexUnitStack* GetStackDataLocked(World& world, HexCell& cell) {
  if (HexUnitStack* stack = LoadHexStack(cell)) return stack;
  WorldLockGuard guard(world, kLockHexExtras);
  return MakeHexStack(cell);
}

HexUnitStack* HexStackInsertById(World& world, HexCell& cell, UnitRecord& unit) {
  return InsertInto(world, cell, unit, &HexUnitStack::chainA, &UnitRecord::nextInChainA, true,
                    [](const UnitRecord& u, const UnitRecord& n) { return u.id < n.id; });
}

HexUnitStack* HexStackInsertOrdered(World& world, HexCell& cell, UnitRecord& unit) {
  return InsertInto(world, cell, unit, &HexUnitStack::chainB, &UnitRecord::nextInChainB, false,
                    [](const UnitRecord& u, const UnitRecord& n) { return u.strength < n.strength; });
}

int HexStackRemove(World& world, HexCell& cell, UnitRecord& unit) {
  HexUnitStack* stack = LoadHexStack(cell);
  if (!stack) return 0;
  WorldLockGuard guard(world, kLockHexStacks);
  // Every kind is searched: a unit whose class changed may stand under its old kind.
  bool inA = false;
  for (int kind = 0; kind < 4; ++kind) {
    if (!Unlink(stack->chainA[kind], unit, &UnitRecord::nextInChainA)) continue;
    inA = true;
    // Exact again, so a hex an enemy has left is no longer walked for it.
    stack->ownersA[kind] = OwnersOf(stack->chainA[kind]);
  }
  for (UnitRecord*& head : stack->chainB) Unlink(head, unit, &UnitRecord::nextInChainB);
  PublishChainLink(unit.nextInChainA, static_cast<UnitRecord*>(nullptr));
  PublishChainLink(unit.nextInChainB, static_cast<UnitRecord*>(nullptr));
  return inA ? 1 : 0;
}

uint32_t HexStackOwnersA(World& world, HexUnitStack& stack, int kind) {
  const uint64_t epoch = world.unitOwnerEpoch.load(std::memory_order_relaxed);
  if (stack.ownersEpoch != epoch) {
    WorldLockGuard guard(world, kLockHexStacks);
    for (int k = 0; k < 4; ++k) stack.ownersA[k] = OwnersOf(stack.chainA[k]);
    stack.ownersEpoch = epoch;
  }
  if (kind >= 0) return kind < 4 ? stack.ownersA[kind] : 0;
  return stack.ownersA[0] | stack.ownersA[1] | stack.ownersA[2] | stack.ownersA[3];
}

void NoteUnitOwnerChange(World& world) { world.unitOwnerEpoch.fetch_add(1, std::memory_order_relaxed); }

namespace {

// Takes the unit out of chain B of its kind and links it again after the
// last other unit (atEnd) or at the head.
void MoveInChainB(World& world, HexCell& cell, UnitRecord& unit, bool atEnd) {
  HexUnitStack* stack = LoadHexStack(cell);
  const int kind = ChainKind(world, unit);
  if (!stack || kind < 0) return;
  WorldLockGuard guard(world, kLockHexStacks);
  UnitRecord*& head = stack->chainB[kind];
  if (!Unlink(head, unit, &UnitRecord::nextInChainB)) return;
  if (!atEnd || !head) {
    PublishChainLink(unit.nextInChainB, head);
    PublishChainLink(head, &unit);
    return;
  }
  UnitRecord* last = head;
  while (last->nextInChainB) last = last->nextInChainB;
  PublishChainLink(unit.nextInChainB, static_cast<UnitRecord*>(nullptr));
  PublishChainLink(last->nextInChainB, &unit);
}

}  // namespace

void HexStackMoveToEnd(World& world, HexCell& cell, UnitRecord& unit) { MoveInChainB(world, cell, unit, true); }

void HexStackMoveToFront(World& world, HexCell& cell, UnitRecord& unit) { MoveInChainB(world, cell, unit, false); }

void SetLockedText(World& world, char*& slot, const char* text) {
  WorldLockGuard guard(world, kLockHexExtras);
  std::free(slot);
  slot = nullptr;
  if (!text) return;
  const size_t length = std::strlen(text);
  slot = static_cast<char*>(std::malloc(length + 1));
  if (slot) std::memcpy(slot, text, length + 1);
}

std::vector<const UnitRecord*> ReserveUnitsAtHex(const World& world, const HexCell& cell) {
  std::vector<const UnitRecord*> found;
  if (world.cells.empty() || &cell < world.cells.data() || &cell >= world.cells.data() + world.cells.size())
    return found;
  const auto index = static_cast<int32_t>(&cell - world.cells.data());
  const int32_t width = world.mapWidth > 0 ? world.mapWidth : 1;
  const int32_t x = index % width, y = index / width;
  UnitRecord* head = world.units;
  for (UnitRecord* u = head; u;) {
    const uint32_t state = u->ordersShown[kPostureBits];
    if (IsUnitLive(*u) && !(u->unitFlags & (kUnitProvisional | kUnitFacility)) && (state & kPostureInReserve) &&
        !(state & kPostureUnderConstruction) && u->x == x && u->y == y)
      found.push_back(u);
    u = u->next;
    if (u == head) break;
  }
  return found;
}

int CountReserveUnitsAtHex(const World& world, const HexCell& cell) {
  return static_cast<int>(ReserveUnitsAtHex(world, cell).size());
}
