#include "world/text/training_types.h"

#include "world/text/csv_frame.h"

int32_t LoadTrainingTable(TrainingTable& table, const char* name) {
  TextTokenizer t;
  if (LoadCsvText(t, "INI\\", name, ".CSV") < 0) return plat::kFail;
  while (!AtEndOfText(t)) {
    const int32_t index = ReadFieldInt32(t, 0);
    if (index == 999) break;
    if (index >= 1 && index < kTrainingTypeCount) {
      TrainingRecord& r = table.entries[index];
      r.name.reset(ReadFieldString(t, ""));
      r.costPerDay = ReadFieldFloat(t, 0.0f);
      r.durationDays = ReadFieldFloat(t, 0.0f);
      r.benefit.reset(ReadFieldString(t, ""));
      r.kindMask = ReadFieldLong(t, 0);
      r.experienceGain = ReadFieldFloat(t, 0.0f);
      for (float& v : r.skillGains) v = ReadFieldFloat(t, 0.0f);
    }
    SkipLine(t);
  }
  return plat::kOk;
}
