#include "screens/military/production/production_lists.h"

#include <utility>
#include <vector>

#include "records/command_ids.h"
#include "records/hex_cell.h"
#include "records/order_words.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "screens/common/facilities/facility_figures.h"
#include "screens/common/facilities/object_popups.h"
#include "screens/common/units/deploy_readiness.h"
#include "screens/military/facilities/base_popup.h"
#include "screens/screen_set.h"
#include "sim/game_command.h"
#include "sim/simulation_lock.h"
#include "sim/unit_command_args.h"
#include "sim/unit_order_args.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "units/unit_deploy.h"
#include "world/data_tables.h"
#include "world/id_lookups.h"
#include "world/record_helpers.h"
#include "world/text/ui_options.h"
#include "world/unit_class.h"
#include "world/unit_class_flags.h"
#include "world/unit_create.h"
#include "world/world.h"

namespace {

constexpr uint32_t kStepOne = 1, kStepFill = 255, kByteFull = 255;

void SetState(uint32_t unit, uint32_t mask, bool set) {
  PostArgs(kCmdUnitSetStateBits, OrderBitsArgs{.unit = unit, .bits = mask, .set = set ? 1u : 0u});
}
void MarkOrders(uint32_t unit, uint32_t word11) {
  PostArgs(kCmdAddOrderFlags, OrderBitsArgs{.unit = unit, .bits = word11, .set = 0});
}
void Remove(uint32_t unit) {
  SetState(unit, kStatePausedBuild, true);
  SetState(unit, kStateModeC, true);
  PostArgs(kCmdDisbandUnit, UnitArgs{.unit = unit});
}

// What the buttons read of a row's unit, copied under the lock.
struct RowUnit {
  uint32_t id = 0;
  uint32_t word11 = 0, word12 = 0, word13 = 0, word15 = 0;
  uint32_t carrier = 0;
  uint32_t flags = 0;
  // The staff the unit takes from the reserve.
  float staff = 0.0f;
};

RowUnit ReadRow(const UnitRecord& u) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const OrderBlock& o = u.ordersShown;
  const UnitClassRecord* cls = ClassRecordAt(g_world, u.classIndex);
  const float staff = cls ? static_cast<float>(cls->valuePerPoint) * u.targetStrength : 0.0f;
  return {u.id, o[kOrderFlags], o[kStateFlags], o[kOrdersHeader], o[kPostureBits], u.carrier, u.unitFlags, staff};
}

std::vector<RowUnit> Rows(ListBoxControl* list, bool all) {
  std::vector<RowUnit> out;
  if (!list) return out;
  plat::CriticalSectionLock lock(g_simulationLock);
  for (Control* row = list->firstRow; row; row = ListNextRow(list, row)) {
    if (!all && !row->Selected()) continue;
    const UnitRecord* u = FindUnitById(g_world, static_cast<uint32_t>(row->id));
    if (u) out.push_back(ReadRow(*u));
  }
  return out;
}

void Deploy(const RowUnit& u) {
  if (u.word11 & kOrderLoadInto) return;
  if (u.carrier != 0) {
    PostArgs(kCmdUnitSetOrderLevel, OrderValueArgs{.unit = u.id, .value = kByteFull});
    MarkOrders(u.id, kOrderUnloadDue);
    return;
  }
  PostArgs(kCmdUnitSetOrderLevel, OrderValueArgs{.unit = u.id, .value = kByteFull});
  SetState(u.id, kStateDeployRefused, true);
  MarkOrders(u.id, kOrderLoadInto);
}

// The live facility on the map's current hex, 0 for none.
uint32_t CurrentHexFacility() {
  plat::CriticalSectionLock lock(g_simulationLock);
  const HexPosition& hex = g_world.gameState.currentHex;
  if (hex.cellIndex >= g_world.cells.size()) return 0;
  const UnitRecord* lead = GetActiveObject(&g_world.cells[hex.cellIndex], false);
  return lead && IsUnitLive(*lead) ? lead->id : 0;
}

void SetToggleOnRows(ListBoxControl* list, uint32_t mask, bool on) {
  for (const RowUnit& u : Rows(list, false)) SetState(u.id, mask, on);
}

