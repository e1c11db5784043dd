#pragma once
// The side panels of the map screen that open in the bottom dock for the
// selected hex: the build list, the facility build panel, the settlement,
// base, research-centre, silo and launch-site panels. Here they are the screens the map screen shows and
// refreshes; each docks at the second level (the facility build panel at
// the third) and copes with a form that never loaded.
#include "ui/screen.h"

// A panel in the dock's second slot that opens the dock two deep.
class DockedSidePanel : public Screen {
 public:
  explicit DockedSidePanel(const char* formName, FormLookups lookups = {});
  void BindControls() override;
  void OnOpen() override;
};

class BuildListPanel : public DockedSidePanel {
 public:
  BuildListPanel() : DockedSidePanel("MAP1_ss1") {}
};

// Shown while a facility is being placed, with the class being placed as
// its id; it opens the dock three deep.
class FacilityUpgradePanel : public Screen {
 public:
  FacilityUpgradePanel();
  void BindControls() override;
  void OnOpen() override;
};

class SettlementPanel : public DockedSidePanel {
 public:
  SettlementPanel() : DockedSidePanel("MAP1_ss1b") {}
};

class BasePanel : public DockedSidePanel {
 public:
  BasePanel() : DockedSidePanel("MAP1_ss6") {}
};

class ResearchCentrePanel : public DockedSidePanel {
 public:
  ResearchCentrePanel() : DockedSidePanel("MAP1_ss7") {}
};

class SiloPanel : public DockedSidePanel {
 public:
  SiloPanel() : DockedSidePanel("MAP1_ss8") {}
};

class LaunchSitePanel : public DockedSidePanel {
 public:
  LaunchSitePanel() : DockedSidePanel("MAP1_ss9") {}
};
