#pragma once
// The terrain panel of the map screen (MAP1_ss5), docked at the dock's
// second level: the selected hex's terrain with its status and special
// properties, its defence and movement rows (with the facility standing
// there), loyalty and fortification, and buttons to name the hex, open the
// map filter and compare it with the target hex.
#include <cstdint>

#include "screens/common/hex_lead_unit.h"
#include "screens/common/screen_types_fwd.h"
#include "screens/main/panels/hex_distance_panel.h"
#include "ui/screen.h"

// The hex's label keeps a unit standing there out of the detail (the hex's
// own detail is shown instead).
bool HexKeepsUnitOutOfDetail(const HexCell& cell);

inline constexpr const char* kHexInfoTags[] = {"TERTYPE",  "STATPARENT", "TERSTAT",  "SPECPARENT", "DEFPARENT",
                                               "MOVEPARENT", "NAMEBUT",  "NB1",      "NB2",        "CLOYALTY",
                                               "CFORTSLDR", "FILTER",    "INSPECT"};
inline constexpr int32_t kHexInfoIds[] = {3, 4, 101, 102, 103, 104, 105, 106, 107, 108};

class HexInfoPanel : public Screen {
 public:
  HexInfoPanel() : Screen("MAP1_ss5", FormLookups{.tags = kHexInfoTags, .ids = kHexInfoIds}) {}
  // Docks at the second level.
  void BindControls() override;
  // Opens the dock two deep.
  void OnOpen() override;
  void Refresh() override;
  // FILTER shows the map filter panel, NAMEBUT names the hex, INSPECT shows
  // the comparison; a tab let go closes the panels below this one.
  void OnCommand(Control* control, int32_t id) override;

  HexDistancePanel distance;
};
