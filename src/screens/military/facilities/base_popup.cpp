#include "screens/military/facilities/base_popup.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "app/duration_text.h"
#include "app/number_text.h"
#include "records/command_ids.h"
#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/order_words.h"
#include "records/player_policy.h"
#include "records/player_record.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "screens/common/frame/side_bars.h"
#include "screens/common/facilities/site_figures.h"
#include "screens/common/frame/map_geometry.h"
#include "screens/common/frame/map_view_state.h"
#include "screens/common/units/class_icon.h"
#include "screens/common/facilities/facility_figures.h"
#include "screens/common/facilities/object_popups.h"
#include "screens/common/units/build_lists.h"
#include "screens/military/facilities/facility_panels.h"
#include "screens/military/facilities/facility_popups.h"
#include "screens/military/production/production_lists.h"
#include "screens/screen_set.h"
#include "sim/facility_command_args.h"
#include "sim/game_command.h"
#include "sim/policy_block_fields.h"
#include "sim/region_names.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/list_refill.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "world/local_player.h"
#include "units/facilities/facility_build.h"
#include "world/hex_extra.h"
#include "world/hex_stack_chains.h"
#include "world/id_lookups.h"
#include "world/object_hex.h"
#include "world/record_helpers.h"
#include "world/unit_class.h"
#include "world/unit_class_flags.h"
#include "world/unit_create.h"
#include "world/world.h"

namespace {

// The name field's editing mark.
constexpr uint32_t kNameEditing = 0x100;
// The store's sale and scrap panels the base pop-up shows (their slot).
constexpr size_t kBaseConfirmSlot = 1;
constexpr size_t kBaseNameMax = 47;
constexpr float kBaseDaysInYear = 365.0f;
constexpr float kBaseRunningDivisor = 10.0f;
constexpr float kBaseWorkingUpkeepDivisor = 448000.0f;
constexpr float kBaseIdleUpkeepDivisor = 1792000.0f;
constexpr uint16_t kBaseSitesBeforeSurcharge = 18;

bool Usable(const UnitRecord* lead) { return FacilityLive(lead) && !(lead->ordersShown[kPostureBits] & kPostureInReserve); }

std::string HexLabel(const World& w, uint32_t cellIndex) {
  if (cellIndex >= w.cells.size()) return {};
  const HexUnitStack* stack = LoadHexStack(w.cells[cellIndex]);
  if (!stack || !stack->extra || !stack->extra->text) return {};
  return std::string(stack->extra->text, strnlen(stack->extra->text, kBaseNameMax));
}

// The local player's units at the cell that are being built: in
// production (their build slot held) or waiting in the queue.
void BuildingUnits(const World& w, uint32_t cellIndex, bool inProduction, ScreenParameterList& out) {
  out.entries.clear();
  const int32_t width = w.mapWidth > 0 ? w.mapWidth : 1;
  const auto x = static_cast<int32_t>(cellIndex % static_cast<uint32_t>(width));
  const auto y = static_cast<int32_t>(cellIndex / static_cast<uint32_t>(width));
  UnitRecord* head = w.units;
  for (UnitRecord* u = head; u;) {
    if (IsUnitLive(*u) && u->owner == w.gameState.localPlayer && !(u->unitFlags & kUnitFacility) && u->x == x &&
        u->y == y && (u->ordersShown[kPostureBits] & kPostureUnderConstruction) &&
        ((u->ordersShown[kStateFlags] & kStateHeldSlot) != 0) == inProduction)
      out.entries.push_back(static_cast<intptr_t>(u->id));
    u = u->next;
    if (u == head) break;
  }
}

void ListUnits(const World& w, ListBoxControl* list, const ScreenParameterList& units) {
  if (!list) return;
  for (intptr_t id : units.entries)
    if (const UnitRecord* u = FindUnitById(w, static_cast<uint32_t>(id)))
      ListAddTextItem(list, UnitDisplayName(w, *u).c_str(), static_cast<int32_t>(id), 0, 0, 0, 0);
}

}  // namespace

