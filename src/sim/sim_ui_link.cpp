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

void NotifyUnitFired(uint32_t hex, int32_t pixelX, int32_t pixelY, int sound) {
  if (g_simUi.unitFired) g_simUi.unitFired(hex, pixelX, pixelY, sound);
}

void NotifyUnitDestroyedByFire(uint32_t hex, int32_t pixelX, int32_t pixelY, int sound) {
  if (g_simUi.unitDestroyedByFire) g_simUi.unitDestroyedByFire(hex, pixelX, pixelY, sound);
}
