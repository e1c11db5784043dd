#include "world/text/tech_tree_effects.h"

#include "world/text/csv_frame.h"

int32_t LoadTechTreeEffects(TechEffectTable& table, const char* name) {
  TextTokenizer t;
  if (LoadCsvText(t, "INI\\", name, ".CSV") < 0) return plat::kFail;
  while (!AtEndOfText(t)) {
    const int32_t n = ReadFieldInt32(t, 0);
    if (n >= 1 && n < kTechEffectCount) {
      table.entries[n].name.reset(ReadFieldString(t, ""));
      table.entries[n].value = ReadFieldFloat(t, 0.0f);
    }
    SkipLine(t);
  }
  return plat::kOk;
}
