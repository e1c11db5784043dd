#include "screens/military/inventory/missile_load_lists.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "app/game_math.h"
#include "records/command_ids.h"
#include "records/order_words.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "screens/common/frame/map_click.h"
#include "screens/common/frame/unit_selection.h"
#include "screens/common/facilities/object_popups.h"
#include "screens/common/units/unit_lists.h"
#include "screens/common/units/unit_tab_figures.h"
#include "screens/military/inventory/unit_offer_panel.h"
#include "screens/military/production/production_lists.h"
#include "screens/screen_set.h"
#include "sim/game_command.h"
#include "sim/simulation_lock.h"
#include "sim/unit_order_args.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "world/local_player.h"
#include "units/unit_queries.h"
#include "world/id_lookups.h"
#include "world/list_holder.h"
#include "world/unit_class.h"
#include "world/unit_class_flags.h"
#include "world/unit_create.h"
#include "world/world.h"

namespace {

constexpr uint32_t kAutoDeploy = 0x4000000;
constexpr uint32_t kCountOne = 1, kCountFill = 255;
constexpr uint8_t kSiloBit = 1u << kPlatformSilo;
constexpr uint32_t kAnyCategory = 0xFF;
// The level every class is within.
constexpr int kAnyLevel = 255;
// The facility kind and type of a silo.
constexpr int32_t kSiteFacility = 6, kSiloType = 2;
constexpr int32_t kFirstCategoryButton = 200, kLastCategoryButton = 205;
constexpr int32_t kSpecialIndicator = 1666, kImmuneIndicator = 1667;

bool SpecialPayload(const UnitClassRecord& cls) {
  return (cls.flags & (kClassSpecialWeaponA | kClassSpecialWeaponB)) != 0;
}
bool ImmunePayload(const UnitClassRecord& cls) { return (cls.flags & kClassSpecialImmune) != 0; }

void SetBits(uint32_t unit, uint32_t bits, uint32_t on) {
  PostArgs(kCmdUnitSetOrdersHeaderBits, OrderBitsArgs{.unit = unit, .bits = bits, .set = on});
}
void AddOrderFlags(uint32_t unit, uint32_t bits) {
  PostArgs(kCmdAddOrderFlags, OrderFlagsArgs{.unit = unit, .flags = bits, .mask = 0});
}

// What the panels read of a unit, copied under the lock.
struct UnitView {
  uint32_t id = 0;
  uint32_t word11 = 0, word13 = 0;
  uint32_t carrier = 0;
  int32_t classIndex = 0;
  bool local = false;
};
UnitView ViewOf(uint32_t id) {
  if (id == 0) return {};
  plat::CriticalSectionLock lock(g_simulationLock);
  const UnitRecord* u = FindUnitById(g_world, id);
  if (!u) return {};
  return {u->id, u->ordersShown[kOrderFlags], u->ordersShown[kOrdersHeader], u->carrier, u->classIndex,
          u->owner == LocalPlayerIndex(g_world)};
}

std::vector<uint32_t> SelectedUnits(ListBoxControl* list, bool allWhenNone) {
  std::vector<uint32_t> out;
  if (!list) return out;
  for (Control* row = ListNextSelected(list, nullptr); row; row = ListNextSelected(list, row))
    if (row->id > 0) out.push_back(static_cast<uint32_t>(row->id));
  if (out.empty() && allWhenNone)
    for (Control* row = list->firstRow; row; row = ListNextRow(list, row))
      if (row->id > 0) out.push_back(static_cast<uint32_t>(row->id));
  return out;
}

void RefreshAfter(Control* form, const MissilePanelHosts& hosts) {
  Screen* own = form ? form->owner : nullptr;
  if (own && own->currentForm) own->Refresh();
  if (hosts.refresh && hosts.refresh != own && hosts.refresh->currentForm) hosts.refresh->Refresh();
}

// LOAD and LOADFILL for the panel's own weapon.
void LoadMissile(Control* form, uint32_t missile, uint32_t platform, bool fill) {
  PostArgs(kCmdUnitSetLeaderUnit, OrderTargetArgs{.unit = missile, .target = platform});
  if (Control* box = Tag(form, "AUTHBOX")) SetBits(missile, kHeaderLaunchAllowed, box->Selected() ? 1 : 0);
  if (fill) {
    PostArgs(kCmdUnitSetOrderLevel, OrderValueArgs{.unit = missile, .value = kCountFill});
  } else {
    PostArgs(kCmdUnitAddOrderLevel, OrderValueArgs{.unit = missile, .value = kCountOne});
  }
  AddOrderFlags(missile, kOrderLoadInto);
}

void ShowOffer(Control* form, uint32_t missile, UnitOfferPanel* panel, const MissilePanelHosts& hosts) {
  if (ListBoxControl* platforms = TagAs<ListBoxControl>(form, "LIST5")) ListDeselectAll(platforms);
  if (!hosts.container || !panel) return;
  ShowTag(form, "HIDEBOX2", false);
  Show(hosts.container, true);
  panel->rowList = hosts.rowList;
  panel->Show(static_cast<intptr_t>(missile), hosts.container);
}

// The local region's working silos as the list's rows. The list was just
// emptied: a silo the holder kept from the last fill would be taken as shown
// and get no row, so the holder starts empty too.
void FillSiloRows(World& w, ListBoxControl* list) {
  plat::CriticalSectionLock lock(g_simulationLock);
  ListHolder& silos = g_screens.workingLists[kSiloListIndex];
  ListHolderClear(silos);
  CollectFacilityUnits(w, CollectFacilityArgs{.resultList = &silos,
                                              .list = list,
                                              .facilityKind = kSiteFacility,
                                              .owner = LocalPlayerIndex(g_world),
                                              .available = 1,
                                              .stockMaskTest = 0,
                                              .facilityType = kSiloType});
}

// The platform categories a named missile may board (none when its class is
// gone); with no missile, the category asked for, or any.
uint32_t LoadableCategories(bool named, const UnitClassRecord* missileClass, int32_t category) {
  if (named) return missileClass ? missileClass->loadableMask : 0;
  return category >= 0 && category <= kPlatformSilo ? 1u << category : kAnyCategory;
}

// A panel with no weapon of its own and no list of loadable units loads the
// weapons chosen on the stored weapons page: its load buttons show when
// one of them may board the platform, or the pending mark and Stop when
// their load is under way.
void ShowStoredLoadButtons(Control* form, uint32_t platform, bool siloMode) {
  bool fits = false, pending = false;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const World& w = g_world;
    const UnitRecord* p = FindUnitById(w, platform);
    const uint32_t category = siloMode ? kPlatformSilo : p ? (p->kind & 7u) : 0u;
    for (uint32_t id : SelectedUnits(g_screens.unitInventory.storedList, false)) {
      const UnitRecord* stored = FindUnitById(w, id);
      const UnitClassRecord* cls = stored ? UnitClassOf(w, *stored) : nullptr;
      if (!p || !cls || !((cls->loadableMask >> category) & 1u)) continue;
      fits = true;
      pending = pending || (stored->ordersShown[kOrderFlags] & kOrderLoadInto) != 0;
    }
  }
  ShowTag(form, "LOAD", fits && !pending);
  ShowTag(form, "LOADFILL", fits && !pending);
  ShowTag(form, "GRIDLOAD1", pending);
  ShowTag(form, "LOADSTOP", pending);
}

}  // namespace

