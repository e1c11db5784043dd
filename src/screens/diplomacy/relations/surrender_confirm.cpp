#include "screens/diplomacy/relations/surrender_confirm.h"

#include "net/command_network.h"
#include "records/command_ids.h"
#include "records/player_record.h"
#include "screens/diplomacy/dip_docking.h"
#include "screens/main/bars/side_bars.h"
#include "screens/screen_set.h"
#include "sim/game_command.h"
#include "sim/region_names.h"
#include "sim/relation_command_args.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "world/game_speed.h"
#include "world/player_names.h"
#include "world/world.h"

namespace {

int32_t RegionOf(intptr_t id) { return id > 0 && id < kMaxPlayers ? static_cast<int32_t>(id) : 0; }

}  // namespace

void SurrenderConfirmPanel::OnOpen() {
  CloseMailWhenNarrow();
  DockPanelAtDepth(3);
}

void SurrenderConfirmPanel::BindControls() { DockInSecondBotbar2(*this); }

void SurrenderConfirmPanel::Refresh() {
  if (!currentForm) return;
  const int32_t region = RegionOf(id);
  plat::CriticalSectionLock lock(g_simulationLock);
  SetControlText(Tag(*this, "REGNAME"), RegionDisplayName(g_world, region));
  SetControlText(Tag(*this, "LEADER"), GetPlayerDisplayName(g_world, g_world.players[region]));
}

void SurrenderConfirmPanel::OnCommand(Control* control, int32_t) {
  ScreenSet& s = g_screens;
  const int32_t region = RegionOf(id);
  if (Is(control, "SUROK")) {
    // On a single machine the game pauses; the surrender itself is a
    // command on every machine, its simulation pass the turn thread's.
    if (!IsNetworkGame(g_commandNet)) SetGameSpeed(g_world.gameState, 0);
    PostArgs(kCmdSurrender, SurrenderArgs{.winner = static_cast<uint32_t>(region)});
    DockPanelAtDepth(2);
    s.regionRelations.Show(kKeepScreenId, nullptr);
  } else if (Is(control, "SURCAN")) {
    DockPanelAtDepth(2);
    s.alliancesPanel.Show(kKeepScreenId, nullptr);
  }
}
