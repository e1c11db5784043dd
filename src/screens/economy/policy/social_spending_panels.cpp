#include "screens/economy/policy/social_spending_panels.h"

#include <bit>
#include <cmath>

#include "app/number_text.h"
#include "records/command_ids.h"
#include "records/player_record.h"
#include "screens/economy/policy/policy_figures.h"
#include "screens/common/frame/side_bars.h"
#include "screens/screen_set.h"
#include "sim/game_command.h"
#include "sim/policy_command_args.h"
#include "sim/simulation_lock.h"
#include "ui/bitmap_control.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/panel_vocabulary.h"
#include "ui/slide_bar.h"
#include "ui/string_control.h"
#include "world/local_player.h"
#include "world/text/text_lists.h"
#include "world/world.h"

namespace {

constexpr float kBarTop = 1.2f;  // the achieved levels' bars
constexpr int32_t kFirstServiceBar = 18;
constexpr int32_t kInsuranceBar = 25;
constexpr int32_t kInsuranceButton = 8;
constexpr int32_t kServiceSlider = 13;
constexpr int32_t kFundSlider = 13;

// A level as a command carries it: never above the top, never negative, and
// a level that is no number at all (a broken record) posts as 0.
uint32_t LevelBits(float level) {
  const float capped = level >= 0.0f ? std::fmin(level, kTopSpendingLevel) : 0.0f;
  return std::bit_cast<uint32_t>(capped);
}

void SetSlider(Control* c, float maximum, float value) {
  SlideBarControl* bar = AsSlideBar(c);
  if (!bar) return;
  SliderSetMaxFloat(bar, maximum);
  SliderSetValueFloat(bar, value);
}

float SliderValue(Control* c) {
  const SlideBarControl* bar = AsSlideBar(c);
  return bar ? SliderGetValueFloat(bar) : 0.0f;
}

const char* ButtonText(Control* c) {
  if (!c) return "";
  if (auto* s = dynamic_cast<StringControl*>(c)) return s->GetText();
  return c->text.c_str();
}

void ShowPeriod(Control* c) { Press(c, AmountsPerDay()); }

DomesticPolicyScreen& Department() { return g_screens.policyScreen; }

}  // namespace

float OverallSocialLevel(float current, float recommended) {
  if (!(recommended > 0.0f)) return 0.0f;
  const float level = current / recommended;
  return std::isfinite(level) ? level : 0.0f;
}

void PostOverallSocialLevel(const PlayerPolicyBlock& block, float overall, float value) {
  // Copies first: each post changes the block under us.
  const PlayerPolicyBlock levels = block;
  const bool outright = !(overall > 0.0f) || !std::isfinite(overall);
  const float factor = outright ? 1.0f : value / overall;
  auto scaled = [&](float level) { return LevelBits(outright ? value : factor * level); };
  for (int32_t i = 0; i < kServices; ++i)
    PostArgs(kCmdSocialSpend, IndexedSettingArgs{.index = static_cast<uint32_t>(i),
                                                 .value = scaled(levels.socialspend[i])});
  PostArgs(kCmdUiSpend, SettingArgs{.value = scaled(levels.uispend)});
  PostArgs(kCmdWelfSpend, SettingArgs{.value = scaled(levels.welfspend)});
  PostArgs(kCmdPensSpend, SettingArgs{.value = scaled(levels.pensspend)});
}

void RefreshSocialPanels() {
  RefreshPolicySidePanel();
  DomesticPolicyScreen& d = Department();
  d.Refresh();
  d.investment.Refresh();
  d.serviceHeader.Refresh();
  d.funds.Refresh();
}

void InvestmentPanel::BindControls() { DockInBotbar2(*this); }

void InvestmentPanel::OnOpen() {
  ControlClearSelection(Id(*this, 1), 0);
  ScreenSlotResetMapMode(g_screens);
}