PayloadTotals FillPlatformCargoList(ListBoxControl* cargo, uint32_t platform) {
  PayloadTotals totals;
  if (!cargo) return totals;
  const int32_t keptScroll = cargo->scrollOffset;
  ListSaveSelection(cargo);
  ListClear(cargo, 0);
  // A silo's missiles are its cargo as a ship's are: the box lists them
  // rather than standing empty beside a silo that holds some.
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    World& w = g_world;
    ListHolder& shown = g_screens.workingLists[kCargoListIndex];
    ListHolderClear(shown);
    const UnitRecord* p = FindUnitById(w, platform);
    uint32_t next = p && p->carrier == 0 ? p->cargoNext : 0;
    for (int n = 0; next != 0 && n < kCargoChainLimit; ++n) {
      UnitRecord* aboard = FindUnitById(w, next);
      if (!aboard || aboard == p) break;
      next = aboard->cargoNext;
      const UnitClassRecord* cls = UnitClassOf(w, *aboard);
      if (!cls || !(aboard->unitFlags & kUnitStock) || !(aboard->strength >= 1.0f)) continue;
      if (ListItem28* item = NewListItem28(aboard, false, 0, shown)) item->callerWord = static_cast<intptr_t>(aboard->id);
      const int32_t items = CheckedTrunc(aboard->strength);
      if (SpecialPayload(*cls)) {
        totals.special += items;
      } else if (ImmunePayload(*cls)) {
        totals.immune += items;
      }
    }
    FillUnitList(w, cargo, shown, false, false, 0);
  }
  ListLayoutRows(cargo);
  cargo->scrollOffset = keptScroll;
  return totals;
}

