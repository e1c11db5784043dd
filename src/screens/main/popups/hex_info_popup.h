#pragma once
// The hex information pop-up (MAP2) of the side column: the selected hex
// and the hex under the pointer side by side, each described in its column
// by its owner, loyalty, level and people and by a plain hex panel or, where
// a known facility stands, its industry panels; and the distance between
// the two. Interface thread; the refresh holds the simulation lock.
#include <cstdint>

#include "screens/common/screen_types_fwd.h"
#include "screens/main/panels/hex_distance_panel.h"
#include "screens/main/popups/hex_column_panels.h"
#include "ui/screen.h"

inline constexpr const char* kHexInfoPopupTags[] = {"SPAR1", "SPAR2",    "SPAR3",    "CPAR1",   "CPAR2",
                                                    "CPAR3", "NAMEHIDE", "DISTTEXT", "DISTANCE"};
// The product tabs (100 to 107), then the column's figures.
inline constexpr int32_t kHexInfoPopupIds[] = {100, 101, 102, 103, 104, 105, 106, 107, 1, 2, 3, 4, 5, 6, 14, 11, 13};

// The columns' letters: the selected hex's and the cursor hex's.
inline constexpr char kSelectedColumn = 'S';
inline constexpr char kCursorColumn = 'C';

class HexInfoPopup : public Screen {
 public:
  HexInfoPopup() : Screen("MAP2", FormLookups{.tags = kHexInfoPopupTags, .ids = kHexInfoPopupIds}) {}
  // Takes the whole side-panel box of the side screens column.
  int32_t AttachForm(Control* host) override;
  // The tabs take the "prodtabs" texts; binds the two columns.
  void BindControls() override;
  // Only while the side screens are on.
  void Refresh() override;

  // By hex role: the selected hex, then the cursor hex.
  HexInfoMainPanel plainPanels[2];
  HexIndustryPanel industryPanels[2];
  Control* columns[2] = {};  // SPAR3, CPAR3
  HexDistanceShown distanceShown{-1, -1};
};

// Fills the column of a form whose tags begin with the letter (its first
// and second parts xPAR1 and xPAR2 and its container xPAR3) for a hex: the
// owner's name, the label, the known facility, the people, loyalty, level
// and cover, and the terrain. An absent hex hides the column.
void FillHexDistanceParams(char letter, Control* form, bool present, int32_t cellIndex);
