#include "screens/military/operations/intelligence_panel.h"

#include "records/player_record.h"
#include "screens/docked_panels.h"
#include "screens/common/frame/side_bars.h"
#include "screens/military/department/department_text.h"
#include "screens/screen_set.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/list_control.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/player_list_rows.h"
#include "ui/screen_manager.h"
#include "world/world.h"

namespace {

constexpr int32_t kOwnDepth = 2;
// Every relation but the viewer's own row.
constexpr uint32_t kOtherRegions = 14;
constexpr const char* kRegionButtons[] = {"DESTABBUT", "INTELBUT", "COVERTBUT", "REVIEW"};
constexpr const char* kCounters[] = {"INTRES", "TACTIVE", "TPENDING"};
constexpr const char* kGrids[] = {"GRIDDES", "GRIDINT", "GRIDCOV"};

void ShowRegionButtons(Control* form, bool shown) {
  for (const char* tag : kRegionButtons) SetControlFlag(Tag(form, tag), kStateHidden, shown ? 0 : 1);
}

}  // namespace

void FillIntelligenceRegions(ListBoxControl* list) {
  if (!list) return;
  const int32_t kept = list->selectedId;
  const int32_t scroll = list->scrollOffset;
  ListClear(list, 1);
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const int32_t local = g_world.gameState.localPlayer;
    if (local >= 0 && local < kMaxPlayers) {
      FillPlayerListRow(g_world, g_world.players[local], list,
                        PlayerListOptions{.showRelation = true, .relationMask = kOtherRegions, .pictureRows = true,
                                          .includeKind3 = true, .rowScreen = &g_screens.dipPlayerList});
    }
  }
  list->scrollOffset = scroll;
  ListLayoutRows(list);
  // A region that has left the list is simply not picked any more.
  ListSetSelection(0, list, kept, 0);
}

void ClearRegionChoice(ListBoxControl* list) {
  if (!list) return;
  for (Control* row = list->firstRow; row; row = ListNextRow(list, row)) SetControlFlag(row, kStateSelected, 0);
  ListResetScroll(list);
}

bool ClosedByReleasedRadio(const Control* control) {
  if (!(control->flags & kCtlRadio) || control->Selected()) return false;
  PopPopupsTo(g_ui, kOwnDepth);
  return true;
}

void RetargetRegionPages(std::initializer_list<Screen*> pages, intptr_t region) {
  for (Screen* page : pages) {
    page->id = region;
    page->Refresh();
  }
}

void IntelligencePanel::BindControls() {
  DockInBotbar2(*this);
  list = MakeListBox("REGIONLIST", 0, currentForm, kListIndicators, this);
}

void IntelligencePanel::OnOpen() {
  ClearRegionChoice(list);
  ScreenSlotResetMapMode(g_screens);
}

void IntelligencePanel::Refresh() {
  FillIntelligenceRegions(list);
  ShowRegionButtons(currentForm, list && list->selectedId != 0);
  // The service keeps no counts of resources or operations.
  for (const char* tag : kCounters) SetInt(Tag(currentForm, tag), 0);
  for (const char* tag : kGrids) SetControlFlag(Tag(currentForm, tag), kStateHidden, 1);
}

void IntelligencePanel::OnCommand(Control* control, int32_t) {
  if (!control || ClosedByReleasedRadio(control)) return;
  ScreenSet& s = g_screens;
  const intptr_t region = list ? list->selectedId : 0;
  if (Is(control, "BACK")) {
    s.operationsScreen.AttachForm(nullptr);
    s.operationsScreen.OnOpen();
    s.operationsScreen.Refresh();
  } else if (Is(control, "DESTABBUT")) {
    s.covertFunding->Show(region, nullptr);
  } else if (Is(control, "INTELBUT")) {
    s.intelResources->Show(region, nullptr);
  } else if (Is(control, "COVERTBUT")) {
    s.agentBio->Show(region, nullptr);
  } else if (Is(control, "SPENDBUT")) {
    s.intelBudget.Show(kKeepScreenId, nullptr);
  } else if (Is(control, "REVIEW")) {
    s.opsScheduleList.Show(region, nullptr);
  }
}

void IntelligencePanel::OnControlChange(Control* control, int32_t id) {
  ScreenSet& s = g_screens;
  if (control && control == list) {
    ShowRegionButtons(currentForm, id != 0);
    if (id != 0) RetargetRegionPages({s.covertFunding.get(), s.intelResources.get(), s.agentBio.get()}, id);
  }
  s.militaryCostSide->Refresh();
}
