#include "screens/frontend/game_menu.h"

#include "world/game_speed.h"
#include "world/world.h"

int32_t GameMenuActivate(GameMenu& menu, int32_t page) {
  SetGameSpeed(g_world.gameState, 0);
  return menu.Popup(page, nullptr);
}