// AUTOBUT and CONTBUT: with a unit current, the selected rows; without, the
// default new orders take.
void ProductionToggle(Control* form, Control* toggle, uint32_t mask, int32_t& remembered) {
  ListBoxControl* prod = TagAs<ListBoxControl>(form, "PRODLIST");
  ListBoxControl* queue = TagAs<ListBoxControl>(form, "QUELIST");
  ListBoxControl* target = ListCurrentUnit(prod) != 0 ? prod : (ListCurrentUnit(queue) != 0 ? queue : nullptr);
  if (target) {
    SetToggleOnRows(target, mask, toggle->Selected());
  } else {
    remembered = toggle->Selected() ? 1 : 0;
  }
}

void ShowUnitClass(Screen* screen, Control* parent, uint32_t unit) {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (!screen || !parent) return;
  int32_t classIndex = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    if (const UnitRecord* u = FindUnitById(g_world, unit)) classIndex = u->classIndex;
  }
  if (ClassRecordAt(g_world, classIndex)) screen->Show(classIndex, parent);
}

void CommonSteps(Control* form, Control* changed, const RowUnit& u, int32_t exclusive, Screen* sheet,
                 Screen* platform) {
  if (exclusive) {
    for (const char* tag : {"PRODLIST", "QUELIST", "STOREDLIST", "LIST5"})
      if (ListBoxControl* other = TagAs<ListBoxControl>(form, tag); other && other != changed) ListDeselectAll(other);
    for (const char* tag : {"STATPARENT", "PLATSTAT", "HIDEBOX1", "HIDEAUTH"}) ShowTag(form, tag, true);
  }
  ShowUnitClass(sheet, Tag(form, "STATPARENT"), u.id);
  ShowUnitClass(platform, Tag(form, "PLATSTAT"), u.id);
  SetControlFlag(Tag(form, "AUTOBUT"), kStateSelected, (u.word12 & kStateDeployRefused) ? 1 : 0);
  SetControlFlag(Tag(form, "CONTBUT"), kStateSelected, (u.word12 & kStateDeployDue) ? 1 : 0);
  SetControlFlag(Tag(form, "AUTHBOX"), kStateSelected, (u.word13 & kHeaderLaunchAllowed) ? 1 : 0);
}

RowUnit UnitById(uint32_t id) {
  if (id == 0) return {};
  plat::CriticalSectionLock lock(g_simulationLock);
  const UnitRecord* u = FindUnitById(g_world, id);
  return u ? ReadRow(*u) : RowUnit{};
}

// SELL, SCRAPU and SCRAPALL: the confirm panel, shown for the store's
// current unit in the confirm parent, in place of HIDEBOX2.
void OpenConfirmPanel(Control* form, ListBoxControl* store, StoreConfirmPanel* panel, const ProductionListHosts& hosts,
                      bool showClass) {
  const uint32_t unit = ListCurrentUnit(store);
  if (showClass && unit != 0) ShowUnitClass(hosts.classSheet, hosts.classSheetParent, unit);
  if (!hosts.confirmParent || !panel) return;
  SetHidden(Tag(form, "HIDEBOX2"), true);
  SetHidden(hosts.confirmParent, false);
  panel->rowList = store;
  panel->Show(static_cast<intptr_t>(unit), hosts.confirmParent);
}

}  // namespace

