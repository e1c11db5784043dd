#include "screens/common/frame/unit_selection.h"

#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "screens/common/units/unit_lists.h"
#include "screens/screen_set.h"
#include "world/list_holder.h"
#include "world/world.h"

SelectionState g_selection;
void (*g_drawUnitOrderRow)(ScreenSet& screens, int32_t unitId) = nullptr;

namespace {

ListHolder g_hoverStack{};

bool ListHoldsUnit(const World& world, const ListHolder& list, const UnitRecord& unit) {
  for (ListItem28* item = FirstInHolder(list); item; item = NextInHolder(list, item))
    if (RefUnit(world, *item) == &unit) return true;
  return false;
}

}  // namespace

ListHolder& HoverStackList() { return g_hoverStack; }

std::vector<UnitRecord*> SelectedUnits(World& world, ScreenSet& screens) {
  std::vector<UnitRecord*> out;
  ListHolder& list = screens.SelectionList();
  ListItem28* item = FirstInHolder(list);
  while (item) {
    ListItem28* next = NextInHolder(list, item);
    if (UnitRecord* unit = RefUnit(world, *item)) {
      item->object = unit;
      out.push_back(unit);
    } else {
      ListHolderRemove(list, item);
    }
    item = next;
  }
  return out;
}

void AddUnitRef(ListHolder& list, const UnitRecord& unit) {
  for (ListItem28* item = FirstInHolder(list); item; item = NextInHolder(list, item))
    if (item->callerWord == static_cast<intptr_t>(unit.id)) return;
  if (ListItem28* item = NewListItem28(const_cast<UnitRecord*>(&unit), true, 0, list))
    item->callerWord = static_cast<intptr_t>(unit.id);
}

void ClearUnitSelectFlags(World& world) {
  UnitRecord* start = world.units;
  for (UnitRecord* u = start; u;) {
    u->unitFlags2 &= ~kUnit2Selected;
    u = u->next;
    if (u == start) break;
  }
}

void MarkStackUnits(World& world, const ListHolder& list) {
  for (ListItem28* item = FirstInHolder(list); item; item = NextInHolder(list, item))
    if (UnitRecord* unit = RefUnit(world, *item)) unit->unitFlags2 |= kUnit2Selected;
}

int32_t CopyUnitList(World& world, bool add, ListHolder& destination, const ListHolder& source) {
  if (!add) ListHolderClear(destination);
  int32_t n = 0;
  for (ListItem28* item = FirstInHolder(source); item; item = NextInHolder(source, item)) {
    ++n;
    UnitRecord* unit = RefUnit(world, *item);
    if (unit && !ListHoldsUnit(world, destination, *unit)) AddUnitRef(destination, *unit);
  }
  return n;
}

void OrderUnitOnMap(ScreenSet& screens, int32_t unitId) {
  if (g_drawUnitOrderRow) g_drawUnitOrderRow(screens, unitId);
}
