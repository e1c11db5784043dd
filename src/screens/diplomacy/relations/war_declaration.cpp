#include "screens/diplomacy/relations/war_declaration.h"

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
#include "world/player_names.h"
#include "world/world.h"

namespace {

int32_t RegionOf(intptr_t id) { return id > 0 && id < kMaxPlayers ? static_cast<int32_t>(id) : 0; }

void ShowCalendar(Control* host) {
  if (host) g_screens.diplomacySchedule[kWarCalendar].Show(0, host);
}

}  // namespace

void WarDeclarationPanel::OnOpen() {
  ShowCalendar(calendarHost);
  CloseMailWhenNarrow();
  DockPanelAtDepth(3);
}

void WarDeclarationPanel::BindControls() {
  DockInSecondBotbar2(*this);
  calendarHost = Tag(*this, "CALPARENT");
}

void WarDeclarationPanel::Refresh() {
  if (!currentForm) return;
  const int32_t region = RegionOf(id);
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    SetControlText(Tag(*this, "REGNAME"), RegionDisplayName(g_world, region));
    SetControlText(Tag(*this, "LEADER"), GetPlayerDisplayName(g_world, g_world.players[region]));
  }
  ShowCalendar(calendarHost);
}

void WarDeclarationPanel::OnCommand(Control* control, int32_t) {
  const bool declare = Is(control, "WARACCPBUT");
  if (!declare && !Is(control, "WARCANBUT")) return;
  if (declare) PostArgs(kCmdDeclareWar, RegionArgs{.region = static_cast<uint32_t>(RegionOf(id))});
  DockPanelAtDepth(2);
  g_screens.regionRelations.Show(kKeepScreenId, nullptr);
}
