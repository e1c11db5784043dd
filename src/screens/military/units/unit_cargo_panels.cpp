#include "screens/military/units/unit_cargo_panels.h"

#include "app/game_math.h"
#include "records/command_ids.h"
#include "records/order_words.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "screens/common/frame/map_click.h"
#include "screens/common/units/unit_lists.h"
#include "screens/military/inventory/missile_load_lists.h"
#include "screens/common/units/unit_command_grid.h"
#include "screens/screen_set.h"
#include "sim/game_command.h"
#include "sim/simulation_lock.h"
#include "sim/unit_order_args.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/list_refill.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "ui/text_box.h"
#include "units/hex_geometry.h"
#include "units/transport/cargo_boarding.h"
#include "units/unit_order_issue.h"
#include "units/unit_queries.h"
#include "world/id_lookups.h"
#include "world/list_holder.h"
#include "world/text/text_lists.h"
#include "world/unit_class.h"
#include "world/world.h"

namespace {

// A transfer moves the unit to the base, where it goes into the reserve.
constexpr uint32_t kTransferFlags = kOrderMove | kOrderWithdrawing;
constexpr uint32_t kMoveOrderId = 1;
constexpr int32_t kLowerListFlag = 0x10;
constexpr int32_t kBaseKind = 4;
constexpr int32_t kUiTextCarriedTitle = 5, kUiTextCarriedBody = 6;
const char* const kCargoTags[] = {"AVAILABLE", "MISSILELIST", "NOLOAD",  "LOAD",
                                   "LOADFILL",  "LOADSTOP",    "OFFLOAD", "UNLOADALL"};
// The payload marks: special weapons, and the kind immune to them.
constexpr int32_t kPayloadMarks[] = {1666, 1667};
const char* const kCargoLoadTags[] = {"AVAILABLE", "CLOAD", "CLOADSTOP", "GRIDCLOAD", "CORDER", "CENTRE"};
const char* const kTransferTags[] = {"LIST1", "OKBUT", "CENTRE"};

uint32_t IdOf(intptr_t id) { return id > 0 ? static_cast<uint32_t>(id) : 0u; }
uint32_t SelectedId(const ListBoxControl* list) {
  return list && list->selectedId > 0 ? static_cast<uint32_t>(list->selectedId) : 0u;
}

void HomeInDetailArea(Screen& s) { s.hostLink = &g_screens.unitDetail.detailHost; }

ListBoxControl* AvailableList(Screen& s, const char* tag) {
  ListBoxControl* list = MakeListBox(tag, 0, s.currentForm, 0, &s);
  if (list) list->flags &= ~static_cast<uint32_t>(kLowerListFlag);
  return list;
}

// The one row an empty list shows; it cannot be chosen.
void NoneAvailable(ListBoxControl* list) {
  if (!list || list->firstRow) return;
  if (Control* row = ListAddTextItem(list, "None Available", 0, 0, 0, 0, 1))
    row->flags &= ~(kCtlButton | kCtlCommand | kCtlRadio);
}

// The stock a transport carries (MISSILELIST), the list the shared load
// handlers unload from.
ListBoxControl* AboardList(Control* form) { return dynamic_cast<ListBoxControl*>(Tag(form, "MISSILELIST")); }

void CentreOn(uint32_t id) {
  plat::CriticalSectionLock lock(g_simulationLock);
  GotoMapObject(FindUnitById(g_world, id));
}

}  // namespace

int32_t CargoCapacitySought(const UnitClassRecord& cls) {
  const int32_t capacity = cls.cargoSlots;
  return cls.strengthPerSize == 1 && cls.kind != 0 ? capacity / 10 : capacity;
}

float CarrierRoomLeft(const World& world, const UnitRecord& carrier) {
  const UnitClassRecord* cls = ClassRecordAt(world, carrier.classIndex);
  const float room = cls ? cls->carryCapacity * carrier.strength : 0.0f;
  return room - UnitLoadTotal(world, carrier, true, true, true);
}

UnitCargoPanel::UnitCargoPanel()
    : Screen("POPUP_MILITARY1A6A", FormLookups{.tags = kCargoTags, .ids = kPayloadMarks}) {}

void UnitCargoPanel::BindControls() {
  HomeInDetailArea(*this);
  list = AvailableList(*this, "AVAILABLE");
  AvailableList(*this, "MISSILELIST");
  MarkScreenFlag1(*this);
}

void UnitCargoPanel::OnOpen() { unit = IdOf(id); }