BaseHeaderFigures BaseHeaderCosts(const World& world, const FacilityView& view) {
  BaseHeaderFigures f;
  if (!view.present || !view.cls || view.owner < 0 || view.owner >= kMaxPlayers) return f;
  const UnitClassRecord& c = *view.cls;
  const PlayerRecord& owner = world.players[view.owner];
  const bool usable = Usable(view.present);
  const float strength = view.present->strength;
  const float staff = static_cast<float>(c.valuePerPoint);
  f.staff = usable ? staff * strength : staff;
  // The price of a build day at the class's scale; a class built in no time
  // has none, so it costs nothing to run.
  const float perDay = PerBuildDay(c.price, c.buildWorkPerPoint) * ClassCostScale(world, c);
  // Every base past the eighteenth makes each base dearer to run.
  const uint16_t sites = BaseSiteCount(owner);
  const bool base = (c.flags & kClassSettlement) != 0;
  const float siteShare = base && sites > kBaseSitesBeforeSurcharge ? static_cast<float>(sites) / 18.0f : 1.0f;
  const float running =
      (c.flags & (kClassSettlement | kClassRoad)) ? perDay / kBaseRunningDivisor * strength * siteShare : 0.0f;
  // One day's upkeep, a working base's share or an idle one's.
  const float share = usable ? 1.0f : 2.0f;
  const float divisor = usable ? kBaseWorkingUpkeepDivisor : kBaseIdleUpkeepDivisor;
  const float upkeep = (share * strength + 1.0f) * (perDay / divisor) * owner.gdpPerCapita;
  f.annualCost = 2.0f * f.staff * owner.gdpPerCapita + running * owner.costFactor * kBaseDaysInYear + upkeep;
  return f;
}

void FillBaseHeader(Control* form, uint32_t cellIndex, Control* actionsParent) {
  if (!form) return;
  if (actionsParent) g_screens.baseActions.Show(static_cast<intptr_t>(cellIndex), actionsParent);
  std::string label, region, className;
  BaseHeaderFigures figures;
  int32_t queue = 0, capacity = 0, visible = 0;
  bool live = false, delivery = false, moved = false;
  uint32_t packed = 0;
  const UnitRecord* lead = nullptr;
  const UnitClassRecord* cls = nullptr;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    World& w = g_world;
    if (cellIndex >= w.cells.size()) return;
    const FacilityView v = ViewFacility(w, cellIndex);
    packed = v.packed;
    if (w.gameState.currentHex.cellIndex != cellIndex || (w.gameState.currentHex.x == 0 && w.gameState.currentHex.y == 0)) {
      SetObjectHex(w, static_cast<int32_t>(packed & 0xFFFFu), static_cast<int32_t>(packed >> 16), w.gameState.currentHex);
      moved = true;
    }
    label = HexLabel(w, cellIndex);
    // The region that owns the hex, by its name, not the name its player
    // plays under.
    if (v.owner >= 0 && v.owner < kMaxPlayers) {
      const char* name = RegionDisplayName(w, v.owner);
      region = name ? name : "";
    }
    visible = v.visibleClass;
    cls = visible > 0 ? ClassRecordAt(w, visible) : nullptr;
    lead = v.present;
    live = FacilityLive(lead);
    if (live && cls) figures = BaseHeaderCosts(w, v);
    queue = live && !(lead->unitFlags & kUnitProvisional) ? lead->leadValue : 0;
    capacity = cls ? cls->baseSlots : 0;
    if (cls) className.assign(cls->name, strnlen(cls->name, sizeof cls->name));
    const int32_t category = cls ? BaseFacilityCategory(cls) : -1;
    const int32_t local = w.gameState.localPlayer;
    if (Usable(lead) && category >= 0 && local >= 0 && local < kMaxPlayers)
      delivery = static_cast<uint32_t>(BuildListValue(w.players[local].displayPolicy, category)) == packed;
  }
  if (moved) CentreMapOnHex(g_mapView, packed);
  Control* name = Tag(form, "BASENAME");
  ControlSetText(name, label.c_str());
  ControlSetText(Tag(form, "REGION"), region.c_str());
  if (live && cls) {
    SetControlNumberText(1, 0, "", 0, "", 0, static_cast<double>(figures.annualCost), Tag(form, "ANNCOST"));
    SetControlNumberText(0, 0, "", 0, "", 0, static_cast<double>(static_cast<int32_t>(figures.staff + 0.5f)),
                         Tag(form, "STAFF"));
  }
  SetFormatted(Tag(form, "QUEUE"), "%d", queue);
  SetFormatted(Tag(form, "CAPACITY"), "%d", capacity);
  ControlSetText(Tag(form, "BASEDESC"), className.c_str());
  if (cls) DrawUnitClassIcon(visible, lead, cls, Tag(form, "BASEPIC"), true, -1);
  SetHidden(Tag(form, "WMDELIV"), !delivery);
  if (name) name->flags &= ~kNameEditing;
  SetHidden(Tag(form, "RENBASEBUT"), false);
  SetHidden(Tag(form, "MPARENT2"), true);
  SetHidden(Tag(form, "HIDEBOX2"), false);
}

