#include "screens/military/silo/silo_popup.h"

#include <cstdio>
#include <vector>

#include "records/unit_record.h"
#include "screens/common/frame/side_bars.h"
#include "screens/common/facilities/facility_header.h"
#include "screens/military/silo/silo_panels.h"
#include "screens/common/units/unit_tab_figures.h"
#include "screens/common/facilities/object_popups.h"
#include "screens/common/units/unit_lists.h"
#include "screens/military/facilities/base_popup.h"
#include "screens/military/facilities/facility_popups.h"
#include "screens/military/production/production_lists.h"
#include "screens/screen_set.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "world/object_hex.h"
#include "world/record_helpers.h"
#include "world/unit_class.h"
#include "world/world.h"

namespace {

// The stored list keeps its rows' indicators; several rows may be chosen.
// The schedule box of the schedule set the silo pop-up uses.
constexpr size_t kSiloPopupCalendar = 2;

Screen* ClassSheet() { return &g_screens.unitPicturePanels[0]; }

void DeselectRows(ListBoxControl* list) {
  if (list) ListDeselectAll(list);
}

}  // namespace

SiloPopup::~SiloPopup() { ListHolderClear(stored); }

void SiloPopup::BindControls() {
  storedList = MakeStockList(*this, "STOREDLIST");
  subParent3 = Tag(currentForm, "SUBPARENT3");
  subParent4 = Tag(currentForm, "SUBPARENT4");
  statParent = Tag(currentForm, "STATPARENT");
  mParent2 = Tag(currentForm, "MPARENT2");
  hideBox = Tag(currentForm, "HIDEBOX");
}

void SiloPopup::OnOpen() {
  if (!OpenStepping()) return;
  // The header, the actions panel and the map's focus on the silo's hex.
  FillBaseHeader(currentForm, cellIndex, subParent3);
  SetHidden(Tag(currentForm, "HIDEBOX2"), false);
  SetHidden(statParent, true);
  g_screens.siloMissiles.Show(0, subParent4);
}

void SiloPopup::Refresh() {
  if (!currentForm) return;
  UpdateNextPrevButtons(parameterList, currentForm);
  int32_t storedPoints = 0, capacity = 0;
  bool live = false, active = false, building = false;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    World& w = g_world;
    const UnitRecord* silo = cellIndex < w.cells.size() ? HeaderFacility(w, cellIndex) : nullptr;
    live = silo != nullptr;
    if (silo) {
      active = ReadFacilityHeader(w, cellIndex).active;
      building = FacilityBuilding(silo);
      storedPoints = SiloStoredPoints(w, *silo);
      const UnitClassRecord* cls = ClassRecordAt(w, silo->classIndex);
      capacity = cls ? SiloCapacityPoints(*cls, silo->strength) : 0;
    }
    if (storedList) {
      const int32_t keptScroll = storedList->scrollOffset;
      std::vector<int32_t> chosen;
      for (Control* row = ListNextSelected(storedList, nullptr); row; row = ListNextSelected(storedList, row))
        chosen.push_back(row->id);
      ListClear(storedList, 0);
      CollectStoredMissiles(w, stored);
      FillUnitList(w, storedList, stored, false, false, -1);
      ListApplyToItems(storedList, chosen);
      ListLayoutRows(storedList);
      storedList->scrollOffset = keptScroll;
    }
  }
  // A silo gone since the pop-up opened leaves the figures as they were.
  if (!live) return;
  ShowStatusBox(building);
  SetInt(Tag(currentForm, "SILO1"), storedPoints);
  SetInt(Tag(currentForm, "SILO2"), capacity);
  SetHidden(Tag(currentForm, "OFFLINE"), active);
}

void SiloPopup::OnCommand(Control* control, int32_t controlId) {
  if (!control) return;
  const bool next = Is(control, "NEXTBUT"), previous = Is(control, "PREVBUT");
  if (next || previous) {
    SelectListItem(*this, next ? 1 : -1);
  } else if (Is(control, "RENBASEBUT")) {
    StartBaseRename(currentForm);
  } else if (Is(control, "CLOSEBUT")) {
    Close();
  } else if (Is(control, "CONSTRUCT")) {
    MissileStockPopup& stock = g_screens.missiles;
    if (stock.parameterList) stock.parameterList->entries.clear();
    stock.Popup(kKeepScreenId, nullptr);
  } else {
    OnProductionListCommand(currentForm, control, controlId,
                            ProductionListHosts{.classSheet = ClassSheet(), .classSheetParent = mParent2});
    if (control == storedList && controlId != 0) {
      int32_t classIndex = 0;
      {
        plat::CriticalSectionLock lock(g_simulationLock);
        if (const UnitRecord* unit = LiveTabUnit(controlId)) classIndex = unit->classIndex;
      }
      if (classIndex != 0 && statParent) {
        SetHidden(statParent, false);
        ClassSheet()->Show(classIndex, statParent);
      }
    }
  }
}

