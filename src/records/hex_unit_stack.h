#pragma once
// The per-hex block made on first use: the hex's extra record, its lead unit
// and, per unit category, the heads of its two unit chains with the owners
// chain A may hold.
#include <cstdint>

struct HexExtra;
struct UnitRecord;

struct HexUnitStack {
  HexExtra* extra = nullptr;  // published once; read without a lock
  UnitRecord* lead = nullptr;
  UnitRecord* chainA[4] = {};
  UnitRecord* chainB[4] = {};
  // Per kind, a bit per player (owner & 31) for every owner of a unit in
  // chain A, and maybe more; it answers "can this hex hold an enemy?"
  // without a walk. Valid while ownersEpoch equals the world's owner epoch
  // (world/hex_stack_chains.h keeps both).
  uint32_t ownersA[4] = {};
  uint64_t ownersEpoch = 0;
};
