#pragma once
// The orders screen's two other sub-panels and their companions: the lock
// panel (ORDERS1_ss5) shows the unit of the selected row with its status,
// its command grid and the check box that locks its orders, beside the grid
// host (ORDERS1_ss5a) and the move-to panel (ORDERS1_ss5c); the unit picker
// (ORDERS1_ss6) lists the enemy units of the picked hex and the summary of
// the one chosen, beside the odds panel (ORDERS1_ss6a). Units are kept by
// id. Window thread; the walks hold the simulation lock.
#include <cstdint>
#include <memory>

#include "ui/screen.h"

class Control;
class ListBoxControl;
class UnitClassRow;

class OrdersLockPanel : public Screen {
 public:
  OrdersLockPanel() : Screen("ORDERS1_ss5") {}
  void OnOpen() override;
  void Refresh() override;
  void BindControls() override;
  void OnCommand(Control* control, int32_t id) override;
  uint32_t unit = 0;  // 0 when no row was selected at opening
  Control* subParent = nullptr;
  Control* statParent = nullptr;
  ListBoxControl* statusList = nullptr;
  UnitClassRow* classRow = nullptr;  // shown in statParent
};

// Where the lock panel's command grid opens its sub-panels.
class OrdersLockSubPanel : public Screen {
 public:
  OrdersLockSubPanel() : Screen("ORDERS1_ss5a") {}
  void OnOpen() override;
  void BindControls() override;
  Control* hostControl = nullptr;
};

std::unique_ptr<Screen> MakeMoveToPanel();

std::unique_ptr<Screen> MakeOrdersUnitPicker();

std::unique_ptr<Screen> MakeOrdersOddsPanel();
