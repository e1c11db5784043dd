#include "screens/economy/research/research_screen.h"

#include <cmath>
#include <cstddef>

#include "app/audio/sound_system.h"
#include "app/number_text.h"
#include "records/hex_cell.h"
#include "records/player_record.h"
#include "records/unit_record.h"
#include "screens/docked_panels.h"
#include "screens/economy/policy/policy_figures.h"
#include "screens/economy/research/research_funding_panel.h"
#include "screens/common/research_queue.h"
#include "screens/common/facilities/site_figures.h"
#include "screens/economy/research/research_note.h"
#include "screens/common/frame/map_geometry.h"
#include "screens/common/frame/map_view_state.h"
#include "screens/common/frame/map_selection.h"
#include "screens/common/facilities/facility_actions.h"
#include "screens/common/facilities/facility_figures.h"
#include "screens/common/facilities/object_popups.h"
#include "screens/common/units/unit_lists.h"
#include "screens/common/units/unit_progress_row_b.h"
#include "screens/screen_set.h"
#include "sim/player_services.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/list_control.h"
#include "ui/list_refill.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/popups.h"
#include "ui/screen_manager.h"
#include "ui/slide_bar.h"
#include "ui/string_control.h"
#include "world/local_player.h"
#include "world/data_tables.h"
#include "world/id_lookups.h"
#include "world/list_holder.h"
#include "world/list_items.h"
#include "world/object_hex.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

constexpr uint32_t kLockResearch = 0x200000;

// The page buttons and the pages they dock, in the order they are looked at.
struct PageButton {
  const char* tag;
  Screen& (*page)(ScreenSet&);
};
constexpr PageButton kPages[] = {
    {"RDTREEBUT", [](ScreenSet& s) -> Screen& { return *s.militaryListPicker; }},
    {"TARGETRDBUT", [](ScreenSet& s) -> Screen& { return s.techList; }},
    {"RDMISSILE", [](ScreenSet& s) -> Screen& { return *s.wmdTechList; }},
    {"QUEUE", [](ScreenSet& s) -> Screen& { return s.techDetail; }},
};

uint32_t CellOfUnit(const World& w, uint32_t unitId) {
  const UnitRecord* u = FindUnitById(w, unitId);
  if (!u || u->x < 0 || u->y < 0 || u->x >= w.mapWidth || u->y >= w.mapHeight) return kNoCellIndex;
  return static_cast<uint32_t>(u->y) * static_cast<uint32_t>(w.mapWidth) + static_cast<uint32_t>(u->x);
}

}  // namespace

float CentreYearlyCost(const World& world, const UnitRecord& centre, const UnitClassRecord& cls,
                       const PlayerRecord& owner) {
  return FacilityYearlyRunning(world, centre, cls, owner);
}

float CentreYearlyCostAt(const World& world, uint32_t cellIndex) {
  const FacilityView v = ViewFacility(world, cellIndex);
  if (!v.present || !v.cls || v.owner < 0 || v.owner >= kMaxPlayers) return 0.0f;
  return CentreYearlyCost(world, *v.present, *v.cls, world.players[v.owner]);
}

int32_t TechRank(const World& world, int32_t player) {
  return GetPlayerRank(world, player, static_cast<uint32_t>(offsetof(PlayerRecord, techLevel)));
}

void ResearchScreen::BindControls() {
  centres = MakeListBox("CENTRELIST", 0, currentForm, kListIndicators, this);
  projects = MakeListBox("LIST1", 0, currentForm, kListIndicators, this);
  StyleResearchNote(*this);
}

Screen* ResearchScreen::DockedPage() const {
  Control* dock = Tag(*this, "PARM3");
  Control* form = dock ? dock->firstChild : nullptr;
  return form ? form->owner : nullptr;
}

void ResearchScreen::ShowCheckedPage() {
  Control* dock = Tag(*this, "PARM3");
  for (const PageButton& p : kPages) {
    const Control* button = Tag(*this, p.tag);
    if (!button || !button->Selected()) continue;
    if (dock) p.page(g_screens).Show(kKeepScreenId, dock);
    return;
  }
}

void ResearchScreen::OnOpen() {
  if (centres) {
    ListDeselectAll(centres);
    ListResetScroll(centres);
  }
  if (Control* dock = Tag(*this, "PARSS1")) g_screens.researchBudgetPopup.Show(kKeepScreenId, dock);
  ShowCheckedPage();
}

uint32_t ResearchScreen::SelectedCentreCell() const {
  if (!centres || centres->selectedValue == 0) return kNoCellIndex;
  plat::CriticalSectionLock lock(g_simulationLock);
  return CellOfUnit(g_world, static_cast<uint32_t>(centres->selectedValue));
}

uint32_t ResearchScreen::SelectedProject() const {
  return projects ? static_cast<uint32_t>(projects->selectedId) : 0u;
}

