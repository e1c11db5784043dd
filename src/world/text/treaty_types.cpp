#include "world/text/treaty_types.h"

#include "world/text/csv_frame.h"

namespace {

enum class Columns { kRegional, kWorld, kVote };

int32_t LoadTreatyTable(TreatyTypeTable& table, const char* name, Columns columns) {
  TextTokenizer t;
  if (LoadCsvText(t, "INI\\", name, ".CSV") < 0) return plat::kFail;
  // Entries no row fills stay cleared.
  auto fresh = std::make_unique<TreatyTypeEntry[]>(kTreatyTypeCount);
  const int cells = columns == Columns::kRegional ? 7 : (columns == Columns::kWorld ? 5 : 4);
  while (!AtEndOfText(t)) {
    int32_t type = 0;
    if (BeginNumberedRow(t, cells, 1, kTreatyTypeCount - 1, type) == RowStart::kRow) {
      TreatyTypeEntry& e = fresh[type];
      e.name.reset(ReadFieldString(t, ""));
      e.description.reset(ReadFieldString(t, ""));
      if (columns != Columns::kVote) e.kind = ReadByteCell(t);
      if (columns == Columns::kRegional) e.settingA = ReadByteCell(t);
      e.settingB = ReadByteCell(t);
      // In ten-thousandths: at most ten times the relation change.
      if (columns == Columns::kRegional) e.weight = ReadRealCell(t, 0.0f, 0.0f, 100000.0f) / 10000.0f;
    }
    SkipLine(t);
  }
  table = std::move(fresh);
  return plat::kOk;
}

}  // namespace

int32_t LoadRTreaties(TreatyTypeTable& table, const char* name) { return LoadTreatyTable(table, name, Columns::kRegional); }
int32_t LoadWTreaties(TreatyTypeTable& table, const char* name) { return LoadTreatyTable(table, name, Columns::kWorld); }
int32_t LoadWMVotes(TreatyTypeTable& table, const char* name) { return LoadTreatyTable(table, name, Columns::kVote); }

const TreatyTypeEntry* TreatyType(const TreatyTypeTable& table, int type) {
  if (!table || type < 0 || type >= kTreatyTypeCount) return nullptr;
  return &table[type];
}
