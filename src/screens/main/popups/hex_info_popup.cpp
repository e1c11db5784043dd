#include "screens/main/popups/hex_info_popup.h"

#include "ui/panel_helpers.h"

int32_t HexInfoPopup::AttachForm(Control*) {
  currentForm = form;
  PlaceSidePanel(0, this, kPanelFull);
  return 0;
}

// The header's figures come with the pop-up's panels; until then it keeps
// what it was given.
void FillHexDistanceParams(HexInfoPopup& popup, Control*, int32_t targetSet, uint32_t packedHex, int32_t targetCell,
                           int32_t code) {
  popup.targetSet = targetSet;
  popup.targetHex = packedHex;
  popup.targetCell = targetCell;
  popup.headerCode = code;
}
