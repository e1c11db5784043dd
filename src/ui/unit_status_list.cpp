#include "ui/unit_status_list.h"

#include "ui/list_control.h"
#include "units/unit_texts.h"

void FillUnitStatusList(const World& world, ListBoxControl* list, const UnitRecord& unit) {
  ListClear(list, 1);
  for (const UnitStatusRow& row : UnitStatusText(world, unit))
    ListAddTextItem(list, row.text.c_str(), row.code, row.code, 0, 0, 0);
  ListLayoutRows(list);
}
