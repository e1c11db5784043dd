#pragma once
// The training programmes ("training"): records 1..11, indexed by a unit's
// training level.
#include <cstdint>

#include "world/text/owned_text.h"

inline constexpr int kTrainingTypeCount = 12;

struct TrainingRecord {
  OwnedText name;
  float costPerDay = 0.0f;      // per strength point
  float durationDays = 0.0f;
  OwnedText benefit;            // what the programme gives, for the training panel
  int32_t kindMask = 0;         // bit k: units of kind k may take it
  float experienceGain = 0.0f;  // over the whole programme
  float skillGains[4] = {};     // of the four skill bytes, over the whole programme
};

struct TrainingTable {
  TrainingRecord entries[kTrainingTypeCount];
};

// "INI\" + name + ".CSV": numbered rows 1..11 from the first line until the
// end or a row numbered 999. 0, or the generic failure when the file cannot
// be read.
int32_t LoadTrainingTable(TrainingTable& table, const char* name);
