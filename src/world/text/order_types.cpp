#include "world/text/order_types.h"

#include <cstdint>

#include "world/text/csv_frame.h"

namespace {

// The index, name, value, 4 bytes, 25 switches, 12 bytes, 4 switches, a
// byte, 32 switches, a switch and 32 switches.
constexpr int kOrderRowCells = 114;

// 32 switches, the first the highest bit.
uint32_t ReadMaskCells(TextTokenizer& t) {
  uint32_t mask = 0;
  for (int bit = 31; bit >= 0; --bit)
    if (ReadFieldBool(t, 0)) mask |= 1u << bit;
  return mask;
}

void ReadOrderRow(TextTokenizer& t, OrderTypeRecord& r) {
  r.name.reset(ReadFieldString(t, ""));
  r.listModes = ReadLongCell(t, 0, INT32_MIN, INT32_MAX);
  for (uint8_t& b : r.categories) b = ReadByteCell(t);
  uint32_t requirements = 0;
  for (int bit = 0; bit <= 24; ++bit)
    if (ReadFieldBool(t, 0)) requirements |= 1u << bit;
  for (uint8_t& b : r.hexRelation) b = ReadByteCell(t);
  for (uint8_t& b : r.facilityRelation) b = ReadByteCell(t);
  for (uint8_t& b : r.unitRelation) b = ReadByteCell(t);
  for (int bit = 25; bit <= 28; ++bit)
    if (ReadFieldBool(t, 0)) requirements |= 1u << bit;
  r.spare = ReadByteCell(t);
  r.orderFlags |= ReadMaskCells(t);
  if (ReadFieldBool(t, 0)) requirements |= 1u << 29;
  r.orderMask |= ReadMaskCells(t);
  r.requirements = requirements;
}

}  // namespace

int32_t LoadOrdersTable(OrderTypeTable& table, const char* name) {
  TextTokenizer t;
  if (LoadCsvText(t, "INI\\", name, ".CSV") < 0) return plat::kFail;
  if (!EnterKeywordBlock(t, "START", false)) return plat::kFail;
  while (!AtEndOfText(t)) {
    int32_t index = 0;
    const RowStart row = BeginNumberedRow(t, kOrderRowCells, 0, kOrderTypeCount - 1, index, 999);
    if (row == RowStart::kEnd) break;
    if (row == RowStart::kRow) ReadOrderRow(t, table.entries[index]);
    SkipLine(t);
  }
  return plat::kOk;
}