void UnitCargoPanel::Refresh() {
  if (!list) return;
  // The stock the player picked stays picked across the refill (a Load
  // pressed on it now shows as pending), while it is still offered.
  const ListPlace place = ClearKeepingPlace(list);
  bool noLoad = false;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    World& w = g_world;
    const UnitRecord* u = FindUnitById(g_world, unit);
    const UnitClassRecord* cls = u ? ClassRecordAt(w, u->classIndex) : nullptr;
    if (u && cls) {
      ListHolder found{};
      CollectUnits(w, CollectUnitsArgs{.resultList = &found, .category = cls->kind, .stock = 1,
                                       .viewingPlayer = w.gameState.localPlayer, .relationMask = 1,
                                       .orderBit1AndSorting = 1, .orderStatus = 0, .clearFirst = 1,
                                       .cargoRoom = CargoCapacitySought(*cls), .missileLoadKinds = 15});
      FillUnitList(w, list, found, false, true, 0);
      ListHolderClear(found);
    }
    noLoad = u && (u->ordersShown[kOrdersHeader] & kHeaderNoStockLoading);
  }
  NoneAvailable(list);
  SetControlFlag(Tag(currentForm, "NOLOAD"), kStateSelected, noLoad ? 1 : 0);
  ListBoxControl* aboard = AboardList(currentForm);
  FillPlatformCargoList(aboard, unit);
  // Unloading nothing would only stop the transport loading.
  ShowTag(currentForm, "UNLOADALL", aboard && aboard->firstRow);
  RestoreSelectedId(list, place);
  if (list->selectedId == 0) OnControlChange(list, 0);
}

void UnitCargoPanel::OnControlChange(Control* control, int32_t) {
  ListBoxControl* aboard = AboardList(currentForm);
  if (!control || (control != list && control != aboard)) return;
  const uint32_t picked = SelectedId(static_cast<ListBoxControl*>(control));
  // A pick in one list silently lets go of the other's row: that row's
  // buttons are put away first.
  Control* other = control == list ? static_cast<Control*>(aboard) : list;
  if (picked && other) RefreshMissileLoadPanel(currentForm, other, nullptr, 0, &unit, 0, 0, nullptr, nullptr);
  RefreshMissileLoadPanel(currentForm, control, nullptr, 0, &unit, picked, 0, nullptr, nullptr);
  // The marks say what the picked row carries, whichever list it is in.
  // The shared re-lay shows them for stock offered and lights them for
  // stock aboard; here a mark shows exactly when it is lit.
  for (int32_t markId : kPayloadMarks) {
    Control* mark = Id(currentForm, markId);
    if (!mark) continue;
    if (control == list) {
      SetControlFlag(mark, kStateSelected, mark->Hidden() ? 0 : 1);
    } else {
      SetHidden(mark, !mark->Selected());
    }
  }
}

void UnitCargoPanel::OnCommand(Control* control, int32_t id) {
  if (Is(control, "BACK")) {
    CloseGridSubPanel(*this, false);
    return;
  }
  // The stock picked in AVAILABLE loads onto this unit; what the aboard
  // list holds unloads.
  MissilePanelCommand(currentForm, 0, &unit, control, control && control->id ? control->id : id,
                      MissilePanelHosts{.refresh = this, .rowList = list});
}

void UnitCargoPanel::OnActivate(Control* control, int32_t) {
  if (ListBoxControl* aboard = AboardList(currentForm); control && control == aboard) {
    OnMissileListSelect(control, SelectedId(aboard), 0);
    return;
  }
  if (control != list || list->selectedId <= 0) return;
  const ScreenParameterList offered = ListRowsToStep(list);
  g_screens.missileStockView.Popup(list->selectedId, &offered);
}

UnitCargoLoadPanel::UnitCargoLoadPanel()
    : Screen("POPUP_MILITARY1A13", FormLookups{.tags = kCargoLoadTags, .ids = {}}) {}

void UnitCargoLoadPanel::BindControls() {
  HomeInDetailArea(*this);
  list = AvailableList(*this, "AVAILABLE");
  MarkScreenFlag1(*this);
}

void UnitCargoLoadPanel::OnOpen() { unit = IdOf(id); }

void UnitCargoLoadPanel::Refresh() {
  if (!list) return;
  const int32_t scroll = list->scrollOffset;
  ListClear(list, 1);
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    World& w = g_world;
    if (const UnitRecord* u = FindUnitById(g_world, unit)) {
      ListHolder found{};
      CollectUnits(w, CollectUnitsArgs{.resultList = &found, .stock = 0, .viewingPlayer = w.gameState.localPlayer,
                                       .relationMask = 1, .orderBit1AndSorting = 1, .clearFirst = 1,
                                       .cargoRoom = CheckedTrunc(PassengerLoad(w, *u))});
      FillUnitList(w, list, found, false, true, 0);
      ListHolderClear(found);
    }
  }
  list->selectedId = 0, list->selectedValue = 0;
  NoneAvailable(list);
  list->scrollOffset = scroll;
}

