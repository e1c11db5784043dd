#include "screens/main/panels/cargo_panel.h"

#include <cstdio>
#include <span>
#include <vector>

#include "platform/window.h"
#include "records/command_ids.h"
#include "records/order_words.h"
#include "records/unit_table_arrays.h"
#include "records/unit_record.h"
#include "screens/common/frame/side_bars.h"
#include "screens/main/map/map_view.h"
#include "screens/common/frame/unit_selection.h"
#include "screens/common/units/unit_tab_figures.h"
#include "screens/main/panels/unit_tab_panels.h"
#include "screens/common/units/unit_lists.h"
#include "screens/screen_set.h"
#include "sim/game_command.h"
#include "sim/simulation_lock.h"
#include "sim/unit_order_args.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "ui/slide_bar.h"
#include "ui/string_control.h"
#include "units/unit_queries.h"
#include "world/data_tables.h"
#include "world/list_holder.h"
#include "world/text/text_lists.h"
#include "world/text/ui_options.h"
#include "world/unit_class.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

bool IsMissile(const UnitRecord& unit) { return (unit.unitFlags & kUnitStock) != 0; }

void KeepIds(const ListHolder& units, ScreenParameterList& into) {
  into.entries.clear();
  for (const ListItem28* item = FirstInHolder(units); item; item = NextInHolder(units, item))
    into.entries.push_back(item->callerWord);
}

}  // namespace

void PostUnloadAll(uint32_t carrier, std::span<const uint32_t> missiles) {
  if (carrier != 0)
    PostArgs(kCmdUnitSetOrdersHeaderBits, OrderBitsArgs{.unit = carrier, .bits = kHeaderNoStockLoading, .set = 1});
  for (const uint32_t missile : missiles) {
    PostArgs(kCmdUnitSetOrderLevel, OrderValueArgs{.unit = missile, .value = 255});
    PostArgs(kCmdAddOrderFlags, OrderFlagsArgs{.unit = missile, .flags = kOrderUnloadDue, .mask = 0});
  }
}

const char* EmptyCargoText(bool hasCargoCapacity, bool hasMissileCapacity) {
  if (!hasMissileCapacity) return "No Cargo";
  return hasCargoCapacity ? "No Cargo/Missiles" : "No Missiles";
}

void CargoPanel::BindControls() {
  DockInSecondBotbar2(*this);
  cargoList = MakeListBox("CARGOLIST", 0, currentForm, 0, this);
}

void CargoPanel::OnOpen() {
  if (DockedAtThirdLevel(*this)) ScreenSlotSelectMapMode(g_screens);
}

void CargoPanel::Refresh() {
  if (!cargoList) return;
  plat::CriticalSectionLock lock(g_simulationLock);
  const UnitRecord* carrier = LiveTabUnit(id);
  const UnitClassRecord* cls = carrier ? ClassRecordAt(g_world, carrier->classIndex) : nullptr;
  const int32_t keptScroll = cargoList->scrollOffset;
  ListClear(cargoList, 0);
  carried_.entries.clear();
  missiles_.entries.clear();
  if (!cls) return;
  const CarrierLoad load = CarrierLoadOf(g_world, *carrier, *cls);
  ListHolder units{}, missiles{};
  for (const UnitRecord* aboard : UnitsAboard(g_world, *carrier))
    AddUnitRef(IsMissile(*aboard) ? missiles : units, *aboard);
  if (SlideBarControl* bar = dynamic_cast<SlideBarControl*>(Tag(*this, "CARGOSLDR"))) {
    SliderSetMaxInt(bar, static_cast<int32_t>(load.capacity));
    SliderSetValueIntNotify(bar, static_cast<int32_t>(load.total));
    SliderSetValueIntRaw(bar, static_cast<int32_t>(load.carried));
  }
  SetControlNumberText(0, 0, "", 0, "", 0, static_cast<double>(load.capacity), Tag(*this, "LIMIT"));
  SetControlNumberText(0, 0, "", 0, "", 0, static_cast<double>(load.total), Tag(*this, "LOAD"));
  SetHidden(Tag(*this, "CARGOHIDE"), cls->carryCapacity == 0.0f);
  SetHidden(Tag(*this, "NOLOADHIDE"), cls->cargoSlots == 0);
  if (Control* noLoad = Tag(*this, "NOLOAD"))
    noLoad->SetSelected((carrier->ordersShown[kOrdersHeader] & kHeaderNoStockLoading) ? 1 : 0);

  const int32_t wholeGoods = static_cast<int32_t>(load.goods);
  if (wholeGoods > 0) {
    char text[64];
    std::snprintf(text, sizeof text, "SUP %d %s", wholeGoods, TextListText(kListProdunits, 10));
    ListAddTextItem(cargoList, text, 0, 0, 0, 0, 0);
  }
  const bool hasMissiles = missiles.first != nullptr;
  KeepIds(units, carried_);
  KeepIds(missiles, missiles_);
  FillUnitList(g_world, cargoList, units, false, false, -1);
  FillUnitList(g_world, cargoList, missiles, false, false, -1);
  ListHolderClear(units);
  ListHolderClear(missiles);
  SetHidden(Tag(*this, "UNLOADALL"), !hasMissiles);
  if (!cargoList->firstRow)
    ListAddTextItem(cargoList, EmptyCargoText(cls->carryCapacity != 0.0f, cls->cargoSlots != 0), 0, 0, 0, 0, 0);
  ListLayoutRows(cargoList);
  cargoList->scrollOffset = keptScroll;
  ListLayoutRows(cargoList);
  if (!ListNextSelected(cargoList, nullptr)) ListSelectItem(0, cargoList, cargoList->firstRow, 0);
}

