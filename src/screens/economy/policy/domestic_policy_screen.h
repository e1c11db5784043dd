#pragma once
// The domestic policy department (main panel 7): a summary of the local
// region's social spending, approval, research and migration, the button
// bar that opens the department's panels, and the panels themselves.
#include <cstdint>

#include "screens/economy/policy/migration_panels.h"
#include "screens/economy/policy/policy_facility_list.h"
#include "screens/economy/policy/social_spending_panels.h"
#include "screens/common/product_period.h"
#include "ui/screen.h"

inline constexpr const char* kDomesticPolicyTags[] = {
    "ANNDAYBUT", "ANNDAYTEXT1", "ANNDAYTEXT2", "ANNDAYTEXT3", "SOCIALCOST", "RECCOST", "DAR",
    "CAR",       "TECHLEV",     "MIG",         "SPENDAMNT",   "REFF",       "TECHSLDR", "BUTPARENT"};
inline constexpr const char* kCabinetLinkTags[] = {"CABINET"};
inline constexpr int32_t kCabinetLinkIds[] = {2, 3, 4, 5};
// The department's number among the main panels and its cabinet post.
inline constexpr int32_t kDomesticPolicyPanel = 7;
inline constexpr int32_t kDomesticCabinetPost = 5;

// The department's button bar: its panels, research funding and the
// department's cabinet priorities.
class DomesticPolicyCabinetLink : public Screen {
 public:
  DomesticPolicyCabinetLink() : Screen("DOMPOLICY1B", FormLookups{.tags = kCabinetLinkTags, .ids = kCabinetLinkIds}) {}
  void OnCommand(Control* control, int32_t id) override;
};

class DomesticPolicyScreen : public ProductPeriodPanel {
 public:
  DomesticPolicyScreen()
      : ProductPeriodPanel("DOMPOLICY1", FormLookups{.tags = kDomesticPolicyTags, .ids = {}}) {}
  // Docks as main panel 7; the page id is what the docking gave.
  int32_t AttachForm(Control* host) override;
  // The side panel, then the button bar in BUTPARENT.
  void OnOpen() override;
  void Refresh() override;
  void BindControls() override;
  // Only the day/year toggle.
  void OnCommand(Control* control, int32_t id) override;

  Control* butParent = nullptr;
  int32_t pageId = 0;
  // Built in this order, after the screen.
  InvestmentPanel investment;
  SocialSpendingHeader serviceHeader;
  FundInvestmentPanel funds;
  ImmigrationRulesPanel immigrationRules;
  PopulationGroupPolicyPanel groupPolicy;
  MigrationPanel migration;
  PolicyFacilityListPanel facilityList;
  DomesticPolicyCabinetLink cabinetLink;
};