void SiloPopup::OnActivate(Control* control, int32_t controlId) {
  OnProductionListEvent(currentForm, control, controlId, nullptr, nullptr, 0);
}

void SiloPopup::OnControlChange(Control* control, int32_t row) {
  if (control && control == storedList && row != 0) {
    DeselectRows(g_screens.siloMissiles.list);
    g_screens.siloMissiles.Refresh();
  }
  OnProductionListChange(currentForm, control, ListCurrentUnit(control), 1, ClassSheet());
}


// The docked panels under the pop-up may show what it changed.
int32_t SiloPopup::Close(int32_t noReturn) {
  const int32_t result = Screen::Close(noReturn);
  RefreshHostedDockScreens(g_screens);
  return result;
}

void SiloMissilePanel::BindControls() {
  list = MakeListBox("LIST1", 0, currentForm, kListIndicators, this);
  misParent2 = Tag(currentForm, "MISPARENT2");
}

void SiloMissilePanel::OnOpen() {
  if (!list) return;
  ListClear(list, 0);
  list->selectedId = 0;
  list->scrollOffset = 0;
}

void SiloMissilePanel::Refresh() { FillMissileHeader(list, currentForm); }

void SiloMissilePanel::OnCommand(Control* control, int32_t value) {
  const uint32_t missile = list ? static_cast<uint32_t>(list->selectedId) : 0u;
  OnSiloCommand({.targetPanel = g_screens.siloTarget.get(), .refresh = this, .launch = g_screens.siloSchedule.get()}, missile,
                control, currentForm, value);
}

void SiloMissilePanel::OnControlChange(Control* control, int32_t row) {
  if (control && control == list && row != 0) {
    DeselectRows(g_screens.siloPopup.storedList);
    g_screens.siloPopup.Refresh();
  }
  DrawSiloMissileRow(control, currentForm, static_cast<uint32_t>(row));
  const uint32_t missile = list ? static_cast<uint32_t>(list->selectedId) : 0u;
  if (missile == 0) return;
  int32_t classIndex = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    if (const UnitRecord* unit = LiveTabUnit(missile)) classIndex = unit->classIndex;
  }
  Control* statParent = g_screens.siloPopup.statParent;
  if (classIndex != 0 && statParent) {
    SetHidden(statParent, false);
    ClassSheet()->Show(classIndex, statParent);
  }
}

namespace {

class SiloTargetPanel : public SiloMissileSubPanel {
 public:
  SiloTargetPanel() : SiloMissileSubPanel("POPUP_SILO1g1", FormLookups{.tags = kMissileTargetTags, .ids = {}}) {}
  void BindControls() override { hostLink = &g_screens.siloMissiles.misParent2; }
  void OnOpen() override { KeepMissile(); }
  void OnCommand(Control* control, int32_t value) override {
    OnSiloCommand({.refresh = &g_screens.siloMissiles, .launch = g_screens.siloSchedule.get()}, missile, control,
                  currentForm, value);
  }
};

class SiloSchedulePanel : public SiloMissileSubPanel {
 public:
  SiloSchedulePanel() : SiloMissileSubPanel("POPUP_SILO1g2", FormLookups{.tags = kLaunchScheduleTags, .ids = {}}) {}
  void BindControls() override { hostLink = &g_screens.siloMissiles.misParent2; }
  void OnOpen() override {
    KeepMissile();
    g_screens.diplomacySchedule[kSiloPopupCalendar].Show(0, Tag(currentForm, "CALPARENT"));
  }
  void OnCommand(Control* control, int32_t value) override {
    OnSiloCommand({.refresh = &g_screens.siloMissiles}, missile, control, currentForm, value);
  }
};

}  // namespace

std::unique_ptr<Screen> MakeSiloTargetPanel() { return std::make_unique<SiloTargetPanel>(); }
std::unique_ptr<Screen> MakeSiloSchedulePanel() { return std::make_unique<SiloSchedulePanel>(); }
