#pragma once
// The settlement and facility panel (MAP1_ss1b) for the selected hex: the
// facility's type, status and capital state, buttons to repair it, mend or
// give up the hex's transport link, make the town the capital, name the
// hex and open its details, and below them the detail pages. Docks at the
// second level. Window thread.
#include <cstdint>

#include "screens/main/panels/settlement_pages.h"
#include "ui/screen.h"

inline constexpr const char* kSettlementTags[] = {
    "HEADER",  "NOTE",     "CAPITOL",    "GRIDCAP1",  "GRIDCAP2",  "REPAIRBUT", "DESTRANSP", "REPTRANSP", "NAMEBUT",
    "BASEDETAILS", "INDPIC", "HIDE1",    "HIDE2",     "SUBPARENT1", "SUBPARENT2", "SUBPARENT3"};
// The facility actions button.
inline constexpr int32_t kSettlementActionsId = 110;
inline constexpr int32_t kSettlementIds[] = {kSettlementActionsId};

class SettlementPanel : public Screen {
 public:
  SettlementPanel();
  // Docks at the second level and finds the sub-parents.
  void BindControls() override;
  // Shows the output page and opens the dock two deep.
  void OnOpen() override;
  void Refresh() override;
  void OnCommand(Control* control, int32_t id) override;

  Control* subParent1 = nullptr;
  Control* subParent2 = nullptr;
  Control* subParent3 = nullptr;
  Control* actions = nullptr;  // id 110
  SettlementUpgradePage upgradePage;
  SettlementPopulationPage populationPage;
  SettlementConstructionPage constructionPage;
  FacilityOutputPage facilityOutputPage;
  SettlementConditionPage conditionPage;
  SettlementOutputPage outputPage;
  SettlementOutputConfirm outputConfirm;
  SettlementOutputCancel outputCancel;
  CityOutputPage cityOutputPage;
};
