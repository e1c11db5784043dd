#pragma once
// The side panels of the map screen that open in the bottom dock for the
// selected hex: the build list, the facility build panel, the settlement,
// base, research-centre and launch-site panels (the silo's are with the rest
// of the silo). Here they are the screens the map screen shows and
// refreshes; each docks at the second level (the facility build panel at
// the third) and copes with a form that never loaded.
#include "screens/main/panels/base_panels.h"
#include "screens/main/panels/build_list_panel.h"
#include "screens/main/panels/facility_upgrade_panel.h"
#include "screens/main/panels/launch_site_panels.h"
#include "screens/main/panels/research_centre_panel.h"
#include "screens/main/panels/settlement_panel.h"
#include "ui/screen.h"

// A panel in the dock's second slot that opens the dock two deep.
class DockedSidePanel : public Screen {
 public:
  explicit DockedSidePanel(const char* formName, FormLookups lookups = {});
  void BindControls() override;
  void OnOpen() override;
};

