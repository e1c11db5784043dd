#include "screens/main/map_side_panels.h"

#include "screens/main/map_screen.h"
#include "ui/screen_manager.h"
#include "ui/screen_set.h"

DockedSidePanel::DockedSidePanel(const char* formName, FormLookups lookups) : Screen(formName, lookups) {
  hostLink = &g_ui.bottomBoxes[kDockLevelSecond];
}

void DockedSidePanel::OnOpen() { ScreenSlotResetMapMode(g_screens); }

FacilityUpgradePanel::FacilityUpgradePanel() : Screen("MAP1_ss1a1") {
  hostLink = &g_ui.bottomBoxes[kDockLevelThird];
}

void FacilityUpgradePanel::OnOpen() { ScreenSlotSelectMapMode(g_screens); }
