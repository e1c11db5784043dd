#pragma once
// The selected-unit panel (MAP1_ss4), docked at the dock's second level: it
// lists the selected units or the units on the selected hex, shows the
// current one's picture and order sheet, opens its orders and switches
// among four detail tabs that open at the third level. Units are held by
// id and looked up again whenever they are used: a unit that is gone or
// removed counts as none. Window thread; the walks hold the simulation
// lock.
#include <cstdint>

#include "screens/common/screen_types_fwd.h"
#include "screens/main/panels/cargo_panel.h"
#include "screens/main/panels/unit_tab_panels.h"
#include "screens/common/units/orders_summary.h"
#include "ui/screen.h"

// The stored id that lists the selection; any other lists the hex.
inline constexpr intptr_t kUnitPanelListsSelection = 2;

inline constexpr const char* kUnitPanelTags[] = {"LIST1",     "ORDERS1C", "UNITPIC", "UNITPICT",
                                                 "UNITORDER", "4A",       "4B",      "4C",
                                                 "4D"};

class UnitPanel : public Screen {
 public:
  UnitPanel();

  void OnOpen() override;
  // Lists the units again, keeping the current unit and the scroll.
  void Refresh() override;
  void BindControls() override;
  void OnCommand(Control* control, int32_t id) override;
  // A double click on a row pages the unit screen through the list.
  void OnActivate(Control* control, int32_t id) override;
  void OnControlChange(Control* control, int32_t id) override;
  // The unit of that id became current (0: none).
  void ShowUnit(uint32_t unitId);
  // The current row's unit, 0 for none.
  uint32_t CurrentUnit() const;

  ListBoxControl* list = nullptr;
  Control* ordersArea = nullptr;

  UnitSummaryPanel summary{detail};
  UnitDetailPanel detail;
  CargoPanel cargo{"MAP1_SS4C"};
  UnitStatusPanel status{strength};
  UnitStrengthPanel strength;
  UnitExtraPanel extra{extraFill};
  UnitExtraFill extraFill;
  OrdersUnitSummary orderSheet;

 private:
  Control* Find(const char* tag) const;
};

// The unit becomes the only selected unit and its orders open; nothing for
// a unit that is gone.
void OpenUnitOrders(ScreenSet& screens, uint32_t unitId);

// Gives the unit tabs and their pop-up twins the screens they show inside
// themselves: each detail part its class row and cargo panel, each cargo
// panel its class sheet. Called once the set is built.
void LinkUnitTabScreens(ScreenSet& screens);
