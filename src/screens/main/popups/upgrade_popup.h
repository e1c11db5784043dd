#pragma once
// The build pop-up (POPUP_UPGRADE), opened by a click on the map while a
// facility type is placed and the player asked to confirm each build: what
// the facility costs to build and to keep, how long it takes, the hex's
// supply, and for an industry the strength the hex's resources allow (with
// a slider to build smaller) or for a base its capacity and staff. OK
// builds. Window thread.
#include <cstdint>

#include "screens/common/screen_types_fwd.h"
#include "screens/common/product_period.h"
#include "ui/screen.h"

class UpgradePopup;

// A strength below this share of the full size leaves no choice to make.
inline constexpr float kLeastChosenStrength = 0.15f;
// The smallest strength the slider reaches.
inline constexpr float kSmallestStrength = 0.1f;

// The amounts the pop-up shows for building a class at strength s on a hex
// (or on none), k times over (a linked facility's steps).
struct UpgradeCosts {
  float mainCost = 0.0f;    // running and upkeep a year, or a day with the period pressed
  float foundation = 0.0f;
  float goodsA = 0.0f;      // ICOST
  float goodsB = 0.0f;      // MCOST
  float cost = 0.0f;
  float days = 0.0f;
  uint8_t level = 0;        // the hex's supply level
};
UpgradeCosts ComputeUpgradeCosts(const World& world, const UnitClassRecord& cls, const HexCell* cell, float s,
                                 float k);

// The strength an industry's site carries: the share of its needs the
// hex's resources meet, 1.0 when they meet them all.
float StrengthCeiling(const World& world, const UnitClassRecord& cls, int32_t classIndex, const HexCell& cell);

inline constexpr const char* kUpgradeStrengthTags[] = {"ADJSTR", "ADJNOTE", "SETSTRHDR", "FACTCAP", "ANNDAYBUT"};
// An industry's strength: the slider between a tenth and the ceiling.
class UpgradeStrengthPanel : public ProductPeriodPanel {
 public:
  explicit UpgradeStrengthPanel(UpgradePopup& popup)
      : ProductPeriodPanel("POPUP_UPGRADE_ss1", FormLookups{.tags = kUpgradeStrengthTags, .ids = {}}),
        popup_(popup) {}
  void BindControls() override;
  void OnOpen() override;
  void Refresh() override;
  // ADJSTR: the strength and the costs follow the slider.
  void OnControlChange(Control* control, int32_t id) override;

  float ceiling = 1.0f;

 private:
  UpgradePopup& popup_;
};

inline constexpr const char* kUpgradeStaffTags[] = {"CAPACITY", "STAFF", "ENGINEER"};
// A base's capacity and staff.
class UpgradeStaffPanel : public Screen {
 public:
  explicit UpgradeStaffPanel(UpgradePopup& popup)
      : Screen("POPUP_UPGRADE_ss2", FormLookups{.tags = kUpgradeStaffTags, .ids = {}}), popup_(popup) {}
  void BindControls() override;
  void OnOpen() override;

 private:
  UpgradePopup& popup_;
};

inline constexpr const char* kUpgradeTags[] = {"BUILDWHAT", "INDPARENT", "MAINCOST", "MAINHDR", "FOUNDATION",
                                               "ICOST",     "MCOST",     "COST",     "DAYS",    "SUPSLDR",
                                               "FACTSTR",   "OKBUT",     "CANBUT",   "CONFIRMBUT", "REPEATBUT"};
class UpgradePopup : public Screen {
 public:
  UpgradePopup()
      : Screen("POPUP_UPGRADE", FormLookups{.tags = kUpgradeTags, .ids = {}}),
        strengthPanel(*this),
        staffPanel(*this) {}
  // Shows the type being placed at full strength, with its sub-panel.
  void OnOpen() override;
  // Remembers INDPARENT.
  void BindControls() override;
  // Placement ends with the pop-up unless the player chose to go on.
  int32_t Close(int32_t noReturn = 0) override;
  // OK builds at the chosen strength; the two options are set here too.
  void OnCommand(Control* control, int32_t id) override;

  int32_t classIndex = 0;
  float strength = 1.0f;  // s
  float steps = 1.0f;     // k
  Control* indParent = nullptr;
  UpgradeStrengthPanel strengthPanel;
  UpgradeStaffPanel staffPanel;
};

// Writes the amounts for the pop-up's class, strength and steps.
void FillUpgradeCosts(UpgradePopup& popup);
// The strength the slider and the hex allow, the capacity it gives.
void FillFactoryCapacity(UpgradeStrengthPanel& panel, UpgradePopup& popup);
// Opens the pop-up for the class being placed (the placement's hook).
void OpenUpgradePopup(UpgradePopup& popup);
