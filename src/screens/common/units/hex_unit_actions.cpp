#include "screens/common/units/hex_unit_actions.h"

#include <vector>

#include "records/hex_cell.h"
#include "records/unit_record.h"
#include "screens/common/units/deploy_readiness.h"
#include "screens/common/units/unit_lists.h"
#include "sim/game_command.h"
#include "sim/simulation_lock.h"
#include "units/unit_deploy.h"
#include "world/list_holder.h"
#include "world/world.h"

void ApplyToUnitsAtHex(ScreenSet&, const HexCell* cell) {
  plat::CriticalSectionLock lock(g_simulationLock);
  World& w = g_world;
  const int32_t local = w.gameState.localPlayer;
  if (!cell || local < 0 || w.mapWidth <= 0 || w.cells.empty()) return;
  if (cell < w.cells.data() || cell >= w.cells.data() + w.cells.size()) return;
  const auto index = static_cast<int32_t>(cell - w.cells.data());
  const uint32_t hex = PackHex(index % w.mapWidth, index / w.mapWidth);
  ListHolder units{};
  CollectUnits(w, CollectUnitsArgs{.resultList = &units, .viewingPlayer = local, .relationMask = 1, .hex = &hex});
  std::vector<UnitRecord*> found;
  for (ListItem28* i = FirstInHolder(units); i; i = NextInHolder(units, i))
    found.push_back(static_cast<UnitRecord*>(i->object));
  ListHolderClear(units);
  for (int32_t pass = 0; pass < 2; ++pass)
    for (UnitRecord* u : found)
      if (DeployReadiness(w, *u) == pass) PlaceUnitOnMap(w, *u);
}