void InvestmentPanel::Refresh() {
  ShowPeriod(Tag(*this, "ANNDAYTEXT1"));
  ShowPeriod(Tag(*this, "ANNDAYTEXT2"));
  plat::CriticalSectionLock lock(g_simulationLock);
  const PlayerRecord* r = LocalPlayer(g_world);
  if (!r) return;
  const PlayerPolicyBlock& b = r->displayPolicy;
  const float recommended = RecommendedSocialCost(*r);
  const float current = SocialCost(*r, b);
  overall = OverallSocialLevel(current, recommended);
  const float divisor = AmountsDivisor();
  SetSlider(Tag(*this, "INVESTSLDR"), kTopSpendingLevel, overall);
  SetMoneyShort(Tag(*this, "INVEST"), current / divisor);
  float bars[kServices + 1];
  for (int32_t i = 0; i < kServices; ++i) bars[i] = r->socialLevels[i];
  bars[kServices] = (b.uispend + b.welfspend + b.pensspend) / 3.0f;
  for (int32_t k = 0; k <= kServices; ++k) {
    Control* bar = Id(*this, kFirstServiceBar + k);
    SetSlider(bar, k < kServices ? kBarTop : kTopSpendingLevel, bars[k]);
    if (!bar) continue;
    char caption[kNumberTextSize];
    FormatNumberText(caption, 0, 0, ButtonText(Id(*this, k + 1)), 0, "%", 0, static_cast<double>(bars[k] * 100.0f));
    ControlSetText(bar, caption);
  }
  const float expenses = b.budgetSpending;
  SetPercent(Tag(*this, "BPC"), "%2.1f %%", expenses > 0.0f ? current / expenses : 0.0f);
  SetMoneyShort(Tag(*this, "RECCOST"), recommended / divisor);
  Press(Tag(*this, "LOCK"), PolicyLocked(*r, kLockInvestment));
}

void InvestmentPanel::OnCommand(Control* control, int32_t id) {
  if (Is(control, "LOCK")) {
    ClickPolicyLock(control, kLockInvestment);
  } else if (id >= 1 && id <= kServices) {
    Department().serviceHeader.Show(id - 1, nullptr);
  } else if (id == kInsuranceButton) {
    Department().funds.Show(kKeepScreenId, nullptr);
  } else if (Is(control, "REC")) {
    if (SlideBarControl* bar = AsSlideBar(Tag(*this, "INVESTSLDR"))) SliderSetValueFloatNotify(bar, 1.0f);
  }
}

void InvestmentPanel::OnControlChange(Control* control, int32_t) {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (!Is(control, "INVESTSLDR")) return;
  const PlayerRecord* r = LocalPlayer(g_world);
  if (!r) return;
  PostOverallSocialLevel(r->displayPolicy, overall, SliderValue(control));
  RefreshSocialPanels();
}

void RefreshSocialServiceDetail(Control* form, int32_t k) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const PlayerRecord* r = LocalPlayer(g_world);
  if (!form || !r || k < 0 || k >= kServices) return;
  const float divisor = AmountsDivisor();
  const float cost = ServiceCost(*r, r->displayPolicy, k);
  Press(FormFindControlByTag(form, "ANNDAYTEXT"), AmountsPerDay());
  SetMoneyShort(FormFindControlById(form, 11), cost / divisor);
  SetMoneyShort(FormFindControlById(form, 12), r->socialCosts[k] / divisor);
  SetSlider(FormFindControlById(form, kServiceSlider), kTopSpendingLevel, r->displayPolicy.socialspend[k]);
  SetMoneyShort(FormFindControlById(form, 14), cost / divisor);
  SetPercent(FormFindControlById(form, 15), "%3.0f %%", r->socialLevels[k]);
}

void ApplySocialServiceSlider(Control* form, int32_t k) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const PlayerRecord* r = LocalPlayer(g_world);
  if (!form || !r || k < 0 || k >= kServices) return;
  PostArgs(kCmdSocialSpend, IndexedSettingArgs{.index = static_cast<uint32_t>(k),
                                               .value = LevelBits(SliderValue(FormFindControlById(form, kServiceSlider)))});
  SetMoney(FormFindControlById(form, 14), ServiceCost(*r, r->displayPolicy, k) / AmountsDivisor());
  // A level set by hand ends matching the socials to the recommendation.
  PostArgs(kCmdBMatchSocials, SettingArgs{.value = 0});
  RefreshPolicySidePanel();
  Department().Refresh();
  Department().investment.Refresh();
}

void SocialSpendingHeader::BindControls() {
  DockInSecondBotbar2(*this);
  picture = Tag(*this, "POLICYPIC");
}

