#include "world/text/dept_tables.h"

#include <cstring>
#include <string>

#include "world/text/csv_frame.h"

namespace {

bool IsLineEnd(char c) { return c == '\r' || c == '\n' || c == '\0'; }

// Whether the line at the cursor is one of the block's items (a number from
// 1). A blank line, an item 0 or the next "DEPT" end the block as the
// tables mean them to; a first cell that is empty before other cells, or
// that holds text or a number that is not whole, ends it too, but is named
// in the log.
bool AtItemNumber(TextTokenizer& t) {
  const char* c = t.cursor;
  const char* rest = c;
  while (!IsLineEnd(*rest) && (*rest == ',' || *rest == ';' || *rest == ' ' || *rest == '\t')) ++rest;
  if (IsLineEnd(*rest) || std::strncmp(c, "DEPT", 4) == 0) return false;
  if (*c == ',' || *c == ';') {
    LogTextWarning(t, c, "the item number is empty; the department's items end here.");
    return false;
  }
  if (!FieldStartsWithNumber(t)) {
    LogTextWarning(t, c, "the first cell is not an item number; the department's items end here.");
    return false;
  }
  if (!CellIsWholeInteger(t)) {
    LogTextWarning(t, c, "the first cell is not a whole item number; the department's items end here.");
    return false;
  }
  return true;
}

// Walks every "DEPT" block: the cell after the keyword is the department, the
// lines after it its items until a line whose first cell is missing, empty or
// below 1. readItem reads the cells after the item number.
template <typename ReadItem>
void ReadDepartmentBlocks(TextTokenizer& t, int cells, ReadItem readItem) {
  t.cursor = t.text;
  while (char* value = FindKeyword(t, "DEPT", true)) {
    t.cursor = value;
    const int32_t department = ReadFieldInt32(t, -1);
    SkipLine(t);
    if (department < 0 || department >= kDepartmentCount) continue;
    while (!AtEndOfText(t)) {
      char* lineStart = t.cursor;
      if (!BeginTableLine(t, 0)) {
        SkipLine(t);
        continue;
      }
      if (!AtItemNumber(t)) {
        // The line that ends the block may open the next one: search again from its start.
        t.cursor = lineStart;
        break;
      }
      const int32_t item = ReadFieldInt32(t, 0);
      if (item < 1) {
        t.cursor = lineStart;
        break;
      }
      if (item >= kDepartmentItems)
        LogTextWarning(t, lineStart, "item " + std::to_string(item) + " is beyond 31; the line is skipped.");
      else if (BeginTableLine(t, cells))
        readItem(department, item);
      SkipLine(t);
    }
  }
}

}  // namespace

int32_t LoadDeptPriorities(DeptPriorityTable& table, const char* name) {
  TextTokenizer t;
  if (LoadCsvText(t, "INI\\", name, ".CSV") < 0) return plat::kFail;
  ReadDepartmentBlocks(t, 5, [&](int32_t d, int32_t n) {
    DeptPriorityEntry& e = table.entries[d][n];
    e.text1.reset(ReadFieldString(t, nullptr));
    // A bit number; 0 names none.
    const int32_t m = ReadIntCell(t, 0, 0, 31);
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
  ReadDepartmentBlocks(t, 2, [&](int32_t d, int32_t n) {
    CabinetConcernEntry& e = table.entries[d][n];
    e.text.reset(ReadFieldString(t, nullptr));
    e.itemMask = 1u << n;
  });
  return plat::kOk;
}