void RefreshBaseProduction(Control* form, const HexCell* cell, int32_t mode, ProductionListState* a,
                           ProductionListState* b) {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (!form) return;
  const std::vector<HexCell>& cells = g_world.cells;
  const bool onMap = cell && cell >= cells.data() && cell < cells.data() + cells.size();
  if (onMap && mode != kProductionNoBase) {
    BaseUnitLists lists;
    RefreshBaseProduction(form, static_cast<uint32_t>(cell - cells.data()), nullptr, lists, nullptr);
    if (a) a->units = lists.production;
    if (b) b->units = lists.queue;
    return;
  }
  // Without a base: every unit of the player being built, then queued.
  ListBoxControl* prod = TagAs<ListBoxControl>(form, "PRODLIST");
  ListBoxControl* queue = TagAs<ListBoxControl>(form, "QUELIST");
  ScreenParameterList building, waiting;
  for (ListBoxControl* list : {prod, queue}) {
    if (!list) continue;
    ListPrepareRows(list);
    ListClear(list, 1);
  }
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const World& w = g_world;
    UnitRecord* head = w.units;
    for (UnitRecord* u = head; u;) {
      if (IsUnitLive(*u) && u->owner == w.gameState.localPlayer && !(u->unitFlags & kUnitFacility) &&
          (u->ordersShown[kPostureBits] & kPostureUnderConstruction)) {
        const bool inProduction = (u->ordersShown[kStateFlags] & kStateHeldSlot) != 0;
        (inProduction ? building : waiting).entries.push_back(static_cast<intptr_t>(u->id));
        if (ListBoxControl* list = inProduction ? prod : queue)
          ListAddTextItem(list, UnitDisplayName(w, *u).c_str(), static_cast<int32_t>(u->id), 0, 0, 0, 0);
      }
      u = u->next;
      if (u == head) break;
    }
  }
  building.listControl = prod;
  waiting.listControl = queue;
  for (ListBoxControl* list : {prod, queue}) {
    if (!list) continue;
    if (list->savedSelection) ListApplyToItems(list, *list->savedSelection);
    ListLayoutRows(list);
  }
  SetHidden(Tag(form, "CLEAR"), waiting.entries.empty());
  if (prod && !prod->firstRow) AddListNote(prod, waiting.entries.empty() ? "Idle" : "Retooling");
  if (a) a->units = std::move(building);
  if (b) b->units = std::move(waiting);
}

void AddListNote(ListBoxControl* list, const char* text) {
  if (!list) return;
  if (Control* row = ListAddTextItem(list, text, 0, 0, 0, 0, 1)) row->flags &= ~kCtlButton;
}

ListBoxControl* MakeStockList(Screen& owner, const char* tag) {
  ListBoxControl* list = MakeListBox(tag, 0, owner.currentForm, kListIndicators, &owner);
  if (list) list->flags &= ~kCtlRadio;
  return list;
}

uint32_t ListCurrentUnit(Control* list) {
  auto* box = dynamic_cast<ListBoxControl*>(list);
  return box && box->selectedId > 0 ? static_cast<uint32_t>(box->selectedId) : 0;
}

void DeployUnitsFromList(ListBoxControl* list, bool all) {
  if (!list) return;
  std::vector<uint32_t> ids;
  for (Control* row = list->firstRow; row; row = ListNextRow(list, row))
    if (all || row->Selected()) ids.push_back(static_cast<uint32_t>(row->id));
  std::vector<uint32_t> keep;
  for (int32_t pass = 0; pass < 2; ++pass) {
    for (uint32_t id : ids) {
      bool autoDeploy = false;
      {
        plat::CriticalSectionLock lock(g_simulationLock);
        UnitRecord* u = FindUnitById(g_world, id);
        if (!u || DeployReadiness(g_world, *u) != pass) continue;
        autoDeploy = !all && (u->ordersShown[kStateFlags] & kStateDeployRefused);
        if (!autoDeploy) PlaceUnitOnMap(g_world, *u);
      }
      // Such a unit deploys itself when built: the order only drops that.
      if (autoDeploy) SetState(id, kStateDeployRefused, false);
    }
  }
}

void PostBaseUnitOrders(ListBoxControl* list, bool all, uint32_t carrier, int32_t authorisation, bool load,
                        bool fill) {
  for (const RowUnit& u : Rows(list, all)) {
    if (u.word11 & kOrderLoadInto) {
      if (!load) PostArgs(kCmdUnitCancelOrders, OrderUnitArgs{.unit = u.id});
      continue;
    }
    if ((u.carrier != 0 && u.carrier != carrier) || !load) {
      if (fill) {
        PostArgs(kCmdUnitAddOrderLevel, OrderValueArgs{.unit = u.id, .value = kStepOne});
      } else {
        PostArgs(kCmdUnitSetOrderLevel, OrderValueArgs{.unit = u.id, .value = kByteFull});
      }
      MarkOrders(u.id, kOrderUnloadDue);
      continue;
    }
    if (carrier != 0) PostArgs(kCmdUnitSetLeaderUnit, OrderTargetArgs{.unit = u.id, .target = carrier});
    if (authorisation >= 0)
      PostArgs(kCmdUnitSetOrdersHeaderBits, OrderBitsArgs{.unit = u.id, .bits = kHeaderLaunchAllowed,
                                                          .set = static_cast<uint32_t>(authorisation)});
    if (fill) {
      PostArgs(kCmdUnitAddOrderLevel, OrderValueArgs{.unit = u.id, .value = kStepOne});
      SetState(u.id, kStateDeployRefused, false);
    } else {
      PostArgs(kCmdUnitSetOrderLevel, OrderValueArgs{.unit = u.id, .value = kByteFull});
      SetState(u.id, kStateDeployRefused, carrier == 0);
    }
    MarkOrders(u.id, kOrderLoadInto);
  }
}