int32_t FormatBaseStatusText(const World& world, uint32_t cellIndex, ListBoxControl* list) {
  if (cellIndex >= world.cells.size()) return 0;
  const HexCell& cell = world.cells[cellIndex];
  const UnitRecord* lead = GetActiveObject(&cell, false);
  const UnitClassRecord* cls = FacilityLive(lead) ? ClassRecordAt(world, lead->classIndex) : nullptr;
  char text[96];
  if (cls && FacilityBuilding(lead)) {
    AddListNote(list, "Base Under Construction");
    const float rate = SupplyLevelFactor(HexLevelByte(world, cell), HexSupplierRate(world, cell));
    const float days = rate > 0.0f ? lead->buildWork / rate : 0.0f;
    std::snprintf(text, sizeof text, "(%s Remaining)", FormatDuration(days).c_str());
    AddListNote(list, text);
    const float daily = PerBuildDay(cls->price, cls->buildWorkPerPoint) * LocalCostFactor(world) *
                        ClassCostScale(world, *cls);
    char money[48];
    FormatNumberText(money, 1, 0, "", 0, "", 0, static_cast<double>(daily));
    std::snprintf(text, sizeof text, "(Daily Build Cost %s)", money);
    AddListNote(list, text);
    return 3;
  }
  if (FacilityBeingDemolished(lead)) {
    AddListNote(list, "Being Demolished");
    std::snprintf(text, sizeof text, "(%3.0f%% Strength Remaining)", static_cast<double>(lead->strength * 100.0f));
    AddListNote(list, text);
    return 2;
  }
  AddListNote(list, "Inactive");
  return 1;
}

int32_t FillBaseListRows(const World& world, uint32_t cellIndex, ListBoxControl* list, ScreenParameterList& units) {
  units.entries.clear();
  units.listControl = list;
  if (cellIndex >= world.cells.size()) return 0;
  if (!Usable(GetActiveObject(&world.cells[cellIndex], false))) {
    FormatBaseStatusText(world, cellIndex, list);
    return -1;
  }
  BuildingUnits(world, cellIndex, true, units);
  ListUnits(world, list, units);
  return 0;
}

void RefreshBaseProduction(Control* form, uint32_t cellIndex, Control* statusParent, BaseUnitLists& lists,
                           const ScreenParameterList* stepping) {
  if (!form) return;
  UpdateNextPrevButtons(stepping, form);
  for (const char* tag : {"STATPARENT", "PLATSTAT", "HIDEBOX1", "OFFLINE"}) SetHidden(Tag(form, tag), true);
  bool building = false;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    if (cellIndex < g_world.cells.size()) building = FacilityBuilding(GetActiveObject(&g_world.cells[cellIndex], false));
  }
  if (statusParent) {
    Screen& panel = building ? *g_screens.baseProgress : *g_screens.baseStatus;
    panel.Show(static_cast<intptr_t>(cellIndex), statusParent);
  }
  ListBoxControl* prod = TagAs<ListBoxControl>(form, "PRODLIST");
  ListBoxControl* queue = TagAs<ListBoxControl>(form, "QUELIST");
  ListBoxControl* stored = TagAs<ListBoxControl>(form, "STOREDLIST");
  const ListPlace prodPlace = ClearKeepingSelections(prod), queuePlace = ClearKeepingSelections(queue),
                  storedPlace = ClearKeepingSelections(stored);
  int32_t status = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const World& w = g_world;
    status = FillBaseListRows(w, cellIndex, prod, lists.production);
    lists.stored.entries.clear();
    if (status >= 0 && cellIndex < w.cells.size()) {
      for (const UnitRecord* u : ReserveUnitsAtHex(w, w.cells[cellIndex]))
        if (u->owner == w.gameState.localPlayer) lists.stored.entries.push_back(static_cast<intptr_t>(u->id));
      ListUnits(w, stored, lists.stored);
    }
    BuildingUnits(w, cellIndex, false, lists.queue);
    ListUnits(w, queue, lists.queue);
  }
  lists.stored.listControl = stored;
  lists.queue.listControl = queue;
  SetHidden(Tag(form, "OFFLINE"), status >= 0);
  if (status < 0) {
    AddListNote(stored, "Inactive");
    for (const char* tag : {"ALL", "SCRAPALL", "INSRESALL"}) SetHidden(Tag(form, tag), true);
  } else {
    const bool any = !lists.stored.entries.empty();
    SetHidden(Tag(form, "ALL"), !any);
    SetHidden(Tag(form, "SCRAPALL"), !any);
    SetHidden(Tag(form, "INSRESALL"), true);
  }
  SetHidden(Tag(form, "CLEAR"), lists.queue.entries.empty());
  RestoreSelections(prod, prodPlace);
  RestoreSelections(queue, queuePlace);
  RestoreSelections(stored, storedPlace);
  if (prod && !prod->firstRow) AddListNote(prod, lists.queue.entries.empty() ? "Idle" : "Retooling");
}

