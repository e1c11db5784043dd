#include "screens/military/department/stored_units_panel.h"

#include <string>

#include "platform/threads.h"
#include "records/hex_cell.h"
#include "records/unit_record.h"
#include "screens/common/frame/side_bars.h"
#include "screens/common/frame/map_click.h"
#include "screens/common/frame/map_selection.h"
#include "screens/common/frame/unit_selection.h"
#include "screens/common/facilities/facility_figures.h"
#include "screens/common/facilities/object_popups.h"
#include "screens/common/units/unit_lists.h"
#include "screens/common/units/build_lists.h"
#include "screens/military/production/production_lists.h"
#include "screens/common/units/unit_header.h"
#include "screens/screen_set.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "units/hex_geometry.h"
#include "units/unit_texts.h"
#include "world/id_lookups.h"
#include "world/text/text_lists.h"
#include "world/unit_class.h"
#include "world/world.h"

namespace {

constexpr uint32_t kListDrawBit = 0x10;
constexpr uint32_t kRowChoosable = 0x1;
constexpr uint32_t kFormRefreshed = 0x1000000;
constexpr int kStoredStatusEntry = 4;

// The selected hex packed as column and row, for the one-hex page.
bool SelectedHexPacked(uint32_t& packed) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const HexCell* cell = SelectedHexCell();
  const World& w = g_world;
  if (!cell || w.mapWidth <= 0) return false;
  const auto index = static_cast<int32_t>(cell - w.cells.data());
  packed = MakeHexPos(index % w.mapWidth, index / w.mapWidth);
  return true;
}