void OnQueueButton(Control* control, uint32_t unit, Control* form) {
  if (!control || unit == 0) return;
  if (Is(control, "CANCEL") || Is(control, "REMBUT")) {
    if (UnitById(unit).id == 0) return;
    UnitRecord named{};
    named.id = unit;
    PostUnitReleaseCommands(named);
  } else if (Is(control, "REQUEBUT")) {
    SetState(unit, kStateHeldSlot, false);
    SetState(unit, kStatePausedBuild, true);
  } else if (Is(control, "UNHOLD")) {
    SetState(unit, kStatePausedBuild, false);
  } else if (Is(control, "HOLD")) {
    SetState(unit, kStatePausedBuild, true);
  }
  if (form && form->owner && form->owner->currentForm) form->owner->Refresh();
}

void OnProductionListCommand(Control* form, Control* control, int32_t value, const ProductionListHosts& hosts) {
  if (!control) return;
  ListBoxControl* prod = TagAs<ListBoxControl>(form, "PRODLIST");
  if (!prod) prod = TagAs<ListBoxControl>(form, "STOREDLIST");
  ListBoxControl* queue = TagAs<ListBoxControl>(form, "QUELIST");
  ListBoxControl* store = TagAs<ListBoxControl>(form, "STOREDLIST");
  Screen* own = form ? form->owner : nullptr;
  auto refresh = [&] {
    if (own && own->currentForm) own->Refresh();
  };
  if (Is(control, "NEXTBUT") || Is(control, "NEXTBUT2") || Is(control, "PREVBUT") || Is(control, "PREVBUT2")) {
    if (own) SelectListItem(*own, Is(control, "NEXTBUT") || Is(control, "NEXTBUT2") ? 1 : -1);
    return;
  } else if (Is(control, "FILTERED")) {
    g_buildListFilters.filtered = control->Selected();
    refresh();
    if (hosts.buildList && hosts.buildList->currentForm) hosts.buildList->Refresh();
  } else if (Is(control, "CANCEL")) {
    for (const RowUnit& u : Rows(prod, false)) {
      UnitRecord named{};
      named.id = u.id;
      PostUnitReleaseCommands(named);
    }
  } else if (Is(control, "REMBUT")) {
    for (const RowUnit& u : Rows(queue, false)) Remove(u.id);
  } else if (Is(control, "CLEAR")) {
    for (const RowUnit& u : Rows(queue, true)) Remove(u.id);
  } else if (Is(control, "REQUEBUT")) {
    for (const RowUnit& u : Rows(prod, false)) {
      SetState(u.id, kStateHeldSlot, false);
      SetState(u.id, kStatePausedBuild, true);
    }
  } else if (Is(control, "UNHOLD") || Is(control, "HOLD")) {
    for (const RowUnit& u : Rows(queue, false)) SetState(u.id, kStatePausedBuild, Is(control, "HOLD"));
  } else if (Is(control, "DEPLOY") || Is(control, "ALL")) {
    DeployUnitsFromList(store, Is(control, "ALL"));
  } else if (Is(control, "DEPONE") || Is(control, "DEPALL")) {
    for (const RowUnit& u : Rows(store, Is(control, "DEPALL"))) Deploy(u);
  } else if (Is(control, "LOAD") || Is(control, "LOADFILL")) {
    const uint32_t facility = CurrentHexFacility();
    if (facility == 0) return;
    for (const RowUnit& u : Rows(store, false)) {
      PostArgs(kCmdUnitSetLeaderUnit, OrderTargetArgs{.unit = u.id, .target = facility});
      PostArgs(kCmdUnitAddOrderLevel, OrderValueArgs{.unit = u.id,
                                                     .value = static_cast<uint32_t>(Is(control, "LOAD") ? kStepOne : kStepFill)});
      MarkOrders(u.id, kOrderLoadInto);
    }
  } else if (Is(control, "UNLOAD")) {
    for (const RowUnit& u : Rows(TagAs<ListBoxControl>(form, "LIST1"), false)) {
      PostArgs(kCmdUnitAddOrderLevel, OrderValueArgs{.unit = u.id, .value = kStepOne});
      MarkOrders(u.id, kOrderUnloadDue);
    }
    if (hosts.buildList && hosts.buildList->currentForm) hosts.buildList->Refresh();
  } else if (Is(control, "LOADSTOP")) {
    for (const RowUnit& u : Rows(store, false)) PostArgs(kCmdUnitCancelOrders, OrderUnitArgs{.unit = u.id});
  } else if (Is(control, "SELL") || Is(control, "SCRAPU")) {
    // Nothing to sell or scrap without a current unit.
    if (ListCurrentUnit(store) == 0) return;
    OpenConfirmPanel(form, store, Is(control, "SELL") ? hosts.sell : hosts.scrap, hosts, true);
  } else if (Is(control, "SCRAPALL")) {
    OpenConfirmPanel(form, store, hosts.scrapAll, hosts, false);
  } else if (Is(control, "RENBASEBUT")) {
    if (Control* name = Tag(form, "BASENAME")) name->flags |= 0x100;
    SetHidden(control, true);
  } else if (Is(control, "CLOSEBUT")) {
    if (own) own->Close();
    return;
  } else if (Is(control, "STOREDLIST")) {
    if (ListCurrentUnit(control) != 0) {
      SetHidden(Tag(form, "MPARENT2"), true);
      SetHidden(Tag(form, "HIDEBOX2"), false);
    }
  } else if (Is(control, "AUTOBUT")) {
    ProductionToggle(form, control, kStateDeployRefused, g_uiOptions.bautodeployset);
  } else if (Is(control, "CONTBUT")) {
    ProductionToggle(form, control, kStateDeployDue, g_uiOptions.bcontinuousset);
  } else if (Is(control, "AUTHBOX")) {
    ListBoxControl* target = ListCurrentUnit(prod) ? prod : ListCurrentUnit(queue) ? queue : store;
    for (const RowUnit& u : Rows(target, false))
      PostArgs(kCmdUnitSetOrdersHeaderBits, OrderBitsArgs{.unit = u.id, .bits = kHeaderLaunchAllowed,
                                                          .set = static_cast<uint32_t>(control->Selected() ? 1 : 0)});
  } else if ((value >= 300 && value <= 305) || (value >= 400 && value <= 405)) {
    if (hosts.tabIndex) *hosts.tabIndex = value % 100;
  } else if (!((value >= 1665 && value <= 1667) || (value >= 2665 && value <= 2667) ||
               (value >= 3665 && value <= 3667))) {
    return;
  }
  refresh();
}

