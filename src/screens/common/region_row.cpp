#include "screens/common/region_row.h"

#include <string>

#include "screens/common/region_flag.h"
#include "sim/region_names.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/string_control.h"
#include "world/player_names.h"
#include "world/text/ui_options.h"
#include "world/world.h"

void FillRegionRow(Control* row, const char* prefix, int32_t player) {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (!row) return;
  std::string text = prefix ? prefix : "";
  if (player >= 0 && player < kMaxPlayers) {
    if (auto* s = dynamic_cast<StringControl*>(row)) {
      s->textColour = s->selectedTextColour = g_uiOptions.playercolor[player];
    }
    const PlayerRecord& record = g_world.players[player];
    text += RegionDisplayName(g_world, player);
    if (record.kind == kKindHuman) {
      const char* leader = GetPlayerDisplayName(g_world, record);
      if (leader && leader[0]) {
        text += " (";
        text += leader;
        text += ")";
      }
    }
  }
  row->SetText(text.c_str());
  SetRowFlag(row, player);
}