void SocialSpendingHeader::OnOpen() { ScreenSlotSelectMapMode(g_screens); }

void SocialSpendingHeader::Refresh() {
  const int32_t k = static_cast<int32_t>(id);
  if (k < 0 || k >= kServices) return;
  SetControlText(Tag(*this, "SPENDHEADR"), TextListEntry(g_textLists, kListSocials, k));
  auto* icon = dynamic_cast<BitmapControl*>(Id(Department().investment, k + 1));
  if (auto* shown = dynamic_cast<BitmapControl*>(picture); shown && icon) {
    for (int look = 0; look < 3; ++look) shown->images[look] = icon->images[look];
    shown->Invalidate();
  }
  plat::CriticalSectionLock lock(g_simulationLock);
  RefreshSocialServiceDetail(currentForm, k);
  ShowPolicyLock(*this, 1u << k);
}

void SocialSpendingHeader::OnCommand(Control* control, int32_t) {
  const int32_t k = static_cast<int32_t>(id);
  if (Is(control, "LOCK") && k >= 0 && k < kServices) ClickPolicyLock(control, 1u << k);
}

void SocialSpendingHeader::OnControlChange(Control*, int32_t controlId) {
  if (controlId == kServiceSlider) ApplySocialServiceSlider(currentForm, static_cast<int32_t>(id));
}

void FundInvestmentPanel::BindControls() { DockInSecondBotbar2(*this); }

void FundInvestmentPanel::OnOpen() { ScreenSlotSelectMapMode(g_screens); }

void FundInvestmentPanel::Refresh() {
  ShowPeriod(Tag(*this, "ANNDAYTEXT"));
  plat::CriticalSectionLock lock(g_simulationLock);
  const PlayerRecord* r = LocalPlayer(g_world);
  if (!r) return;
  const PlayerPolicyBlock& b = r->displayPolicy;
  const float rates[3] = {UiRecommendedRate(*r), WelfareRecommendedRate(*r), PensionRecommendedRate(*r)};
  const float levels[3] = {b.uispend, b.welfspend, b.pensspend};
  const char* current[3] = {"EICUR", "WELCUR", "PENCUR"};
  const char* recommended[3] = {"EIREC", "WELREC", "PENREC"};
  for (int i = 0; i < 3; ++i) {
    SetPercent(Tag(*this, current[i]), "%3.0f %%", rates[i] * levels[i]);
    SetPercent(Tag(*this, recommended[i]), "%3.0f %%", rates[i]);
  }
  const float divisor = AmountsDivisor();
  SetMoneyShort(Tag(*this, "CURINVAMNT"), InsuranceCost(*r, r->simPolicy) / divisor);
  SetMoneyShort(Tag(*this, "RCMDINVAMNT"), RecommendedInsuranceCost(*r) / divisor);
  SetMoneyShort(Tag(*this, "INVESTAMNT"), InsuranceCost(*r, b) / divisor);
  SetSlider(Tag(*this, "INVESTSLDR"), kTopSpendingLevel, (levels[0] + levels[1] + levels[2]) / 3.0f);
  Press(Tag(*this, "LOCK"), PolicyLocked(*r, kLockInsurance));
}

void FundInvestmentPanel::OnCommand(Control* control, int32_t) {
  if (Is(control, "IAACCPBUT")) {
    Department().investment.Show(kKeepScreenId, nullptr);
  } else if (Is(control, "LOCK")) {
    ClickPolicyLock(control, kLockInsurance);
  }
}

void FundInvestmentPanel::OnControlChange(Control* control, int32_t controlId) {
  if (controlId != kFundSlider) return;
  // One level for all three funds, whatever their mix was.
  const uint32_t level = LevelBits(SliderValue(control));
  PostArgs(kCmdUiSpend, SettingArgs{.value = static_cast<uint32_t>(level)});
  PostArgs(kCmdWelfSpend, SettingArgs{.value = static_cast<uint32_t>(level)});
  PostArgs(kCmdPensSpend, SettingArgs{.value = static_cast<uint32_t>(level)});
  RefreshPolicySidePanel();
  Department().Refresh();
  Department().investment.Refresh();
  Refresh();
}