void OnProductionListChange(Control* form, Control* control, uint32_t unit, int32_t exclusive, Screen* classSheet,
                            Screen* platform) {
  if (!control) return;
  const RowUnit u = UnitById(unit);
  const bool has = u.id != 0;
  if (Is(control, "QUELIST")) {
    ShowTag(form, "HOLD", has && !(u.word12 & kStatePausedBuild));
    ShowTag(form, "UNHOLD", has && (u.word12 & kStatePausedBuild));
    if (has) CommonSteps(form, control, u, exclusive, classSheet, platform);
    ShowTag(form, "REMBUT", has);
    ShowTag(form, "UPBUT", false);
    ShowTag(form, "DOWNBUT", false);
  } else if (Is(control, "PRODLIST")) {
    if (has) CommonSteps(form, control, u, exclusive, classSheet, platform);
    ShowTag(form, "REQUEBUT", has);
    ShowTag(form, "CANCEL", has);
  } else if (Is(control, "STOREDLIST")) {
    if (has && exclusive) {
      for (const char* tag : {"PRODLIST", "QUELIST", "LIST5"})
        if (ListBoxControl* other = TagAs<ListBoxControl>(form, tag)) ListDeselectAll(other);
      for (const char* tag : {"STATPARENT", "PLATSTAT", "HIDEAUTH"}) ShowTag(form, tag, true);
      ShowTag(form, "HIDEBOX1", false);
    }
    if (!has)
      for (const char* tag : {"LOAD", "LOADFILL", "CANCEL", "SCRAPU", "DEPLOY", "DEPONE", "SELL"}) ShowTag(form, tag, false);
    for (const char* tag : {"SCRAPALL", "INSRES", "GRIDLOAD1", "LOADSTOP"}) ShowTag(form, tag, false);
    if (!has) return;
    ShowUnitClass(classSheet, Tag(form, "STATPARENT"), u.id);
    ShowUnitClass(platform, Tag(form, "PLATSTAT"), u.id);
    SetControlFlag(Tag(form, "AUTHBOX"), kStateSelected, (u.word13 & kHeaderLaunchAllowed) ? 1 : 0);
    if (u.word15 & kPostureUnderConstruction) {
      ShowTag(form, "CANCEL", true);
      ShowTag(form, "SELL", false);
      ShowTag(form, "SCRAPU", false);
    }
    if ((u.flags & kUnitStock) && (u.word11 & kOrderLoadInto)) {
      ShowTag(form, "GRIDLOAD1", true);
      ShowTag(form, "LOADSTOP", true);
      ShowTag(form, "SELL", false);
      ShowTag(form, "DEPLOY", false);
    }
    // The reserve cannot staff it.
    float reserve = 0.0f;
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      reserve = LocalReserveForce(g_world);
    }
    if (u.staff > reserve) {
      Control* note = Tag(form, "INSRES");
      ShowAsMarkerBox(note);
      SetHidden(note, false);
    }
  }
}

