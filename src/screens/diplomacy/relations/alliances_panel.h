#pragma once
// A region's allies and enemies, docked at the third level under its
// relations panel, with a button pair per agreement kind to propose it or
// to ask for its end (each opens the deal editor on a prepared offer), and
// the way to surrender to the region.
#include <cstdint>

#include "screens/common/screen_types_fwd.h"
#include "ui/screen.h"

inline constexpr const char* kAlliancesTags[] = {"REGNAME", "ALLIES", "ENEMIES", "GRIDSUR", "SURRENDER"};
inline constexpr int32_t kAlliancesIds[] = {10, 11, 12, 13, 14, 20, 21, 22, 23, 24};

// The agreement kinds with buttons, by position: position k proposes with
// id 10 + k and cancels with id 20 + k.
inline constexpr int32_t kAllianceKinds[] = {1, 30, 12, 62, 87};
inline constexpr int32_t kProposeFirstId = 10;
inline constexpr int32_t kCancelFirstId = 20;

class AlliancesPanel : public Screen {
 public:
  AlliancesPanel() : Screen("DIPLOMACY1_SS2a", FormLookups{.tags = kAlliancesTags, .ids = kAlliancesIds}) {}
  void OnOpen() override;
  // An id below 1 shows the local region.
  void Refresh() override;
  void BindControls() override;
  void OnCommand(Control* control, int32_t id) override;

  ListBoxControl* allies = nullptr;
  ListBoxControl* enemies = nullptr;
};
