#pragma once
// The start menu: the first screen of the front end, shown on the front
// end's background.
#include "ui/screen.h"
#include "ui/screen_manager.h"

class StartMenu : public Screen {
 public:
  StartMenu() : Screen("SM_PLAYER1") { hostLink = &g_ui.frontEndBackground; }
};
