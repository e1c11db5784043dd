#pragma once
// The game text lists: keyed lists of localised strings.
#include <cstdint>

struct TextLists {
  int32_t loaded = 0;
};

extern TextLists g_textLists;

// "INI\" + name + ".INI"; 0, or the generic failure.
int32_t LoadTextLists(TextLists& lists, const char* name);
