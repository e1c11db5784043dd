#include "world/text/text_lists.h"

#include <string>

#include "platform/paths.h"
#include "platform/status.h"

TextLists g_textLists;

int32_t LoadTextLists(TextLists& lists, const char* name) {
  lists.loaded = 0;
  if (!name || !plat::GameFileExists(std::string("INI\\") + name + ".INI")) return plat::kFail;
  lists.loaded = 1;
  return plat::kOk;
}
