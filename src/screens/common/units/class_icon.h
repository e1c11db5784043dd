#pragma once
// The picture of a unit class, facility type or good put into a control:
// the class's cell in its picture sheet, for a facing, mirrored for the
// facings of the second half turn. The control draws it at its next paint;
// nothing is drawn here and no colour is applied.
#include <cstdint>

#include "platform/window.h"
#include "screens/common/screen_types_fwd.h"

// Where a frame of a picture sheet lies: three cells a row, wide cells
// (164 x 80 in a 168 x 84 grid) or tall ones (100 x 100 in 168 x 102).
// Frame -1 is the class's own picture (cell 14); frames 13 to 24 show cells
// 11 down to 0 mirrored.
struct ClassIconCell {
  plat::Rect source;
  bool mirrored = false;
};
ClassIconCell ClassIconCellFor(int32_t frame, bool tallCells);

// The record a picture is taken from: class classNumber, or with
// byClassNumber false good classNumber's own record (goods 0 to 7 records
// 4016 on, goods 8 and above 4024 + the good). Null outside the table.
const UnitClassRecord* ClassIconRecord(int32_t classNumber, bool byClassNumber);

// Gives the control the picture of classRecord (else of the record above)
// at frame (-1: the unit's facing when a unit is given, else the class's
// own picture). A bitmap control shows it itself; another control (a text
// button) gets a square picture of its height at its left end.
void DrawUnitClassIcon(int32_t classNumber, const UnitRecord* unit, const UnitClassRecord* classRecord,
                       Control* control, bool byClassNumber, int32_t frame);
