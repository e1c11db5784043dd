#include "screens/common/units/base_list_rows.h"

#include <string>

#include "records/unit_record.h"
#include "sim/simulation_lock.h"
#include "ui/list_control.h"
#include "ui/screen.h"
#include "world/hex_stack_chains.h"
#include "world/unit_create.h"
#include "world/world.h"

int32_t FillBaseListRows(ScreenSet&, ListBoxControl* list, const HexCell* cell, ScreenParameterList& units) {
  plat::CriticalSectionLock lock(g_simulationLock);
  units.entries.clear();
  units.current = 0;
  if (!cell) return 0;
  const World& w = g_world;
  int32_t rows = 0;
  for (const UnitRecord* unit : ReserveUnitsAtHex(w, *cell)) {
    units.entries.push_back(static_cast<intptr_t>(unit->id));
    const std::string name = UnitDisplayName(w, *unit);
    if (list) ListAddTextItem(list, name.c_str(), static_cast<int32_t>(unit->id), 0, 0, 0, 0);
    ++rows;
  }
  units.listControl = list;
  return rows;
}