PlatformLoad PlatformLoadOf(const World& world, uint32_t carrier) {
  PlatformLoad load;
  const UnitRecord* p = FindUnitById(world, carrier);
  if (!p) return load;
  if (const UnitClassRecord* cls = UnitClassOf(world, *p))
    load.capacity = CheckedTrunc(static_cast<float>(cls->cargoSlots) * p->strength);
  float used = 0.0f;
  uint32_t next = p->cargoNext;
  for (int n = 0; next != 0 && n < kCargoChainLimit; ++n) {
    const UnitRecord* aboard = FindUnitById(world, next);
    if (!aboard || aboard == p) break;
    next = aboard->cargoNext;
    if (const UnitClassRecord* cls = UnitClassOf(world, *aboard))
      used += static_cast<float>(cls->slotSize) * aboard->strength;
  }
  load.used = CheckedTrunc(used);
  return load;
}

int32_t FillMissileList(ListBoxControl* list, uint32_t missile, int32_t category, int32_t kind) {
  if (!list) return 0;
  const int32_t keptId = list->selectedId;
  const int32_t keptScroll = list->scrollOffset;
  ListPrepareRows(list);
  ListClear(list, 0);
  int32_t siloMode = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    World& w = g_world;
    const UnitRecord* m = missile ? FindUnitById(w, missile) : nullptr;
    const UnitClassRecord* mc = m ? UnitClassOf(w, *m) : nullptr;
    siloMode = (mc && (mc->loadableMask & kSiloBit)) || category == kPlatformSilo ? 1 : 0;
    if (siloMode) {
      FillSiloRows(w, list);
    } else {
      const int32_t weight = mc ? mc->slotSize : 0;
      const int32_t kindFilter = kind == 0 ? 8 : kind == 1 ? 7 : kind == 2 ? 15 : -1;
      const uint32_t mask = LoadableCategories(m != nullptr, mc, category);
      ListHolder& platforms = g_screens.workingLists[kPlatformListIndex];
      ListHolderClear(platforms);
      // A weapon no category may carry has no platform.
      if (mask != 0)
        CollectUnits(w, CollectUnitsArgs{.resultList = &platforms,
                                         .category = category,
                                         .stock = 0,
                                         .viewingPlayer = LocalPlayerIndex(g_world),
                                         .relationMask = 1,
                                         .orderBit1AndSorting = 1,
                                         .orderStatus = 1,
                                         .cargoRoom = weight,
                                         .missileLoadKinds = kindFilter,
                                         .categoryBits = static_cast<uint8_t>(mask)});
      FillUnitList(w, list, platforms, false, false, 0);
    }
  }
  ListLayoutRows(list);
  if (keptId > 0) ListSetSelection(0, list, keptId, 0);
  list->scrollOffset = keptScroll;
  return siloMode;
}

