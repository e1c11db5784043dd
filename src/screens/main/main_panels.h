#pragma once
// The screens the main screen's layout shows and hides: the map border, the
// filter bar, the minimap side bar with its zoom slider, the combat odds
// pop-up, the mail window and the department screens that open as the
// dock's main panel. Most are homes whose panels come with their
// departments; each copes with a form that never loaded.
#include <cstdint>

#include "ui/screen.h"

class MapView;

// The nine-piece frame around the map pane (MAPBORD); its id is 1 while the
// border is on. It hangs in the map border anchor.
class MapBorder : public Screen {
 public:
  MapBorder() : Screen("MAPBORD") {}
  void BindControls() override;
  // Stretches the frame over the map pane and shows it while the id is 1.
  void OnOpen() override;
};

// The map-overlay bar (FILTER1), shown in the side-panel box.
class FilterBar : public Screen {
 public:
  FilterBar() : Screen("FILTER1") {}
  int32_t AttachForm(Control* host) override;
};

inline constexpr const char* kMinimapBarTags[] = {"FILTER"};

// The minimap side bar (SIDEBAR0): the minimap, its FILTER toggle and the
// zoom slider, which runs from 0 to zoom maximum - zoom minimum.
class MinimapBar : public Screen {
 public:
  MinimapBar() : Screen("SIDEBAR0", FormLookups{.tags = kMinimapBarTags, .ids = {}}) {}
  void BindControls() override;
  int32_t AttachForm(Control* host) override;
  void OnOpen() override;
  void OnCommand(Control* control, int32_t id) override;
  void OnControlChange(Control* control, int32_t id) override;

  int32_t filterShown = 0;  // the filter panel is open in place of the hex information
};

// The side bar's minimap and the view box hung under it, looked up in its
// form each time (a form loaded again replaces them); null without a form.
Control* MinimapControl();
Control* MinimapDragControl();

// A zoom slider moved to value: the zoom follows and the scroll limits with
// it.
void ApplyZoomSliderValue(MapView& view, float value);

// The combat odds pop-up (MAP3) in the side-panel box.
class CombatOddsPopup : public Screen {
 public:
  CombatOddsPopup() : Screen("MAP3") {}
  int32_t AttachForm(Control* host) override;
};

// The mail window (EMAIL1) the mail bar opens beside the map.
class MailWindow : public Screen {
 public:
  MailWindow() : Screen("EMAIL1") {}
};

// Main panels 2 to 9 but production (its home is the economy's).
class OperationsScreen : public Screen {
 public:
  OperationsScreen() : Screen("OPS1") {}
};
class MilitaryScreen : public Screen {
 public:
  MilitaryScreen() : Screen("MILITARY1") {}
};
class DiplomacyScreen : public Screen {
 public:
  DiplomacyScreen() : Screen("DIPLOMACY1") {}
};
class EconomyScreen : public Screen {
 public:
  EconomyScreen() : Screen("ECONOMY1") {}
};
class DomesticPolicyScreen : public Screen {
 public:
  DomesticPolicyScreen() : Screen("DOMPOLICY1") {}
};
class StatusScreen : public Screen {
 public:
  StatusScreen() : Screen("STATUS1") {}
};
class OrdersScreen : public Screen {
 public:
  OrdersScreen() : Screen("ORDERS1") {}
};
