#include "screens/common/facilities/object_popups.h"

#include <algorithm>
#include <initializer_list>

#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/unit_record.h"
#include "screens/common/units/unit_list_fields.h"
#include "screens/common/units/unit_lists.h"
#include "screens/screen_set.h"
#include "sim/simulation_lock.h"
#include "ui/control_focus.h"
#include "ui/control_tree.h"
#include "ui/screen.h"
#include "ui/screen_manager.h"
#include "units/class_fields.h"
#include "world/unit_class.h"
#include "world/object_hex.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

// Facility kinds of the collection walk: bases and silos or launch sites,
// and plain stores.
constexpr int32_t kKindBase = 4, kKindSite = 6, kKindStore = 7;
constexpr int kProducts = 11;


// Fills the object list, available objects first, and opens the pop-up on
// the unit when listed, else on the first; an empty list opens nothing.
void OpenListPopup(Screen& popup, const UnitRecord* unit, int32_t flag, std::initializer_list<FacilityPass> walks) {
  ScreenParameterList list;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    World& w = g_world;
    ListHolder& objects = ObjectPopupList();
    CollectFacilityPasses(w, CollectFacilityArgs{.resultList = &objects, .owner = w.gameState.localPlayer}, walks);
    for (ListItem28* item = FirstInHolder(objects); item; item = NextInHolder(objects, item))
      if (const UnitRecord* u = RefUnit(w, *item)) list.entries.push_back(static_cast<intptr_t>(u->id));
  }
  if (list.entries.empty()) return;
  const intptr_t wanted = unit ? static_cast<intptr_t>(unit->id) : 0;
  const bool listed = unit && std::find(list.entries.begin(), list.entries.end(), wanted) != list.entries.end();
  list.current = listed ? wanted : list.entries.front();
  popup.words[0] = flag;
  popup.Popup(list.current, &list);
}

const UnitRecord* LeadFacility(const HexCell* cell) {
  if (!cell || !cell->stack || !cell->stack->lead) return nullptr;
  const UnitRecord* lead = cell->stack->lead;
  return (lead->unitFlags & kUnitGone) || lead->classIndex == 0 ? nullptr : lead;
}

// The largest of the class's product rates; the first on ties, 0 for none.
int32_t LargestProduct(const UnitClassRecord& cls) {
  float rates[kProducts];
  if (!classfields::ProductValues(cls, rates)) return 0;
  int32_t best = 0;
  for (int32_t k = 1; k < kProducts; ++k)
    if (rates[k] > rates[best]) best = k;
  return rates[best] > 0.0f ? best : 0;
}

}  // namespace

ListHolder& ObjectPopupList() {
  static ListHolder list{};
  return list;
}

void OpenBasePopup(ScreenSet& screens, const UnitRecord* unit, int32_t flag) {
  OpenListPopup(screens.basePopup, unit, flag, {{kKindBase, 1, 1, 0}, {kKindBase, 0, 1, 0}});
}
void OpenSiloPopup(ScreenSet& screens, const UnitRecord* unit, int32_t flag) {
  OpenListPopup(screens.siloPopup, unit, flag, {{kKindSite, 1, 0, 2}, {kKindSite, 0, 0, 2}});
}
void OpenLaunchSitePopup(ScreenSet& screens, const UnitRecord* unit, int32_t flag) {
  OpenListPopup(screens.launchSitePopup, unit, flag, {{kKindSite, 1, 1, 3}, {kKindSite, 0, 1, 3}});
}
void OpenDepotPopup(ScreenSet& screens, const UnitRecord* unit, int32_t flag) {
  OpenListPopup(*screens.depotPopup, unit, flag,
                {{kKindBase, 1, 0, 0}, {kKindStore, 1, 0, 0}, {kKindBase, 0, 0, 0}, {kKindStore, 0, 0, 0}});
}

const HexCell* SelectedHexCell() {
  plat::CriticalSectionLock lock(g_simulationLock);
  const World& w = g_world;
  const HexPosition& hex = w.gameState.currentHex;
  if ((hex.x == 0 && hex.y == 0) || hex.cellIndex >= w.cells.size()) return nullptr;
  return &w.cells[hex.cellIndex];
}

const UnitRecord* SelectedLocalObject() {
  plat::CriticalSectionLock lock(g_simulationLock);
  const World& w = g_world;
  const HexCell* cell = SelectedHexCell();
  if (!cell || !cell->stack || !cell->stack->lead || VisibleLeadClass(w, cell) == 0) return nullptr;
  const UnitRecord* lead = cell->stack->lead;
  return lead->owner == w.gameState.localPlayer ? lead : nullptr;
}

void OpenObjectPopup(ScreenSet& screens, const HexCell* cell, int32_t flag) {
  const UnitRecord* lead = nullptr;
  const UnitClassRecord* cls = nullptr;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    lead = LeadFacility(cell);
    cls = lead ? ClassRecordAt(g_world, lead->classIndex) : nullptr;
  }
  if (!cls) return;
  const uint32_t f = cls->flags;
  const uint8_t type = listfields::FacilityTypeByte(*cls);
  const bool store = listfields::OpensAsSite(*cls) && !(f & kClassExcludedKinds);
  if (f & kClassProduction) {
    screens.industry.Popup(LargestProduct(*cls), nullptr);
  } else if (f & kClassSettlementPopulation) {
    screens.settlementList->Popup(CellOwner(cell->word), nullptr);
  } else if (store && type == 0 && cls->loadableMask != 0) {
    OpenBasePopup(screens, lead, flag);
  } else if (store && type == 1) {
    screens.research.Popup(kKeepScreenId, nullptr);
  } else if (store && type == 2) {
    OpenSiloPopup(screens, lead, flag);
  } else if (store && type == 3) {
    OpenLaunchSitePopup(screens, lead, flag);
  } else if ((f & kClassSettlement) && !(cls->carryCapacity <= 0.0f && cls->loadableMask == 0 && type == 0)) {
    OpenDepotPopup(screens, lead, flag);
  }
}

void SelectListItem(Screen& popup, int32_t direction) {
  EndTextEdit();
  ScreenParameterList* list = popup.parameterList;
  if (!list || list->entries.empty()) return;
  const std::vector<intptr_t>& entries = list->entries;
  const auto at = std::find(entries.begin(), entries.end(), popup.id);
  const size_t n = entries.size();
  const size_t i = at == entries.end() ? 0 : static_cast<size_t>(at - entries.begin());
  const size_t next = direction > 0 ? (i + 1) % n : (i + n - 1) % n;
  popup.id = entries[next];
  list->current = popup.id;
  popup.OnOpen();
  popup.Refresh();
}

int32_t UpdateNextPrevButtons(const ScreenParameterList* list, Control* form) {
  const bool hide = !list || list->entries.empty();
  for (const char* tag : {"NEXTBUT", "PREVBUT"}) SetHidden(FormFindControlByTag(form, tag), hide);
  return hide ? 1 : 0;
}
