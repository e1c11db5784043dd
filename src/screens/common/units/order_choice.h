#pragma once
// Turning a chosen order into unit-order commands for the selected units:
// the default order of a right click, orders that need a target, the
// settings the orders panel holds, and the target picker's candidates.
// Window thread.
#include <cstdint>

#include "screens/common/screen_types_fwd.h"
#include "world/list_holder.h"

// The order of a right click with the default order (bunitorderdef).
inline constexpr int32_t kDefaultOrderChoice = -1;
// Orders the menus hand on by number.
inline constexpr int32_t kOrderCancelAll = 250;
inline constexpr int32_t kOrderOpenOrdersPanel = 251;
inline constexpr int32_t kOrderAttackUnit = 9;
inline constexpr int32_t kOrderAttackHex = 11;

// Gives one unit its order (the units' order issue, unless a test records
// the calls instead).
using UnitOrderIssuer = void (*)(World& world, UnitRecord& unit, int32_t orderId, uint32_t hex,
                                 const UnitRecord* target);
extern UnitOrderIssuer g_unitOrderIssuer;

// Opens the target picker for the order where the last hex list opened: the
// hex lists put it in at start-up (InstallMapPaneLinks); before that an
// order that needs a pick is not given.
extern void (*g_openTargetPicker)(int32_t orderId);

// Carries out the order chosen for the selection on the clicked hex (-1 the
// default order): may open the target picker and wait for it.
void ExecuteOrderChoice(ScreenSet& screens, int32_t orderId);
// Posts the commands of one order for every selected unit, each first
// given the orders screen's changed settings. With settingsOnly the order
// is left out: each unit's route is searched again under its new settings.
void IssueOrderToSelection(ScreenSet& screens, int32_t orderId, uint32_t hex, UnitRecord* target,
                           bool settingsOnly, uint32_t extra);

// The candidates of an order's target on the selected hex.
ListHolder& TargetList();
void CollectTargets(World& world, ListHolder& targets, int32_t orderId);
// Fills the picker's list: the facility row (-1) when the order may aim at
// it, then the candidates.
void PickTarget(World& world, ListHolder& targets, ListBoxControl* list, int32_t orderId);
