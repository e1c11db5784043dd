#include "screens/military/silo/missile_stock_popup.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "records/command_ids.h"
#include "records/player_policy.h"
#include "records/player_record.h"
#include "records/unit_record.h"
#include "screens/common/frame/side_bars.h"
#include "screens/common/units/unit_lists.h"
#include "screens/military/department/military_figures.h"
#include "screens/military/inventory/missile_load_lists.h"
#include "screens/common/units/build_lists.h"
#include "screens/military/production/production_lists.h"
#include "screens/screen_set.h"
#include "sim/game_command.h"
#include "sim/policy_command_args.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/list_start.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "world/local_player.h"
#include "units/facilities/upkeep_fields.h"
#include "units/unit_player_fields.h"
#include "world/id_lookups.h"
#include "world/text/ui_options.h"
#include "world/unit_class.h"
#include "world/world.h"

namespace uf = unitfields;
namespace kf = upkeepfields;

namespace {

// The stock lists keep their rows' indicators; several rows may be chosen.
// Which of each screen array the stock pop-up uses.
constexpr size_t kStockSlot = 3;
constexpr size_t kAutoBuildSlot = 1;
constexpr size_t kCarrierPanelSlot = 2;

// Forgets the list's choice and tells its owner the current row is gone.
void ClearChoice(ListBoxControl* list) {
  if (!list) return;
  ListDeselectAll(list);
  list->selectedId = 0;
  list->selectedValue = 0;
  if (list->owner) list->owner->OnControlChange(list, 0);
}

MissileStockPopup& StockPopup() { return g_screens.missiles; }

ProductionListHosts StockHosts(MissileStockPopup& popup) {
  ScreenSet& s = g_screens;
  return ProductionListHosts{.buildList = &s.wmdFilter,
                             .tabIndex = &popup.typeFilter,
                             .classSheet = &s.unitPicturePanels[0],
                             .sell = &s.unitSaleOffers[kStockSlot],
                             .scrap = &s.unitScrapOffers[kStockSlot],
                             .scrapAll = &s.unitScrapOffers[kStockSlot],
                             .confirmParent = popup.missileParent};
}

}  // namespace

MissileStockPopup::~MissileStockPopup() {
  ListHolderClear(production);
  ListHolderClear(queue);
  ListHolderClear(stored);
}

void MissileStockPopup::BindControls() {
  prodList = MakeStockList(*this, "PRODLIST");
  queueList = MakeStockList(*this, "QUELIST");
  storedList = MakeStockList(*this, "STOREDLIST");
  statParent = Tag(currentForm, "STATPARENT");
  platformStatus = Tag(currentForm, "PLATSTAT");
  missileParent = Tag(currentForm, "MPARENT2");
  subParent4 = Tag(currentForm, "SUBPARENT4");
  subParent5 = Tag(currentForm, "SUBPARENT5");
}

void MissileStockPopup::OnOpen() {
  for (ListBoxControl* list : {prodList, queueList, storedList}) ListStartAfresh(list);
  ScreenSet& s = g_screens;
  if (subParent4) s.wmdFilter.Show(0, subParent4);
  if (subParent5) s.missileSelect.Show(0, subParent5);
  SetHidden(missileParent, true);
  SetHidden(Tag(currentForm, "HIDEBOX2"), false);
  bool autoBuild = false;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    if (const PlayerRecord* p = LocalPlayer(g_world))
      autoBuild = (p->displayPolicy.militaryFlags & kMilitaryMissileAutoBuild) != 0;
  }
  SetControlFlag(Tag(currentForm, "AUTOBUILD2"), kStateSelected, autoBuild ? 1 : 0);
  if (Control* hide = Tag(currentForm, "HIDEAUTOB")) {
    s.autoBuildStatus[kAutoBuildSlot].Show(0, hide);
    SetHidden(hide, !autoBuild);
  }
}

void MissileStockPopup::RefillLists() {
  plat::CriticalSectionLock lock(g_simulationLock);
  struct Fill {
    ListBoxControl* list;
    ListHolder* units;
    int32_t underConstruction;  // the CollectUnits word: 1 not under construction, 0 under it
    int32_t inProduction;       // display order word 12 bit 31; -1 either
  };
  const Fill fills[] = {{storedList, &stored, 1, -1}, {prodList, &production, 0, 1}, {queueList, &queue, 0, 0}};
  World& w = g_world;
  for (const Fill& f : fills) {
    if (!f.list) continue;
    const int32_t scroll = f.list->scrollOffset;
    ListPrepareRows(f.list);
    ListClear(f.list, 1);
    CollectUnits(w, CollectUnitsArgs{.resultList = f.units,
                                     .category = typeFilter,
                                     .stock = 1,
                                     .viewingPlayer = w.gameState.localPlayer,
                                     .subType = kStockMilitaryClass,
                                     .relationMask = 1,
                                     .orderBit1AndSorting = f.underConstruction,
                                     .orderStatus = 0,
                                     .clearFirst = 1,
                                     .word12Bit31 = f.inProduction});
    FillUnitList(w, f.list, *f.units, false, false, -1);
    if (f.list->savedSelection) ListApplyToItems(f.list, *f.list->savedSelection);
    ListLayoutRows(f.list);
    f.list->scrollOffset = scroll;
  }
}

