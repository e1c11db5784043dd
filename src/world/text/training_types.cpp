#include "world/text/training_types.h"

#include <cstdint>

#include "world/text/csv_frame.h"

int32_t LoadTrainingTable(TrainingTable& table, const char* name) {
  TextTokenizer t;
  if (LoadCsvText(t, "INI\\", name, ".CSV") < 0) return plat::kFail;
  while (!AtEndOfText(t)) {
    int32_t index = 0;
    const RowStart row = BeginNumberedRow(t, 11, 1, kTrainingTypeCount - 1, index, 999);
    if (row == RowStart::kEnd) break;
    if (row == RowStart::kRow) {
      TrainingRecord& r = table.entries[index];
      r.name.reset(ReadFieldString(t, ""));
      // Cost per strength point and day; a unit counts its days in a byte;
      // skills stop at 200.
      r.costPerDay = ReadRealCell(t, 0.0f, 0.0f, 10000.0f);
      r.durationDays = ReadRealCell(t, 0.0f, 0.0f, 255.0f);
      r.benefit.reset(ReadFieldString(t, ""));
      r.kindMask = ReadLongCell(t, 0, INT32_MIN, INT32_MAX);
      r.experienceGain = ReadRealCell(t, 0.0f, 0.0f, 1000.0f);
      for (float& v : r.skillGains) v = ReadRealCell(t, 0.0f, 0.0f, 200.0f);
    }
    SkipLine(t);
  }
  return plat::kOk;
}
