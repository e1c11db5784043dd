#pragma once
// The pages the settlement panel stacks under its header (MAP1_ss1b1 to
// MAP1_ss1b7): the type's name, the population, construction, condition
// and output of the selected hex's facility, and a town's output of raw
// materials. Each refreshes from the selected hex under the simulation
// lock. Window thread.
#include <cstdint>

#include "screens/common/screen_types_fwd.h"
#include "screens/common/product_period.h"
#include "ui/screen.h"

// The selected hex as the settlement panel and its pages see it.
struct SettlementView {
  const HexCell* cell = nullptr;   // null: no hex selected
  uint32_t packed = 0;             // x | y << 16
  const UnitRecord* lead = nullptr;  // present: not gone and with a class
  const UnitClassRecord* cls = nullptr;  // the type the local player may see, null for none
  int32_t classIndex = 0;
  bool ownHex = false;             // the local player's
  bool underConstruction = false;  // the lead is being built and unfinished
  bool repairOrdered = false;      // the lead's building is held
};
SettlementView ViewSelectedHex(const World& world);

// The population of a hex: d x d + 99 for the terrain's density d (0 for
// none), plus its label's figure.
float SettlementPopulation(const World& world, const HexCell& cell);
// The status entry (of "ugstatus") of the hex's facility: 6 on a hex
// without supply, else 0 active, 3 being demolished, 5 construction held,
// 2 under construction, 1 inactive.
int32_t SettlementStatus(const World& world, const SettlementView& view);

inline constexpr const char* kSettlementUpgradeTags[] = {"UPGRADE"};
class SettlementUpgradePage : public Screen {
 public:
  SettlementUpgradePage() : Screen("MAP1_ss1b1", FormLookups{.tags = kSettlementUpgradeTags, .ids = {}}) {}
  void Refresh() override;
};

inline constexpr const char* kSettlementPopulationTags[] = {"POPULATION"};
class SettlementPopulationPage : public Screen {
 public:
  SettlementPopulationPage() : Screen("MAP1_ss1b2", FormLookups{.tags = kSettlementPopulationTags, .ids = {}}) {}
  void Refresh() override;
};

inline constexpr const char* kSettlementConstructionTags[] = {"CONSTRUCT", "DAYS", "CONSTRUCT3"};
class SettlementConstructionPage : public Screen {
 public:
  SettlementConstructionPage()
      : Screen("MAP1_ss1b3", FormLookups{.tags = kSettlementConstructionTags, .ids = {}}) {}
  void Refresh() override;
};

inline constexpr const char* kFacilityOutputTags[] = {"CONDITION", "CAPACITY", "DYTOGGLE", "PROVIDE"};
// Its command is the day/year toggle DYTOGGLE.
class FacilityOutputPage : public ProductPeriodPanel {
 public:
  FacilityOutputPage() : ProductPeriodPanel("MAP1_ss1b4", FormLookups{.tags = kFacilityOutputTags, .ids = {}}) {}
  void Refresh() override;
};

inline constexpr const char* kSettlementConditionTags[] = {"CONDITION"};
class SettlementConditionPage : public Screen {
 public:
  SettlementConditionPage() : Screen("MAP1_ss1b5", FormLookups{.tags = kSettlementConditionTags, .ids = {}}) {}
  void Refresh() override;
};

inline constexpr const char* kSettlementOutputConfirmTags[] = {"MAXUPCAP", "OKBUT6A", "CANBUT6A"};
// Raises the facility's output to the full size.
class SettlementOutputConfirm : public Screen {
 public:
  SettlementOutputConfirm()
      : Screen("MAP1_ss1b6a", FormLookups{.tags = kSettlementOutputConfirmTags, .ids = {}}) {}
  void Refresh() override;
  void OnCommand(Control* control, int32_t id) override;
  Screen* hostScreen = nullptr;  // re-opened after a command
};

inline constexpr const char* kSettlementOutputCancelTags[] = {"CANBUT6B1"};
// Stops an industry's output change, or asks again for the present size.
class SettlementOutputCancel : public Screen {
 public:
  SettlementOutputCancel() : Screen("MAP1_ss1b6b1", FormLookups{.tags = kSettlementOutputCancelTags, .ids = {}}) {}
  void OnCommand(Control* control, int32_t id) override;
  Screen* hostScreen = nullptr;
};

inline constexpr const char* kSettlementOutputTags[] = {"OUTPUT", "RAWLIST", "SUBPARENT"};
// The main product of the facility; hosts the confirm page while the
// facility runs below its full size and the cancel page while it is built.
class SettlementOutputPage : public Screen {
 public:
  SettlementOutputPage() : Screen("MAP1_ss1b6", FormLookups{.tags = kSettlementOutputTags, .ids = {}}) {}
  void BindControls() override;
  void Refresh() override;
  ListBoxControl* rawList = nullptr;
  SettlementOutputConfirm* confirm = nullptr;
  SettlementOutputCancel* cancel = nullptr;
};

inline constexpr const char* kCityOutputTags[] = {"CITYOUTPUT", "RAWLIST"};
class CityOutputPage : public Screen {
 public:
  CityOutputPage() : Screen("MAP1_ss1b7", FormLookups{.tags = kCityOutputTags, .ids = {}}) {}
  void BindControls() override;
  void Refresh() override;
  ListBoxControl* cityOutput = nullptr;
  ListBoxControl* rawList = nullptr;
};

// The rows of a town's raw materials: per product with a figure above 0 its
// day's value at the hex's supply (id product + 21), or one row with id 40.
void FillRawMaterialList(const World& world, const HexCell& cell, ListBoxControl* list);
