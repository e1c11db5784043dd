#include "screens/military/operations/intel_region_panels.h"

#include <bit>

#include "records/command_ids.h"
#include "records/player_record.h"
#include "records/player_relations.h"
#include "screens/common/region_row.h"
#include "screens/common/product_period.h"
#include "screens/common/frame/side_bars.h"
#include "screens/military/department/department_text.h"
#include "screens/screen_set.h"
#include "sim/game_command.h"
#include "sim/policy_command_args.h"
#include "sim/region_names.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/panel_vocabulary.h"
#include "ui/player_list_rows.h"
#include "ui/slide_bar.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "world/local_player.h"
#include "world/text/text_lists.h"
#include "world/world.h"

namespace {

constexpr int32_t kFirstRegion = 1;
constexpr int32_t kLastRegion = kMaxPlayers - 1;
constexpr int kAtWarWord = 3;
constexpr float kCovertSpendTop = 1000000000.0f;
constexpr float kBudgetTop = 2.0f;
constexpr float kFocusTop = 1.0f;
// The operations the confirmation box is asked about, by button id.
constexpr int32_t kLastResourceOperation = 4;
constexpr int32_t kLastAgentOperation = 3;

void FillHeaderOfLocal(Control* form, intptr_t region) {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (const PlayerRecord* viewer = LocalPlayer(g_world)) FillRegionHeader(form, *viewer, region);
}

void ZeroCounters(Control* form) {
  for (const char* tag : {"INTRES", "ALLORES"}) SetInt(Tag(form, tag), 0);
}

void SetBar(Control* control, float top, float value) {
  if (auto* bar = dynamic_cast<SlideBarControl*>(control)) {
    SliderSetMaxFloat(bar, top);
    SliderSetValueFloat(bar, value);
  }
}

void SetYearlyMoney(Control* control, float yearly) {
  SetMoneyShort(control, static_cast<double>(yearly / ProductPeriodDivisor()));
}

// The operation's confirmation in the page's box; the page stays open
// behind it.
void AskConfirmation(Control* box, int32_t operation) {
  SetHidden(box, false);
  g_screens.operationProgressConfirm->Show(operation, box);
}

}  // namespace

void FillRegionHeader(Control* form, const PlayerRecord& viewer, intptr_t region, const char* nameTag) {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (!form) return;
  Control* status = Tag(form, "STATUS");
  if (region < kFirstRegion || region > kLastRegion) {
    SetControlText(Tag(form, nameTag), "");
    FillRegionRow(Tag(form, "FLAG"), nullptr, -1);
    SetControlText(status, "");
    SetPressed(status, false);
    return;
  }
  const int p = static_cast<int>(region);
  SetControlText(Tag(form, nameTag), RegionDisplayName(g_world, p));
  FillRegionRow(Tag(form, "FLAG"), nullptr, p);
  const int word = RelationWord(RelationClassOf(viewer, 0, p));
  SetControlText(status, TextListText(kListDiprel, word));
  SetPressed(status, word == kAtWarWord);
}

void FillIntelBudget(Control* form, const PlayerRecord& r, float divisor) {
  if (!form) return;
  auto at = [form](const char* tag) { return Tag(form, tag); };
  auto money = [&](const char* tag, float yearly) { SetMoneyShort(at(tag), static_cast<double>(yearly / divisor)); };
  const PlayerPolicyBlock& b = r.displayPolicy;
  if (Control* c = at("ANNDAYTEXT")) c->SetSelected(divisor > 1.0f);
  // Intelligence costs what its base cost says; with none set nothing is
  // charged, and the money lines give way.
  const bool charged = IsCharged(r.intelBaseCost);
  auto cost = [&](const char* tag, float yearly) {
    SetChargedMoney(at(tag), static_cast<double>(yearly / divisor), charged);
  };
  cost("RECBUDGET", r.intelBaseCost);
  SetBar(at("BUDGETSLDR"), kBudgetTop, b.milspendintel);
  cost("CURBUDGET", r.intelBaseCost * b.milspendintel);
  SetFractionText(at("DOM"), 1.0f - b.intelspendforfocus);
  SetFractionText(at("FORN"), b.intelspendforfocus);
  SetBar(at("FOCUSSLDR"), kFocusTop, b.intelspendforfocus);
  cost("COSTNEWEQ", r.intelBaseCost * b.milspendintel);
  money("COSTPREP", b.readinessValue);
  // Covert operations charge nothing of their own.
  SetChargedMoney(at("SPENDAMT"), 0.0, false);
}

