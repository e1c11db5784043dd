#include "screens/economy/policy/policy_figures.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "platform/fpenv.h"
#include "records/le_bytes.h"
#include "records/player_record.h"
#include "screens/common/product_period.h"
#include "screens/screen_set.h"
#include "sim/player_services.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_reopen.h"
#include "ui/string_control.h"
#include "world/local_player.h"
#include "world/region_figures.h"
#include "world/text/policy_fields.h"
#include "world/text/ui_options.h"
#include "world/world.h"

bool AmountsPerDay() { return g_uiOptions.dayannual != 0; }
float AmountsDivisor() { return ProductPeriodDivisor(); }

float UiRecommendedRate(const PlayerRecord& r) { return LoadRegionFloat(r, kRegionUiSpendRecom); }
float WelfareRecommendedRate(const PlayerRecord& r) { return LoadRegionFloat(r, kRegionWelfSpendRecom); }
float PensionRecommendedRate(const PlayerRecord& r) { return LoadRegionFloat(r, kRegionPensSpendRecom); }
float PensionerShare(const PlayerRecord& r) { return LoadRegionFloat(r, kRegionAgeOver65); }

float ServiceCost(const PlayerRecord& r, const PlayerPolicyBlock& b, int32_t service) {
  if (service < 0 || service >= kServices) return 0.0f;
  return r.socialCosts[service] * b.socialspend[service];
}

float InsuranceBase(const PlayerRecord& r) { return r.unemployment * r.population / 2.0f * r.gdpPerCapita; }

float InsuranceCost(const PlayerRecord& r, const PlayerPolicyBlock& b) {
  const float u = InsuranceBase(r);
  return UiRecommendedRate(r) * b.uispend * u + WelfareRecommendedRate(r) * b.welfspend * u +
         PensionerShare(r) * r.population * PensionRecommendedRate(r) * b.pensspend * r.gdpPerCapita;
}

float RecommendedInsuranceCost(const PlayerRecord& r) {
  const float u = InsuranceBase(r);
  return UiRecommendedRate(r) * u + WelfareRecommendedRate(r) * u +
         PensionerShare(r) * r.population * PensionRecommendedRate(r) * r.gdpPerCapita;
}

float SocialCost(const PlayerRecord& r, const PlayerPolicyBlock& b) {
  float sum = 0.0f;
  for (int32_t i = 0; i < kServices; ++i) sum = sum + ServiceCost(r, b, i);
  return sum + InsuranceCost(r, b);
}

float RecommendedSocialCost(const PlayerRecord& r) {
  float sum = 0.0f;
  for (int32_t i = 0; i < kServices; ++i) sum = sum + r.socialCosts[i];
  return sum + RecommendedInsuranceCost(r);
}

float ResearchSpending(const PlayerRecord& r, const PlayerPolicyBlock& b) {
  return r.researchBudget * std::fmin(b.milspendresearch, ResearchLevelCap(r));
}

float ImmigrationFeeIncome(const PlayerPolicyBlock& b) { return BlockReal(b, kBudgetTaxRevenueWord + 13); }

uint32_t PressedBit(const Screen& s, const char* tag) {
  const Control* c = Tag(s, tag);
  return c && c->Selected() ? 1u : 0u;
}

// A list's radio flag is its rows' (one selected at a time): a click on a
// row is no group button let go.
bool ReleasedGroupButton(const Control* c) {
  return c && (c->flags & kCtlRadio) != 0 && !c->Selected() && !dynamic_cast<const ListBoxControl*>(c);
}

void RefreshPolicySidePanel() {
  Screen& side = *g_screens.policySidePanel;
  ReopenScreen(side);
}
