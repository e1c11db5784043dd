#pragma once
// The department tables: for each of the six departments, up to 31 numbered
// items of priorities ("deptprior") and of cabinet concerns
// ("cabinetconcerns"). Item n of department d sits at [d][n]; entry 0 is
// never filled.
#include <cstdint>

#include "world/text/owned_text.h"

inline constexpr int kDepartmentCount = 6;
inline constexpr int kDepartmentItems = 32;

struct DeptPriorityEntry {
  uint32_t itemMask = 0;    // 1 << item number
  OwnedText text1;
  uint32_t secondMask = 0;  // 1 << the row's third cell when that is 1..31
  int32_t unfilled = 0;     // a word the table does not fill
  OwnedText text2;
  OwnedText text3;
};

struct CabinetConcernEntry {
  uint32_t itemMask = 0;
  OwnedText text;
};

struct DeptPriorityTable {
  DeptPriorityEntry entries[kDepartmentCount][kDepartmentItems];
};
struct CabinetConcernTable {
  CabinetConcernEntry entries[kDepartmentCount][kDepartmentItems];
};

// "INI\" + name + ".CSV". 0, or the generic failure when the file cannot be
// read (the table then stays as it was).
int32_t LoadDeptPriorities(DeptPriorityTable& table, const char* name);
int32_t LoadCabinetConcerns(CabinetConcernTable& table, const char* name);
