#pragma once
// The base panel (MAP1_ss6) for the selected hex when it holds a base of the
// local player: the base's name, branch, status, condition, queue and
// capacity, the units it holds, and the tabs that open its actions,
// automatic production and production lists at the third level. Docks at
// the second level. Window thread.
#include <cstdint>

#include "screens/common/screen_types_fwd.h"
#include "ui/screen.h"

inline constexpr const char* kBasePanelTags[] = {"BASETYPE", "BASENAME",    "QUEUE",   "CAPACITY", "NOTE",
                                                 "CONDITION", "BASEDETAILS", "NAMEBUT", "PRODLIST"};
// The tab buttons: actions, automatic production, the production lists and
// the military department's base page.
inline constexpr int32_t kBaseTabActions = 10;
inline constexpr int32_t kBaseTabAutoProduction = 11;
inline constexpr int32_t kBaseTabProduction = 13;
inline constexpr int32_t kBaseTabDepartment = 14;
inline constexpr int32_t kBasePanelIds[] = {kBaseTabActions, kBaseTabAutoProduction, kBaseTabProduction,
                                            kBaseTabDepartment};
// The list's only row while the base holds no unit.
inline constexpr const char* kBaseListEmpty = "Waiting";

class BasePanel : public Screen {
 public:
  BasePanel() : Screen("MAP1_ss6", FormLookups{.tags = kBasePanelTags, .ids = kBasePanelIds}) {}
  // Docks at the second level and makes the unit list.
  void BindControls() override;
  void OnOpen() override;
  void Refresh() override;
  void OnCommand(Control* control, int32_t id) override;
  // A unit's row opens its detail pop-up, paging through the base's units.
  void OnActivate(Control* control, int32_t id) override;

  ListBoxControl* prodList = nullptr;
  ScreenParameterList units;  // the listed units, by id
};
