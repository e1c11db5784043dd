#include "screens/economy/research/research_funding_panel.h"

#include <cmath>

#include "platform/fpenv.h"
#include "records/le_bytes.h"
#include "records/player_record.h"
#include "screens/docked_panels.h"
#include "screens/economy/policy/policy_figures.h"
#include "screens/common/research_queue.h"
#include "screens/economy/research/research_note.h"
#include "screens/common/frame/side_bars.h"
#include "screens/common/units/unit_progress_row_b.h"
#include "screens/screen_set.h"
#include "sim/daily/military_research.h"
#include "sim/daily/research_fields.h"
#include "sim/player_services.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/list_refill.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/popups.h"
#include "ui/screen_manager.h"
#include "ui/screen_reopen.h"
#include "ui/scroller.h"
#include "ui/string_control.h"
#include "world/local_player.h"
#include "world/list_items.h"
#include "world/world.h"

namespace {

// A style that closes the deeper docked panels: a group button, not a plain
// push button.
constexpr uint32_t kStyleGroup = 0x10;
constexpr uint32_t kStylePush = 0x1;

}  // namespace

uint16_t ResearchMax(const PlayerRecord& r) {
  const float sites = RecordF32(r, kCapacityByKind + 4);
  return sites > 0.0f && sites < 65536.0f ? static_cast<uint16_t>(sites) : 0;
}
uint16_t ResearchCurrent(World& world, int32_t player) {
  if (player < 0 || player >= kMaxPlayers) return 0;
  const float most = static_cast<float>(ResearchMax(world.players[player]));
  WorldLockGuard ring(world, kLockProjects);
  return static_cast<uint16_t>(ResearchItemsUnderWay(world, player, most, true));
}

float ResearchSpendingAmount(const PlayerRecord& r) {
  return r.researchBudget * std::fmin(r.displayPolicy.milspendresearch, ResearchLevelCap(r));
}

void RefreshDockedScreen(int32_t level) {
  Control* host = DockHost(g_screens, level);
  if (!host || host->Hidden()) return;
  if (Control* form = host->firstChild; form && form->owner && !form->Hidden()) form->owner->Refresh();
}

void RefreshShownResearchViews() {
  ScreenSet& s = g_screens;
  for (int32_t level = 1; level <= 3; ++level) {
    const Control* host = DockHost(s, level);
    if (host && !host->Hidden() && host->firstChild && host->firstChild == s.researchFunding.currentForm)
      s.researchFunding.Refresh();
  }
  if (s.research.currentForm && IsPopupFrame(s.research.currentForm->parent)) s.research.Refresh();
}

void ResearchFundingPanel::BindControls() {
  DockInBotbar2(*this);
  list = MakeListBox("LIST1", 0, currentForm, kListIndicators, this);
  StyleResearchNote(*this);
}

void ResearchFundingPanel::OnOpen() { OpenListPage(list); }

void ResearchFundingPanel::Refresh() {
  int32_t local = -1;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const PlayerRecord* r = LocalPlayer(g_world);
    if (!r) return;
    local = g_world.gameState.localPlayer;
    SetFormatted(Tag(*this, "CURRENT"), "%d", ResearchCurrent(g_world, local));
    SetFormatted(Tag(*this, "MAX"), "%d", ResearchMax(*r));
    SetFormatted(Tag(*this, "EFF"), "%3.0f %%", static_cast<double>(r->researchEfficiency * 100.0f));
    SetMoneyShort(Tag(*this, "SPENDAMNT"), ResearchSpendingAmount(*r) / AmountsDivisor());
    Press(Tag(*this, "LOCK"), PolicyLocked(*r, kLockResearchFunding));
  }
  if (!list) return;
  const ListPlace place = ClearKeepingPlace(list);
  // The fill reads the ring under the lock itself and keeps only ids.
  FillProductionItemList(g_screens, list, local, -1, kProjectPursued, kProjectClosed, 0);
  RestoreSelectedId(list, place);
}

void ResearchFundingPanel::OnCommand(Control* control, int32_t) {
  if (!control) return;
  ScreenSet& s = g_screens;
  // The list's group flag is its rows': a row clicked closes nothing.
  if (control != list && (control->flags & kStyleGroup) && !(control->flags & kStylePush)) {
    PopPopupsTo(g_ui, 2);
  } else if (Is(control, "TECHTREE")) {
    s.research.Popup(0, nullptr);
  } else if (Is(control, "RDOPTBUT")) {
    s.researchBudgetPanel.Show(kKeepScreenId, nullptr);
  } else if (Is(control, "RDTREEBUT")) {
    s.militaryListPicker->Show(kKeepScreenId, nullptr);
  } else if (Is(control, "TARGETRDBUT")) {
    s.techList.Show(kKeepScreenId, nullptr);
  } else if (Is(control, "RETURNBUT")) {
    ReopenScreen(s.militaryScreen);
  } else if (Is(control, "QUEUE")) {
    s.techDetail.Show(kKeepScreenId, nullptr);
  } else if (Is(control, "RDMISSILE")) {
    s.wmdTechList->Show(kKeepScreenId, nullptr);
  } else if (Is(control, "LOCK")) {
    ClickPolicyLock(control, kLockResearchFunding);
  } else if (control != list && list && list->selectedId != 0) {
    ResearchQueueButton(control, static_cast<uint32_t>(list->selectedId), list);
    Refresh();
    RefreshDockedScreen(3);
  }
}

void ResearchFundingPanel::OnControlChange(Control* control, int32_t) {
  if (!control || control != list) return;
  ResearchQueueListEvent(currentForm, static_cast<uint32_t>(list->selectedId), 0, 0);
}
