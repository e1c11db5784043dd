#pragma once
// The mail pop-up (POPUP_EMAIL1): writing a message to other players. Its
// fields come with the correspondence screens.
#include "ui/screen.h"

class EmailPopup : public Screen {
 public:
  EmailPopup() : Screen("POPUP_EMAIL1") {}
};
