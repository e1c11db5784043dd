#include "world/text/people_bio.h"

#include "world/text/csv_frame.h"

PeopleBioTable g_peopleBio;

int32_t LoadPeopleBio(PeopleBioTable& table, const char* name) {
  TextTokenizer t;
  if (LoadCsvText(t, "INI\\", name, "Bio.CSV", CsvTable::kOptional) < 0) return plat::kFail;
  for (int slot = 0; slot < kPeopleBioSlots && !AtEndOfText(t); ++slot) {
    // A line too long to be a biography keeps the slot's text.
    if (BeginTableLine(t, 1)) table.slots[slot].reset(ReadFieldString(t, ""));
    SkipLine(t);
  }
  return plat::kOk;
}
