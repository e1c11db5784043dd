#pragma once
// The technology effects table ("techtreeeffects"): for each effect code
// 1..255 a name and a value.
#include <cstdint>

#include "world/text/owned_text.h"

inline constexpr int kTechEffectCount = 256;

struct TechEffectEntry {
  OwnedText name;
  float value = 0.0f;
};

struct TechEffectTable {
  TechEffectEntry entries[kTechEffectCount];
};

// "INI\" + name + ".CSV": every line is a numbered row (a header reads as row
// 0 and is skipped). 0, or the generic failure when the file cannot be read.
int32_t LoadTechTreeEffects(TechEffectTable& table, const char* name);