int32_t FillMissileClassList(ListBoxControl* list, const UnitClassRecord* missileClass, int32_t category) {
  if (!list) return 0;
  const int32_t keptId = list->selectedId;
  const int32_t keptScroll = list->scrollOffset;
  ListClear(list, 0);
  const int32_t siloMode = (missileClass && (missileClass->loadableMask & kSiloBit)) || category == kPlatformSilo;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    World& w = g_world;
    if (siloMode) {
      FillSiloRows(w, list);
    } else {
      const uint32_t mask = LoadableCategories(missileClass != nullptr, missileClass, category);
      std::vector<int32_t> classes;
      if (mask != 0) CollectUnitClasses(w, LocalPlayerIndex(g_world), mask, missileClass ? missileClass->slotSize : 0, classes);
      for (int32_t index : classes)
        ListAddTextItem(list, ClassRecordAt(w, index)->name, index, index, 0, 0, 0);
    }
  }
  ListLayoutRows(list);
  ListSetSelection(0, list, keptId, 0);
  list->scrollOffset = keptScroll;
  return siloMode;
}

void OnMissileListSelect(Control* list, uint32_t unit, int32_t siloMode) {
  auto* box = dynamic_cast<ListBoxControl*>(list);
  if (Is(list, "LIST5")) {
    if (unit == 0) return;
    if (siloMode) {
      const UnitRecord* silo = nullptr;
      {
        plat::CriticalSectionLock lock(g_simulationLock);
        silo = FindUnitById(g_world, unit);
      }
      if (silo) OpenSiloPopup(g_screens, silo, 0);
      return;
    }
    ScreenParameterList platforms = ListRowsToStep(box);
    platforms.listControl = list;
    g_screens.unitDetail.Popup(static_cast<intptr_t>(unit), &platforms);
  } else if (Is(list, "MISSILELIST")) {
    if (unit == 0) return;
    ScreenParameterList cargo = ListRowsToStep(box);
    cargo.listControl = list;
    g_screens.missileStockView.Popup(static_cast<intptr_t>(unit), &cargo);
  }
}