void UnitCargoLoadPanel::OnControlChange(Control* control, int32_t) {
  if (control != list) return;
  Control* f = currentForm;
  for (const char* tag : {"CLOAD", "CLOADSTOP", "GRIDCLOAD"}) SetHidden(Tag(f, tag), true);
  const uint32_t carrierId = SelectedId(list);
  SetHidden(Tag(f, "CORDER"), carrierId == 0);
  SetHidden(Tag(f, "CENTRE"), carrierId == 0);
  if (!carrierId) return;
  plat::CriticalSectionLock lock(g_simulationLock);
  const UnitRecord* u = FindUnitById(g_world, unit);
  const UnitRecord* carrier = FindUnitById(g_world, carrierId);
  if (!u || !carrier) return;
  if (u->ordersShown[kOrderFlags] & kOrderLoadInto) {
    SetHidden(Tag(f, "CLOADSTOP"), false);
    return;
  }
  SetHidden(Tag(f, "CLOAD"), false);
  // The cover greys CLOAD while the carrier has too little room left.
  const bool fits = CarrierRoomLeft(g_world, *carrier) >= PassengerLoad(g_world, *u);
  SetHidden(Tag(f, "GRIDCLOAD"), fits);
}

void UnitCargoLoadPanel::OnCommand(Control* control, int32_t) {
  if (Is(control, "BACK")) CloseGridSubPanel(*this, false);
  if (Is(control, "CENTRE") && SelectedId(list)) CentreOn(SelectedId(list));
}

void UnitCargoLoadPanel::OnActivate(Control* control, int32_t) {
  if (control != list || list->selectedId <= 0) return;
  g_screens.unitDetail.Popup(list->selectedId, nullptr);
}

UnitTransferPanel::UnitTransferPanel()
    : Screen("POPUP_MILITARY1A8", FormLookups{.tags = kTransferTags, .ids = {}}) {}

void UnitTransferPanel::BindControls() {
  HomeInDetailArea(*this);
  list = MakeListBox("LIST1", 0, currentForm, 0, this);
}

void UnitTransferPanel::Refresh() {
  unit = IdOf(id);
  if (!list) return;
  const int32_t scroll = list->scrollOffset;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    World& w = g_world;
    const UnitRecord* u = FindUnitById(g_world, unit);
    ListHolder found{};
    if (u)
      CollectFacilityUnits(w, CollectFacilityArgs{.resultList = &found, .list = list, .domain = u->moveKind,
                                                  .facilityKind = kBaseKind, .owner = w.gameState.localPlayer,
                                                  .clearFirst = 1, .available = 1});
    ListHolderClear(found);
  }
  ListLayoutRows(list);
  list->scrollOffset = scroll;
}

void UnitTransferPanel::OnControlChange(Control* control, int32_t) {
  if (control != list) return;
  SetHidden(Tag(currentForm, "OKBUT"), SelectedId(list) == 0);
  SetHidden(Tag(currentForm, "CENTRE"), SelectedId(list) == 0);
}

void UnitTransferPanel::OnCommand(Control* control, int32_t) {
  const uint32_t baseId = SelectedId(list);
  if (Is(control, "BACK")) {
    CloseGridSubPanel(*this, false);
  } else if (Is(control, "CENTRE") && baseId) {
    CentreOn(baseId);
  } else if (Is(control, "OKBUT")) {
    bool sent = false;
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      const UnitRecord* base = FindUnitById(g_world, baseId);
      UnitRecord* moved = FindUnitById(g_world, unit);
      if (base && moved) {
        // The old orders go first, as with any order; and the move takes a
        // fresh route, since a route left from an earlier move would keep
        // the unit on its old way (or, ended, where it stands).
        PostArgs(kCmdUnitCancelOrders, OrderUnitArgs{.unit = unit});
        PostArgs(kCmdAddOrderFlags, OrderFlagsArgs{.unit = unit, .flags = kTransferFlags, .mask = 0});
        PostArgs(kCmdUnitSetOrderId, OrderValueArgs{.unit = unit, .value = kMoveOrderId});
        PostUnitCommand(g_world, *moved, nullptr, PackHex(base->x, base->y), false);
        sent = true;
      }
    }
    CloseGridSubPanel(*this, sent);
  }
}

namespace {

class UnitTextPanel2 : public Screen {
 public:
  UnitTextPanel2() : Screen("POPUP_MILITARY1A2") {}
  void BindControls() override {
    HomeInDetailArea(*this);
    first_ = MakeTextBox("TEXT1", 0, currentForm);
    second_ = MakeTextBox("TEXT2", 0, currentForm);
    if (first_ && first_->prototype) first_->prototype->fontSlot = 5, first_->prototype->textColour = 0xFFFFFFFF;
    if (second_ && second_->prototype) second_->prototype->fontSlot = 3, second_->prototype->textColour = 0xFF96BEFA;
  }
  void OnOpen() override {
    if (first_) TextBoxSetText(first_, TextListText(kListUitext, kUiTextCarriedTitle), 0, 1);
    if (second_) TextBoxSetText(second_, TextListText(kListUitext, kUiTextCarriedBody), 0, 1);
  }
  void OnCommand(Control* control, int32_t) override {
    if (Is(control, "BACK")) CloseGridSubPanel(*this, false);
    if (Is(control, "OKBUT")) CloseGridSubPanel(*this, true);
  }

 private:
  TextBoxControl* first_ = nullptr;
  TextBoxControl* second_ = nullptr;
};

}  // namespace

std::unique_ptr<Screen> MakeUnitTextPanel2() { return std::make_unique<UnitTextPanel2>(); }
