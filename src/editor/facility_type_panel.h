#pragma once
// Editor mode 6: the facility classes browsed one by one with their flags,
// people, support and costs, and the industry bars that the facility
// painting panel shows for the selected hex too. Like the terrain type
// panel it only shows: nothing is written back. Window thread only.
#include <cstdint>

#include "ui/screen.h"

inline constexpr int32_t kIndustryIds[] = {1, 2, 3};

// The class's last three outputs in mode 6, else the selected hex's last
// three yields.
class IndustryPanel : public Screen {
 public:
  IndustryPanel() : Screen("MAPEDITOR_IND", FormLookups{.tags = {}, .ids = kIndustryIds}) {}
  void Refresh() override;
};

inline constexpr int32_t kCostIds[] = {1, 2, 3, 4, 5, 6};

// The brush class's further cost, repair factor and cost byte; bars 1-3
// have nothing to show and stay empty.
class CostsPanel : public Screen {
 public:
  CostsPanel() : Screen("MAPEDITOR_COST", FormLookups{.tags = {}, .ids = kCostIds}) {}
  void Refresh() override;
};

// The browsed facility class: the brush value, stepped by BUTNEXT and
// BUTPREV; its sub-panels show it too.
class FacilityTypePanel : public Screen {
 public:
  FacilityTypePanel();
  void BindControls() override;
  void Refresh() override;
  void OnCommand(Control* control, int32_t code) override;

  // Set by the screen set, each opened in its container at every refresh.
  Screen* costs = nullptr;
  Screen* industry = nullptr;
  Screen* chart = nullptr;
  Screen* attributes = nullptr;
};

// The class after a step of the browser: Next past the 64 facility classes
// comes back to the first, Previous stops at class 0.
int32_t BrowsedFacilityClass(int32_t value, int32_t step);
