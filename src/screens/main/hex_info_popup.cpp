#include "screens/main/hex_info_popup.h"

#include "ui/panel_helpers.h"

int32_t HexInfoPopup::AttachForm(Control*) {
  currentForm = form;
  PlaceSidePanel(0, this, kPanelFull);
  return 0;
}