void OnProductionListEvent(Control*, Control* control, int32_t id, ProductionListState* a, ProductionListState* b,
                           int32_t mode, const ScreenParameterList* anchor) {
  if (!control) return;
  if (Is(control, "AVAILLIST")) {
    const auto* list = dynamic_cast<ListBoxControl*>(control);
    const intptr_t item = list && list->selectedValue != 0 ? list->selectedValue : id;
    if (item != 0) g_screens.unitBuild.Popup(item, anchor);
    return;
  }
  if (!Is(control, "PRODLIST") && !Is(control, "STOREDLIST") && !Is(control, "QUELIST")) return;
  const uint32_t unit = ListCurrentUnit(control);
  if (unit == 0) return;
  // The pop-up keeps the list it steps through: the host's, when it keeps
  // this list's units, else the units of the list's rows as they stand.
  static ScreenParameterList rowUnits;
  const ScreenParameterList* stepping = nullptr;
  for (const ProductionListState* s : {a, b})
    if (s && s->units.listControl == control) stepping = &s->units;
  if (!stepping) {
    rowUnits.entries.clear();
    rowUnits.listControl = control;
    const auto* list = dynamic_cast<ListBoxControl*>(control);
    for (Control* row = list ? list->firstRow : nullptr; row; row = ListNextRow(list, row))
      if (row->id > 0) rowUnits.entries.push_back(row->id);
    stepping = &rowUnits;
  }
  Screen& popup = mode == kProductionSiloBase ? static_cast<Screen&>(g_screens.missileStockView)
                                              : static_cast<Screen&>(g_screens.unitDetail);
  popup.Popup(static_cast<intptr_t>(unit), stepping);
}

void InstallProductionListLinks() {
  ProductionListLinks& links = g_productionListLinks;
  links.refreshBaseProduction = RefreshBaseProduction;
  links.onCommand = [](Control* form, Control* control, int32_t value) {
    OnProductionListCommand(form, control, value);
  };
  links.onChange = [](Control* form, Control* control) {
    OnProductionListChange(form, control, ListCurrentUnit(control), 1);
  };
  links.onEvent = [](Control* form, Control* control, int32_t id, ProductionListState* a, ProductionListState* b,
                     int32_t mode) { OnProductionListEvent(form, control, id, a, b, mode); };
}
