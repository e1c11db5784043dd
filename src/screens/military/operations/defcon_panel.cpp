#include "screens/military/operations/defcon_panel.h"

#include "records/command_ids.h"
#include "records/player_record.h"
#include "screens/common/product_period.h"
#include "screens/common/frame/side_bars.h"
#include "screens/military/department/department_text.h"
#include "screens/military/department/military_screen.h"
#include "screens/screen_set.h"
#include "sim/game_command.h"
#include "sim/player_services.h"
#include "sim/policy_command_args.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/panel_vocabulary.h"
#include "ui/slide_bar.h"
#include "ui/string_control.h"
#include "world/local_player.h"
#include "world/text/text_lists.h"
#include "world/world.h"

namespace {

constexpr int32_t kHighestAlert = 4;
constexpr int kBuildBonusFactor = 5;
constexpr int kEfficiencyBonusFactor = 6;
constexpr int32_t kBuildBonusFrom = 2;
constexpr float kBuildBonusStep = 0.1f;
constexpr float kEfficiencyStep = 0.05f;

void SetAlertText(Control* control, int32_t level) {
  if (control) SetControlText(control, TextListText(kListDefcons, level));
}

}  // namespace

// The preview is what the next day charges at the level: the base costs the
// level would scale have no rule that sets them.
float AlertPreparationCost(const PlayerRecord& r, int32_t defcon) { return ReadinessCost(r, static_cast<float>(defcon)); }

void FillAlertInForce(Control* form, const PlayerRecord& r) {
  const int32_t level = ShownAlertValue(r.simPolicy.defcon);
  SetInt(Tag(form, "DEFCON"), kHighestAlert + 1 - level);
  SetAlertText(Tag(form, "CURDESC"), level);
}

void FillDefconPanel(Control* form, const PlayerRecord& r, float periodDivisor) {
  if (!form) return;
  auto at = [form](const char* tag) { return Tag(form, tag); };
  const PlayerPolicyBlock& b = r.displayPolicy;
  const int32_t level = ShownAlertValue(b.defcon);
  if (Control* c = at("ANNDAYTEXT")) c->SetSelected(periodDivisor > 1.0f);
  if (auto* bar = dynamic_cast<SlideBarControl*>(at("DEFCONSLDR"))) {
    SliderSetMaxInt(bar, kHighestAlert);
    SliderSetValueInt(bar, level);
  }
  SetAlertText(at("DCDESC"), level);
  const float build = level > kBuildBonusFrom ? static_cast<float>(level - kBuildBonusFrom) * kBuildBonusStep : 0.0f;
  SetFractionText(at("BUILD"), 1.0f + GovernmentFactor(r.govtype, kBuildBonusFactor) * build);
  SetFractionText(at("EFFPLUS"),
                  static_cast<float>(level) * GovernmentFactor(r.govtype, kEfficiencyBonusFactor) * kEfficiencyStep);
  SetMoneyShort(at("COSTPREP"), static_cast<double>(b.readinessValue / periodDivisor));
  if (Control* c = at("MIN"))
    SetControlText(c, b.hostileMask == 0 ? "(AT PEACE - MAX DEFCON 2)" : "(AT WAR - MIN DEFCON 3)");
}

namespace {

class DefconPanel : public Screen {
 public:
  DefconPanel() : Screen("OPS1_SS1", FormLookups{.tags = kDefconPanelTags, .ids = {}}) {}
  void BindControls() override { DockInBotbar2(*this); }
  // Shows the level in force, then takes the docked depth.
  void OnOpen() override {
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      if (const PlayerRecord* r = LocalPlayer(g_world)) FillAlertInForce(currentForm, *r);
    }
    ScreenSlotResetMapMode(g_screens);
  }
  void Refresh() override {
    plat::CriticalSectionLock lock(g_simulationLock);
    if (const PlayerRecord* r = LocalPlayer(g_world)) FillDefconPanel(currentForm, *r, ProductPeriodDivisor());
  }
  void OnCommand(Control* control, int32_t) override {
    if (!Is(control, "BACK")) return;
    OperationsScreen& page = g_screens.operationsScreen;
    page.AttachForm(nullptr);
    page.OnOpen();
    page.Refresh();
  }
  // The bar orders its level and the costs follow at once.
  void OnControlChange(Control* control, int32_t) override {
    auto* bar = dynamic_cast<SlideBarControl*>(control);
    if (!bar || !Is(control, "DEFCONSLDR")) return;
    PostArgs(kCmdDefcon, SettingArgs{.value = static_cast<uint32_t>(SliderGetValueInt(bar))});
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      PlayerRecord* r = LocalPlayer(g_world);
      if (!r) return;
      // The stored level is the clamped one: the cost follows what is kept.
      const int32_t level = ShownAlertValue(r->displayPolicy.defcon);
      SetAlertText(Tag(currentForm, "DCDESC"), level);
      r->displayPolicy.readinessValue = AlertPreparationCost(*r, level);
    }
    ScreenSet& s = g_screens;
    s.militaryCostSide->Refresh();
    s.operationsScreen.Refresh();
    Refresh();
  }
};

}  // namespace

std::unique_ptr<Screen> MakeDefconPanel() { return std::make_unique<DefconPanel>(); }
