#include "screens/main/panels/map_side_panels.h"

#include "screens/main/panels/map_screen.h"
#include "screens/common/frame/side_bars.h"
#include "screens/screen_set.h"
#include "ui/screen_manager.h"

DockedSidePanel::DockedSidePanel(const char* formName, FormLookups lookups) : Screen(formName, lookups) {}

// The bars' dock slots, not the dock boxes: attached to a box a panel would
// take the bar, and with it the other panels' slot, off the screen.
void DockedSidePanel::BindControls() { DockInBotbar2(*this); }

void DockedSidePanel::OnOpen() { ScreenSlotResetMapMode(g_screens); }
