#include "sim/sim_ui_link.h"

SimUiLink g_simUi;
ScreenManager* g_simUiRoot = nullptr;

void PostTurnEvent(uint32_t code) {
  if (g_simUi.postTurnEvent) g_simUi.postTurnEvent(code);
}
