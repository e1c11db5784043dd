#include "world/text/treaty_types.h"

#include "world/text/csv_frame.h"

namespace {

enum class Columns { kRegional, kWorld, kVote };

uint8_t ReadByteCell(TextTokenizer& t) { return static_cast<uint8_t>(static_cast<uint32_t>(ReadFieldInt32(t, 0)) & 0xFFu); }

int32_t LoadTreatyTable(TreatyTypeTable& table, const char* name, Columns columns) {
  TextTokenizer t;
  if (LoadCsvText(t, "INI\\", name, ".CSV") < 0) return plat::kFail;
  // Entries no row fills stay cleared.
  auto fresh = std::make_unique<TreatyTypeEntry[]>(kTreatyTypeCount);
  while (!AtEndOfText(t)) {
    const int32_t type = ReadFieldInt32(t, 0);
    if (type >= 1 && type < kTreatyTypeCount) {
      TreatyTypeEntry& e = fresh[type];
      e.name.reset(ReadFieldString(t, ""));
      e.description.reset(ReadFieldString(t, ""));
      if (columns != Columns::kVote) e.kind = ReadByteCell(t);
      if (columns == Columns::kRegional) e.settingA = ReadByteCell(t);
      e.settingB = ReadByteCell(t);
      if (columns == Columns::kRegional) e.weight = ReadFieldFloat(t, 0.0f) / 10000.0f;
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
