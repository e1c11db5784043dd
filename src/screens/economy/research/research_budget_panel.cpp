#include "screens/economy/research/research_budget_panel.h"

#include <bit>
#include <cmath>

#include "records/command_ids.h"
#include "records/player_record.h"
#include "screens/economy/policy/policy_figures.h"
#include "screens/common/product_period.h"
#include "screens/economy/research/research_funding_panel.h"
#include "screens/common/frame/side_bars.h"
#include "screens/screen_set.h"
#include "sim/game_command.h"
#include "sim/policy_command_args.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/panel_vocabulary.h"
#include "ui/slide_bar.h"
#include "world/local_player.h"
#include "world/world.h"

namespace {

constexpr float kShareTolerance = 1e-5f;
constexpr uint16_t kShareSteps = 100;
constexpr float kResetShares[kResearchShares] = {0.34f, 0.32f, 0.34f};

int32_t SliderId(int32_t share) { return 3 * share + 1; }
int32_t LockBoxId(int32_t share) { return 3 * share + 2; }
int32_t LabelId(int32_t share) { return 3 * share + 3; }

void PostShare(int32_t share, float value) {
  PostArgs(kCmdMilResearch, IndexedSettingArgs{.index = static_cast<uint32_t>(share),
                                               .value = std::bit_cast<uint32_t>(value)});
}

void ShowShare(const Screen& panel, int32_t share, float value) {
  if (SlideBarControl* bar = AsSlideBar(Id(panel, SliderId(share)))) {
    SliderSetMaxFloat(bar, 1.0f);
    bar->notches = kShareSteps;
    SliderSetValueFloat(bar, value);
  }
  SetPercent(Id(panel, LabelId(share)), "%3.0f %%", value);
}

}  // namespace

void RebalanceResearchShares(float s[kResearchShares], int32_t moved, float value, const bool locked[kResearchShares]) {
  if (moved < 0 || moved >= kResearchShares) return;
  s[moved] = value;
  bool anyLocked = false;
  for (int32_t i = 0; i < kResearchShares; ++i)
    if (i != moved && locked[i]) anyLocked = true;
  float excess = s[0] + s[1] + s[2] - 1.0f;
  if (!anyLocked) excess = excess / 2.0f;
  for (int32_t i = 0; i < kResearchShares; ++i) {
    if (i == moved || locked[i]) continue;
    s[i] = s[i] - excess;
    if (s[i] < 0.0f) s[i] = 0.0f;
  }
  s[moved] = s[moved] - (s[0] + s[1] + s[2] - 1.0f);
}

void RepairResearchShares(const PlayerPolicyBlock& b) {
  const float* s = b.milResearch;  // each post updates the block at once
  if (!(std::fabs(s[0] + s[1] + s[2] - 1.0f) > kShareTolerance)) return;
  PostShare(2, std::fmin(s[2], 1.0f));
  PostShare(0, std::fmin(s[0], 1.0f - s[2]));
  PostShare(1, std::fmin(s[1], 1.0f - s[2] - s[0]));
}

void ResearchBudgetPanel::BindControls() {
  if (docked_) DockInSecondBotbar2(*this);
}

void ResearchBudgetPanel::OnOpen() {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (const PlayerRecord* r = LocalPlayer(g_world)) RepairResearchShares(r->displayPolicy);
  ScreenSlotSelectMapMode(g_screens);
}

void ResearchBudgetPanel::Refresh() {
  Press(Tag(*this, "ANNDAYBUT"), AmountsPerDay());
  Press(Tag(*this, "ANNDAYTEXT"), AmountsPerDay());
  plat::CriticalSectionLock lock(g_simulationLock);
  const PlayerRecord* r = LocalPlayer(g_world);
  if (!r) return;
  const PlayerPolicyBlock& b = r->displayPolicy;
  const float divisor = AmountsDivisor();
  SetMoneyShort(Tag(*this, "SPENDREC"), r->researchBudget / divisor);
  if (SlideBarControl* bar = AsSlideBar(Tag(*this, "SPENDSLDR"))) {
    SliderSetMaxFloat(bar, kTopResearchLevel);
    SliderSetValueFloat(bar, b.milspendresearch);
  }
  SetMoneyShort(Tag(*this, "SPENDAMNT"), ResearchSpendingAmount(*r) / divisor);
  SetHidden(Tag(*this, "MAXNOTE"), !(b.milspendresearch > std::sqrt(static_cast<float>(ResearchMax(*r)))));
  for (int32_t i = 0; i < kResearchShares; ++i) ShowShare(*this, i, b.milResearch[i]);
  Press(Tag(*this, "LOCK"), PolicyLocked(*r, kLockResearchBudget));
}

void ResearchBudgetPanel::OnCommand(Control* control, int32_t controlId) {
  if (controlId % 3 == 2 && controlId >= LockBoxId(0) && controlId <= LockBoxId(2)) {
    // The lock boxes are radio buttons: at most one share is held.
    for (int32_t i = 0; i < kResearchShares; ++i)
      if (LockBoxId(i) != controlId) Press(Id(*this, LockBoxId(i)), false);
  } else if (Is(control, "RESET")) {
    for (int32_t i = 0; i < kResearchShares; ++i) PostShare(i, kResetShares[i]);
    Refresh();
  } else if (Is(control, "ANNDAYBUT")) {
    SetProductPeriod(control->Selected());
  } else if (Is(control, "LOCK")) {
    ClickPolicyLock(control, kLockResearchBudget);
  }
}

void ResearchBudgetPanel::OnControlChange(Control* control, int32_t controlId) {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (Is(control, "SPENDSLDR")) {
    if (const SlideBarControl* bar = AsSlideBar(control))
      PostArgs(kCmdMilSpendResearch, RealSettingArgs{.value = SliderGetValueFloat(bar)});
    Refresh();
    // The department page beneath shows the research spending too.
    RefreshDockedScreen(1);
  } else if (controlId % 3 == 1 && controlId >= SliderId(0) && controlId <= SliderId(2)) {
    const PlayerRecord* r = LocalPlayer(g_world);
    const SlideBarControl* bar = AsSlideBar(control);
    if (r && bar) {
      float s[kResearchShares];
      bool locked[kResearchShares];
      for (int32_t i = 0; i < kResearchShares; ++i) {
        s[i] = r->displayPolicy.milResearch[i];
        const Control* box = Id(*this, LockBoxId(i));
        locked[i] = box && box->Selected();
      }
      RebalanceResearchShares(s, controlId / 3, SliderGetValueFloat(bar), locked);
      for (int32_t i = 0; i < kResearchShares; ++i) {
        ShowShare(*this, i, s[i]);
        PostShare(i, s[i]);
      }
    }
  }
  RefreshDockedScreen(2);
}
