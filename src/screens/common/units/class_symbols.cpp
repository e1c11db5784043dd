#include "screens/common/units/class_symbols.h"

#include "world/data_tables.h"

namespace {

// Facings past half a turn are drawn as their mirror image.
int32_t FoldFacing(int32_t facing, SymbolFrame& out) {
  int32_t f = facing;
  if (f > 12) f = 24 - f, out.mirrored = true;
  return f < 0 ? 0 : f;
}

}  // namespace

plat::Rect UnitSymbolCell(int32_t cell, bool layoutBit) {
  if (layoutBit) {
    const int32_t left = (cell % 3) * 168 + 34, top = (cell / 3) * 102 + 2;
    return {left, top, left + 100, top + 100};
  }
  const int32_t left = (cell % 3) * 168 + 2, top = (cell / 3) * 84 + 2;
  return {left, top, left + 164, top + 80};
}

SymbolFrame UnitSymbolFrame(int32_t facing, bool layoutBit) {
  SymbolFrame out;
  out.source = UnitSymbolCell(FoldFacing(facing, out), layoutBit);
  return out;
}

SymbolFrame FacilitySymbolFrame(int32_t facing, bool layoutBit) {
  SymbolFrame out;
  const int32_t f = FoldFacing(facing, out);
  if (layoutBit) {
    const int32_t left = (f % 3) * 168 + 2, top = (f / 3) * 102 + 2;
    out.source = {left, top, left + 164, top + 100};
  } else {
    const int32_t left = (f % 3) * 168, top = (f / 3) * 84;
    out.source = {left, top, left + 168, top + 84};
  }
  return out;
}

int32_t ClassSymbol(const UnitClassRecord& cls) {
  return cls.symbol;
}
int32_t ClassSecondSymbol(const UnitClassRecord& cls) {
  return cls.secondSymbol;
}
bool ClassSymbolLayout(const UnitClassRecord& cls) {
  return (cls.secondFlags & 1u) != 0;
}
