#include "world/text/tech_tree_effects.h"

#include "world/text/csv_frame.h"

int32_t LoadTechTreeEffects(TechEffectTable& table, const char* name) {
  TextTokenizer t;
  if (LoadCsvText(t, "INI\\", name, ".CSV") < 0) return plat::kFail;
  while (!AtEndOfText(t)) {
    int32_t n = 0;
    if (BeginNumberedRow(t, 3, 1, kTechEffectCount - 1, n) == RowStart::kRow) {
      table.entries[n].name.reset(ReadFieldString(t, ""));
      // A factor on a figure: a thousandfold is already beyond play.
      table.entries[n].value = ReadRealCell(t, 0.0f, -1000.0f, 1000.0f);
    }
    SkipLine(t);
  }
  return plat::kOk;
}
