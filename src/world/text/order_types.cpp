#include "world/text/order_types.h"

#include "world/text/csv_frame.h"

namespace {

uint8_t ReadByteCell(TextTokenizer& t) { return static_cast<uint8_t>(static_cast<uint32_t>(ReadFieldInt32(t, 0)) & 0xFFu); }

// 32 switches, the first the highest bit.
uint32_t ReadMaskCells(TextTokenizer& t) {
  uint32_t mask = 0;
  for (int bit = 31; bit >= 0; --bit)
    if (ReadFieldBool(t, 0)) mask |= 1u << bit;
  return mask;
}

void ReadOrderRow(TextTokenizer& t, OrderTypeRecord& r) {
  r.name.reset(ReadFieldString(t, ""));
  r.listModes = ReadFieldLong(t, 0);
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
    const int32_t index = ReadFieldInt32(t, 0);
    if (index == 999) break;
    if (index >= 0 && index < kOrderTypeCount) ReadOrderRow(t, table.entries[index]);
    SkipLine(t);
  }
  return plat::kOk;
}
