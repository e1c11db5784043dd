#pragma once
// A unit class's symbols and where their frames lie in the symbol sheets,
// which the map's unit and facility layers and the class pictures of every
// department's panels draw from.
#include <cstdint>

#include "platform/window.h"

struct UnitClassRecord;

// Where the symbol's frame for a facing (0 to 23) lies in its sheet: facings
// past 12 are mirrored ones of 24 - facing. A unit's frames are 164 x 80
// (100 x 100 with the class's layout bit), a facility's 168 x 84 (164 x
// 100).
struct SymbolFrame {
  plat::Rect source;
  bool mirrored = false;
};
SymbolFrame UnitSymbolFrame(int32_t facing, bool layoutBit);
// The cell of a unit symbol sheet, unmirrored (cell 14 is the class's own
// picture).
plat::Rect UnitSymbolCell(int32_t cell, bool layoutBit);
SymbolFrame FacilitySymbolFrame(int32_t facing, bool layoutBit);

// The symbol numbers of a class in the first and second symbol tables, and
// its layout bit (bit 0 of its second flag byte).
int32_t ClassSymbol(const UnitClassRecord& cls);
int32_t ClassSecondSymbol(const UnitClassRecord& cls);
bool ClassSymbolLayout(const UnitClassRecord& cls);
