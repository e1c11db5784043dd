#pragma once
// The per-hex block made on first use: the hex's extra record, its lead unit
// and, per unit category, the heads of its two unit chains.
struct HexExtra;
struct UnitRecord;

struct HexUnitStack {
  HexExtra* extra = nullptr;  // published once; read without a lock
  UnitRecord* lead = nullptr;
  UnitRecord* chainA[4] = {};
  UnitRecord* chainB[4] = {};
};
