#include "world/text/dept_tables.h"

#include "world/text/csv_frame.h"

namespace {

// Walks every "DEPT" block: the cell after the keyword is the department, the
// lines after it its items until a line whose first cell is missing, empty or
// below 1. readItem reads the cells after the item number.
template <typename ReadItem>
void ReadDepartmentBlocks(TextTokenizer& t, ReadItem readItem) {
  t.cursor = t.text;
  while (char* value = FindKeyword(t, "DEPT", true)) {
    t.cursor = value;
    const int32_t department = ReadFieldInt32(t, -1);
    SkipLine(t);
    if (department < 0 || department >= kDepartmentCount) continue;
    while (!AtEndOfText(t)) {
      char* lineStart = t.cursor;
      const int32_t item = ReadFieldInt32(t, 0);
      if (item < 1) {
        // The line that ends the block may open the next one: search again from its start.
        t.cursor = lineStart;
        break;
      }
      if (item < kDepartmentItems) readItem(department, item);
      SkipLine(t);
    }
  }
}

}  // namespace

int32_t LoadDeptPriorities(DeptPriorityTable& table, const char* name) {
  TextTokenizer t;
  if (LoadCsvText(t, "INI\\", name, ".CSV") < 0) return plat::kFail;
  ReadDepartmentBlocks(t, [&](int32_t d, int32_t n) {
    DeptPriorityEntry& e = table.entries[d][n];
    e.text1.reset(ReadFieldString(t, nullptr));
    const int32_t m = ReadFieldInt32(t, 0);
    if (m >= 1 && m <= 31) e.secondMask = 1u << m;
    e.text2.reset(ReadFieldString(t, nullptr));
    e.text3.reset(ReadFieldString(t, nullptr));
    e.itemMask = 1u << n;
  });
  return plat::kOk;
}

int32_t LoadCabinetConcerns(CabinetConcernTable& table, const char* name) {
  TextTokenizer t;
  if (LoadCsvText(t, "INI\\", name, ".CSV") < 0) return plat::kFail;
  ReadDepartmentBlocks(t, [&](int32_t d, int32_t n) {
    CabinetConcernEntry& e = table.entries[d][n];
    e.text.reset(ReadFieldString(t, nullptr));
    e.itemMask = 1u << n;
  });
  return plat::kOk;
}
