#include "screens/common/frame/side_panel.h"

#include "ui/panel_helpers.h"
#include "world/text/ui_options.h"

int32_t SidePanel::AttachForm(Control*) {
  PlaceSidePanel(0, this, placement_);
  return 0;
}

void SidePanel::Refresh() {
  if (!g_uiOptions.sidescreens) return;
  Fill();
}
