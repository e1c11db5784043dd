#pragma once
// The hex comparison panel (MAP1_ss5a), docked at the dock's third level:
// the selected hex and the target hex side by side, each as a hex detail or
// a unit detail, and the distance between them in hexes or kilometres.
#include <cstdint>
#include <string>

#include "screens/common/hex_distance.h"
#include "screens/common/screen_types_fwd.h"
#include "screens/main/popups/hex_column_panels.h"
#include "ui/screen.h"

// A hex of the game state as a packed position (x | y << 16).
uint32_t PackedHexOf(const HexPosition& hex);
// The cell index of a hex role of the game state; -1 when the role is not
// set (x and y both 0).
int32_t RoleCell(const HexPosition& hex);

// The last pair of cells whose distance a panel printed (-1: not set).
struct HexDistanceShown {
  int32_t from = -2;
  int32_t to = -2;
};
// The distance line of a form (DISTTEXT and DISTANCE), written only when
// the pair of hexes changed since it was last written: shown for two set
// hexes, hidden otherwise.
void ShowHexDistance(const World& world, Control* form, HexDistanceShown& shown, const HexPosition& from,
                     const HexPosition& to);

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

  HexInfoMainPanel selectedHex;
  HexInfoMainPanel targetHex;
  HexIndustryPanel selectedUnit;
  HexIndustryPanel targetUnit;
  Control* selectedHost = nullptr;  // SPAR3
  Control* targetHost = nullptr;    // CPAR3
  HexDistanceShown distanceShown;
};