void MissilePanelCommand(Control* form, uint32_t missile, uint32_t* platform, Control* control, int32_t value,
                         const MissilePanelHosts& hosts) {
  if (!control) return;
  // The platform the list shows chosen, should the panel have let its own
  // field go on a refresh.
  uint32_t p = platform ? *platform : 0;
  if (p == 0) p = ListCurrentUnit(TagAs<ListBoxControl>(form, "LIST5"));
  const uint32_t m = missile;
  ListBoxControl* cargo = TagAs<ListBoxControl>(form, "MISSILELIST");
  if (Is(control, "AUTHBOX")) {
    const uint32_t on = control->Selected() ? 1 : 0;
    if (hosts.rowList) {
      for (uint32_t id : SelectedUnits(hosts.rowList, false)) SetBits(id, kHeaderLaunchAllowed, on);
    } else if (m) {
      SetBits(m, kHeaderLaunchAllowed, on);
    }
    return;
  }
  if (Is(control, "CENTRE")) {
    if (p == 0) return;
    plat::CriticalSectionLock lock(g_simulationLock);
    if (const UnitRecord* u = FindUnitById(g_world, p)) GotoMapObject(u);
    return;
  }
  if (Is(control, "OFFLOAD")) {
    if (p) SetBits(p, kHeaderNoStockLoading, 1);
    if (cargo) {
      PostBaseUnitOrders(cargo, false, 0, -1, false, true);
    } else if (m) {
      PostArgs(kCmdUnitAddOrderLevel, OrderValueArgs{.unit = m, .value = kCountOne});
      AddOrderFlags(m, kAutoDeploy);
    }
  } else if (Is(control, "UNLOADALL")) {
    if (p) SetBits(p, kHeaderNoStockLoading, 1);
    PostBaseUnitOrders(cargo, SelectedUnits(cargo, false).empty(), 0, -1, false, false);
  } else if (Is(control, "LOAD") || Is(control, "LOADFILL")) {
    const bool fill = Is(control, "LOADFILL");
    if (hosts.rowList && p) {
      Control* box = Tag(form, "AUTHBOX");
      PostBaseUnitOrders(hosts.rowList, false, p, box ? (box->Selected() ? 1 : 0) : -1, true, !fill);
    } else if (m && p) {
      LoadMissile(form, m, p, fill);
    } else {
      return;
    }
  } else if (Is(control, "LOADSTOP")) {
    if (hosts.rowList) {
      for (uint32_t id : SelectedUnits(hosts.rowList, false)) PostArgs(kCmdUnitCancelOrders, OrderUnitArgs{.unit = id});
    } else if (m) {
      PostArgs(kCmdUnitCancelOrders, OrderUnitArgs{.unit = m});
    }
  } else if (Is(control, "SELL") || Is(control, "SCRAPU")) {
    ShowOffer(form, m, Is(control, "SELL") ? hosts.sale : hosts.scrap, hosts);
    return;
  } else if (Is(control, "DEPLOYAUTO")) {
    if (m) {
      PostArgs(kCmdUnitSetOrderLevel, OrderValueArgs{.unit = m, .value = kCountFill});
      AddOrderFlags(m, kOrderLoadInto);
    }
  } else if (Is(control, "UNITORDER")) {
    if (p) OrderUnitOnMap(g_screens, static_cast<int32_t>(p));
    return;
  } else if (value >= kFirstCategoryButton && value <= kLastCategoryButton) {
    if (hosts.category) *hosts.category = value - kFirstCategoryButton;
  } else if (Is(control, "MISSILELIST")) {
    const UnitView u = ViewOf(static_cast<uint32_t>(value));
    if (u.id) SetControlFlag(Tag(form, "AUTHBOX"), kStateSelected, (u.word13 & kHeaderLaunchAllowed) ? 1 : 0);
    return;
  } else if (Is(control, "NOLOAD")) {
    const uint32_t on = control->Selected() ? 1 : 0;
    if (ListBoxControl* platforms = TagAs<ListBoxControl>(form, "LIST5")) {
      for (uint32_t id : SelectedUnits(platforms, false)) SetBits(id, kHeaderNoStockLoading, on);
    } else if (p) {
      SetBits(p, kHeaderNoStockLoading, on);
    }
    return;
  } else {
    return;
  }
  RefreshAfter(form, hosts);
}