namespace {

class CovertFundingPanel : public Screen {
 public:
  CovertFundingPanel() : Screen("OPS1_SS2a", FormLookups{.tags = kCovertFundingTags, .ids = {}}) {}
  void BindControls() override { DockInSecondBotbar2(*this); }
  void OnOpen() override { ScreenSlotSelectMapMode(g_screens); }
  void Refresh() override {
    FillHeaderOfLocal(currentForm, id);
    const bool perDay = ProductPeriodDivisor() > 1.0f;
    for (const char* tag : {"ANNDAYCURR", "ANNDAYREC"}) {
      if (Control* c = Tag(currentForm, tag)) c->SetSelected(perDay);
    }
    for (const char* tag : {"SPENDREC", "SPENDAMT"}) SetYearlyMoney(Tag(currentForm, tag), 0.0f);
    SetBar(Tag(currentForm, "SPENDSLDR"), kCovertSpendTop, 0.0f);
  }
};

class IntelResourcePanel : public Screen {
 public:
  IntelResourcePanel() : Screen("OPS1_SS2b", FormLookups{.tags = kIntelResourceTags, .ids = {}}) {}
  void BindControls() override {
    DockInSecondBotbar2(*this);
    confirmBox = Tag(currentForm, "CONFIRMBOX");
  }
  void OnOpen() override {
    if (Control* fake = Tag(currentForm, "FAKE")) fake->SetSelected(true);
    SetHidden(confirmBox, true);
    ScreenSlotSelectMapMode(g_screens);
  }
  void Refresh() override {
    FillHeaderOfLocal(currentForm, id);
    ZeroCounters(currentForm);
  }
  // Ids 1-4 ask for the operation's confirmation.
  void OnCommand(Control*, int32_t operation) override {
    if (operation >= 1 && operation <= kLastResourceOperation) AskConfirmation(confirmBox, operation);
  }

  Control* confirmBox = nullptr;
};

class AgentBioPanel : public Screen {
 public:
  AgentBioPanel() : Screen("OPS1_SS2c", FormLookups{.tags = kAgentBioTags, .ids = {}}) {}
  void BindControls() override {
    DockInSecondBotbar2(*this);
    calendarParent = Tag(currentForm, "CALPARENT");
    confirmBox = Tag(currentForm, "CONFIRMBOX");
  }
  // Releases the agent buttons and opens the schedule calendar.
  void OnOpen() override {
    if (Control* first = FormFindControlById(currentForm, 1)) ControlClearSelection(first, 0);
    SetHidden(confirmBox, true);
    g_screens.opsSchedule[0].Show(0, calendarParent);
    ScreenSlotSelectMapMode(g_screens);
  }
  void Refresh() override {
    FillHeaderOfLocal(currentForm, id);
    ZeroCounters(currentForm);
    for (const char* tag : {"BIOTEXT", "SABGRID", "ASSGRID", "BIOGRID", "BIOGRID2"})
      SetHidden(Tag(currentForm, tag), true);
  }
  // Ids 1-3 ask for the operation's confirmation.
  void OnCommand(Control*, int32_t operation) override {
    if (operation >= 1 && operation <= kLastAgentOperation) AskConfirmation(confirmBox, operation);
  }

  Control* calendarParent = nullptr;
  Control* confirmBox = nullptr;
};

}  // namespace

std::unique_ptr<Screen> MakeCovertFundingPanel() { return std::make_unique<CovertFundingPanel>(); }

std::unique_ptr<Screen> MakeIntelResourcePanel() { return std::make_unique<IntelResourcePanel>(); }
std::unique_ptr<Screen> MakeAgentBioPanel() { return std::make_unique<AgentBioPanel>(); }

void IntelBudgetPanel::BindControls() { DockInSecondBotbar2(*this); }

void IntelBudgetPanel::OnOpen() { ScreenSlotSelectMapMode(g_screens); }

void IntelBudgetPanel::Refresh() {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (const PlayerRecord* r = LocalPlayer(g_world)) FillIntelBudget(currentForm, *r, ProductPeriodDivisor());
}

void IntelBudgetPanel::OnControlChange(Control* control, int32_t) {
  auto* bar = dynamic_cast<SlideBarControl*>(control);
  const bool budget = bar && Is(control, "BUDGETSLDR");
  if (budget || (bar && Is(control, "FOCUSSLDR"))) {
    PostArgs(budget ? kCmdMilSpendIntel : kCmdIntelSpendForFocus, RealSettingArgs{.value = SliderGetValueFloat(bar)});
    // The figures follow the value the command stored.
    Refresh();
  }
  g_screens.militaryCostSide->Refresh();
}