void BasePopup::BindControls() {
  prodList = MakeStockList(*this, "PRODLIST");
  queList = MakeStockList(*this, "QUELIST");
  storedList = MakeStockList(*this, "STOREDLIST");
  hideBox = Tag(currentForm, "HIDEBOX");
  subParent3 = Tag(currentForm, "SUBPARENT3");
  subParent4 = Tag(currentForm, "SUBPARENT4");
  parBase2 = Tag(currentForm, "PARBASE2");
  parBase3 = Tag(currentForm, "PARBASE3");
}

void BasePopup::OnOpen() {
  Control* f = currentForm;
  SetHidden(Tag(f, "NEXTBUT2"), true);
  SetHidden(Tag(f, "PREVBUT2"), true);
  bool found = false, autoBarred = false, computerBuilds = false;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const World& w = g_world;
    found = FindFacility(w);
    if (const UnitRecord* base = found ? FindUnitById(w, static_cast<uint32_t>(id)) : nullptr)
      autoBarred = (base->ordersShown[kStateFlags] & kStateDeployDue) != 0;
    const int32_t local = w.gameState.localPlayer;
    if (local >= 0 && local < kMaxPlayers)
      computerBuilds = (w.players[local].displayPolicy.militaryFlags & kMilitaryUnitAutoBuild) != 0;
  }
  if (!found) return;
  FillBaseHeader(f, cellIndex, subParent3);
  if (subParent4) g_screens.baseBuildList.Show(0, subParent4);
  SetControlFlag(Tag(f, "FILTERED"), kStateSelected, g_buildListFilters.filtered ? 1 : 0);
  SetHidden(Tag(f, "HIDEAUTO"), !computerBuilds);
  SetControlFlag(Tag(f, "ALLOWAUTO"), kStateSelected, autoBarred ? 0 : 1);
  if (parBase2) g_screens.baseClassSheet->Show(id, parBase2);
  if (parBase3) g_screens.baseAttackSheet->Show(id, parBase3);
}

void BasePopup::Refresh() {
  if (!currentForm) return;
  bool productionSite = false;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const World& w = g_world;
    if (cellIndex < w.cells.size() && VisibleLeadClass(w, &w.cells[cellIndex]) == shownClass) {
      const UnitClassRecord* cls = shownClass > 0 ? ClassRecordAt(w, shownClass) : nullptr;
      productionSite = cls && (cls->flags & kClassSettlement);
    }
  }
  if (!productionSite) return;
  RefreshBaseProduction(currentForm, cellIndex, hideBox, units, parameterList);
  if (subParent4) g_screens.baseBuildList.Refresh();
  SetFormatted(Tag(currentForm, "RESUNITS"), "%d", static_cast<int32_t>(units.stored.entries.size()));
}

void BasePopup::OnCommand(Control* control, int32_t controlId) {
  if (!control) return;
  if (ControlTagMatches(control->tag, "ALLOWAUTO")) {
    uint32_t packed = 0;
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      packed = PackedCellHex(g_world, cellIndex);
    }
    PostArgs(kCmdHexStack299, HexValueArgs{.hex = packed, .value = control->Selected() ? 0u : 1u});
    return;
  }
  if (ControlTagMatches(control->tag, "RENBASEBUT")) {
    StartBaseRename(currentForm);
    return;
  }
  ScreenSet& s = g_screens;
  OnProductionListCommand(currentForm, control, controlId,
                          ProductionListHosts{.buildList = &s.baseBuildList,
                                              .classSheet = &s.unitPicturePanels[0],
                                              .sell = &s.unitSaleOffers[kBaseConfirmSlot],
                                              .scrap = &s.unitScrapOffers[kBaseConfirmSlot],
                                              .scrapAll = &s.unitScrapOffers[kBaseConfirmSlot],
                                              .confirmParent = Tag(currentForm, "MPARENT2")});
}

void BasePopup::OnActivate(Control* control, int32_t controlId) {
  OnProductionListEvent(currentForm, control, controlId, nullptr, nullptr, 0);
}

void BasePopup::OnControlChange(Control* control, int32_t) {
  OnProductionListChange(currentForm, control, ListCurrentUnit(control), 1, &g_screens.unitPicturePanels[0]);
}

// The docked panels under the pop-up may show what it changed.
int32_t BasePopup::Close(int32_t noReturn) {
  const int32_t result = Screen::Close(noReturn);
  RefreshHostedDockScreens(g_screens);
  return result;
}

