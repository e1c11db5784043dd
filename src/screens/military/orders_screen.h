#pragma once
// The orders screen and its settings panel: the screen carries the edit
// state of the selected units' standing orders; the settings panel, docked
// at the second level, sums the selection's settings up, lists the orders it
// can take and opens the mission, rules and movement panels.
#include <cstdint>

#include "screens/military/order_settings.h"
#include "ui/screen.h"

class ListBoxControl;
struct ScreenSet;

class OrdersScreen : public Screen {
 public:
  OrdersScreen() : Screen("ORDERS1") {}
  // What the settings panels edit and IssueOrderToSelection applies.
  OrderEditState edit;
};

inline constexpr const char* kUnitOrdersTags[] = {
    "ORDERSLIST", "SPEED",  "ROUTE",      "FORMATION",  "TRANSPORTS", "SCHEDULE", "ORDER1", "ORDER2",
    "INITIATIVE", "TACTIC", "IMPORTANCE", "LOSSTOL",    "EXECUTE",    "RULES",    "MOVEMENT", "MISSION"};

// ORDERS1_ss3.
class UnitOrdersPanel : public Screen {
 public:
  UnitOrdersPanel() : Screen("ORDERS1_ss3", FormLookups{.tags = kUnitOrdersTags, .ids = {}}) {}
  void BindControls() override;
  void OnOpen() override;
  void OnCommand(Control* control, int32_t id) override;
  void OnControlChange(Control* control, int32_t id) override;

  ListBoxControl* ordersList = nullptr;
};

// The target list (ORDERS1_ss3d): its candidates come with the orders
// screen; the panel so far only hands its list's row on as the target.
class OrdersUnitListPanel : public Screen {
 public:
  OrdersUnitListPanel() : Screen("ORDERS1_ss3d") {}
  void BindControls() override;
  ListBoxControl* unitList = nullptr;
};

// The missile strike panel (ORDERS1_ss3e): the selected missile rows (each
// row's value a unit id) and the quantity that EXECUTE sends.
class MissileStrikePanel : public Screen {
 public:
  MissileStrikePanel() : Screen("ORDERS1_ss3e") {}
  void BindControls() override;
  ListBoxControl* unitList = nullptr;
  ListBoxControl* missileList = nullptr;
  int32_t quantity = 0;
};

// Docks the settings panel for the selection (the map's Ctrl+click and the
// order menu's "orders" row).
void ShowUnitOrdersPanel(ScreenSet& screens);
// The panels' dock step: level 2 for the settings panel, 3 for the others.
void OrdersDockStep(ScreenSet& screens, int32_t depth);
// The missile strike path of EXECUTE: six commands per selected missile row
// holding a unit. False when the order is no missile order or no row is
// selected.
bool PostMissileStrike(ScreenSet& screens, int32_t order);

// What the settings sub-panels share. Parameter 0 edits the selection's
// gathered settings, 1 the player's defaults.
// "CHANGE", "ONLYFUTURE" and "DEFAULT"; true when the control was one.
bool OnSettingsPostButton(Screen& panel, Control* control);
// Their visibility: CHANGE for the selection, ONLYFUTURE for the defaults,
// each only once a setting changed; DEFAULT for the defaults.
void ShowSettingsPostButtons(Screen& panel);
// Loads the player's defaults into the edit state for parameter 1.
void LoadDefaultsForParameter(const Screen& panel);
// A 0-3 slider at the field's value, or at the fallback while it is mixed.
void SetOrderSlider(Screen& panel, int32_t id, int32_t value, int32_t fallback);
// Checks first + value, or clears the radio group when the value is
// mixed.
void CheckOrderRadio(Screen& panel, int32_t first, int32_t value);
// The value's name in the list, "Mixed" when negative.
const char* OrderFieldName(int list, int32_t value);
void SetCheck(Screen& panel, int32_t id, bool on);

// Gives each schedule box its two panels, and the movement panel its
// schedule box.
void LinkOrderScreens(ScreenSet& screens);
