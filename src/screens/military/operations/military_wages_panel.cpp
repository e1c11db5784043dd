#include "screens/military/operations/military_wages_panel.h"

#include <algorithm>
#include <bit>

#include "records/command_ids.h"
#include "records/player_record.h"
#include "screens/common/policy_lock.h"
#include "screens/common/product_period.h"
#include "screens/common/frame/side_bars.h"
#include "screens/military/department/department_text.h"
#include "screens/military/department/military_figures.h"
#include "screens/military/department/military_screen.h"
#include "screens/screen_set.h"
#include "sim/game_command.h"
#include "sim/player_services.h"
#include "sim/policy_command_args.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/panel_vocabulary.h"
#include "ui/popups.h"
#include "ui/screen_manager.h"
#include "ui/slide_bar.h"
#include "world/text/policy_fields.h"
#include "world/world.h"

namespace {

constexpr int kSalaryFactor = 0;
constexpr float kDaysPerYear = 365.0f;
constexpr float kLevelTop = 4.0f;

float Salaries(const MilitaryFigures& f) {
  return GovernmentFactor(f.governmentType, kSalaryFactor) * f.salaryBaseCost * f.milspendsalary;
}

void SetLevel(Control* control, float level) {
  if (auto* bar = dynamic_cast<SlideBarControl*>(control)) {
    SliderSetMaxFloat(bar, kLevelTop);
    SliderSetValueFloat(bar, level);
  }
}

void ReturnToMilitaryPage() {
  MilitaryScreen& page = g_screens.militaryScreen;
  page.AttachForm(nullptr);
  page.OnOpen();
  page.Refresh();
}

}  // namespace

void FillMilitaryWages(Control* form, const MilitaryFigures& f, float divisor) {
  if (!form) return;
  auto at = [form](const char* tag) { return Tag(form, tag); };
  auto money = [&](const char* tag, float yearly) { SetMoneyShort(at(tag), static_cast<double>(yearly / divisor)); };
  if (Control* c = at("ANNDAYTEXT")) c->SetSelected(divisor > 1.0f);
  const float salaryFactor = GovernmentFactor(f.governmentType, kSalaryFactor);
  // Every cost reads, nought included: the page is where the player learns
  // what each level costs, and a bar with no figure beside it says nothing.
  money("MILWAGES", salaryFactor * f.salaryBaseCost);
  money("MILEFF", f.maintenanceBaseCost);
  SetLevel(at("WAGESLDR"), f.milspendsalary);
  SetLevel(at("EFFSLDR"), f.milspendmaint);
  const float wages = Salaries(f);
  const float maintenance = f.maintenanceBaseCost * f.milspendmaint;
  const float intelligence = f.milspendintel * f.intelBaseCost;
  const float research = f.researchBaseCost * std::min(f.milspendresearch, f.researchLevelCap);
  money("NEWMILWAGES", wages);
  money("NEWMILEFF", maintenance);
  money("COSTNEWEQ", intelligence);
  money("COSTRES", research);
  money("COSTPREP", f.readinessValue);
  money("COSTTRAIN", f.trainingCostDaily * kDaysPerYear);
  money("COSTBUILD", f.buildCostDaily * kDaysPerYear);
  money("COSTTOTAL", research + maintenance + intelligence + wages + f.readinessValue);
  SetHidden(at("SHORTBOX"), !(f.militaryShortageDaily > 0.0f));
  money("SHORTAGE", f.militaryShortageDaily * kDaysPerYear);
}

bool MilitaryLocked(uint32_t bit) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const int32_t local = g_world.gameState.localPlayer;
  if (local < 0 || local >= kMaxPlayers) return false;
  return (CabinetLocks(g_world.players[local].displayPolicy.cabinetPolicy[kMilitaryLockGroup]) & bit) != 0;
}

namespace {

class MilitaryWagesPanel : public Screen {
 public:
  MilitaryWagesPanel() : Screen("MILITARY1_ss6", FormLookups{.tags = kMilitaryWagesTags, .ids = {}}) {}
  void BindControls() override { DockInBotbar2(*this); }
  void OnOpen() override { ScreenSlotResetMapMode(g_screens); }
  void Refresh() override {
    FillMilitaryWages(currentForm, LockedLocalMilitaryFigures(), ProductPeriodDivisor());
    if (Control* lock = Tag(currentForm, "LOCK")) lock->SetSelected(MilitaryLocked(kLockWages));
  }
  void OnCommand(Control* control, int32_t) override {
    if (Is(control, "MILLOCK")) {
      if (!control->Selected()) return;
      // Both bars back to the standard level, each posting as a move would.
      for (const char* tag : {"WAGESLDR", "EFFSLDR"})
        SliderSetValueFloatNotify(dynamic_cast<SlideBarControl*>(Tag(currentForm, tag)), 1.0f);
    } else if (Is(control, "RETURNBUT")) {
      ReturnToMilitaryPage();
    } else if (Is(control, "LOCK")) {
      ClickPolicyLock(control, kLockWages, kMilitaryLockGroup);
    }
  }
  // Each bar posts its level; every change refreshes the cost side panel.
  void OnControlChange(Control* control, int32_t) override {
    auto* bar = dynamic_cast<SlideBarControl*>(control);
    const bool wages = bar && Is(control, "WAGESLDR");
    if (wages || (bar && Is(control, "EFFSLDR"))) {
      PostArgs(wages ? kCmdMilSpendSalary : kCmdMilSpendMaint, RealSettingArgs{.value = SliderGetValueFloat(bar)});
      const MilitaryFigures f = LockedLocalMilitaryFigures();
      const float yearly = wages ? Salaries(f) : f.maintenanceBaseCost * f.milspendmaint;
      SetMoneyShort(Tag(currentForm, wages ? "NEWMILWAGES" : "NEWMILEFF"),
                    static_cast<double>(yearly / ProductPeriodDivisor()));
    }
    g_screens.militaryCostSide->Refresh();
  }
};

}  // namespace

std::unique_ptr<Screen> MakeMilitaryWagesPanel() { return std::make_unique<MilitaryWagesPanel>(); }
