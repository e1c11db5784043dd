// Stand-ins for the hex stack list, the unit rows and the selection's orders
// panel, kept weak so that the full unit-list code replaces them as soon as
// it is linked in; this file (and the one call of its anchor) goes once it
// is. Only what the unit panel needs of them is here.
#include <string>
#include <vector>

#include "records/hex_unit_stack.h"
#include "records/unit_record.h"
#include "screens/main/main_layout.h"
#include "screens/main/selection.h"
#include "screens/main/unit_lists.h"
#include "ui/list_control.h"
#include "ui/screen_set.h"
#include "units/fire_sight.h"
#include "units/unit_class.h"
#include "units/unit_create.h"
#include "world/id_lookups.h"
#include "world/scenario_settings.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

ListHolder g_hexStack{};

bool ListedOnHex(const World& w, const UnitRecord& unit, int32_t viewer) {
  if ((unit.unitFlags & (kUnitFacility | kUnitGone)) || unit.classIndex == 0) return false;
  const UnitClassRecord* cls = ClassRecordAt(w, unit.classIndex);
  if (!cls || (cls->flags & kClassFacility)) return false;
  return viewer < 0 || UnitVisibleToSide(w, unit, viewer);
}

}  // namespace

// An archive member is not pulled in for weak definitions alone.
void LinkUnitListStandIns() {}

[[gnu::weak]] ListHolder& HexStackList() { return g_hexStack; }

[[gnu::weak]] void CollectHexStackUnits(World& world, uint32_t packedHex, int32_t viewer, uint32_t) {
  ListHolder& list = HexStackList();
  ListHolderClear(list);
  const int32_t width = world.mapWidth;
  const int32_t x = static_cast<int32_t>(packedHex & 0xFFFF), y = static_cast<int32_t>(packedHex >> 16);
  if (width <= 0) return;
  const size_t cell = static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x % width);
  if (cell >= world.cells.size() || !world.cells[cell].stack) return;
  if (viewer >= 0 && (world.scenario.head.gameFlags & kGameFlagFog) && !SideSpotsHex(world, packedHex, viewer)) return;
  for (UnitRecord* head : world.cells[cell].stack->chainB)
    for (UnitRecord* unit = head; unit; unit = unit->nextInChainB)
      if (ListedOnHex(world, *unit, viewer)) AddUnitRef(list, *unit);
}

[[gnu::weak]] UnitRecord* RefUnit(const World& world, const ListItem28& item) {
  UnitRecord* unit = item.callerWord ? FindUnitById(world, static_cast<uint32_t>(item.callerWord))
                                     : static_cast<UnitRecord*>(item.object);
  return unit && !(unit->unitFlags & kUnitGone) ? unit : nullptr;
}

[[gnu::weak]] void AddUnitRef(ListHolder& list, const UnitRecord& unit) {
  for (ListItem28* item = FirstInHolder(list); item; item = NextInHolder(list, item))
    if (item->callerWord == static_cast<intptr_t>(unit.id)) return;
  NewListItem28(const_cast<UnitRecord*>(&unit), true, static_cast<intptr_t>(unit.id), list);
}

[[gnu::weak]] void FillUnitList(World& world, ListBoxControl* list, ListHolder& units, bool clear, bool, int32_t) {
  if (!list) return;
  if (clear) ListClear(list, 0);
  units.listControl = list;
  for (ListItem28* item = FirstInHolder(units); item; item = NextInHolder(units, item)) {
    const UnitRecord* unit = RefUnit(world, *item);
    if (!unit) break;
    const std::string name = UnitDisplayName(world, *unit);
    ListAddTextItem(list, name.c_str(), static_cast<int32_t>(unit->id), static_cast<intptr_t>(unit->id), 0, 0, 0);
  }
}

[[gnu::weak]] void MarkStackUnits(World&, const ListHolder&) {}

[[gnu::weak]] void ShowSelectionOrders(ScreenSet& screens) {
  if (!screens.SelectionList().first) return;
  screens.selectionOrdersShown = 1;
  ShowMainPanel(9, 0, screens);
}

[[gnu::weak]] std::vector<UnitRecord*> SelectedUnits(World& world, ScreenSet& screens) {
  std::vector<UnitRecord*> units;
  ListHolder& list = screens.SelectionList();
  for (ListItem28* item = FirstInHolder(list); item; item = NextInHolder(list, item))
    if (UnitRecord* unit = RefUnit(world, *item)) units.push_back(unit);
  return units;
}
