#include "screens/main/bars/filter_bar.h"

#include "screens/main/map/map_view.h"
#include "ui/panel_helpers.h"
#include "world/text/ui_options.h"

namespace {

class FilterBar : public Screen {
 public:
  FilterBar() : Screen("FILTER1", FormLookups{.tags = kMapFilterTags, .ids = kFilterBarIds}) {}
  // Takes the whole side-panel box.
  int32_t AttachForm(Control*) override {
    currentForm = form;
    DrawMapFilterIcons(currentForm);
    PlaceSidePanel(0, this, kPanelFull);
    return 0;
  }
  // Exact-hex mode on; the value buttons take the product names.
  void BindControls() override {
    g_mapView.exactHex = 1;
    LabelMapFilterValues(currentForm);
  }
  void Refresh() override { ShowMapFilterState(g_mapView, g_uiOptions, currentForm); }
  void OnCommand(Control* control, int32_t id) override {
    ApplyMapFilterCommand(g_mapView, g_uiOptions, currentForm, control, id);
  }
};

}  // namespace

std::unique_ptr<Screen> MakeFilterBar() { return std::make_unique<FilterBar>(); }