std::vector<uint32_t> CargoPanel::RowUnits(bool selectedOnly) const {
  std::vector<uint32_t> ids;
  if (!cargoList) return ids;
  for (Control* row = ListNextRow(cargoList, nullptr); row; row = ListNextRow(cargoList, row)) {
    if (selectedOnly && !row->Selected()) continue;
    const uint32_t unit = static_cast<uint32_t>(ListRowValue(row));
    if (unit != 0) ids.push_back(unit);
  }
  return ids;
}

void CargoPanel::AdvanceSelection() {
  if (cargoList) ListSelectNext(cargoList);
}

void CargoPanel::OnCommand(Control* control, int32_t controlId) {
  if (!control) return;
  const bool shift = plat::IsKeyHeld(plat::kVkShift);
  const uint32_t carrier = static_cast<uint32_t>(id);
  bool acted = true;
  if (ControlTagMatches(control->tag, "LAUNCH")) {
    for (const uint32_t unit : RowUnits(true)) {
      PostArgs(kCmdUnitSetOrdersHeaderBits, OrderBitsArgs{.unit = unit, .bits = kHeaderLaunchAllowed, .set = 1});
      PostArgs(kCmdAddOrderFlags, OrderFlagsArgs{.unit = unit, .flags = kOrderLaunchCargo, .mask = 0});
    }
    AdvanceSelection();
  } else if (controlId == 999) {
    const bool missilesOnly = ControlTagMatches(control->tag, "UNLOADM");
    if (missilesOnly && carrier != 0)
      PostArgs(kCmdUnitSetOrdersHeaderBits, OrderBitsArgs{.unit = carrier, .bits = kHeaderNoStockLoading, .set = 1});
    for (const uint32_t unit : RowUnits(true)) {
      bool missile = false;
      {
        plat::CriticalSectionLock lock(g_simulationLock);
        const UnitRecord* u = LiveTabUnit(unit);
        missile = u && IsMissile(*u);
      }
      if (missile) PostArgs(kCmdUnitAddOrderLevel, OrderValueArgs{.unit = unit, .value = 1});
      PostArgs(kCmdAddOrderFlags, OrderFlagsArgs{.unit = unit, .flags = kOrderUnloadDue, .mask = 0});
    }
    if (!missilesOnly) AdvanceSelection();
  } else if (ControlTagMatches(control->tag, "UNLOADALL")) {
    std::vector<uint32_t> missiles;
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      for (const uint32_t unit : RowUnits(false))
        if (const UnitRecord* u = LiveTabUnit(unit); u && IsMissile(*u)) missiles.push_back(unit);
    }
    PostUnloadAll(carrier, missiles);
    AdvanceSelection();
  } else if (ControlTagMatches(control->tag, "AUTHBOXB")) {
    const uint32_t on = control->Selected() ? 1u : 0u;
    for (const uint32_t unit : RowUnits(true)) {
      PostArgs(kCmdUnitSetOrdersHeaderBits, OrderBitsArgs{.unit = unit, .bits = kHeaderLaunchAllowed, .set = on});
      bool launching = false;
      {
        plat::CriticalSectionLock lock(g_simulationLock);
        const UnitRecord* u = LiveTabUnit(unit);
        launching = u && (u->ordersShown[kOrderFlags] & kOrderLaunchCargo);
      }
      if (!on && launching) PostArgs(kCmdUnitCancelOrders, OrderUnitArgs{.unit = unit});
    }
    if (g_uiOptions.bautopicknext || shift) AdvanceSelection();
  } else if (ControlTagMatches(control->tag, "NOLOAD")) {
    PostArgs(kCmdUnitSetOrdersHeaderBits,
             OrderBitsArgs{.unit = carrier, .bits = kHeaderNoStockLoading, .set = control->Selected() ? 1u : 0u});
  } else {
    acted = false;
  }
  if (acted) g_mapView.redrawPending = 1;
}

