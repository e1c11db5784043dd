#pragma once
// The training programmes ("training"): records 1..11, indexed by a unit's
// training level.
#include <cstdint>

#include "world/text/owned_text.h"

inline constexpr int kTrainingTypeCount = 12;

struct TrainingRecord {
  OwnedText name;
  float valueA = 0.0f;
  float valueB = 0.0f;
  OwnedText text;
  int32_t code = 0;
  float valueC = 0.0f;
  float extra[4] = {};
};

struct TrainingTable {
  TrainingRecord entries[kTrainingTypeCount];
};

// "INI\" + name + ".CSV": numbered rows 1..11 from the first line until the
// end or a row numbered 999. 0, or the generic failure when the file cannot
// be read.
int32_t LoadTrainingTable(TrainingTable& table, const char* name);
