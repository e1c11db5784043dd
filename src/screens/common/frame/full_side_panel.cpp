#include "screens/common/frame/full_side_panel.h"

#include "ui/panel_helpers.h"

int32_t AttachFullSidePanel(Screen& screen) {
  screen.currentForm = screen.form;
  PlaceSidePanel(0, &screen, kPanelFull);
  return 0;
}
