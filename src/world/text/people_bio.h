#pragma once
// The people's biographies: one text per people entry, slot i for entry i.
#include <cstdint>

#include "world/text/owned_text.h"

inline constexpr int kPeopleBioSlots = 256;

struct PeopleBioTable {
  OwnedText slots[kPeopleBioSlots];
};

extern PeopleBioTable g_peopleBio;

// "INI\" + name + "Bio.CSV": each line's first cell replaces the next slot,
// from slot 0; lines past the 256th are ignored. 0, or the generic failure
// when the file cannot be read (the slots then stay as they were).
int32_t LoadPeopleBio(PeopleBioTable& table, const char* name);
