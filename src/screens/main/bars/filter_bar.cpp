#include "screens/main/bars/filter_bar.h"

#include "screens/main/map/map_view.h"
#include "ui/panel_helpers.h"
#include "world/text/ui_options.h"

int32_t FilterBar::AttachForm(Control*) {
  currentForm = form;
  DrawMapFilterIcons(currentForm);
  PlaceSidePanel(0, this, kPanelFull);
  return 0;
}

void FilterBar::BindControls() {
  g_mapView.exactHex = 1;
  LabelMapFilterValues(currentForm);
}

void FilterBar::Refresh() { ShowMapFilterState(g_mapView, g_uiOptions, currentForm); }

void FilterBar::OnCommand(Control* control, int32_t id) {
  ApplyMapFilterCommand(g_mapView, g_uiOptions, currentForm, control, id);
}
