#include "world/text/ui_options.h"

#include "platform/paths.h"
#include "platform/status.h"

#include <string>

UiOptions g_uiOptions;

void ResetUiOptions(UiOptions& options) { options = UiOptions{}; }

int32_t LoadUIOptions(UiOptions& options, const char* name) {
  ResetUiOptions(options);
  if (!name || !plat::GameFileExists(std::string("INI\\") + name + ".INI")) return plat::kFail;
  return plat::kOk;
}
