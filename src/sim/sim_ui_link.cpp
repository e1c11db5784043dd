#include "sim/sim_ui_link.h"

SimUiLink g_simUi;
ScreenManager* g_simUiRoot = nullptr;

void PostTurnEvent(uint32_t code) {
  if (g_simUi.postTurnEvent) g_simUi.postTurnEvent(code);
}

int32_t SimUiMode() { return g_simUi.uiMode ? g_simUi.uiMode() : kSimUiInGame; }

void NotifyUnitsChanged() {
  if (g_simUi.unitsChanged) g_simUi.unitsChanged();
}
