#pragma once
// The minimap side bar (SIDEBAR0): the minimap with its view box, the map's
// title, the zoom and skew sliders and the FILTER toggle. Beside the map it
// fills the first side-screen slot; without side screens only the minimap
// floats in a corner of the map pane.
#include <cstdint>

#include "screens/common/screen_types_fwd.h"
#include "ui/screen.h"

inline constexpr const char* kMinimapBarTags[] = {"MINIMAPBOX", "MINIMAPRECT", "MAPZOOMSLDR", "MAPSKEWSLDR",
                                                  "BACKGROUND", "BORDER1",     "MAPTITLE",    "MAPBUT",
                                                  "FILTER"};

class MinimapBar : public Screen {
 public:
  MinimapBar() : Screen("SIDEBAR0", FormLookups{.tags = kMinimapBarTags, .ids = {}}) {}
  // Hands the map view its minimap and view box (hung under the minimap).
  void BindControls() override;
  int32_t AttachForm(Control* host) override;
  // The sliders show the zoom and a full skew again; the skew (the facility
  // fade) goes back to 1.0; the title shows the map's.
  void OnOpen() override;
  // The title shows the map's, as it stands now (the editor renames it).
  void ShowMapTitle();
  // FILTER shows the filter bar in the side-panel box, else the hex
  // information.
  void OnCommand(Control* control, int32_t id) override;
  // The zoom slider sets the zoom, the skew slider the facility fade.
  void OnControlChange(Control* control, int32_t id) override;

  int32_t filterShown = 0;  // the filter bar is open in place of the hex information
};

// The side bar's minimap and the view box hung under it, looked up in its
// form each time (a form loaded again replaces them); null without a form.
Control* MinimapControl();
Control* MinimapDragControl();

// A zoom slider moved to value: the zoom follows and the scroll limits with
// it.
void ApplyZoomSliderValue(MapView& view, float value);
