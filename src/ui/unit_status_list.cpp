#include "ui/unit_status_list.h"

#include "ui/list_control.h"
#include "units/unit_texts.h"

void FillUnitStatusList(const World& world, ListControl& list, const UnitRecord& unit) {
  ListClear(list);
  for (const UnitStatusRow& row : UnitStatusText(world, unit)) ListAddTextItem(list, row.text.c_str(), row.code);
}
