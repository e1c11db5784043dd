#pragma once
// The hex information pop-up (MAP2): what the selected hex holds, with its
// hex-detail and unit-detail sub-screens, which the hex comparison panel
// also shows. Opened with the frame bars of the editor; its panels come with
// the main screen.
#include <cstdint>

#include "ui/screen.h"

class HexInfoPopup : public Screen {
 public:
  HexInfoPopup() : Screen("MAP2") {}
  // Takes the whole side-panel box of the side screens column.
  int32_t AttachForm(Control* host) override;

  // The hex the header compares with, as FillHexDistanceParams last gave it.
  int32_t targetSet = 0;
  uint32_t targetHex = 0;
  int32_t targetCell = -1;
  int32_t headerCode = 0;
};

// The hex detail (MAP2_ss1), shown with a cell index as its id.
class HexDetailPanel : public Screen {
 public:
  HexDetailPanel() : Screen("MAP2_ss1") {}
  int32_t mode = 0;  // 1: shown beside another hex for comparison
};

// The unit detail (MAP2_ss2), shown with a cell index as its id.
class HexUnitDetailPanel : public Screen {
 public:
  HexUnitDetailPanel() : Screen("MAP2_ss2") {}
};

// Fills the hex-detail header of a form that compares a hex with the target
// hex: whether a target is set, the target as a packed hex and its cell
// index, and the header's code.
void FillHexDistanceParams(HexInfoPopup& popup, Control* form, int32_t targetSet, uint32_t packedHex,
                           int32_t targetCell, int32_t code);