void CargoPanel::OnControlChange(Control* control, int32_t) {
  if (!control || control != cargoList) return;
  for (const char* tag : {"LAUNCH", "UNLOAD", "UNLOADM", "UNLOADA", "GRID1", "AUTHHIDEB"})
    SetHidden(Tag(*this, tag), true);
  SetHidden(currentForm ? FormFindControlById(currentForm, 9666) : nullptr, true);
  SetHidden(currentForm ? FormFindControlById(currentForm, 9667) : nullptr, true);
  Control* row = ListNextSelected(cargoList, nullptr);
  plat::CriticalSectionLock lock(g_simulationLock);
  const UnitRecord* carrier = LiveTabUnit(id);
  const UnitRecord* unit = row ? LiveTabUnit(ListRowValue(row)) : nullptr;
  const UnitClassRecord* cls = unit ? ClassRecordAt(g_world, unit->classIndex) : nullptr;
  if (carrier && cls && carrier->owner == g_world.gameState.localPlayer) {
    const OrderBlock& o = unit->ordersShown;
    if (cls->flags & kClassStock) {
      SetHidden(Tag(*this, "LAUNCH"), false);
      SetHidden(Tag(*this, "UNLOADM"), false);
      SetHidden(Tag(*this, "GRID1"), !(o[kOrderFlags] & kOrderLaunchCargo));
      SetHidden(Tag(*this, "AUTHHIDEB"), false);
      if (Control* box = Tag(*this, "AUTHBOXB")) box->SetSelected((o[kOrdersHeader] & kHeaderLaunchAllowed) ? 1 : 0);
      SetHidden(FormFindControlById(currentForm, 9666), !(cls->flags & (kClassSpecialWeaponA | kClassSpecialWeaponB)));
      SetHidden(FormFindControlById(currentForm, 9667), !(cls->flags & kClassSpecialImmune));
    } else {
      // Aircraft aboard fly off rather than being put ashore.
      const bool flies = unit->moveKind == kMoveKindAir;
      SetHidden(Tag(*this, flies ? "UNLOADA" : "UNLOAD"), false);
      SetHidden(Tag(*this, "GRID1"), !(o[kOrderFlags] & kOrderUnloadDue));
      SetHidden(Tag(*this, "UNLOADALL"), true);
    }
  }
  Control* statParent = Tag(*this, "STATPARENT");
  SetHidden(statParent, cls == nullptr);
  if (cls && statParent && picturePanel) picturePanel->Show(unit->classIndex, statParent);
}

void CargoPanel::OnActivate(Control* control, int32_t value) {
  if (!control || control != cargoList || value == 0) return;
  // Row values are unit ids, whose owner byte may set the sign bit.
  const auto unit = static_cast<intptr_t>(static_cast<uint32_t>(value));
  bool missile = false;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const UnitRecord* u = LiveTabUnit(static_cast<uint32_t>(value));
    if (!u) return;
    missile = IsMissile(*u);
  }
  ScreenParameterList& pages = missile ? missiles_ : carried_;
  pages.current = unit;
  if (missile) g_screens.missileStockView.Popup(unit, &pages);
  else g_screens.unitDetail.Popup(unit, &pages);
}
