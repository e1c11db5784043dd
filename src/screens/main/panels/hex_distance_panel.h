#pragma once
// The hex comparison panel (MAP1_ss5a), docked at the dock's third level:
// the selected hex and the target hex side by side, each as a hex detail or
// a unit detail, and the distance between them in hexes or kilometres.
#include <cstdint>

#include "screens/main/popups/hex_info_popup.h"
#include "ui/screen.h"

class Control;

inline constexpr const char* kHexDistanceTags[] = {"SPAR3", "CPAR3", "NAMEHIDE", "DISTTEXT", "DISTANCE"};
inline constexpr int32_t kHexDistanceIds[] = {100, 101, 102, 103, 104, 105, 106, 107};

class HexDistancePanel : public Screen {
 public:
  HexDistancePanel() : Screen("MAP1_ss5a", FormLookups{.tags = kHexDistanceTags, .ids = kHexDistanceIds}) {}
  // Docks at the third level; the tabs take the "prodtabs" texts.
  void BindControls() override;
  // Opens the dock three deep.
  void OnOpen() override;
  void Refresh() override;

  HexDetailPanel selectedHex;
  HexDetailPanel targetHex;
  HexUnitDetailPanel selectedUnit;
  HexUnitDetailPanel targetUnit;
  // The unit detail's further pages for each side; their code comes with
  // the hex pop-up's, until then they only hold their forms.
  Screen selectedUnitPageA{"MAP2_ss2a"};
  Screen targetUnitPageA{"MAP2_ss2a"};
  Screen selectedUnitPageB{"MAP2_ss2b"};
  Screen targetUnitPageB{"MAP2_ss2b"};
  Screen selectedUnitPageC{"MAP2_ss2c"};
  Screen targetUnitPageC{"MAP2_ss2c"};
  Control* selectedHost = nullptr;  // SPAR3
  Control* targetHost = nullptr;    // CPAR3
  // The pair of cells whose distance is printed (-1: not set).
  int32_t cachedA = -2;
  int32_t cachedB = -2;
};