class StoredUnitsPanel : public Screen {
 public:
  StoredUnitsPanel() : Screen("MILITARY1_ss1a2", FormLookups{.tags = kStoredUnitsTags, .ids = {}}) {}
  ~StoredUnitsPanel() override { ListHolderClear(units); }
  void BindControls() override {
    DockInSecondBotbar2(*this);
    list = MakeListBox("STOREDLIST", 0, currentForm, kListIndicators, this);
    if (list) list->flags &= ~kListDrawBit;
    confirmParent = Tag(currentForm, "PARSS1A2A");
  }
  // Starts at the top of the list, with no unit current.
  void OnOpen() override {
    SetHidden(confirmParent, true);
    SetControlFlag(Tag(currentForm, "HEADER"), kStateSelected, id != 0 ? 1 : 0);
    if (list) {
      list->selectedId = 0;
      list->selectedValue = 0;
      list->savedSelection.reset();
      list->scrollOffset = 0;
    }
    ScreenSlotSelectMapMode(g_screens);
  }
  // Collects the stored units anew and shows the current one.
  void Refresh() override {
    if (currentForm) currentForm->state |= kFormRefreshed;
    if (!list) {
      FillUnitRow();
      return;
    }
    const int32_t scroll = list->scrollOffset;
    ListPrepareRows(list);
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      World& w = g_world;
      uint32_t packed = 0;
      const bool oneHex = id != 0 && SelectedHexPacked(packed);
      ListHolderClear(units);
      // The local player's units held in store (posture bit 0 set, bit 1
      // clear), neither facilities nor stock.
      CollectUnits(w, CollectUnitsArgs{.resultList = &units,
                                       .stock = 0,
                                       .viewingPlayer = w.gameState.localPlayer,
                                       .relationMask = 1,
                                       .orderBit1AndSorting = 1,
                                       .orderStatus = 0,
                                       .clearFirst = 1,
                                       .hex = id != 0 ? &packed : nullptr,
                                       .visibleOnly = 1});
      if (id != 0 && !oneHex) ListHolderClear(units);
      FillUnitList(w, list, units, true, false, -1);
      popupUnits.entries.clear();
      for (ListItem28* item = FirstInHolder(units); item; item = NextInHolder(units, item))
        if (const UnitRecord* u = RefUnit(w, *item)) popupUnits.entries.push_back(static_cast<intptr_t>(u->id));
    }
    if (list->savedSelection) ListApplyToItems(list, *list->savedSelection);
    ListLayoutRows(list);
    list->scrollOffset = scroll;
    if (list->selectedId == 0 && list->firstRow) {
      ListSelectItem(0, list, list->firstRow, 0);
      SetHidden(confirmParent, true);
    }
    if (list->selectedId == 0) {
      Control* none = ListAddTextItem(list, "No Undeployed", 0, 0, 0, 0, 0);
      if (none) none->flags &= ~kRowChoosable;
      ListLayoutRows(list);
    }
    FillUnitRow();
  }
  void OnCommand(Control* control, int32_t controlId) override {
    if (!control) return;
    ScreenSet& s = g_screens;
    if (Is(control, "BACK")) {
      s.unitProduction->Show(kKeepScreenId, nullptr);
    } else if (Is(control, "CENTRE")) {
      plat::CriticalSectionLock lock(g_simulationLock);
      const uint32_t unitId = ListCurrentUnit(list);
      GotoMapObject(unitId ? FindUnitById(g_world, unitId) : nullptr);
    } else if (Is(control, "UNITORDER")) {
      if (const uint32_t unitId = ListCurrentUnit(list)) OrderUnitOnMap(s, static_cast<int32_t>(unitId));
    } else if (control == list) {
      SetHidden(confirmParent, true);
      FillUnitRow();
    } else {
      OnProductionListCommand(
          currentForm, control, controlId,
          ProductionListHosts{
              .sell = &s.unitSaleOffers[0], .scrap = &s.unitScrapOffers[0], .confirmParent = confirmParent});
      RefreshDockedPanels(s, 1);
    }
  }
  void OnControlChange(Control* control, int32_t) override {
    if (control && control == list) FillUnitRow();
  }
  // A double click on a unit opens the unit pop-up, stepping through the
  // units listed.
  void OnActivate(Control* control, int32_t controlId) override {
    if (!control || control != list || controlId == 0) return;
    g_screens.unitDetail.Popup(controlId, &popupUnits);
  }

  ListBoxControl* list = nullptr;
  Control* confirmParent = nullptr;  // PARSS1A2A
  ListHolder units{};                // the units listed, by reference
  ScreenParameterList popupUnits;    // their ids, for the unit pop-up

 private:
  // Shows the list's current unit: its picture, status and place, and the
  // buttons that act on it; with no unit every button is hidden.
  void FillUnitRow() {
    Control* f = currentForm;
    const uint32_t unitId = ListCurrentUnit(list);
    bool present = false;
    float need = 0.0f, available = 0.0f;
    std::string place;
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      const World& w = g_world;
      const UnitRecord* u = unitId ? FindUnitById(w, unitId) : nullptr;
      const UnitClassRecord* cls = u && IsUnitLive(*u) ? UnitClassOf(w, *u) : nullptr;
      if (cls) {
        present = true;
        DrawUnitPicture(f, *cls, u, -1, 0);
        place = HexPositionText(w, MakeHexPos(u->x, u->y));
        need = static_cast<float>(cls->valuePerPoint) * u->strength;
        available = LocalReserveForce(w);
      }
    }
    const char* const buttons[] = {"ALL",      "DEPLOY", "SELL",    "INSRESALL", "INSRES",
                                   "BASEHIDE", "CENTRE", "BUTHIDE", "HIDEBOX2"};
    if (!present) {
      for (const char* tag : buttons) SetHidden(Tag(f, tag), true);
      return;
    }
    ControlSetText(Tag(f, "STATUS"), TextListText(kListUndeployed, kStoredStatusEntry));
    ControlSetText(Tag(f, "BASENAME"), place.c_str());
    for (const char* tag : {"ALL", "DEPLOY", "SELL"}) SetHidden(Tag(f, tag), false);
    Control* short_ = Tag(f, "INSRES");
    if (need > available) {
      ShowAsMarkerBox(short_);
      SetHidden(short_, false);
    } else {
      SetHidden(short_, true);
    }
    SetHidden(Tag(f, "INSRESALL"), true);
    SetHidden(Tag(f, "BASEHIDE"), id != 0);
    SetHidden(Tag(f, "CENTRE"), id != 0);
    SetHidden(Tag(f, "BUTHIDE"), false);
    SetHidden(Tag(f, "HIDEBOX2"), !(confirmParent && confirmParent->Hidden()));
    if (f) f->Invalidate();
  }
};

}  // namespace

std::unique_ptr<Screen> MakeStoredUnitsPanel() { return std::make_unique<StoredUnitsPanel>(); }
