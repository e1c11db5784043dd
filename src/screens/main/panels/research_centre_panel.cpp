#include "screens/main/panels/research_centre_panel.h"

#include <cstring>

#include "records/player_record.h"
#include "screens/common/figure_text.h"
#include "screens/docked_panels.h"
#include "screens/common/frame/side_bars.h"
#include "screens/common/facilities/facility_header.h"
#include "screens/screen_set.h"
#include "sim/availability.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/list_refill.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "world/data_tables.h"
#include "world/list_items.h"
#include "world/unit_class.h"
#include "world/world.h"

namespace {

// Row flags of the research list.

std::string ItemName(const World& world, const ProjectEntry& entry) {
  if (entry.kind == kProjectTechnology && entry.index < world.techs.size()) return world.techs[entry.index].name.c_str();
  if (entry.kind == kProjectDesign) {
    // A class name may fill its record's field with no terminator.
    if (const UnitClassRecord* cls = ClassRecordAt(world, static_cast<int32_t>(entry.index)))
      return std::string(cls->name, strnlen(cls->name, sizeof cls->name));
  }
  return {};
}

}  // namespace

std::vector<ResearchRow> ResearchCentreRows(World& world, int32_t player) {
  std::vector<ResearchRow> rows;
  for (const ProjectEntry* entry : ListProjects(world, player, -1, kProjectPursued, kProjectClosed, 0)) {
    ResearchRow row;
    row.text = ItemName(world, *entry);
    if (entry->kind == kProjectTechnology) row.value = static_cast<intptr_t>(entry->index);
    rows.push_back(std::move(row));
  }
  return rows;
}

ResearchCentrePanel::ResearchCentrePanel()
    : Screen("MAP1_ss7", FormLookups{.tags = kResearchCentreTags, .ids = kResearchCentreIds}) {}

void ResearchCentrePanel::BindControls() {
  DockInBotbar2(*this);
  list = MakeListBox("LIST1", 0, currentForm, kListIndicators, this);
}

void ResearchCentrePanel::OnOpen() { ScreenSlotResetMapMode(g_screens); }

void ResearchCentrePanel::Refresh() {
  Control* f = currentForm;
  if (!f) return;
  FacilityHeader head;
  float efficiency = 0.0f;
  std::vector<ResearchRow> rows;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    World& w = g_world;
    const int32_t local = w.gameState.localPlayer;
    head = ReadFacilityHeader(w, w.gameState.currentHex.cellIndex);
    if (local >= 0 && local < kMaxPlayers) efficiency = w.players[local].researchEfficiency;
    if (head.active) rows = ResearchCentreRows(w, local);
  }
  FillFacilityHeader(f, head);
  SetPercentText(Tag(f, "EFF"), 100.0f * efficiency);
  if (!list) return;
  const ListPlace place = ClearKeepingPlace(list);
  if (head.active) {
    for (const ResearchRow& row : rows) ListAddTextItem(list, row.text.c_str(), 0, row.value, 0, 0, 0);
  } else {
    FormatBaseStatusText(list, head);
  }
  RestoreSelectedValue(list, place);
}

void ResearchCentrePanel::OnCommand(Control* control, int32_t controlId) {
  if (!control) return;
  if ((control->flags & kCtlRadio) && !control->Selected()) {
    PopPopupsTo(g_ui, 2);
  } else if (ControlTagMatches(control->tag, "TECHPOPUP")) {
    g_screens.research.Popup(0, nullptr);
  } else if (ControlTagMatches(control->tag, "TARGETRDBUT")) {
    g_screens.techList.Show(kKeepScreenId, nullptr);
  } else if (ControlTagMatches(control->tag, "QUEUE")) {
    g_screens.techDetail.Show(kKeepScreenId, nullptr);
  } else if (ControlTagMatches(control->tag, "RDMISSILE")) {
    g_screens.wmdTechList->Show(kKeepScreenId, nullptr);
  } else if (controlId == kResearchCentreIds[0]) {
    g_screens.mapScreen.facilityActions.Show(kKeepScreenId, nullptr);
  }
}

void ResearchCentrePanel::OnActivate(Control* control, int32_t) {
  if (!control || control != list) return;
  // The pressed row's value: a technology, 0 for the status line and designs.
  if (const intptr_t tech = list->selectedValue; tech != 0) g_screens.techPopup.Popup(tech, nullptr);
}
