#include "screens/diplomacy/region_row.h"

#include <string>

#include "screens/diplomacy/region_flag.h"
#include "sim/region_names.h"
#include "ui/control.h"
#include "world/world.h"

void FillRegionRow(Control* row, const char* prefix, int32_t player) {
  if (!row) return;
  std::string text = prefix ? prefix : "";
  if (player >= 0 && player < kMaxPlayers) {
    text += RegionDisplayName(g_world, player);
  }
  row->SetText(text.c_str());
  SetRowFlag(row, player);
}
