#include "ui/order_list.h"

#include "ui/list_control.h"
#include "units/order_filter.h"
#include "world/text/rule_tables.h"

uint32_t FillOrderList(const World& world, ListBoxControl* list, const std::vector<const UnitRecord*>& selected,
                       int listMode, uint32_t targetHex) {
  ListClear(list, 1);
  const OrderTypeTable& table = RuleTablesOf(world).orderTypes;
  for (int id : OrdersForUnits(world, selected, listMode, targetHex))
    ListAddTextItem(list, table.entries[id].name.c_str(), id, id, 0, 0, 0);
  ListLayoutRows(list);
  return CommonOrderId(selected);
}
