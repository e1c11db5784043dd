#pragma once
// The start menu: the first screen of the front end.
#include "ui/screen.h"

class StartMenu : public Screen {
 public:
  StartMenu() : Screen("SM_PLAYER1") {}
};
