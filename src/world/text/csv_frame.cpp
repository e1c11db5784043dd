#include "world/text/csv_frame.h"

#include "platform/status.h"

int32_t LoadCsvText(TextTokenizer& t, const char* directory, const char* name, const char* extension) {
  if (!name) return plat::kFail;
  if (LoadTextFile(directory, t, name, extension) < 0 || !t.text || t.length <= 0) return plat::kFail;
  return plat::kOk;
}

bool AtEndOfText(const TextTokenizer& t) { return !t.cursor || *t.cursor == '\0'; }

bool EnterKeywordBlock(TextTokenizer& t, const char* keyword, bool onward) {
  char* value = FindKeyword(t, keyword, onward);
  if (!value) return false;
  t.cursor = value;
  SkipLine(t);
  return true;
}