void ResearchScreen::Refresh() {
  plat::CriticalSectionLock lock(g_simulationLock);
  const int32_t local = g_world.gameState.localPlayer;
  Press(Tag(*this, "ANNDAYTEXT1"), AmountsPerDay());
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const PlayerRecord* r = LocalPlayer(g_world);
    if (!r) return;
    SetNumberWhereRoom(Tag(*this, "SPENDAMNT2"), ResearchSpendingAmount(*r) / AmountsDivisor());
    EnterInt(Tag(*this, "CURRENT"), ResearchCurrent(g_world, local));
    EnterInt(Tag(*this, "MAX"), ResearchMax(*r));
    SetNumberWhereRoom(Tag(*this, "TECHLEV"), std::floor(r->techLevel));
    EnterInt(Tag(*this, "TECHRANK"), TechRank(g_world, local));
    EnterFormatted(Tag(*this, "EFF2"), "%3.0f %%", static_cast<double>(r->researchEfficiency * 100.0f));
    if (auto* bar = dynamic_cast<SlideBarControl*>(Tag(*this, "TECHSLDR"))) {
      SliderSetMaxFloat(bar, 1.0f);
      SliderSetValueFloatNotify(bar, r->techLevel - std::floor(r->techLevel));
    }
    Press(Tag(*this, "LOCK"), PolicyLocked(*r, kLockResearch));
  }
  UpdateFacilityActionButtons(currentForm, kNoCellIndex);
  if (centres) {
    const intptr_t kept = centres->selectedValue;
    const int32_t keptScroll = centres->scrollOffset;
    ListHolder found{};
    float cost = 0.0f;
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      // By their type: silos and launch sites share the centres' category,
      // and a centre class without the site flag has none.
      CollectFacilitiesAvailableFirst(g_world, CollectFacilityArgs{.resultList = &found,
                                                                   .list = centres,
                                                                   .owner = local,
                                                                   .facilityType = kBaseKindResearchCentre});
      for (ListItem28* item = FirstInHolder(found); item; item = NextInHolder(found, item))
        cost += CentreYearlyCostAt(g_world, CellOfUnit(g_world, static_cast<uint32_t>(item->callerWord)));
    }
    ListHolderClear(found);
    for (Control* row = ListNextRow(centres, nullptr); row && kept != 0; row = ListNextRow(centres, row)) {
      if (ListRowValue(row) != kept) continue;
      ListSelectItem(0, centres, row, 0);
      break;
    }
    if (centres->selectedValue == 0) {
      plat::CriticalSectionLock lock(g_simulationLock);
      const FacilityView v = ViewSelectedFacility(g_world);
      for (Control* row = ListNextRow(centres, nullptr); row && v.present; row = ListNextRow(centres, row)) {
        if (ListRowValue(row) != static_cast<intptr_t>(v.present->id)) continue;
        ListSelectItem(0, centres, row, 0);
        break;
      }
    }
    centres->scrollOffset = keptScroll;
    ListLayoutRows(centres);
    SetNumberWhereRoom(Tag(*this, "ANNCOST"), cost / AmountsDivisor());
    EnterInt(Tag(*this, "CENTRES"), static_cast<int32_t>(centres->rowCount));
  }
  if (projects) {
    const ListPlace place = ClearKeepingPlace(projects);
    ResearchQueueListEvent(currentForm, 0, 0, 0);
    FillProductionItemList(g_screens, projects, local, -1, kProjectPursued, kProjectClosed, 0);
    RestoreSelectedId(projects, place);
  }
}

int32_t ResearchScreen::Close(int32_t noReturn) {
  const int32_t result = Screen::Close(noReturn);
  const Control* frame = g_ui.bottomBoxes[2];
  if (frame && !frame->Hidden() && frame->firstChild && frame->firstChild->owner)
    frame->firstChild->owner->Show(kKeepScreenId, nullptr);
  return result;
}

void ResearchScreen::OnCommand(Control* control, int32_t value) {
  if (!control) return;
  for (const PageButton& p : kPages) {
    if (!Is(control, p.tag)) continue;
    if (Control* dock = Tag(*this, "PARM3")) p.page(g_screens).Show(kKeepScreenId, dock);
    return;
  }
  if (Is(control, "BUILDRD")) {
    CloseAllPopups(g_ui, 0);
    PopPopupsTo(g_ui, 0);
    BeginMapPlacement(kResearchCentreClass);
  } else if (Is(control, "CLOSE")) {
    Close();
  } else if (Is(control, "LOCK")) {
    ClickPolicyLock(control, kLockResearch);
  } else if (control != projects) {
    if (const uint32_t project = SelectedProject()) ResearchQueueButton(control, project, projects);
    if (const uint32_t cell = SelectedCentreCell(); cell != kNoCellIndex)
      OnFacilityActionCommand(currentForm, control, value, cell, nullptr, nullptr, nullptr, nullptr);
    Refresh();
    if (Screen* page = DockedPage()) page->Refresh();
    RefreshDockedPanels(g_screens, 0);
  }
}

void ResearchScreen::OnActivate(Control* control, int32_t) {
  if (!control) return;
  if (control == centres) {
    uint32_t packed = 0;
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      World& w = g_world;
      const uint32_t cell = SelectedCentreCell();
      if (cell == kNoCellIndex) return;
      const int32_t width = w.mapWidth > 0 ? w.mapWidth : 1;
      SetObjectHex(w, static_cast<int32_t>(cell) % width, static_cast<int32_t>(cell) / width, w.gameState.currentHex);
      packed = PackedCellHex(w, cell);
    }
    CentreMapOnHex(g_mapView, packed);
  } else if (control == projects) {
    if (const uint32_t project = SelectedProject()) g_screens.techPopup.Popup(project, nullptr);
  }
}

void ResearchScreen::OnControlChange(Control* control, int32_t) {
  if (!control) return;
  if (control == centres) {
    UpdateFacilityActionButtons(currentForm, SelectedCentreCell());
  } else if (control == projects) {
    const uint32_t project = SelectedProject();
    ResearchQueueListEvent(currentForm, project, 0, 0);
    Control* dock = Tag(*this, "PARPTSS1");
    SetHidden(dock, project == 0);
    if (project != 0 && dock) g_screens.techProgress->Show(project, dock);
  }
}
