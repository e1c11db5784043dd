#pragma once
// The unit command grid: the block of one unit's command buttons that the
// unit detail pop-up (POPUP_MILITARY1A), the map's unit tab and the orders
// lock panel carry with the same ids and overlay tags. Which buttons a unit
// is offered and which are greyed, and what a press does: most open a
// sub-panel, deploy and stop act at once. Window thread; the grid walks hold
// the simulation lock.
#include <cstdint>

#include "ui/screen.h"

class Control;

// Fills the grid on the form for the unit of that id (0 or gone: nothing).
void UpdateUnitCommandGrid(Control* form, uint32_t unitId);

// A press on a control of the form for the unit of that id; the opened
// sub-panel shows in host (null: its own), and reset, when given, is shown
// again first. True when the grid took the press.
bool OnUnitCommandGrid(Control* form, Control* control, int32_t id, uint32_t unitId, Control* host, Screen* reset);
// The same for a form whose screen's id is the unit, each sub-panel in its
// own host.
bool OnUnitCommandGrid(Control* form, Control* control);

// A grid sub-panel closes ("BACK", or a confirming button): the screen
// owning the control it is hosted in opens and refreshes again, the dock
// steps back from its third level and, once confirmed, the docked panels
// show the new state.
void CloseGridSubPanel(Screen& panel, bool confirmed);

// A panel the grid opens, until its own panel is built: it shows in its
// host and "BACK" closes it.
class GridSubPanel : public Screen {
 public:
  explicit GridSubPanel(const char* formName) : Screen(formName) {}
  void OnCommand(Control* control, int32_t id) override;
};

// POPUP_MILITARY1A: the grid as the unit detail pop-up's command panel, or,
// embedded in another panel (the map's unit tab), the block of buttons whose
// presses that panel handles: it opens the sub-panels in its own container.
class UnitCommandPanel : public Screen {
 public:
  UnitCommandPanel() : Screen("POPUP_MILITARY1A") {}
  explicit UnitCommandPanel(Screen& embeddedIn) : Screen("POPUP_MILITARY1A"), embeddedIn_(&embeddedIn) {}
  void OnOpen() override;
  void Refresh() override;
  void OnCommand(Control* control, int32_t id) override;
  uint32_t unit = 0;

 private:
  Screen* embeddedIn_ = nullptr;
};
