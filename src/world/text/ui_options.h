#pragma once
// The user-interface options file. The options the program needs so far;
// the rest of the file's keys join them with its reader.
#include <cstdint>

struct UiOptions {
  int32_t speedrateslices[4] = {0, 20, 40, 80};
  int32_t bspeeddouble = 0;
  int32_t bsoundmute = 0;
  int32_t opsoundvol = 10000;
};

extern UiOptions g_uiOptions;

void ResetUiOptions(UiOptions& options);
// "INI\" + name + ".INI"; 0, or the generic failure with the defaults in place.
int32_t LoadUIOptions(UiOptions& options, const char* name);
