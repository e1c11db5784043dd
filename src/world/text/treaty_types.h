#pragma once
// The treaty and vote types: regional treaties ("rtreaties"), world treaties
// ("wtreaties") and world-body votes ("wmvotes"), 128 entries each, types
// 1..127 used.
#include <cstdint>
#include <memory>

#include "world/text/owned_text.h"

inline constexpr int kTreatyTypeCount = 128;

struct TreatyTypeEntry {
  OwnedText name;
  OwnedText description;
  uint8_t kind = 0;      // the treaty class a regional treaty belongs to
  uint8_t settingA = 0;
  uint8_t settingB = 0;
  float weight = 0.0f;   // the table's value divided by 10,000
};

// Null until loaded; a load replaces the whole table with a cleared one.
using TreatyTypeTable = std::unique_ptr<TreatyTypeEntry[]>;

// "INI\" + name + ".CSV", numbered rows 1..127. Regional treaties: name,
// description, kind, setting A, setting B, weight; world treaties: name,
// description, kind, setting B; votes: name, description, setting B.
// 0, or the generic failure when the file cannot be read (the old table kept).
int32_t LoadRTreaties(TreatyTypeTable& table, const char* name);
int32_t LoadWTreaties(TreatyTypeTable& table, const char* name);
int32_t LoadWMVotes(TreatyTypeTable& table, const char* name);

// Entry `type` of a table, or null when the table is not loaded or the type
// is out of range.
const TreatyTypeEntry* TreatyType(const TreatyTypeTable& table, int type);