void MissileStockPopup::Refresh() {
  if (!currentForm) return;
  int32_t queued = 0, capacity = 0;
  bool limitReached = false, autoBuild = false;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    if (const PlayerRecord* p = LocalPlayer(g_world)) {
      // The stock room and its use as the Army page shows them.
      const MilitaryFigures f = MilitaryFiguresOf(*p);
      queued = f.militaryCapacityUsed;
      capacity = f.militaryCapacity;
      limitReached = (kf::Byte(*p, kf::kSlotPause) & 1u) != 0;
      autoBuild = (p->displayPolicy.militaryFlags & kMilitaryMissileAutoBuild) != 0;
    }
    RefillLists();
  }
  SetInt(Tag(currentForm, "QUEUE"), queued);
  SetInt(Tag(currentForm, "CAPACITY"), capacity);
  for (Control* c : {statParent, platformStatus, Tag(currentForm, "HIDEBOX1"), Tag(currentForm, "HIDEAUTH")})
    SetHidden(c, true);
  SetControlFlag(FormFindControlById(currentForm, kMissileTypeTab + typeFilter), kStateSelected, 1);
  ScreenSet& s = g_screens;
  s.wmdFilter.state.category = typeFilter;
  s.missileSelect.typeFilter = typeFilter;
  SetHidden(Tag(currentForm, "SCRAPALL"), !(storedList && storedList->firstRow));
  SetHidden(Tag(currentForm, "CLEAR"), !(queueList && queueList->firstRow));
  if (prodList && !prodList->firstRow) {
    const char* note = limitReached                      ? "Storage Limit Reached"
                       : typeFilter < kAllMissileTypes ? "None of this type"
                                                         : "None";
    AddListNote(prodList, note);
  }
  if (storedList && !storedList->firstRow) AddListNote(storedList, "No Undeployed");
  if (s.wmdFilter.currentForm) s.wmdFilter.Refresh();
  if (s.missileSelect.currentForm) {
    s.missileSelect.id = storedList ? storedList->selectedId : 0;
    s.missileSelect.Refresh();
  }
  // The cover over the build list shows only while the computer builds;
  // showing its panel shows the host, so the host is hidden after.
  Control* hide = Tag(currentForm, "HIDEAUTOB");
  if (hide) s.autoBuildStatus[kAutoBuildSlot].Show(0, hide);
  SetHidden(hide, !autoBuild);
}

void MissileStockPopup::OnCommand(Control* control, int32_t controlId) {
  if (!control) return;
  if (Is(control, "AUTOBUILD2")) {
    PostArgs(kCmdBMissilesAutoBuild, SettingArgs{.value = control->Selected() ? 1u : 0u});
    Refresh();
  } else {
    OnProductionListCommand(currentForm, control, controlId, StockHosts(*this));
    if (controlId >= kMissileTypeTab && controlId <= kMissileTypeTab + kAllMissileTypes) Refresh();
  }
  // The docked panels beside the pop-up show the same stock.
  RefreshHostedDockScreens(g_screens);
}

void MissileStockPopup::OnActivate(Control* control, int32_t controlId) {
  OnProductionListEvent(currentForm, control, controlId, nullptr, nullptr, 0);
}

void MissileStockPopup::OnControlChange(Control* control, int32_t) {
  ScreenSet& s = g_screens;
  OnProductionListChange(currentForm, control, ListCurrentUnit(control), 1, &s.unitPicturePanels[0],
                         &s.missileStockPanels[kCarrierPanelSlot]);
  if (control && control == storedList) {
    s.missileSelect.id = storedList->selectedId;
    if (s.missileSelect.currentForm) s.missileSelect.Refresh();
    SetHidden(Tag(currentForm, "DEPLOY"), false);
  }
}

// ---- the build list ----

void WmdFilterPanel::BindControls() {
  hostLink = &StockPopup().subParent4;
  list = MakeListBox("LIST5", 0, currentForm, kListIndicators, this);
  state.quantity = 1;
  state.strength = 1.0f;
}

