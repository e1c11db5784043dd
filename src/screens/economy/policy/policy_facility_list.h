#pragma once
// The domestic policy department's facility page (DOMPOLICY1_SS7): the
// local player's domestic installations, working ones first, and the
// condition of the one in hand (DOMPOLICY1_SS7b) docked in it. Opened by
// the department's button bar. Window thread.
#include <cstdint>

#include "screens/common/screen_types_fwd.h"
#include "ui/screen.h"

inline constexpr const char* kPolicyFacilityTags[] = {"FACILLIST", "PRODPARENT"};
inline constexpr const char* kFacilityConditionTags[] = {"CONDITION"};
// The installations the page lists: those of this site kind (the
// research centres), whatever their facility category.
inline constexpr int32_t kDomesticSiteKind = 1;

// The condition of the facility in hand, as a percentage.
class FacilityConditionPanel : public Screen {
 public:
  FacilityConditionPanel() : Screen("DOMPOLICY1_SS7b", FormLookups{.tags = kFacilityConditionTags, .ids = {}}) {}
  void BindControls() override;
  void Refresh() override;
};

class PolicyFacilityListPanel : public Screen {
 public:
  PolicyFacilityListPanel() : Screen("DOMPOLICY1_SS7", FormLookups{.tags = kPolicyFacilityTags, .ids = {}}) {}
  // The list starts unselected at the top, the dock two deep.
  void OnOpen() override;
  // Working installations, then the others; the view stays where it was.
  void Refresh() override;
  void BindControls() override;
  void OnCommand(Control* control, int32_t id) override;
  // A row's hex opens its pop-up.
  void OnActivate(Control* control, int32_t id) override;
  // The row becomes the facility in hand.
  void OnControlChange(Control* control, int32_t id) override;

  ListBoxControl* facilList = nullptr;
  Control* prodParent = nullptr;
  FacilityConditionPanel condition;
};
