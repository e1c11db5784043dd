#include "screens/economy/cabinet/cabinet_priorities_panel.h"

#include "screens/main/bars/side_bars.h"

void CabinetPrioritiesPanel::BindControls() { DockInBotbar2(*this); }
