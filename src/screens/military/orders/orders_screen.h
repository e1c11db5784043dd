#pragma once
// The orders screen and its settings panel: the screen carries the edit
// state of the selected units' standing orders; the settings panel, docked
// at the second level, sums the selection's settings up, lists the orders it
// can take and opens the mission, rules and movement panels.
#include <cstdint>

#include "screens/military/orders/missile_strike_panel.h"
#include "screens/common/units/order_settings.h"
#include "ui/screen.h"
#include "world/list_holder.h"

class ListBoxControl;
class UnitClassRow;
struct ScreenSet;
struct World;

inline constexpr const char* kOrdersScreenTags[] = {"UNITLIST", "ORDPARENT"};

// ORDERS1, main panel 9: the orders list (the units the screen offers, by
// id) with the selection as its highlighted rows, the totals or the one
// unit above it, and the buttons that add, remove, cancel orders and open
// the sub-panels.
class OrdersScreen : public Screen {
 public:
  OrdersScreen() : Screen("ORDERS1", FormLookups{.tags = kOrdersScreenTags, .ids = {}}) {}
  ~OrdersScreen() override;
  OrdersScreen(const OrdersScreen&) = delete;
  OrdersScreen& operator=(const OrdersScreen&) = delete;
  int32_t AttachForm(Control* host) override;
  void OnOpen() override;
  void Refresh() override;
  void BindControls() override;
  void OnCommand(Control* control, int32_t id) override;
  void OnActivate(Control* control, int32_t id) override;

  // What the settings panels edit and IssueOrderToSelection applies.
  OrderEditState edit;
  // 1 after an ADD: the next ADD also takes units that have an order.
  int32_t addedFlag = 0;
  ListHolder unitList{};
  ListBoxControl* unitListBox = nullptr;
  Control* orderParent = nullptr;

 private:
  // The selection becomes the highlighted rows, and the docked panels
  // follow it.
  void TakeListSelection();
  void SelectAllAndTake();
  void AddUnits(bool byType);
  void RemoveUnits(bool byType);
  void CancelOrders();
  void RefillList();
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

// The target list (ORDERS1_ss3d) of an order that aims at a unit (the
// screen's id): the order's candidates, the hex row (-1) first when it may
// aim at the marked hex; the chosen row is the target the order goes with.
class OrdersUnitListPanel : public Screen {
 public:
  OrdersUnitListPanel() : Screen("ORDERS1_ss3d") {}
  ~OrdersUnitListPanel() override;
  OrdersUnitListPanel(const OrdersUnitListPanel&) = delete;
  OrdersUnitListPanel& operator=(const OrdersUnitListPanel&) = delete;
  void OnOpen() override;
  void Refresh() override;
  void BindControls() override;
  void OnActivate(Control* control, int32_t id) override;
  void OnControlChange(Control* control, int32_t id) override;
  ListBoxControl* unitList = nullptr;
  Control* statParent = nullptr;
  UnitClassRow* classRow = nullptr;  // shown in statParent
  // The candidates, shared with the missile strike panel.
  ListHolder targetCandidates{};
};

// With no row kept, the target the selection already shares (its common
// order word 8, else word 7) is chosen, else the first row.
void PreselectTarget(ListBoxControl* list, intptr_t kept, const OrderEditState& edit);

// The hex the orders aim at, packed: the map's marked hex.
uint32_t SelectedHexWord(const World& world);

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