void WmdFilterPanel::OnOpen() {
  state.selected = nullptr;
  OpenBuildList(currentForm, state, static_cast<int32_t>(id) + 1, nullptr);
}

void WmdFilterPanel::Refresh() {
  const bool weapons = g_uiOptions.bfiltershownbc != 0;
  SetControlFlag(Tag(currentForm, "WMDFILTER"), kStateSelected, weapons ? 1 : 0);
  FillBuildList(currentForm, state, 0, weapons ? 3 : 1);
}

void WmdFilterPanel::OnCommand(Control* control, int32_t controlId) {
  // The filter is the player's option: the box's new state is kept there,
  // which the refresh ticks the box from.
  if (Is(control, "WMDFILTER")) {
    g_uiOptions.bfiltershownbc = control->Selected() ? 1 : 0;
    Refresh();
    return;
  }
  const int32_t value =
      control && control == list ? static_cast<int32_t>(list->selectedValue) : (control ? control->id : controlId);
  OnBuildListCommand(currentForm, state, nullptr, control, value, &StockPopup(), &StockPopup());
}

void WmdFilterPanel::OnActivate(Control* control, int32_t) {
  if (control && control == list) OpenMissileClassFromList(list->selectedValue);
}

void WmdFilterPanel::OnControlChange(Control* control, int32_t) {
  MissileStockPopup& popup = StockPopup();
  const intptr_t key = control && control == list ? list->selectedValue : 0;
  // A class chosen to build is no stock unit chosen.
  if (key != 0)
    for (ListBoxControl* stock : {popup.prodList, popup.queueList, popup.storedList}) ClearChoice(stock);
  OnBuildListChange(control, currentForm, state, key,
                    BuildListChange{.listMode = g_uiOptions.bfiltershownbc + 1,
                                    .details = &g_screens.unitPicturePanels[0],
                                    .detailsParent = popup.statParent,
                                    .popup = &popup,
                                    .extra = popup.platformStatus});
}

void OpenMissileClassFromList(intptr_t classKey) {
  if (classKey == 0) return;
  MissilePopup& design = g_screens.missileDesignView;
  ScreenParameterList classes;
  classes.entries = BuildListClasses().entries;
  design.Popup(classKey >= kKeepScreenId ? kKeepScreenId : classKey, &classes);
}

// ---- the chosen stored missile ----

void MissileSelectPanel::OnOpen() { ListHolderClear(g_screens.workingLists[kCargoListIndex]); }

void MissileSelectPanel::BindControls() {
  hostLink = &StockPopup().subParent5;
  selectList = MakeListBox("LIST5", 0, currentForm, kListIndicators, this);
  missileList = MakeListBox("MISSILELIST", 0, currentForm, kListIndicators, this);
  if (missileList) missileList->flags &= ~kCtlRadio;
  ShowAsMarkerBox(Tag(currentForm, "GRIDLOAD2"));
}

void MissileSelectPanel::Refresh() {
  unit = id > 0 ? static_cast<uint32_t>(id) : 0u;
  std::string name = "None Selected";
  if (unit != 0) {
    plat::CriticalSectionLock lock(g_simulationLock);
    const UnitRecord* u = FindUnitById(g_world, unit);
    const UnitClassRecord* cls = u ? ClassRecordAt(g_world, u->classIndex) : nullptr;
    if (cls) name.assign(cls->name, strnlen(cls->name, sizeof cls->name));
  }
  ControlSetText(Tag(currentForm, "MISSILE"), name.c_str());
  loadList = FillMissileList(selectList, unit, typeFilter, kNoCargoKind);
  SetControlFlag(Tag(StockPopup().currentForm, "SILOHDR"), kStateSelected, loadList);
}

void MissileSelectPanel::OnCommand(Control* control, int32_t value) {
  MissileStockPopup& popup = StockPopup();
  platform = loadList == 0 ? ListCurrentUnit(selectList) : 0u;
  // The load buttons act on the chosen stored missiles: the queue's rows
  // are not built yet, and choosing a stored one clears the queue's choice.
  MissilePanelCommand(currentForm, unit, &platform, control, value,
                      MissilePanelHosts{.refresh = &popup, .rowList = popup.storedList, .category = &typeFilter});
}

void MissileSelectPanel::OnActivate(Control* control, int32_t) {
  OnMissileListSelect(control, ListCurrentUnit(control), loadList);
}

void MissileSelectPanel::OnControlChange(Control* control, int32_t) {
  platform = loadList == 0 ? ListCurrentUnit(selectList) : 0u;
  RefreshMissileLoadPanel(currentForm, control, nullptr, unit, loadList ? nullptr : &platform,
                          ListCurrentUnit(control), loadList, nullptr, nullptr);
}
