#pragma once
// The four pages under the intelligence panel (docked three deep): covert
// funding, intelligence resources and the agents' biographies of the region
// picked there, and the service's budget. The region pages show the
// region's header; the service keeps no covert, resource or agent state, so
// their figures read 0, their grids hide and their own buttons do nothing.
// Only the budget page posts: the spending level and the foreign share.
#include <cstdint>
#include <memory>

#include "ui/screen.h"

class Control;
struct PlayerRecord;

inline constexpr const char* kRegionHeaderTags[] = {"REGION", "FLAG", "STATUS"};
inline constexpr const char* kCovertFundingTags[] = {"REGION", "FLAG",     "STATUS",  "ANNDAYCURR",
                                                     "ANNDAYREC", "SPENDREC", "SPENDAMT", "SPENDSLDR"};
inline constexpr const char* kIntelResourceTags[] = {"REGION", "FLAG", "STATUS", "FAKE", "CONFIRMBOX", "INTRES",
                                                     "ALLORES"};
inline constexpr const char* kAgentBioTags[] = {"REGION",  "FLAG",    "STATUS",  "CALPARENT", "CONFIRMBOX",
                                                "INTRES",  "ALLORES", "BIOTEXT", "SABGRID",   "ASSGRID",
                                                "BIOGRID", "BIOGRID2"};
inline constexpr const char* kIntelBudgetTags[] = {"ANNDAYTEXT", "RECBUDGET", "BUDGETSLDR", "CURBUDGET", "DOM",
                                                   "FORN",       "FOCUSSLDR", "COSTNEWEQ",  "COSTPREP",  "SPENDAMT"};

// The header of a region page: name, flag and relation ("diprel"), STATUS
// pressed at war. A number outside 1-31 shows an empty header. The name goes
// to the control tagged nameTag.
void FillRegionHeader(Control* form, const PlayerRecord& viewer, intptr_t region, const char* nameTag = "REGION");
// The budget page's figures; amounts are divided by the period divisor.
void FillIntelBudget(Control* form, const PlayerRecord& region, float periodDivisor);

std::unique_ptr<Screen> MakeCovertFundingPanel();

std::unique_ptr<Screen> MakeIntelResourcePanel();

std::unique_ptr<Screen> MakeAgentBioPanel();

class IntelBudgetPanel : public Screen {
 public:
  IntelBudgetPanel() : Screen("OPS1_SS2d", FormLookups{.tags = kIntelBudgetTags, .ids = {}}) {}
  void BindControls() override;
  void OnOpen() override;
  void Refresh() override;
  // The two bars post their values; every change refreshes the cost panel.
  void OnControlChange(Control* control, int32_t id) override;
};