void RefreshMissileLoadPanel(Control* form, Control* changed, Control* container, uint32_t missile,
                             uint32_t* platform, uint32_t picked, int32_t siloMode, Screen* classPanel,
                             Screen* siloPanel) {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (!changed) return;
  const UnitView u = ViewOf(picked);
  const bool has = u.id != 0;
  Control* special = Id(form, kSpecialIndicator);
  Control* immune = Id(form, kImmuneIndicator);
  const UnitClassRecord* cls = has ? ClassRecordAt(g_world, u.classIndex) : nullptr;
  if (Is(changed, "MISSILELIST")) {
    ShowTag(form, "OFFLOAD", has);
    ShowTag(form, "HIDEAUTH", has);
    SetControlFlag(special, kStateSelected, 0);
    SetControlFlag(immune, kStateSelected, 0);
    if (!has) return;
    if (ListBoxControl* available = TagAs<ListBoxControl>(form, "AVAILABLE")) ListDeselectAll(available);
    if (cls && SpecialPayload(*cls)) SetControlFlag(special, kStateSelected, 1);
    if (cls && ImmunePayload(*cls)) SetControlFlag(immune, kStateSelected, 1);
  } else if (Is(changed, "AVAILABLE")) {
    for (const char* tag : {"LOAD", "LOADFILL", "LOADSTOP", "GRIDLOAD2"}) ShowTag(form, tag, false);
    Show(special, false);
    Show(immune, false);
    ShowTag(form, "AUTHHIDE", has);
    if (!has) return;
    const bool pending = (u.word11 & kOrderLoadInto) != 0;
    ShowTag(form, "LOAD", !pending);
    ShowTag(form, "LOADFILL", !pending);
    ShowTag(form, "LOADSTOP", pending);
    if (ListBoxControl* cargo = TagAs<ListBoxControl>(form, "MISSILELIST")) ListDeselectAll(cargo);
    SetControlFlag(Tag(form, "AUTHBOX"), kStateSelected, (u.word13 & kHeaderLaunchAllowed) ? 1 : 0);
    Show(special, cls && SpecialPayload(*cls));
    Show(immune, cls && ImmunePayload(*cls));
  } else if (Is(changed, "LIST5")) {
    for (const char* tag : {"HIDELOAD", "HIDEAUTH", "CENTRE", "HIDEBOX", "HIDEBOX2"}) ShowTag(form, tag, has);
    if (has) ShowTag(form, "MPARENT2", false);
    SetControlText(Tag(form, "PLATFORMNAM"), "None Selected");
    for (const char* tag : {"LOAD", "LOADFILL", "GRIDLOAD1", "GRIDLOAD2"}) ShowTag(form, tag, false);
    Show(special, false);
    Show(immune, false);
    ShowTag(form, "NOLOAD", has);
    if (!has) {
      if (ListBoxControl* cargo = TagAs<ListBoxControl>(form, "MISSILELIST")) {
        ListSaveSelection(cargo);
        ListClear(cargo, 0);
      }
      return;
    }
    if (platform) *platform = u.id;
    PlatformLoad load;
    std::string name;
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      load = PlatformLoadOf(g_world, u.id);
      if (!siloMode)
        if (const UnitRecord* p = FindUnitById(g_world, u.id)) name = UnitDisplayName(g_world, *p);
    }
    if (!siloMode) {
      SetControlText(Tag(form, "PLATFORMNAM"), name.c_str());
      if (classPanel && container && cls) classPanel->Show(u.classIndex, container);
    } else {
      // The silo chosen is named as its row names it, never "None Selected"
      // beside a lit row.
      auto* silos = dynamic_cast<ListBoxControl*>(changed);
      const Control* row = silos ? ListNextSelected(silos, nullptr) : nullptr;
      if (row && !row->text.empty()) SetControlText(Tag(form, "PLATFORMNAM"), row->text.c_str());
      if (siloPanel && container) siloPanel->Show(static_cast<intptr_t>(u.id), container);
    }
    SetInt(Tag(form, "CAP1"), load.used);
    SetInt(Tag(form, "CAP2"), load.capacity);
    SetControlFlag(Tag(form, "NOLOAD"), kStateSelected, (u.word13 & kHeaderNoStockLoading) ? 1 : 0);
    const PayloadTotals totals = FillPlatformCargoList(TagAs<ListBoxControl>(form, "MISSILELIST"), u.id);
    ListBoxControl* cargo = TagAs<ListBoxControl>(form, "MISSILELIST");
    ShowTag(form, "UNLOADALL", cargo && cargo->firstRow);
    // The marks say what the listed cargo carries.
    Show(special, totals.special != 0);
    Show(immune, totals.immune != 0);
    if (missile) {
      const bool pending = (ViewOf(missile).word11 & kOrderLoadInto) != 0;
      ShowTag(form, "LOAD", !pending);
      ShowTag(form, "LOADFILL", !pending);
      if (pending) ShowTag(form, "GRIDLOAD1", true);
    } else if (!Tag(form, "AVAILABLE")) {
      ShowStoredLoadButtons(form, u.id, siloMode != 0);
    }
  }
}
