#include "screens/diplomacy/relations/region_heading.h"

#include "records/player_record.h"
#include "sim/region_names.h"
#include "sim/simulation_lock.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen.h"
#include "ui/string_control.h"
#include "world/player_names.h"
#include "world/world.h"

int32_t HeadingRegion(intptr_t id) { return id > 0 && id < kMaxPlayers ? static_cast<int32_t>(id) : 0; }

void ShowRegionHeading(const Screen& panel, int32_t region) {
  plat::CriticalSectionLock lock(g_simulationLock);
  SetControlText(Tag(panel, "REGNAME"), RegionDisplayName(g_world, region));
  SetControlText(Tag(panel, "LEADER"), GetPlayerDisplayName(g_world, g_world.players[region]));
}
